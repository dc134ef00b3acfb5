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
    store.setValue(key, value);
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

QString Registry::GetSetting(const QString& appName, const QString& section, const QString& key,
                             const QString& defaultValue)
{
    QSettings store(settingsFile(appName), QSettings::IniFormat);
    store.beginGroup(section);
    return store.value(key, defaultValue).toString();
}

QList<Registry::Setting> Registry::GetAllSettings(const QString& appName, const QString& section)
{
    QSettings store(settingsFile(appName), QSettings::IniFormat);
    store.beginGroup(section);
    QList<Setting> settings;
    const QStringList keys = store.childKeys();
    for (const QString& key : keys)
        settings.append({key, store.value(key).toString()});
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
