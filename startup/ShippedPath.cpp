// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/ShippedPath.h"

#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QDir>
#include <QFileInfo>

namespace ShippedPath {

namespace {

/// Only a reference with a folder part and no scheme, drive or root can be
/// relative to a folder; the test is cheap so large shows read fast.
bool looksRelative(const QString& reference)
{
    if (reference.isEmpty() || !modFileTools::HasSeparator(reference))
        return false;
    if (reference.contains(u':'))
        return false;
    const QChar first = reference.front();
    return first != u'/' && first != u'\\' && first != u'~';
}

QString existingIn(const QString& folder, const QString& reference)
{
    if (folder.isEmpty())
        return QString();
    QString relative = reference;
    relative.replace(u'\\', u'/');
    const QString path = QDir::cleanPath(QDir(folder).filePath(relative));
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

QString resolve(const QString& reference, const QString& showFolder)
{
    if (!looksRelative(reference))
        return reference;
    for (const QString& folder : {showFolder, modMain::AppFolder}) {
        const QString path = existingIn(folder, reference);
        if (!path.isEmpty())
            return path;
    }
    return reference;
}

} // namespace ShippedPath
