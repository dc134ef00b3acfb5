// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QTimer>

/// The alarm the show waits with: one alarm at a time, counted on a precise
/// timer. Arming (Enabled = true) starts a countdown of AlarmSeconds;
/// when it runs out, Alarm is emitted once. Arming again replaces an alarm
/// that has not yet rung, so a step that re-arms never leaves a second
/// countdown behind. Expire makes a running alarm ring at once (on the next
/// pass of the event loop, never inside the call). Disarming (Enabled =
/// false) drops it without an event.
///
/// AddAlarm and RemoveAlarm keep the list of owners that asked for the
/// event; the event comes whether or not an owner is listed, so an alarm
/// armed without AddAlarm (the reload interval) rings too.
class VexiloTimer : public QObject
{
    Q_OBJECT

public:
    explicit VexiloTimer(QObject* parent = nullptr);
    ~VexiloTimer() override;

    /// The length of the next alarm, in seconds; below 0 counts as 0.
    qint32 AlarmSeconds() const { return m_alarmSeconds; }
    void setAlarmSeconds(qint32 seconds);

    /// Lists the owner of the next alarm; false for no owner.
    virtual bool AddAlarm(const QObject* owner);
    /// Takes the owner off the list (nothing when it is not listed).
    virtual void RemoveAlarm(const QObject* owner);

    /// True from arming until the alarm rings (or is disarmed).
    bool Enabled() const { return m_armed; }
    /// true arms the alarm for AlarmSeconds from now; false disarms it.
    virtual void setEnabled(bool enabled);

    /// true makes a running alarm ring at once; no effect otherwise.
    void setExpire(bool expire);

    /// How the alarms are timed; 1 here: one alarm per step. (A timer that
    /// reads 2 would run the show in one loop.)
    virtual qint32 TimingKind() const;

    /// The owners listed by AddAlarm and not yet removed.
    const QList<const QObject*>& owners() const { return m_owners; }

Q_SIGNALS:
    /// The armed alarm has run out (or was expired).
    void Alarm();

private:
    void startCountdown(qint64 remainingMs);
    void countdownEnded();

    QTimer m_timer;
    QDeadlineTimer m_deadline;
    qint32 m_alarmSeconds = 0;
    bool m_armed = false;
    QList<const QObject*> m_owners;
};
