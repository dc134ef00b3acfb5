// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineRig.h"
#include "LogCapture.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using Mode = ShowEngine;

// Whole runs on the real alarm and step timer, against a recording browser
// and window. Most slides have no pause; a few keep a pause of a second.
class tst_ShowEngineRuns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void sequentialOnceShowsEachThenCompletes();
    void randomOnceShowsExactlyN();
    void continuousGoesRoundWithoutEnd();
    void skippedSlidesAreNotShownAndNextComesAtOnce();
    void backThroughHistory();
    void pauseHoldsTheRunUntilResumed();
    void forwardWhilePausedShowsOneSlideAndKeepsEachPause();
    void endingAndBeginning();
    void stopFromEveryMode_data();
    void stopFromEveryMode();
    void autoReloadFetchesAgainOnItsInterval();
    void autoReloadByHandRestartsTheInterval();
    void positionControlsChooseTheNextSlide();
    void showAgainWhileRunningShowsTheNextAtOnce();
    void oneLoop_data();
    void oneLoop();

private:
    QStringList logged(const QString& line) const;

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<LogCapture> m_log;
};

void tst_ShowEngineRuns::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_log = std::make_unique<LogCapture>(m_folder->path(), true, true);
}

void tst_ShowEngineRuns::cleanup()
{
    m_log.reset();
    m_folder.reset();
}

QStringList tst_ShowEngineRuns::logged(const QString& line) const
{
    return m_log->messages().filter(line);
}

void tst_ShowEngineRuns::sequentialOnceShowsEachThenCompletes()
{
    EngineRig rig;
    rig.addSlides(3, 1);
    rig.prepare(1, 1, 0);
    qint64 completedAt = -1;
    rig.view.onStatus = [&](const QString& text) {
        if (text == QLatin1String("Show complete."))
            completedAt = rig.browser.now();
    };

    rig.engine->mnuModeShow();
    QCOMPARE(rig.shown(), QList<int>({1}));
    QCOMPARE(rig.engine->CurrentMode(), Mode::ModeShow);
    QTRY_VERIFY_WITH_TIMEOUT(completedAt >= 0, 8000);

    QCOMPARE(rig.shown(), QList<int>({1, 2, 3}));
    const QList<qint64> times = rig.browser.navigationTimes();
    // Each slide keeps its second; the last one's alarm ends the run.
    QVERIFY(times.at(1) - times.at(0) >= 1000);
    QVERIFY(times.at(2) - times.at(1) >= 1000);
    QVERIFY(completedAt - times.at(2) >= 1000);

    QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
    QCOMPARE(rig.view.icons, QList<int>({101, 102}));
    QCOMPARE(rig.view.beeps, 1);
    QCOMPARE(rig.state.NumSlidesShown, 0);
    for (int k = 1; k <= 3; ++k)
        QCOMPARE(rig.show.Item(k)->ShownIndex, k);
}

void tst_ShowEngineRuns::randomOnceShowsExactlyN()
{
    EngineRig rig;
    rig.addSlides(5, 0);
    rig.prepare(2, 1, 0);
    rig.engine->mnuModeShow();
    QTRY_COMPARE_WITH_TIMEOUT(rig.view.status, QStringLiteral("Show complete."), 5000);

    QCOMPARE(rig.shown().size(), 5);
    QCOMPARE(logged(QStringLiteral("Random Car Bkg, slide id ")).size(), 5);
    // The generator is seeded once, at the second draw of the run.
    QCOMPARE(logged(QStringLiteral("Randomizing..")).size(), 1);
    QCOMPARE(logged(QStringLiteral("Don't randomize, 0")).size(), 1);
}

void tst_ShowEngineRuns::continuousGoesRoundWithoutEnd()
{
    EngineRig rig;
    rig.addSlides(3, 0);
    rig.prepare(1, 2, 0);
    rig.engine->mnuModeShow();
    QTRY_VERIFY_WITH_TIMEOUT(rig.shown().size() >= 8, 5000);
    QCOMPARE(rig.shown().mid(0, 8), QList<int>({1, 2, 3, 1, 2, 3, 1, 2}));
    QVERIFY(!rig.view.statusHistory.contains(QStringLiteral("Show complete.")));
    QCOMPARE(rig.engine->CurrentMode(), Mode::ModeShow);
    rig.engine->GoStop();
}

