// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramLocator.h"

#include <QtGlobal>

/// Makes the browsers the test starts headless; whether one is installed.
inline bool useHeadlessChromium()
{
    qputenv("PAGEWHEEL_BROWSER_FLAGS", "--headless=new");
    return !ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe")).isEmpty();
}
