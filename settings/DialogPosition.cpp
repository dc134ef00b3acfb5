// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/DialogPosition.h"

#include "platform/Registry.h"
#include "platform/VbConvert.h"
#include "settings/modRegistry.h"
#include "startup/modMain.h"

namespace DialogPosition {

Position Load(const QString& windowName, const Position& designPosition)
{
    return {LoadValue(windowName, QStringLiteral("Left"), designPosition.left),
            LoadValue(windowName, QStringLiteral("Top"), designPosition.top)};
}

void Save(const QString& windowName, const Position& position, bool minimized, bool maximized)
{
    SaveValue(windowName, QStringLiteral("Left"), position.left, minimized, maximized);
    SaveValue(windowName, QStringLiteral("Top"), position.top, minimized, maximized);
}

qint32 LoadValue(const QString& windowName, const QString& suffix, qint32 defaultValue)
{
    const QString text = Registry::GetSetting(modMain::AppTitle(), modRegistry::SettingsSection,
                                              windowName + suffix, QString::number(defaultValue));
    // A value edited by hand into something else counts as absent.
    qint32 value = defaultValue;
    if (!VbConvert::textToInt32(text, &value))
        return defaultValue;
    return value;
}

void SaveValue(const QString& windowName, const QString& suffix, qint32 value, bool minimized,
               bool maximized)
{
    if (minimized || maximized)
        return;
    Registry::SaveSetting(modMain::AppTitle(), modRegistry::SettingsSection, windowName + suffix,
                          QString::number(value));
}

} // namespace DialogPosition
