// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineRig.h"
#include "LogCapture.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using Mode = ShowEngine;

// Whole runs on the real alarm and step timer, against a browser and a
// window that record what they are asked. Most slides have no pause (the
// step timer alone paces them); a few keep a pause of a second.
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
    void backWalksTheHistoryAndForwardGoesOn();
    void backAtTheFirstSlideKeepsTheRunGoing();
    void backPassesOverSkippedSlides();
    void pauseHoldsTheRunUntilResumed();
    void forwardWhilePausedShowsOneSlideAndKeepsEachPause();
    void endingAndBeginning();
    void stopFromEveryMode_data();
    void stopFromEveryMode();
    void autoReloadFetchesAgainOnItsInterval();
    void autoReloadByHandRestartsTheInterval();
    void positionControlsChooseTheNextSlide();
    void showAgainWhileRunningShowsTheNextAtOnce();
    void oneLoopShowsEverySlideInOnePass();
    void oneLoopContinuousRepeatsUntilStopped();

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
    QCOMPARE(rig.options.ReloadMode, Mode::ModeNormal);
    QVERIFY(rig.view.modeChecked[1] && !rig.view.modeChecked[3]);
    QCOMPARE(rig.view.icons, QList<int>({101, 102}));
    QCOMPARE(rig.view.beeps, 1);
    QCOMPARE(rig.state.NumSlidesShown, 0);
    QCOMPARE(rig.engine->colHistory().size(), 3);
    QCOMPARE(rig.view.addressList.size(), 3);
    QCOMPARE(rig.view.sliderValue, 3);
    for (int k = 1; k <= 3; ++k) {
        const auto slide = rig.show.Item(k);
        QCOMPARE(slide->TimesShown, 1);
        QCOMPARE(slide->ShownIndex, k);
        QVERIFY(slide->DateLastVisited > 40000);
    }
    QCOMPARE(logged(QStringLiteral("Pause Time: 1")).size(), 3);
    QVERIFY(m_log->messages().contains(QStringLiteral("Mode: CAROUSEL ----------")));
    QVERIFY(m_log->messages().contains(QStringLiteral("Mode: NORMAL ------------")));
}

void tst_ShowEngineRuns::randomOnceShowsExactlyN()
{
    EngineRig rig;
    rig.addSlides(5, 0);
    rig.prepare(2, 1, 0);
    rig.engine->mnuModeShow();
    QTRY_COMPARE_WITH_TIMEOUT(rig.view.status, QStringLiteral("Show complete."), 5000);

    const QList<int> shown = rig.shown();
    QCOMPARE(shown.size(), 5);
    for (const int k : shown)
        QVERIFY(k >= 1 && k <= 5);
    QCOMPARE(logged(QStringLiteral("Random Car Bkg, slide id ")).size(), 5);
    // The generator is seeded once, at the second draw of the run.
    QCOMPARE(logged(QStringLiteral("Randomizing..")).size(), 1);
    QCOMPARE(logged(QStringLiteral("Don't randomize, 0")).size(), 1);
    QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
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
    const qsizetype after = rig.shown().size();
    QTest::qWait(400);
    QCOMPARE(rig.shown().size(), after);
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
    QCOMPARE(rig.show.Item(2)->TimesShown, 0);
    QCOMPARE(rig.show.Item(3)->TimesShown, 0);
    // Skipped slides still enter the history.
    QCOMPARE(rig.engine->colHistory().size(), 4);
    QCOMPARE(logged(QStringLiteral("Pause Time: ")).size(), 2);
}

void tst_ShowEngineRuns::backWalksTheHistoryAndForwardGoesOn()
{
    EngineRig rig;
    rig.addSlides(6, 60);
    rig.prepare(1, 2, 0);
    rig.engine->mnuModeShow();
    for (int k = 2; k <= 5; ++k) {
        rig.engine->GoForward();
        QTRY_COMPARE_WITH_TIMEOUT(rig.shown().size(), k, 2000);
    }
    QCOMPARE(rig.shown(), QList<int>({1, 2, 3, 4, 5}));

    rig.engine->GoBack();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown().size(), 6, 2000);
    QCOMPARE(rig.shown().last(), 4);
    rig.engine->GoBack();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown().size(), 7, 2000);
    QCOMPARE(rig.shown().last(), 3);
    QCOMPARE(rig.engine->colHistory().size(), 3);
    QCOMPARE(rig.state.IsBacking, cShowState::False);

    rig.engine->GoForward();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown().size(), 8, 2000);
    QCOMPARE(rig.shown().last(), 4);
    QCOMPARE(rig.engine->colHistory().size(), 4);
    rig.engine->GoStop();
}

