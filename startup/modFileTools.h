// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QDateTime;

/// File and path routines. Paths may use "\" or "/" as separators; a
/// joined path uses the separator it already has, else "/".
namespace modFileTools {

bool FileExists(const QString& path);
/// Whether the folder part of a path exists (a bare name: the current folder).
bool CheckDirectory(const QString& path);
/// The file name without the given three-letter extension (any case).
QString FileNameNoExt(const QString& path, const QString& extension);
/// The last part of a path; empty when it ends in a separator.
QString FileFromPath(const QString& path);
QString JoinPath(const QString& folder, const QString& name);
/// The text before the first delimiter; all of it when there is none.
QString FirstToken(const QString& text, const QString& delimiter);
/// The file's own name (there are no 8.3 names here); empty when missing.
QString ShortFileName(const QString& path);
/// The path checked part by part; empty when a part is missing.
QString ShortPathName(const QString& path);
/// The file's last-write time as an automation date; 0 when unreadable.
double FileDate(const QString& path);
/// Non-empty lines of a text file.
qint16 CountLines(const QString& path);

/// The words of a command line (runs of characters other than blank and
/// tab), at most maxWords of them.
QStringList GetCommandLine(const QString& commandLine, int maxWords = 10);

/// Automation dates: days since 30 December 1899, the time as fraction.
double ToAutomationDate(const QDateTime& dateTime);

/// Whether a path holds a separator ("\" or "/").
bool HasSeparator(const QString& path);
/// The position of the last separator, or -1.
qsizetype LastSeparator(const QString& path);

} // namespace modFileTools
