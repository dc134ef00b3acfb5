// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/VexiloTimer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// The alarm on the real clock: one event per armed alarm, AlarmSeconds
// after arming, at once for 0 and after Expire.
class tst_VexiloTimer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ringsOnceAfterItsSeconds_data()
    {
        QTest::addColumn<bool>("rearmed");
        QTest::newRow("armed") << false;
        // A reload by hand expires the running interval and arms the next:
        // only the new one may ring, or the reloads would multiply.
        QTest::newRow("expired and armed again") << true;
    }
    void ringsOnceAfterItsSeconds()
    {
        QFETCH(bool, rearmed);
        VexiloTimer alarm;
        QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
        QVERIFY(alarm.AddAlarm(this));
        if (rearmed) {
            alarm.setAlarmSeconds(60);
            alarm.setEnabled(true);
            alarm.setExpire(true);
        }
        alarm.setAlarmSeconds(1);
        QElapsedTimer clock;
        clock.start();
        alarm.setEnabled(true);
        QVERIFY(rang.wait(3000));
        const qint64 after = clock.elapsed();
        QVERIFY2(after >= 900 && after < 2000, qPrintable(QString::number(after)));
        QVERIFY(!alarm.Enabled());
        QTest::qWait(300);
        QCOMPARE(rang.size(), 1);
    }

    void zeroRingsAtOnceButNotInsideTheCallUnlessDisarmed()
    {
        VexiloTimer alarm;
        QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
        alarm.setAlarmSeconds(-5); // below 0 counts as 0
        QCOMPARE(alarm.AlarmSeconds(), 0);
        alarm.setEnabled(true);
        alarm.setEnabled(false);
        QTest::qWait(200);
        QCOMPARE(rang.size(), 0);
        alarm.setEnabled(true);
        // The engine arms inside its own steps: the event must come later.
        QCOMPARE(rang.size(), 0);
        QVERIFY(rang.wait(500));
    }

    void expire_data()
    {
        QTest::addColumn<qint32>("seconds");
        QTest::newRow("a minute") << 60;
        // Far more milliseconds than a QTimer counts: no early ring, no wrap.
        QTest::newRow("68 years") << std::numeric_limits<qint32>::max();
    }
    void expire()
    {
        QFETCH(qint32, seconds);
        VexiloTimer alarm;
        QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
        alarm.setAlarmSeconds(seconds);
        alarm.setEnabled(true);
        QTest::qWait(100);
        QCOMPARE(rang.size(), 0);
        alarm.setExpire(true);
        QCOMPARE(rang.size(), 0);
        QVERIFY(rang.wait(500));
        // It has rung already: expiring again does nothing.
        alarm.setExpire(true);
        QTest::qWait(100);
        QCOMPARE(rang.size(), 1);
    }

    void owners()
    {
        VexiloTimer alarm;
        QVERIFY(!alarm.AddAlarm(nullptr));
        QVERIFY(alarm.AddAlarm(this));
        QVERIFY(alarm.AddAlarm(this));
        QCOMPARE(alarm.owners().size(), 1);
        alarm.RemoveAlarm(this);
        QVERIFY(alarm.owners().isEmpty());
        QCOMPARE(alarm.TimingKind(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_VexiloTimer)
#include "tst_VexiloTimer.moc"
