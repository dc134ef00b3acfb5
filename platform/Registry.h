// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QString>

/// The per-user settings store: text values by application, section and
/// key, one INI file per application name in the user's config folder
/// (honours XDG_CONFIG_HOME); sections are groups. Also answers the few
/// machine keys the program reads.
namespace Registry {

using Setting = QPair<QString, QString>;

/// Root keys of the machine store.
enum class Root { ClassesRoot, CurrentUser, LocalMachine, Users };

/// The INI file that holds an application's settings.
QString settingsFile(const QString& appName);

/// Writes one value; false when the store could not be written.
bool SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value);
QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = QString());
/// Every (key, value) pair of a section, in the store's order (by key).
QList<Setting> GetAllSettings(const QString& appName, const QString& section);
/// Deletes one key, or the whole section when the key is empty.
void DeleteSetting(const QString& appName, const QString& section,
                   const QString& key = QString());

/// Reads a machine key. The answers: a browser's "App Paths" entry (its
/// default value is the program found for that name) and the System
/// Information program's "MSINFO" path; anything else gives the default.
QString RegGetString(Root root, const QString& subKey, const QString& valueName,
                     const QString& defaultValue = QString());

} // namespace Registry
