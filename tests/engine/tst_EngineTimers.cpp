// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"

#include "engine/IntervalBox.h"
#include "engine/VexiloTimer.h"
#include "engine/modInterval.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// A combo box as the interval routines see it: a first entry becomes the
/// text, as in a real combo box.
class FakeBox : public IntervalBox
{
public:
    QString text;
    QStringList items;
    void setText(const QString& value) override { text = value; }
    void addItem(const QString& value) override
    {
        if (items.isEmpty())
            text = value;
        items.append(value);
    }
};

} // namespace

// The alarm on the real clock: one event per armed alarm, AlarmSeconds
// after arming, at once for 0 and after Expire; the table of reload intervals.
class tst_EngineTimers : public QObject
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
        // An owner is listed once; none is no owner.
        QVERIFY(!alarm.AddAlarm(nullptr) && alarm.AddAlarm(this) && alarm.AddAlarm(this));
        QCOMPARE(alarm.owners().size(), 1);
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
        alarm.RemoveAlarm(this);
        QVERIFY(alarm.owners().isEmpty());
    }

    void expireAndZero_data()
    {
        QTest::addColumn<qint32>("seconds");
        QTest::newRow("a minute") << 60;
        // Far more milliseconds than a QTimer counts: no early ring, no wrap.
        QTest::newRow("68 years") << std::numeric_limits<qint32>::max();
    }
    void expireAndZero()
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

        // Below 0 counts as 0: it rings at once, but never inside the call that arms it
        // (the engine arms inside its own steps), and not once disarmed.
        alarm.setAlarmSeconds(-5);
        QCOMPARE(alarm.AlarmSeconds(), 0);
        alarm.setEnabled(true);
        alarm.setEnabled(false);
        QTest::qWait(200);
        alarm.setEnabled(true);
        QCOMPARE(rang.size(), 1);
        QVERIFY(rang.wait(500));
    }

    // Unknown texts are compared exactly: blanks and case matter.
    void bothWays_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint32>("seconds");
        QTest::addColumn<bool>("known");
        const QList<std::tuple<const char*, qint32, bool>> rows = {
            {" 0 sec", 0, true},     {"30 sec", 30, true},      {" 2 min", 120, true},
            {" 1 hour", 3600, true}, {" 8 hours", 28800, true}, {" 2 days", 172800, true},
            {"2 min", 45, false},    {" 2 MIN", -2, false},     {"", 3, false},
        };
        for (const auto& [text, seconds, known] : rows)
            QTest::addRow("%s %d", text, seconds) << QString::fromLatin1(text) << seconds << known;
    }
    void bothWays()
    {
        QFETCH(QString, text);
        QFETCH(qint32, seconds);
        QFETCH(bool, known);
        QTemporaryDir folder;
        LogCapture log(folder.path(), true, false);
        QCOMPARE(modInterval::TmeStrgtoSec(text), known ? seconds : -1);
        QCOMPARE(modInterval::SectoTmeStrg(seconds), known ? text : QStringLiteral("-1"));
        QCOMPARE(log.messages(),
                 known
                     ? QStringList()
                     : QStringList({"TmeStrgtoSec: Cant understand: " + text,
                                    "SectoTmeStrg: Cant understand: " + QString::number(seconds)}));
    }

    void boxShowsTheIntervalOverItsList_data()
    {
        QTest::addColumn<qint32>("interval");
        QTest::addColumn<QString>("text");
        QTest::newRow("listed") << 30 << "30 sec";
        QTest::newRow("known but not listed") << 120 << " 2 min";
        QTest::newRow("from an options file, unknown") << 45 << "-1";
    }
    void boxShowsTheIntervalOverItsList()
    {
        QFETCH(qint32, interval);
        FakeBox box;
        modInterval::load_reload_cbo(box, interval);
        QTEST(box.text, "text");
        // The list leaves out two minutes.
        QCOMPARE(box.items.size(), 17);
    }
};

QTEST_GUILESS_MAIN(tst_EngineTimers)
#include "tst_EngineTimers.moc"
