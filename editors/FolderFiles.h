// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

/// The ordinary files of one folder (no hidden files, no folders), in the
/// order the file system returns them, and the folder names a user types.
namespace FolderFiles {

/// A typed folder as the file system takes it: "\" is a separator too and
/// a leading "~" is the home folder. The text keeps a final separator.
QString cleanFolder(const QString& typed);

/// The folder with exactly one separator at its end.
QString withFinalSeparator(const QString& folder);

/// The name filters of a file-list pattern ("*.htm;*.html"); "*.*" and an
/// empty pattern take every file, as the file list always did.
QStringList nameFilters(const QString& pattern);

/// Calls visit with each file name until it returns false; the result is
/// false when the walk was stopped that way.
bool forEach(const QString& folder, const QStringList& filters,
             const std::function<bool(const QString& name)>& visit);

} // namespace FolderFiles
