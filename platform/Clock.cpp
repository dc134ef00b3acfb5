// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"

#include "platform/SteadyClock.h"

namespace {
Clock* g_clock = nullptr;
}

Clock& Clock::instance()
{
    static SteadyClock steady;
    return g_clock ? *g_clock : steady;
}

void Clock::setInstance(Clock* clock)
{
    g_clock = clock;
}