void tst_ShowEngineRuns::backAtTheFirstSlideKeepsTheRunGoing()
{
    EngineRig rig;
    rig.addSlides(3, 60);
    rig.prepare(1, 1, 0);
    rig.engine->mnuModeShow();
    rig.engine->GoBack();
    // Nothing earlier: the slide on screen starts again, with its alarm.
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({1, 1}), 2000);
    QCOMPARE(rig.view.beeps, 1);
    QCOMPARE(logged(QStringLiteral("Go Back Error, count <1")).size(), 1);
    QCOMPARE(rig.engine->colHistory().size(), 1);
    QVERIFY(rig.engine->alarm().Enabled());
    rig.engine->GoForward();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({1, 1, 2}), 2000);
    rig.engine->GoStop();
}

void tst_ShowEngineRuns::backPassesOverSkippedSlides()
{
    EngineRig rig;
    rig.addSlides(2, 60);
    rig.addSlides(1, 60, true);
    rig.addSlides(2, 60);
    rig.prepare(1, 2, 0);
    rig.engine->mnuModeShow();
    rig.engine->GoForward();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({1, 2}), 2000);
    rig.engine->GoForward();
    // Slide 3 is passed over at once.
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({1, 2, 4}), 2000);
    rig.engine->GoBack();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({1, 2, 4, 2}), 2000);
    // And the run goes on from there, not from the first slide.
    rig.engine->GoForward();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({1, 2, 4, 2, 4}), 2000);
    rig.engine->GoStop();
}

// A step waiting in the pause wait runs below the test's own code, so the
// user's commands during a pause come as events, as they do in the program.

