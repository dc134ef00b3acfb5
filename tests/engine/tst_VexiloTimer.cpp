// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/VexiloTimer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// The alarm's contract on the real clock: one event per armed alarm,
// AlarmSeconds after arming, at once for 0 and after Expire.
class tst_VexiloTimer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ringsOnceAfterItsSeconds();
    void zeroRingsAtOnceButNotInsideTheCall();
    void expireRingsARunningAlarmAtOnce();
    void expireWithoutAnAlarmDoesNothing();
    void armingAgainReplacesTheAlarm();
    void disarmingDropsTheAlarm();
    void longAlarmWaitsAndCanBeExpired();
    void ownersAndTimingKind();
};

void tst_VexiloTimer::ringsOnceAfterItsSeconds()
{
    VexiloTimer alarm;
    QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
    QElapsedTimer clock;
    alarm.setAlarmSeconds(1);
    QVERIFY(alarm.AddAlarm(this));
    clock.start();
    alarm.setEnabled(true);
    QVERIFY(alarm.Enabled());
    QVERIFY(rang.wait(3000));
    const qint64 after = clock.elapsed();
    QVERIFY2(after >= 1000, qPrintable(QString::number(after)));
    QVERIFY2(after < 2000, qPrintable(QString::number(after)));
    QVERIFY(!alarm.Enabled());
    // Once per armed alarm.
    QTest::qWait(300);
    QCOMPARE(rang.size(), 1);
}

void tst_VexiloTimer::zeroRingsAtOnceButNotInsideTheCall()
{
    VexiloTimer alarm;
    QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
    alarm.setAlarmSeconds(-5); // below 0 counts as 0
    QCOMPARE(alarm.AlarmSeconds(), 0);
    alarm.setEnabled(true);
    // The engine arms inside its own steps: the event must come later.
    QCOMPARE(rang.size(), 0);
    QVERIFY(alarm.Enabled());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(rang.wait(1000));
    QVERIFY(clock.elapsed() < 500);
    QCOMPARE(rang.size(), 1);
}

void tst_VexiloTimer::expireRingsARunningAlarmAtOnce()
{
    VexiloTimer alarm;
    QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
    alarm.setAlarmSeconds(60);
    alarm.setEnabled(true);
    QTest::qWait(50);
    QCOMPARE(rang.size(), 0);
    QElapsedTimer clock;
    clock.start();
    alarm.setExpire(true);
    QCOMPARE(rang.size(), 0);
    QVERIFY(rang.wait(1000));
    QVERIFY(clock.elapsed() < 500);
    QTest::qWait(100);
    QCOMPARE(rang.size(), 1);
    QVERIFY(!alarm.Enabled());
}

void tst_VexiloTimer::expireWithoutAnAlarmDoesNothing()
{
    VexiloTimer alarm;
    QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
    alarm.setExpire(true);
    alarm.setAlarmSeconds(0);
    alarm.setEnabled(true);
    alarm.setExpire(false); // false asks for nothing
    QVERIFY(rang.wait(1000));
    alarm.setExpire(true); // it has rung already
    QTest::qWait(200);
    QCOMPARE(rang.size(), 1);
}

void tst_VexiloTimer::armingAgainReplacesTheAlarm()
{
    // A reload asked for by hand expires the running interval and arms the
    // next one: only the new one may ring, or the reloads would multiply.
    VexiloTimer alarm;
    QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
    alarm.setAlarmSeconds(60);
    alarm.setEnabled(true);
    alarm.setExpire(true);
    alarm.setAlarmSeconds(1);
    alarm.setEnabled(true);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(rang.wait(3000));
    QVERIFY(clock.elapsed() >= 900);
    QTest::qWait(300);
    QCOMPARE(rang.size(), 1);
}

void tst_VexiloTimer::disarmingDropsTheAlarm()
{
    VexiloTimer alarm;
    QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
    alarm.setAlarmSeconds(0);
    alarm.setEnabled(true);
    alarm.setEnabled(false);
    QVERIFY(!alarm.Enabled());
    QTest::qWait(200);
    QCOMPARE(rang.size(), 0);
}

void tst_VexiloTimer::longAlarmWaitsAndCanBeExpired()
{
    // The longest alarm (68 years) is far more milliseconds than a QTimer
    // counts in one go; it must neither ring early nor wrap around.
    VexiloTimer alarm;
    QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
    alarm.setAlarmSeconds(std::numeric_limits<qint32>::max());
    alarm.setEnabled(true);
    QTest::qWait(100);
    QCOMPARE(rang.size(), 0);
    QVERIFY(alarm.Enabled());
    alarm.setExpire(true);
    QVERIFY(rang.wait(1000));
}

void tst_VexiloTimer::ownersAndTimingKind()
{
    VexiloTimer alarm;
    QVERIFY(!alarm.AddAlarm(nullptr));
    QVERIFY(alarm.AddAlarm(this));
    QVERIFY(alarm.AddAlarm(this));
    QCOMPARE(alarm.owners().size(), 1);
    alarm.RemoveAlarm(this);
    QVERIFY(alarm.owners().isEmpty());
    alarm.RemoveAlarm(this);
    // One alarm per step: the one-loop show is never chosen.
    QCOMPARE(alarm.TimingKind(), 1);
}

QTEST_GUILESS_MAIN(tst_VexiloTimer)
#include "tst_VexiloTimer.moc"