void tst_ShowEngineRuns::skippedSlidesAreNotShownAndNextComesAtOnce()
{
    EngineRig rig;
    rig.addSlides(1, 0, false, QStringLiteral("one.wav"));
    rig.addSlides(2, 0, true, QStringLiteral("skipped.wav"));
    rig.addSlides(1, 0);
    rig.prepare(1, 1, 0);
    rig.engine->mnuModeShow();
    QTRY_COMPARE_WITH_TIMEOUT(rig.view.status, QStringLiteral("Show complete."), 5000);

    QCOMPARE(rig.shown(), QList<int>({1, 4}));
    QCOMPARE(rig.sounds, QStringList({QStringLiteral("one.wav")}));
    // Skipped slides still enter the history.
    QCOMPARE(rig.engine->colHistory().size(), 4);
}

void tst_ShowEngineRuns::backThroughHistory()
{
    EngineRig rig;
    rig.addSlides(2, 60);
    rig.addSlides(1, 60, true);
    rig.addSlides(3, 60);
    rig.prepare(1, 2, 0);
    rig.engine->mnuModeShow();
    using Command = void (ShowEngine::*)();
    const Command back = &ShowEngine::GoBack;
    const Command forward = &ShowEngine::GoForward;
    // Back at the first slide shows it again; skipped slide 3 is passed
    // over both ways; after Back the run goes on from there.
    const QList<std::pair<Command, int>> steps = {{back, 1},    {forward, 2}, {forward, 4},
                                                  {forward, 5}, {forward, 6}, {back, 5},
                                                  {back, 4},    {back, 2},    {forward, 4}};
    for (const auto& [command, slide] : steps) {
        const qsizetype before = rig.shown().size();
        (rig.engine.get()->*command)();
        QTRY_COMPARE_WITH_TIMEOUT(rig.shown().size(), before + 1, 2000);
        QCOMPARE(rig.shown().last(), slide);
    }
    QCOMPARE(rig.view.beeps, 1);
    QCOMPARE(logged(QStringLiteral("Go Back Error, count <1")).size(), 1);
    QCOMPARE(rig.state.IsBacking, cShowState::False);
    QVERIFY(rig.engine->alarm().Enabled());
    rig.engine->GoStop();
}

// Commands during a pause come as events, as in the program: a step
// waiting in the pause runs below the test's own code.

void tst_ShowEngineRuns::pauseHoldsTheRunUntilResumed()
{
    EngineRig rig;
    rig.addSlides(3, 0);
    rig.prepare(1, 2, 0);
    rig.engine->mnuModeShow();
    QTRY_VERIFY_WITH_TIMEOUT(rig.shown().size() >= 2, 3000);

    rig.engine->GoPause();
    QCOMPARE(rig.view.status, QStringLiteral("Paused."));
    QCOMPARE(rig.view.icons.last(), 103);
    const qsizetype held = rig.shown().size();
    qsizetype shownWhilePaused = -1;
    QTimer::singleShot(700, rig.engine.get(), [&] {
        shownWhilePaused = rig.shown().size();
        rig.engine->GoPause();
    });
    QTRY_VERIFY_WITH_TIMEOUT(rig.shown().size() > held + 1, 5000);
    QCOMPARE(shownWhilePaused, held);
    QCOMPARE(rig.view.icons.last(), 101);
    rig.engine->GoStop();
}

void tst_ShowEngineRuns::forwardWhilePausedShowsOneSlideAndKeepsEachPause()
{
    EngineRig rig;
    rig.addSlides(4, 1);
    rig.prepare(1, 2, 0);
    rig.engine->mnuModeShow();
    rig.engine->GoPause();
    QList<int> beforeForward;
    QList<int> afterForward;
    QList<int> afterSecondAlarm;
    qint16 pausedAfterForward = cShowState::False;
    // Slide 1's alarm rings at 1 s; its step waits in the pause.
    QTimer::singleShot(1300, rig.engine.get(), [&] {
        beforeForward = rig.shown();
        rig.engine->GoForward();
        afterForward = rig.shown();
        pausedAfterForward = rig.state.IsPaused;
    });
    // Slide 2's alarm rings at 2.3 s, and waits too.
    QTimer::singleShot(2600, rig.engine.get(), [&] {
        afterSecondAlarm = rig.shown();
        rig.engine->GoPause();
    });
    QTRY_VERIFY_WITH_TIMEOUT(rig.shown().size() >= 4, 8000);

    QCOMPARE(beforeForward, QList<int>({1}));
    QCOMPARE(afterForward, QList<int>({1, 2}));
    QCOMPARE(pausedAfterForward, cShowState::True);
    QCOMPARE(afterSecondAlarm, QList<int>({1, 2}));
    QCOMPARE(rig.shown().mid(0, 4), QList<int>({1, 2, 3, 4}));
    // One step for the two alarms that waited: slide 3 keeps its second.
    const QList<qint64> times = rig.browser.navigationTimes();
    QVERIFY2(times.at(3) - times.at(2) >= 1000,
             qPrintable(QString::number(times.at(3) - times.at(2))));
    rig.engine->GoStop();
}

