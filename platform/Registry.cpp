// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Registry.h"

#include "platform/ProgramLocator.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString AppPathsKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");
const QString MsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString UserSettingsKey = QStringLiteral("Software\\VB and VBA Program Settings\\");

// A value edited by hand with commas in it reads back as a list.
QString valueText(const QVariant& value)
{
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

QString configFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    return folder;
}

} // namespace

QString Registry::settingsFile(const QString& appName)
{
    return configFolder() + QStringLiteral("/Pagewheel/") + appName + QStringLiteral(".ini");
}

bool Registry::SaveSetting(const QString& appName, const QString& section, const QString& key,
                           const QString& value)
{
    QSettings store(settingsFile(appName), QSettings::IniFormat);
    store.beginGroup(section);
    const QVariant previous = store.value(key);
    store.setValue(key, value);
    store.sync();
    if (store.status() == QSettings::NoError)
        return true;
    // QSettings keeps a change it could not write as pending, process-wide:
    // undo it, so reads keep telling what is on disk and a later save does
    // not write the failed value after all.
    if (previous.isValid())
        store.setValue(key, previous);
    else
        store.remove(key);
    return false;
}

QString Registry::GetSetting(const QString& appName, const QString& section, const QString& key,
                             const QString& defaultValue)
{
    QSettings store(settingsFile(appName), QSettings::IniFormat);
    store.beginGroup(section);
    return valueText(store.value(key, defaultValue));
}

QList<Registry::Setting> Registry::GetAllSettings(const QString& appName, const QString& section)
{
    QSettings store(settingsFile(appName), QSettings::IniFormat);
    store.beginGroup(section);
    QList<Setting> settings;
    const QStringList keys = store.childKeys();
    for (const QString& key : keys)
        settings.append({key, valueText(store.value(key))});
    return settings;
}

void Registry::DeleteSetting(const QString& appName, const QString& section, const QString& key)
{
    QSettings store(settingsFile(appName), QSettings::IniFormat);
    if (key.isEmpty())
        store.remove(section);
    else
        store.remove(section + QLatin1Char('/') + key);
    store.sync();
}

QString Registry::RegGetString(Root root, const QString& subKey, const QString& valueName,
                               const QString& defaultValue)
{
    QString found;
    if (root == Root::LocalMachine && subKey.startsWith(AppPathsKey, Qt::CaseInsensitive)
        && valueName.isEmpty()) {
        found = ProgramLocator::resolveBrowser(subKey.mid(AppPathsKey.size()));
    } else if (root == Root::LocalMachine && subKey.compare(MsInfoKey, Qt::CaseInsensitive) == 0
               && valueName.compare(QStringLiteral("PATH"), Qt::CaseInsensitive) == 0) {
        found = ProgramLocator::systemInformationProgram();
    } else if (root == Root::CurrentUser && subKey.startsWith(UserSettingsKey, Qt::CaseInsensitive)) {
        // The per-user store seen through its old key path: app\section.
        const QStringList parts = subKey.mid(UserSettingsKey.size()).split(QLatin1Char('\\'));
        if (parts.size() == 2)
            found = GetSetting(parts[0], parts[1], valueName);
    }
    return found.isEmpty() ? defaultValue : found;
}
