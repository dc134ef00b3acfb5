// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/FolderFiles.h"

#include <QDir>
#include <QDirIterator>

namespace FolderFiles {

QString cleanFolder(const QString& typed)
{
    QString folder = typed.trimmed();
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (folder == QStringLiteral("~") || folder.startsWith(QStringLiteral("~/")))
        folder = QDir::homePath() + folder.mid(1);
    return folder;
}

QString withFinalSeparator(const QString& folder)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder;
    // The separator the path already uses, else "/".
    const bool backslashes =
        folder.contains(QLatin1Char('\\')) && !folder.contains(QLatin1Char('/'));
    return folder + (backslashes ? QLatin1Char('\\') : QLatin1Char('/'));
}

QStringList nameFilters(const QString& pattern)
{
    QStringList filters;
    for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString filter = part.trimmed();
        if (filter == QStringLiteral("*.*") || filter == QStringLiteral("*"))
            return {};
        if (!filter.isEmpty())
            filters.append(filter);
    }
    return filters;
}

bool forEach(const QString& folder, const QStringList& filters,
             const std::function<bool(const QString& name)>& visit)
{
    // Ordinary files only: hidden files and folders are not listed, and
    // "." and ".." never are.
    QDirIterator files(folder, filters, QDir::Files | QDir::NoDotAndDotDot);
    while (files.hasNext()) {
        files.next();
        if (!visit(files.fileName()))
            return false;
    }
    return true;
}

} // namespace FolderFiles
