// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "show/colURLs.h"
#include "startup/modMain.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList addresses(const colURLs& show)
{
    QStringList result;
    for (const colURLs::Slide& slide : show)
        result.append(slide->HREF);
    return result;
}

void addThree(colURLs& show)
{
    show.Add(QStringLiteral("http://a/"), QStringLiteral("a.wav"), 10, false);
    show.Add(QStringLiteral("http://b/"), QString(), 20, true);
    show.Add(QStringLiteral("http://c/"), QString(), 30, false);
}

} // namespace

class tst_colURLs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { modMain::ResetProgramState(); }

    void addAppendsAtTheEnd();
    void item_data();
    void item();
    void keys();
    void eraseAllKeepsTheShowsFields();
    void printUrls();
};

void tst_colURLs::addAppendsAtTheEnd()
{
    colURLs show;
    addThree(show);
    const colURLs::Slide added =
        show.Add(QStringLiteral("C:\\x.htm"), QStringLiteral("s.wav"), -32768, true);
    QCOMPARE(addresses(show), (QStringList{"http://a/", "http://b/", "http://c/", "C:\\x.htm"}));
    QCOMPARE(show.Item(4), added);
    QCOMPARE(added->SoundFile, QStringLiteral("s.wav"));
    QCOMPARE(added->PauseTime, -32768);
    QCOMPARE(added->SkipField, true);
    // Marking the show edited is the caller's business.
    QCOMPARE(show.Changed, false);
}

void tst_colURLs::item_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("address");

    QTest::newRow("first") << 1 << "http://a/";
    QTest::newRow("last") << 3 << "http://c/";
    QTest::newRow("zero") << 0 << QString();
    QTest::newRow("count plus one") << 4 << QString();
    QTest::newRow("negative") << -7 << QString();
}

void tst_colURLs::item()
{
    QFETCH(int, position);
    QFETCH(QString, address);
    colURLs show;
    addThree(show);
    const colURLs::Slide slide = show.Item(position);
    if (address.isNull())
        QVERIFY(!slide);
    else
        QCOMPARE(slide->HREF, address);
}

void tst_colURLs::keys()
{
    colURLs show;
    const colURLs::Slide keyed =
        show.Add(QStringLiteral("http://k/"), QString(), 5, false, QStringLiteral("home"));
    show.Add(QStringLiteral("http://n/"), QString(), 5, false);
    QCOMPARE(show.Item(QStringLiteral("home")), keyed);
    QVERIFY(!show.Item(QStringLiteral("away")));

    // A key in use refuses the second slide.
    QVERIFY(!show.Add(QStringLiteral("http://d/"), QString(), 5, false, QStringLiteral("home")));
    QCOMPARE(show.Count(), 2);
    QCOMPARE(show.Item(QStringLiteral("home")), keyed);

    show.EraseAll();
    QVERIFY(!show.Item(QStringLiteral("home")));
    QVERIFY(show.Add(QStringLiteral("http://k/"), QString(), 5, false, QStringLiteral("home")));
}

void tst_colURLs::eraseAllKeepsTheShowsFields()
{
    colURLs show;
    addThree(show);
    const colURLs::Slide kept = show.Item(2);
    show.TrayFilename = QStringLiteral("/shows/a.txt");
    show.Changed = true;
    show.EraseAll();
    // A slide someone still holds lives on.
    QCOMPARE(kept->HREF, QStringLiteral("http://b/"));
    QCOMPARE(show.Count(), 0);
    QCOMPARE(show.TrayFilename, QStringLiteral("/shows/a.txt"));
    QCOMPARE(show.Changed, true);
    show.Add(QStringLiteral("http://z/"), QString(), 1, false);
    QCOMPARE(show.Item(1)->HREF, QStringLiteral("http://z/"));
}

void tst_colURLs::printUrls()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    colURLs show;
    addThree(show);
    show.Add(QString(), QString(), -5, false);
    const LogCapture capture(folder.path(), true, true);
    show.Print_URLs();
    QCOMPARE(capture.messages(), (QStringList{"ID: http://a/ sound File: a.wav Pause Timer: 10",
                                              "ID: http://b/ sound File:  Pause Timer: 20",
                                              "ID: http://c/ sound File:  Pause Timer: 30",
                                              "ID:  sound File:  Pause Timer: -5"}));
}

QTEST_GUILESS_MAIN(tst_colURLs)
#include "tst_show_colURLs.moc"
