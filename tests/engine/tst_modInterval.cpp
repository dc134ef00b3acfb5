// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"

#include "engine/IntervalBox.h"
#include "engine/modInterval.h"

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

// The table of reload intervals, both ways.
class tst_modInterval : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        QTest::newRow("listed") << 30 << QStringLiteral("30 sec");
        QTest::newRow("known but not listed") << 120 << QStringLiteral(" 2 min");
        QTest::newRow("from an options file, unknown") << 45 << QStringLiteral("-1");
    }
    void boxShowsTheIntervalOverItsList()
    {
        QFETCH(qint32, interval);
        FakeBox box;
        modInterval::load_reload_cbo(box, interval);
        QTEST(box.text, "text");
        // The list leaves out two minutes.
        QCOMPARE(box.items.size(), 17);
        QVERIFY(!box.items.contains(QStringLiteral(" 2 min")));
        QCOMPARE(box.items.last(), QStringLiteral(" 2 days"));
    }
};

QTEST_GUILESS_MAIN(tst_modInterval)
#include "tst_modInterval.moc"