void tst_ShowEngineRuns::endingAndBeginning()
{
    EngineRig rig;
    rig.addSlides(5, 60);
    rig.prepare(1, 1, 0);
    rig.engine->mnuModeShow();
    rig.engine->GoEnd();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({1, 5}), 2000);
    // The step after the last slide completes the run.
    rig.engine->GoForward();
    QTRY_COMPARE_WITH_TIMEOUT(rig.view.status, QStringLiteral("Show complete."), 2000);
    QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);

    // Beginning puts the run back at the rest point.
    rig.engine->GoBegin();
    QCOMPARE(rig.state.NumCurrentSlide, 0);
    rig.engine->mnuModeShow();
    rig.engine->GoForward();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown().size(), 4, 2000);
    rig.engine->GoBegin();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({1, 5, 1, 2, 1}), 2000);
    rig.engine->GoStop();
}

void tst_ShowEngineRuns::stopFromEveryMode_data()
{
    QTest::addColumn<QString>("from");
    QTest::newRow("normal, automation") << QStringLiteral("normal");
    QTest::newRow("show") << QStringLiteral("show");
    QTest::newRow("show, paused") << QStringLiteral("paused");
    QTest::newRow("auto reload") << QStringLiteral("reload");
}

void tst_ShowEngineRuns::stopFromEveryMode()
{
    QFETCH(QString, from);
    EngineRig rig;
    rig.addSlides(3, 0);
    rig.prepare(1, 2, 0);
    rig.view.address = EngineRig::address(2);
    if (from == QLatin1String("show") || from == QLatin1String("paused")) {
        rig.engine->mnuModeShow();
        QTRY_VERIFY_WITH_TIMEOUT(rig.shown().size() >= 3, 3000);
        if (from == QLatin1String("paused"))
            rig.engine->GoPause();
    } else if (from == QLatin1String("reload")) {
        rig.engine->mnuModeAutoReload();
        QTRY_VERIFY_WITH_TIMEOUT(rig.shown().size() >= 3, 3000);
    }
    const int stopsBefore = rig.browser.count(QStringLiteral("Stop"));

    rig.engine->GoStop();

    QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
    QCOMPARE(rig.state.IsPaused, cShowState::False);
    QVERIFY(!rig.engine->alarm().Enabled());
    // Only Normal mode asks the browser to stop.
    const int stops = rig.browser.count(QStringLiteral("Stop")) - stopsBefore;
    QCOMPARE(stops, from == QLatin1String("normal") ? 1 : 0);
    const qsizetype after = rig.shown().size();
    QTest::qWait(300);
    QCOMPARE(rig.shown().size(), after);
    if (from != QLatin1String("normal"))
        QVERIFY(!rig.engine->pageWatcherActive());
}

void tst_ShowEngineRuns::autoReloadFetchesAgainOnItsInterval()
{
    EngineRig rig;
    rig.prepare(1, 1, 2);
    rig.view.address = QStringLiteral("http://reload.test/page");
    rig.engine->mnuModeAutoReload();
    QCOMPARE(rig.browser.navigations(), QStringList({rig.view.address}));
    QTRY_COMPARE_WITH_TIMEOUT(rig.browser.navigations().size(), 2, 4000);
    const QList<qint64> times = rig.browser.navigationTimes();
    QVERIFY(times.at(1) - times.at(0) >= 2000);
    QCOMPARE(rig.browser.count(QStringLiteral("Refresh")), 0);
    QCOMPARE(logged(QStringLiteral("begin pause for 2 seconds")).size(), 2);

    // Clicked again: back to Normal, nothing more is fetched.
    rig.engine->mnuModeAutoReload();
    QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
    QTest::qWait(300);
    QCOMPARE(rig.browser.navigations().size(), 2);
}

