// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The browser choice the installation records ("IBROWSER" in the
/// "Registration" section), made on the first start when no installation
/// step recorded one.
namespace BrowserChoice {

/// The letter the installation would record on this machine: "C" (the
/// automation browser) when a Chromium-family browser is on PATH, else "F"
/// (Firefox through its remote-open command line) when Firefox is, else
/// empty.
QString ChoiceForThisMachine();

/// Records that choice and logs it when nothing is recorded yet; a
/// recorded choice is never changed. Returns the letter recorded now, or
/// an empty text when nothing was recorded.
QString RecordIfMissing();

} // namespace BrowserChoice
