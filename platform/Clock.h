// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

/// Ticks, sleeping and event pumping for the program's busy waits.
/// The real clock is steady and 64-bit; tests inject a clock they drive.
class Clock
{
public:
    virtual ~Clock() = default;

    /// Milliseconds since an arbitrary start; a test clock may jump back.
    virtual qint64 tickCount() = 0;
    virtual void sleep(int milliseconds) = 0;
    /// Lets pending events run (timers, input, queued signals).
    virtual void doEvents() = 0;

    /// The clock in use: the steady clock unless a test installed another.
    static Clock& instance();
    static void setInstance(Clock* clock);
};
