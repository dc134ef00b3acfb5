// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "startup/cVendorInfo.h"

#include <QString>

class COptions;
class StartupWindows;

namespace modMain {

/// The options as loaded from the store, before an options file applied.
extern COptions SavedOptions;
/// The product-information record.
extern cVendorInfo VendorInfo;

/// The usage text: the executable's name and the accepted words.
QString UsageText(const QString& executableName);

/// The start-up sequence: the command line (the words after the program
/// name, joined as the old platform saw them), the log, the options and
/// their first-run set-up, an options file, the splash and the first main
/// window.
void Main(const QString& commandLine, const QString& executableName, const QString& programFolder,
          StartupWindows& windows);

} // namespace modMain
