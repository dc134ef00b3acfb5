// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"

#include <functional>

/// A clock for tests: time moves only when the code sleeps or the test
/// moves it, so waits finish at once and a counter reset can be staged.
/// Installs itself while it lives.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(qint64 start = 0);
    ~ManualClock() override;

    qint64 tickCount() override;
    void sleep(int milliseconds) override;
    void doEvents() override;

    void setTicks(qint64 ticks) { m_ticks = ticks; }
    /// Called on each tickCount() read, before the value is returned;
    /// lets a test change the time at a chosen read.
    void onRead(std::function<void(int readNumber)> hook) { m_onRead = std::move(hook); }

    qint64 sleptMilliseconds() const { return m_slept; }
    int sleeps() const { return m_sleeps; }
    int eventPumps() const { return m_pumps; }

private:
    Clock* m_previous = nullptr;
    qint64 m_ticks;
    qint64 m_slept = 0;
    int m_sleeps = 0;
    int m_pumps = 0;
    int m_reads = 0;
    std::function<void(int)> m_onRead;
};
