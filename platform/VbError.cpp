// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/VbError.h"

VbError VbErrors::make(int number)
{
    switch (number) {
    case Overflow:
        return {number, QStringLiteral("Overflow")};
    case TypeMismatch:
        return {number, QStringLiteral("Type mismatch")};
    case BadFileName:
        return {number, QStringLiteral("Bad file name or number")};
    case FileNotFound:
        return {number, QStringLiteral("File not found")};
    case DiskFull:
        return {number, QStringLiteral("Disk full")};
    case InputPastEnd:
        return {number, QStringLiteral("Input past end of file")};
    case PermissionDenied:
        return {number, QStringLiteral("Permission denied")};
    case PathFileAccess:
        return {number, QStringLiteral("Path/File access error")};
    case PathNotFound:
        return {number, QStringLiteral("Path not found")};
    case DialogCancelled:
        return {number, QStringLiteral("Cancel was selected.")};
    default:
        return {number, QStringLiteral("Application-defined or object-defined error")};
    }
}
