// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/cScreenSettings.h"

#include "platform/Registry.h"
#include "platform/VbConvert.h"
#include "settings/modRegistry.h"
#include "startup/modMain.h"

cScreenSettings::cScreenSettings(const QString& windowName) : m_windowName(windowName)
{
}

void cScreenSettings::save(const QString& suffix, const QString& value) const
{
    // A store that cannot be written is not reported.
    Registry::SaveSetting(modMain::AppTitle(), modRegistry::SettingsSection, key(suffix), value);
}

QString cScreenSettings::read(const QString& suffix, const QString& defaultValue) const
{
    return Registry::GetSetting(modMain::AppTitle(), modRegistry::SettingsSection, key(suffix),
                                defaultValue);
}

qint32 cScreenSettings::readNumber(const QString& suffix, qint32 defaultValue) const
{
    // A value edited by hand into something else counts as absent.
    qint32 value = defaultValue;
    if (!VbConvert::textToInt32(read(suffix, QString::number(defaultValue)), &value))
        return defaultValue;
    return value;
}

bool cScreenSettings::readFlag(const QString& suffix) const
{
    bool value = true;
    if (!VbConvert::textToBool(read(suffix, VbConvert::boolText(true)), &value))
        return true;
    return value;
}

void cScreenSettings::SaveSettings(const WindowGeometry& window) const
{
    using VbConvert::boolText;
    save(QStringLiteral("MainLeft"), QString::number(window.left));
    save(QStringLiteral("MainTop"), QString::number(window.top));
    save(QStringLiteral("MainWidth"), QString::number(window.width));
    save(QStringLiteral("MainHeight"), QString::number(window.height));
    save(QStringLiteral("BarSlideOn"), boolText(BarSlideOn));
    save(QStringLiteral("BarNavOn"), boolText(BarNavOn));
    save(QStringLiteral("BarCollectOn"), boolText(BarCollectOn));
    save(QStringLiteral("BarOptOn"), boolText(BarOptOn));
    save(QStringLiteral("BarStatusOn"), boolText(BarStatusOn));
}

WindowGeometry cScreenSettings::GetPrevious()
{
    WindowGeometry window;
    window.left = readNumber(QStringLiteral("MainLeft"), DefaultLeft);
    window.top = readNumber(QStringLiteral("MainTop"), DefaultTop);
    window.width = readNumber(QStringLiteral("MainWidth"), WidthLarge);
    window.height = readNumber(QStringLiteral("MainHeight"), HeightLarge);
    HeightLarge = window.height;
    WidthLarge = window.width;
    BarSlideOn = readFlag(QStringLiteral("BarSlideOn"));
    BarNavOn = readFlag(QStringLiteral("BarNavOn"));
    BarCollectOn = readFlag(QStringLiteral("BarCollectOn"));
    BarOptOn = readFlag(QStringLiteral("BarOptOn"));
    BarStatusOn = readFlag(QStringLiteral("BarStatusOn"));
    return window;
}

void cScreenSettings::SaveSettingsFiles(const QStringList& captions, int count) const
{
    for (int i = 1; i <= count && i <= captions.size(); ++i) {
        const QString& caption = captions.at(i - 1);
        if (caption.isEmpty())
            return;
        save(QStringLiteral("File") + QString::number(i), caption);
    }
}

QStringList cScreenSettings::GetPrevFiles() const
{
    QStringList files;
    for (int i = 1; i <= RecentFiles; ++i) {
        const QString file = read(QStringLiteral("File") + QString::number(i));
        if (file.isEmpty())
            break;
        files.append(file);
    }
    return files;
}