void tst_ShowEngineRuns::autoReloadByHandRestartsTheInterval()
{
    // Reloads by hand replace the interval: one fetch per step, not more.
    EngineRig rig;
    rig.prepare(1, 1, 0);
    rig.view.address = QStringLiteral("http://reload.test/page");
    rig.engine->mnuModeAutoReload();
    for (int i = 0; i < 5; ++i)
        rig.engine->AutoReloadStep();
    const qsizetype start = rig.browser.navigations().size();
    QTest::qWait(1000);
    const qsizetype fetched = rig.browser.navigations().size() - start;
    QVERIFY2(fetched >= 3 && fetched <= 12, qPrintable(QString::number(fetched)));
    rig.engine->GoStop();
}

void tst_ShowEngineRuns::positionControlsChooseTheNextSlide()
{
    EngineRig rig;
    rig.addSlides(5, 60, false, QStringLiteral("s.wav"));
    rig.prepare(1, 2, 0);

    // In Normal mode the slider only shows the slide's fields.
    rig.engine->SliderUserMoved(2);
    QVERIFY(rig.engine->bShowCurrent());
    QCOMPARE(rig.state.NumCurrentSlide, 2);
    QCOMPARE(rig.view.address, EngineRig::address(2));
    QCOMPARE(rig.view.pauseText, QStringLiteral("60"));
    QVERIFY(rig.browser.navigations().isEmpty());

    // The run then starts with that slide, not the one after it.
    rig.engine->mnuModeShow();
    QCOMPARE(rig.shown(), QList<int>({2}));
    QVERIFY(!rig.engine->bShowCurrent());

    // In Show mode a number typed shows that slide at once.
    rig.engine->SlideNumberEdited(QStringLiteral("4"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({2, 4}), 2000);
    rig.engine->GoStop();
}

void tst_ShowEngineRuns::showAgainWhileRunningShowsTheNextAtOnce()
{
    EngineRig rig;
    rig.addSlides(4, 60);
    rig.prepare(1, 1, 0);
    rig.engine->mnuModeShow();
    rig.engine->mnuModeShow();
    QCOMPARE(rig.shown(), QList<int>({1, 2}));
    QCOMPARE(logged(QStringLiteral("change_mode: same (3) exit sub")).size(), 1);
    // One alarm runs, not two.
    rig.engine->GoForward();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({1, 2, 3}), 2000);
    QTest::qWait(300);
    QCOMPARE(rig.shown().size(), 3);
    rig.engine->GoStop();
}

void tst_ShowEngineRuns::oneLoop_data()
{
    QTest::addColumn<qint16>("operation");
    QTest::newRow("once") << qint16(1);
    QTest::newRow("continuous until stopped") << qint16(2);
}

void tst_ShowEngineRuns::oneLoop()
{
    QFETCH(qint16, operation);
    OneLoopTimer alarm;
    EngineRig rig(&alarm);
    rig.addSlides(3, 1);
    rig.addSlides(1, 0);
    rig.prepare(1, operation, 0);
    if (operation == 2)
        QTimer::singleShot(250, rig.engine.get(), [&rig] { rig.engine->GoStop(); });
    // The whole run happens inside the step.
    rig.engine->mnuModeShow();
    const QList<int> shown = rig.shown();
    QVERIFY2(shown.size() >= (operation == 1 ? 4 : 6), qPrintable(QString::number(shown.size())));
    for (qsizetype i = 0; i < shown.size(); ++i)
        QCOMPARE(shown.at(i), int(i % 4) + 1);
    if (operation == 2)
        QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
    if (operation == 1) {
        QCOMPARE(shown.size(), 4);
        // A slide with no pause of its own waits nothing.
        QCOMPARE(alarm.waits, 3);
        QVERIFY(m_log->messages().contains(QStringLiteral("Carousel complete.")));
    }
}

QTEST_GUILESS_MAIN(tst_ShowEngineRuns)
#include "tst_ShowEngineRuns.moc"
