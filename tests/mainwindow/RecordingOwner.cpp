// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingOwner.h"

void RecordingOwner::GoPause()
{
    calls.append(QStringLiteral("GoPause"));
    if (showRunning)
        state.IsPaused = state.IsPaused ? cShowState::False : cShowState::True;
}
