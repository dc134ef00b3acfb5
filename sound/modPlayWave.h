// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Playing a slide's wave sound.
namespace modPlayWave {

/// Starts the sound and returns at once while it plays. A name without a
/// path separator is taken from the program's folder. A new sound cuts the
/// one still playing; a missing or unreadable file plays nothing and says
/// nothing. Needs a running QCoreApplication.
void PlayWaveFile(const QString& fileName);

} // namespace modPlayWave
