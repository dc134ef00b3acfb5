// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The automation browser's own profile folder.
namespace BrowserProfile {

/// Marks the profile as closed cleanly, so that a browser that crashed or
/// was killed last time opens without offering to restore its pages over
/// the slides. A profile that was never used is left alone. True when the
/// profile needed no change or was changed.
bool MarkExitedCleanly(const QString& profileFolder);

} // namespace BrowserProfile
