// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramLocator.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

QString firstOnPath(const QStringList& names)
{
    for (const QString& name : names) {
        const QString found = ProgramLocator::findOnPath(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QString withoutExe(const QString& name)
{
    if (name.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        return name.left(name.size() - 4);
    return name;
}

} // namespace

QStringList ProgramLocator::chromiumFamily()
{
    return {QStringLiteral("chromium"),         QStringLiteral("chromium-browser"),
            QStringLiteral("google-chrome"),    QStringLiteral("google-chrome-stable"),
            QStringLiteral("microsoft-edge"),   QStringLiteral("microsoft-edge-stable"),
            QStringLiteral("brave-browser"),    QStringLiteral("vivaldi")};
}

QStringList ProgramLocator::firefoxFamily()
{
    return {QStringLiteral("firefox"), QStringLiteral("firefox-esr")};
}

QString ProgramLocator::findOnPath(const QString& name)
{
    const QString bare = withoutExe(name);
    if (bare.isEmpty())
        return QString();
    const QStringList folders =
        QString::fromLocal8Bit(qgetenv("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& folder : folders) {
        const QDir dir(folder);
        const QStringList entries = dir.entryList(QDir::Files | QDir::Executable);
        for (const QString& entry : entries) {
            if (withoutExe(entry).compare(bare, Qt::CaseInsensitive) == 0)
                return dir.absoluteFilePath(entry);
        }
    }
    return QString();
}

QString ProgramLocator::resolveBrowser(const QString& name)
{
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return name;
    const QString bare = withoutExe(name);
    if (bare.compare(QStringLiteral("IExplore"), Qt::CaseInsensitive) == 0)
        return firstOnPath(chromiumFamily());
    if (bare.compare(QStringLiteral("Netscape"), Qt::CaseInsensitive) == 0)
        return firstOnPath(firefoxFamily());
    return findOnPath(name);
}

QStringList ProgramLocator::environmentBrowserFlags()
{
    return QProcess::splitCommand(QString::fromLocal8Bit(qgetenv("PAGEWHEEL_BROWSER_FLAGS")));
}

QString ProgramLocator::systemInformationProgram()
{
    return firstOnPath({QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                        QStringLiteral("kinfocenter")});
}