void tst_ShowEngineRuns::pauseHoldsTheRunUntilResumed()
{
    EngineRig rig;
    rig.addSlides(3, 0);
    rig.prepare(1, 2, 0);
    rig.engine->mnuModeShow();
    QTRY_VERIFY_WITH_TIMEOUT(rig.shown().size() >= 2, 3000);

    rig.engine->GoPause();
    QCOMPARE(rig.state.IsPaused, cShowState::True);
    QCOMPARE(rig.view.status, QStringLiteral("Paused."));
    QCOMPARE(rig.view.icons.last(), 103);
    QVERIFY(rig.view.pauseChecked);
    const qsizetype held = rig.shown().size();
    qsizetype shownWhilePaused = -1;
    QTimer::singleShot(700, rig.engine.get(), [&] {
        shownWhilePaused = rig.shown().size();
        rig.engine->GoPause();
    });
    QTRY_VERIFY_WITH_TIMEOUT(rig.shown().size() > held + 1, 5000);
    QCOMPARE(shownWhilePaused, held);
    QCOMPARE(rig.state.IsPaused, cShowState::False);
    QCOMPARE(rig.view.icons.last(), 101);
    QVERIFY(!rig.view.pauseChecked);
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
    QVERIFY(logged(QStringLiteral("GoEnd")).size() == 1);
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
    QTest::newRow("normal, link") << QStringLiteral("link");
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
    if (from == QLatin1String("link")) {
        rig.browser.ole = false;
        rig.browser.dde = true;
    } else if (from == QLatin1String("show") || from == QLatin1String("paused")) {
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
    QCOMPARE(rig.options.ReloadMode, Mode::ModeNormal);
    QCOMPARE(rig.state.IsPaused, cShowState::False);
    QVERIFY(!rig.view.pauseChecked);
    QVERIFY(!rig.engine->alarm().Enabled());
    QVERIFY(rig.view.pauseVisible);
    // Only Normal mode with automation asks the browser to stop.
    const int stops = rig.browser.count(QStringLiteral("Stop")) - stopsBefore;
    QCOMPARE(stops, from == QLatin1String("normal") ? 1 : 0);
    const qsizetype after = rig.shown().size();
    QTest::qWait(300);
    QCOMPARE(rig.shown().size(), after);
    if (from != QLatin1String("normal") && from != QLatin1String("link"))
        QVERIFY(!rig.engine->pageWatcherActive());
}

void tst_ShowEngineRuns::autoReloadFetchesAgainOnItsInterval()
{
    EngineRig rig;
    rig.prepare(1, 1, 2);
    rig.view.address = QStringLiteral("http://reload.test/page");
    rig.engine->mnuModeAutoReload();
    QCOMPARE(rig.browser.navigations(), QStringList({rig.view.address}));
    QCOMPARE(rig.view.navKeyPattern(), QStringLiteral("001001"));
    QVERIFY(!rig.view.pauseVisible);
    QVERIFY(rig.view.modeChecked[2]);
    QTRY_COMPARE_WITH_TIMEOUT(rig.browser.navigations().size(), 2, 4000);
    const QList<qint64> times = rig.browser.navigationTimes();
    QVERIFY(times.at(1) - times.at(0) >= 2000);
    QCOMPARE(rig.browser.count(QStringLiteral("Refresh")), 0);
    QCOMPARE(logged(QStringLiteral("begin pause for 2 seconds")).size(), 2);

    // Clicked again: back to Normal, nothing more is fetched.
    rig.engine->mnuModeAutoReload();
    QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
    QVERIFY(rig.view.pauseVisible);
    QVERIFY(!rig.engine->alarm().Enabled());
    QTest::qWait(300);
    QCOMPARE(rig.browser.navigations().size(), 2);
}

void tst_ShowEngineRuns::autoReloadByHandRestartsTheInterval()
{
    // Each reload by hand expires the running interval and arms a new one:
    // the pace stays one fetch per step, however often it is pressed.
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
    QCOMPARE(rig.view.slideNumber, QStringLiteral("2"));
    QCOMPARE(rig.view.address, EngineRig::address(2));
    QCOMPARE(rig.view.soundText, QStringLiteral("s.wav"));
    QCOMPARE(rig.view.pauseText, QStringLiteral("60"));
    QVERIFY(rig.browser.navigations().isEmpty());

    // The run then starts with that slide, not the one after it.
    rig.engine->mnuModeShow();
    QCOMPARE(rig.shown(), QList<int>({2}));
    QVERIFY(!rig.engine->bShowCurrent());

    // In Show mode a number typed shows that slide at once.
    rig.engine->SlideNumberEdited(QStringLiteral("4"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({2, 4}), 2000);
    rig.engine->UpDownClicked(5);
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({2, 4, 5}), 2000);
    QCOMPARE(rig.view.sliderValue, 5);
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
    QCOMPARE(rig.state.NumSlidesShown, 1);
    // One alarm runs, not two.
    rig.engine->GoForward();
    QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({1, 2, 3}), 2000);
    QTest::qWait(300);
    QCOMPARE(rig.shown().size(), 3);
    rig.engine->GoStop();
}

void tst_ShowEngineRuns::oneLoopShowsEverySlideInOnePass()
{
    OneLoopTimer alarm;
    EngineRig rig(&alarm);
    rig.addSlides(3, 1);
    rig.addSlides(1, 0);
    rig.prepare(1, 1, 0);
    rig.engine->mnuModeShow();
    // The whole pass ran inside the step.
    QCOMPARE(rig.shown(), QList<int>({1, 2, 3, 4}));
    // A slide with no pause of its own waits nothing.
    QCOMPARE(alarm.waits, 3);
    QCOMPARE(rig.engine->colHistory().size(), 4);
    QCOMPARE(rig.view.beeps, 1);
    QVERIFY(m_log->messages().contains(QStringLiteral("Slide number: 2 URL: ") +
                                       EngineRig::address(2)));
    QVERIFY(m_log->messages().contains(QStringLiteral("Carousel complete.")));
    QVERIFY(alarm.owners().isEmpty());
}

void tst_ShowEngineRuns::oneLoopContinuousRepeatsUntilStopped()
{
    OneLoopTimer alarm;
    EngineRig rig(&alarm);
    rig.addSlides(3, 1);
    rig.prepare(1, 2, 0);
    QTimer::singleShot(250, rig.engine.get(), [&rig] { rig.engine->GoStop(); });
    rig.engine->mnuModeShow();
    // The loop ended once the mode left Show.
    QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
    const QList<int> shown = rig.shown();
    QVERIFY2(shown.size() >= 5, qPrintable(QString::number(shown.size())));
    for (qsizetype i = 0; i < shown.size(); ++i)
        QCOMPARE(shown.at(i), int(i % 3) + 1);
}

QTEST_GUILESS_MAIN(tst_ShowEngineRuns)
#include "tst_ShowEngineRuns.moc"
