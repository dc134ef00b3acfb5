// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ManualClock.h"

ManualClock::ManualClock(qint64 start) : m_previous(&Clock::instance()), m_ticks(start)
{
    Clock::setInstance(this);
}

ManualClock::~ManualClock()
{
    Clock::setInstance(m_previous);
}

qint64 ManualClock::tickCount()
{
    ++m_reads;
    if (m_onRead)
        m_onRead(m_reads);
    return m_ticks;
}

void ManualClock::sleep(int milliseconds)
{
    m_ticks += milliseconds;
    m_slept += milliseconds;
    ++m_sleeps;
}

void ManualClock::doEvents()
{
    ++m_pumps;
}
