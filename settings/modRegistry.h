// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"

#include <QString>

class COptions;

/// Loads and saves the options in the per-user store and reads the
/// installation's browser choice.
namespace modRegistry {

/// The section names of the store.
inline const QString OptionsSection = QStringLiteral("Options");
inline const QString SettingsSection = QStringLiteral("Settings");
inline const QString RegistrationSection = QStringLiteral("Registration");
/// The application name the installation writes its section under (the
/// product record's EXEName).
inline const QString RegistrationApp = QStringLiteral("Pagewheel");

/// Writes the sixteen options; false at the first value that failed.
bool RegistrySave(const COptions& options);
/// Loads the options present in the store; false when it holds none.
bool RegistryGet(COptions& options);
/// Sets one option from its text form; a bad value is logged and ignored.
void set_option_value(const QString& key, const QString& value, COptions& options);
/// The browser the installation chose, as an AutoMode number.
qint16 GetBrowserChoice();

} // namespace modRegistry
