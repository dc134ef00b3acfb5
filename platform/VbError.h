// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// An error as the program reports it: a number and a description.
struct VbError
{
    int number = 0;
    QString description;

    bool isError() const { return number != 0; }
};

namespace VbErrors {
constexpr int Overflow = 6;
constexpr int TypeMismatch = 13;
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int InputPastEnd = 62;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int DialogCancelled = 32755;

/// The error with its standard description.
VbError make(int number);
} // namespace VbErrors
