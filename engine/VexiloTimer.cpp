// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/VexiloTimer.h"

#include <algorithm>

namespace {

// A QTimer counts in int milliseconds; longer alarms (the 32-bit seconds
// allow 68 years) are waited out in laps of at most a day.
constexpr qint64 LongestLapMs = 24LL * 60 * 60 * 1000;
constexpr qint64 LapSlackMs = 2;

} // namespace

VexiloTimer::VexiloTimer(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &VexiloTimer::countdownEnded);
}

VexiloTimer::~VexiloTimer() = default;

void VexiloTimer::setAlarmSeconds(qint32 seconds)
{
    m_alarmSeconds = std::max<qint32>(seconds, 0);
}

bool VexiloTimer::AddAlarm(const QObject* owner)
{
    if (!owner)
        return false;
    if (!m_owners.contains(owner))
        m_owners.append(owner);
    return true;
}

void VexiloTimer::RemoveAlarm(const QObject* owner)
{
    m_owners.removeAll(owner);
}

void VexiloTimer::setEnabled(bool enabled)
{
    if (!enabled) {
        m_armed = false;
        m_timer.stop();
        return;
    }
    m_armed = true;
    const qint64 length = qint64(m_alarmSeconds) * 1000;
    m_deadline.setRemainingTime(length, Qt::PreciseTimer);
    startCountdown(length);
}

void VexiloTimer::setExpire(bool expire)
{
    if (!expire || !m_armed)
        return;
    m_deadline.setRemainingTime(0, Qt::PreciseTimer);
    startCountdown(0);
}

qint32 VexiloTimer::TimingKind() const
{
    return 1;
}

void VexiloTimer::startCountdown(qint64 remainingMs)
{
    m_timer.start(int(std::clamp<qint64>(remainingMs, 0, LongestLapMs)));
}

void VexiloTimer::countdownEnded()
{
    // Only a long alarm has laps left; a lap that ends a hair early is done.
    const qint64 left = m_deadline.remainingTime();
    if (left > LapSlackMs) {
        startCountdown(left);
        return;
    }
    m_armed = false;
    Q_EMIT Alarm();
}
