// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/COptions.h"

#include <QStringList>

/// Helpers that let a test compare whole option records.
namespace OptionsDump {

/// The sixteen options as "Key=value" lines (Changed left out).
QStringList dump(const COptions& options);
/// The dump with one option's line replaced ("Key=value").
QStringList with(QStringList dump, const QString& line);
/// The defaults for the current program folder.
COptions defaults();
/// Every option unlike the default; text with commas, non-ASCII and outer blanks.
COptions unusual();

} // namespace OptionsDump
