// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"

#include <QElapsedTimer>

/// The real clock: a monotonic millisecond count that never wraps.
class SteadyClock final : public Clock
{
public:
    SteadyClock();

    qint64 tickCount() override;
    void sleep(int milliseconds) override;
    void doEvents() override;

private:
    QElapsedTimer m_timer;
};
