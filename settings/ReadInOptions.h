// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class COptions;

namespace modMain {

/// Reads an options file into the target; true when at least one setting
/// line was found.
bool ReadInOptions(const QString& fileName, COptions& options);

} // namespace modMain
