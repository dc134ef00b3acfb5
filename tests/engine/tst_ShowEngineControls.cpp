// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineRig.h"
#include "LogCapture.h"

#include "platform/ManualClock.h"
#include "platform/ScriptedPrompts.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using Mode = ShowEngine;

namespace {

VbError gone()
{
    return {462, QStringLiteral("The remote server machine does not exist or is unavailable")};
}

} // namespace

// The engine's commands, modes, position controls, options and watchers,
// one at a time, against a recording browser and window.
class tst_ShowEngineControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void modeSetsKeysChecksAndIcons_data();
    void modeSetsKeysChecksAndIcons();
    void browserCommands_data();
    void browserCommands();

    void pauseOfASlide_data();
    void pauseOfASlide();
    void refusedAlarm();
    void missingSlideStopsTheRun();

    void slider_data();
    void slider();
    void numberBox_data();
    void numberBox();

    void loadShow();
    void intervalBox();
    void applyShowOptions();

    void pageWatcherReportsLoading();
    void restartOfferedOnThe21stFailure_data();
    void restartOfferedOnThe21stFailure();
    void busyWait_data();
    void busyWait();
    void unattendedRunExitsAfterSevenSeconds();

private:
    qsizetype logged(const QString& line) const { return m_log->messages().filter(line).size(); }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<LogCapture> m_log;
};

void tst_ShowEngineControls::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_log = std::make_unique<LogCapture>(m_folder->path(), true, true);
}

void tst_ShowEngineControls::cleanup()
{
    m_log.reset();
    m_folder.reset();
}

void tst_ShowEngineControls::modeSetsKeysChecksAndIcons_data()
{
    QTest::addColumn<qint16>("mode");
    QTest::addColumn<QString>("browser");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("show") << Mode::ModeShow << "automation"
                          << "111111"
                          << "Mode: CAROUSEL ----------";
    QTest::newRow("auto reload") << Mode::ModeAutoReload << "automation"
                                 << "001001"
                                 << "Mode: AUTO RELOAD -------";
    QTest::newRow("normal, automation") << Mode::ModeNormal << "automation"
                                        << "010101"
                                        << "Mode: NORMAL ------------";
    QTest::newRow("normal, link") << Mode::ModeNormal << "link"
                                  << "000000"
                                  << "Mode: NORMAL ------------";
}

void tst_ShowEngineControls::modeSetsKeysChecksAndIcons()
{
    QFETCH(qint16, mode);
    QFETCH(QString, browser);
    QFETCH(QString, keys);
    QFETCH(QString, logLine);
    EngineRig rig;
    rig.useBrowser(browser);
    rig.state.IsPaused = cShowState::True;
    rig.engine->change_mode(mode);
    QCOMPARE(rig.options.ReloadMode, mode);
    QCOMPARE(rig.view.navKeyPattern(), keys);
    QVERIFY(rig.view.modeChecked[mode]);
    QVERIFY(m_log->messages().contains(logLine));
    QCOMPARE(rig.view.pauseVisible, mode != Mode::ModeAutoReload);
    // Entering Show clears a pause and shows the running icon.
    QCOMPARE(rig.state.IsPaused, mode == Mode::ModeShow ? cShowState::False : cShowState::True);
    QCOMPARE(rig.view.icons, mode == Mode::ModeShow ? QList<int>({101}) : QList<int>());
    QVERIFY(rig.browser.calls.isEmpty());

    rig.engine->change_mode(mode == Mode::ModeNormal ? Mode::ModeShow : Mode::ModeNormal);
    QVERIFY(!rig.view.modeChecked[mode]);
    if (mode == Mode::ModeShow)
        QCOMPARE(rig.view.icons, QList<int>({101, 102}));
}

void tst_ShowEngineControls::browserCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<qint16>("mode");
    QTest::addColumn<QString>("browser");
    QTest::addColumn<int>("ddeResult");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<int>("notifier");
    struct Row
    {
        const char *command, *browser;
        int dde;
        const char* calls;
        int notifier;
    };
    // Back in Normal mode first reads where the browser is.
    const Row rows[] = {
        {"address", "automation", 0, "Navigate", 0},
        {"address", "link", 282, "DDEOpenURL", 1},
        {"address", "link", 286, "DDEOpenURL", 0},
        {"reload", "automation", 0, "Refresh", 0},
        {"reload", "link", 282, "DDEOpenURL", 1},
        {"reload", "none", 0, "", 0},
        {"forward back", "automation", 0, "GoForward,LocationURL,GoBack", 0},
        {"forward back", "link", 0, "", 0},
    };
    for (const Row& r : rows) {
        QTest::addRow("%s, %s, %d", r.command, r.browser, r.dde)
            << r.command << Mode::ModeNormal << r.browser << r.dde << r.calls << r.notifier;
    }
    // In Show mode with no alarm running there is nothing to cut short.
    QTest::newRow("forward back, show")
        << "forward back" << Mode::ModeShow << "automation" << 0 << "GoForward,GoBack" << 0;
}

void tst_ShowEngineControls::browserCommands()
{
    QFETCH(QString, command);
    QFETCH(qint16, mode);
    QFETCH(QString, browser);
    QFETCH(int, ddeResult);
    QFETCH(QString, calls);
    QFETCH(int, notifier);
    EngineRig rig;
    rig.useBrowser(browser);
    rig.browser.ddeResult = ddeResult;
    rig.engine->change_mode(mode);
    const QString text = QStringLiteral("www.example.org");
    if (command == QLatin1String("address")) {
        rig.engine->cboAddress_Click();
        QVERIFY(rig.browser.calls.isEmpty());
        rig.view.address = text;
        rig.engine->cboAddress_Click();
        QCOMPARE(rig.view.statusHistory, QStringList({QStringLiteral("Working...")}));
        QVERIFY(rig.engine->pageWatcherActive());
        QCOMPARE(rig.browser.navigations(), QStringList({text}));
        QCOMPARE(rig.view.addressList, QStringList({text}));
    } else if (command == QLatin1String("reload")) {
        rig.view.address = text;
        rig.engine->GoReload();
        QVERIFY(rig.view.addressList.isEmpty());
    } else {
        rig.engine->GoForward();
        rig.engine->GoBack();
        QCOMPARE(rig.view.address,
                 calls.contains(QLatin1String("LocationURL")) ? rig.browser.location : QString());
        QCOMPARE(rig.state.IsBacking, cShowState::False);
        QCOMPARE(logged(QStringLiteral("VexiloTimer1 not enabled!")),
                 mode == Mode::ModeShow ? 2 : 0);
    }
    QCOMPARE(rig.callNames(), calls);
    QCOMPARE(rig.browser.notifierPrompts, notifier);
}

void tst_ShowEngineControls::pauseOfASlide_data()
{
    QTest::addColumn<bool>("useDefault");
    QTest::addColumn<qint16>("pauseTime");
    QTest::addColumn<qint32>("alarmSeconds");
    QTest::addColumn<QString>("label");
    QTest::newRow("own pause") << false << qint16(7) << 7 << "7";
    QTest::newRow("pause 0 takes the default") << false << qint16(0) << 30 << "";
    QTest::newRow("use default keeps the label") << true << qint16(7) << 30 << "earlier";
}

void tst_ShowEngineControls::pauseOfASlide()
{
    QFETCH(bool, useDefault);
    QFETCH(qint16, pauseTime);
    QFETCH(qint32, alarmSeconds);
    QFETCH(QString, label);
    EngineRig rig;
    rig.addSlides(1, pauseTime, false, QStringLiteral("s.wav"));
    rig.options.UseDefault = useDefault;
    rig.options.ReloadInterval = 30;
    rig.view.pauseText = QStringLiteral("earlier");
    rig.engine->ShowSlide(rig.show.Item(1), 1, true);
    QCOMPARE(rig.engine->alarm().AlarmSeconds(), alarmSeconds);
    QVERIFY(rig.engine->alarm().Enabled());
    QCOMPARE(rig.view.pauseText, label);
    QCOMPARE(rig.sounds, QStringList({QStringLiteral("s.wav")}));
    QCOMPARE(rig.view.address, EngineRig::address(1));
    QCOMPARE(m_log->messages().filter(QStringLiteral("Pause Time: ")),
             QStringList({QStringLiteral("Pause Time: ") + QString::number(alarmSeconds)}));
    rig.engine->alarm().setEnabled(false);
}

void tst_ShowEngineControls::refusedAlarm()
{
    RefusingTimer alarm;
    EngineRig rig(&alarm);
    rig.addSlides(1, 5);
    rig.addSlides(1, 5, true);
    rig.engine->change_mode(Mode::ModeShow);

    // Not shown; Forward finds no alarm and falls back to the browser.
    rig.engine->ShowSlide(rig.show.Item(1), 1, true);
    QVERIFY(rig.browser.navigations().isEmpty());
    QCOMPARE(rig.show.Item(1)->TimesShown, 0);
    QCOMPARE(m_log->messages().count(QStringLiteral("ShowSlide: Add alarm failed.")), 1);

    // A skipped slide only logs (without the full stop).
    rig.engine->ShowSlide(rig.show.Item(2), 2, true);
    QCOMPARE(m_log->messages().count(QStringLiteral("ShowSlide: Add alarm failed")), 1);
    QCOMPARE(rig.browser.count(QStringLiteral("GoForward")), 1);
    QCOMPARE(alarm.refused, 2);
}

void tst_ShowEngineControls::missingSlideStopsTheRun()
{
    EngineRig rig;
    rig.addSlides(3, 5);
    rig.prepare(1, 2, 0);
    rig.engine->change_mode(Mode::ModeShow);
    rig.state.NumCurrentSlide = 7;
    rig.engine->CarouselStep();
    QVERIFY(rig.browser.navigations().isEmpty());
    QVERIFY(!rig.engine->alarm().Enabled());
    QVERIFY(m_log->messages().contains(
        QStringLiteral("ERROR running carousel: 9,  Description: Subscript out of range")));
}

void tst_ShowEngineControls::slider_data()
{
    QTest::addColumn<int>("slides");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("ticks");
    QTest::newRow("empty") << 0 << 1 << 1;
    QTest::newRow("one slide") << 1 << 1 << 1;
    QTest::newRow("51") << 51 << 51 << 5;
    QTest::newRow("300") << 300 << 300 << 25;
}

void tst_ShowEngineControls::slider()
{
    QFETCH(int, slides);
    QFETCH(int, maximum);
    QFETCH(int, ticks);
    EngineRig rig;
    // A slider left far along by an earlier, longer show.
    rig.addSlides(400, 5);
    rig.engine->do_set_collect();
    rig.engine->SliderUserMoved(350);
    rig.show.EraseAll();
    rig.addSlides(slides, 5);

    rig.engine->do_set_collect();
    QCOMPARE(rig.view.sliderEnabled, slides > 0);
    QCOMPARE(rig.view.sliderMaximum, maximum);
    QCOMPARE(rig.view.colMax, slides ? QString::number(slides) : QString());
    if (slides) {
        QCOMPARE(rig.view.sliderTicks, ticks);
        QCOMPARE(rig.view.upDownMaximum, slides);
    }
    QCOMPARE(rig.state.NumCurrentSlide, 0);
    QCOMPARE(rig.view.sliderValue, 0);
    QCOMPARE(rig.view.address, QString());
}

void tst_ShowEngineControls::numberBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("slide");
    QTest::addColumn<QString>("error");
    QTest::newRow("a slide") << " 3" << 3 << "";
    QTest::newRow("fraction rounds to even") << "2.5" << 2 << "";
    QTest::newRow("letters are the rest point") << "abc" << 0 << "";
    QTest::newRow("five characters") << "12345" << -1 << "UPDWN value >4 chars.";
    QTest::newRow("past the show") << "9" << -1 << "UPDWN value exceeds max or <0.";
}

void tst_ShowEngineControls::numberBox()
{
    QFETCH(QString, text);
    QFETCH(int, slide);
    QFETCH(QString, error);
    EngineRig rig;
    rig.addSlides(5, 5);
    rig.prepare(1, 1, 0);
    rig.engine->SliderUserMoved(1);
    rig.view.beeps = 0;

    rig.engine->SlideNumberEdited(text);
    QCOMPARE(rig.view.beeps, slide < 0 ? 1 : 0);
    if (slide < 0) {
        QCOMPARE(logged(error), 1);
        slide = 1;
    } else {
        QVERIFY(m_log->messages().contains(QStringLiteral("New slide value: %1").arg(slide)));
        QCOMPARE(rig.view.address, slide ? EngineRig::address(slide) : QString());
    }
    QCOMPARE(rig.state.NumCurrentSlide, slide);
    QCOMPARE(rig.view.sliderValue, slide);
    QVERIFY(rig.browser.calls.isEmpty());
}

void tst_ShowEngineControls::loadShow()
{
    const QString file = m_folder->filePath(QStringLiteral("Demo.TXT"));
    EngineRig::saveShow(file, 3);
    EngineRig rig;
    rig.view.address = QStringLiteral("old");
    rig.state.NumCurrentSlide = 9;
    QVERIFY(rig.engine->load_show(file));
    QCOMPARE(rig.view.title, QStringLiteral("Demo - Vexilo Software Pagewheel"));
    QCOMPARE(rig.view.status, QStringLiteral("Number of slides: 3"));
    QCOMPARE(rig.options.CarouselFileName, file);
    QCOMPARE(rig.state.NumCurrentSlide, 0);
    QCOMPARE(rig.view.address, QString());

    QVERIFY(!rig.engine->load_show(m_folder->filePath(QStringLiteral("missing.txt"))));
    QCOMPARE(rig.view.status, QStringLiteral("No slides in show."));
}

void tst_ShowEngineControls::intervalBox()
{
    ScriptedPrompts prompts;
    EngineRig rig;
    rig.options.ReloadInterval = 15;
    rig.engine->IntervalEdited();
    rig.view.interval = QStringLiteral("2 min");
    rig.engine->IntervalBoxLostFocus();
    QCOMPARE(prompts.texts(), QStringList({QStringLiteral("Choose a setting from the pull down")}));
    QCOMPARE(rig.options.ReloadInterval, 15);

    // A typed interval counts from the next slide on.
    rig.view.interval = QStringLiteral(" 2 min");
    rig.addSlides(1, 0);
    rig.engine->ShowSlide(rig.show.Item(1), 1, true);
    QCOMPARE(rig.engine->alarm().AlarmSeconds(), 120);
    QVERIFY(rig.options.Changed);
    rig.engine->alarm().setEnabled(false);
}

void tst_ShowEngineControls::applyShowOptions()
{
    const QString file = m_folder->filePath(QStringLiteral("Start.txt"));
    EngineRig::saveShow(file, 4);
    EngineRig rig;
    rig.options.CarouselOperation = 2;
    rig.options.CarouselMode = 2;
    rig.options.AutoStart = true;
    rig.options.CarouselFileName = file;
    rig.options.StartingSlide = 3;
    rig.options.BusyWait = true;
    rig.options.UseDefault = true;
    rig.options.ToolTips = false;
    rig.engine->change_mode(Mode::ModeNormal);

    rig.engine->ApplyShowOptions();
    QCOMPARE(rig.view.log, QStringList({"layout", "operation 1", "order 1", "auto start", "recent",
                                        "busy wait", "use default", "tool tips", "browser"}));
    QCOMPARE(rig.state.ShowRepeatMode, 2);
    QCOMPARE(rig.state.SlideSelectionMode, 2);
    // The starting slide: a sequential run goes on after it.
    QCOMPARE(rig.state.NumCurrentSlide, 3);
    QCOMPARE(rig.view.address, EngineRig::address(3));
    QVERIFY(rig.browser.calls.isEmpty());
}

void tst_ShowEngineControls::pageWatcherReportsLoading()
{
    EngineRig rig;
    int busyTicks = 3;
    rig.browser.busy = [&busyTicks](VbError*) { return busyTicks-- > 0; };
    rig.view.address = QStringLiteral("http://a.test/");
    rig.engine->cboAddress_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.engine->pageWatcherActive(), 2000);
    QCOMPARE(rig.view.statusHistory, QStringList({"Working...", "Loading page...",
                                                  "Loading page...", "Loading page...", "Ready."}));
}

void tst_ShowEngineControls::restartOfferedOnThe21stFailure_data()
{
    QTest::addColumn<int>("goodRead");
    QTest::addColumn<int>("calls");
    QTest::newRow("21 failures") << 0 << 21;
    // Ten failures, one answer (still loading): the count starts again.
    QTest::newRow("a good tick between") << 11 << 10 + 21;
}

void tst_ShowEngineControls::restartOfferedOnThe21stFailure()
{
    QFETCH(int, goodRead);
    QFETCH(int, calls);
    // The test clock lets the half-second sleep after each failure pass at once.
    ManualClock clock;
    EngineRig rig;
    int reads = 0;
    rig.browser.busy = [&](VbError* error) {
        if (++reads != goodRead)
            *error = gone();
        return true;
    };
    int callsWhileAsking = -1;
    rig.browser.onRestartPrompt = [&rig, &callsWhileAsking] {
        // A modal box: the watcher ticks on while it is open and must not ask again.
        QEventLoop box;
        QTimer::singleShot(300, &box, &QEventLoop::quit);
        box.exec();
        callsWhileAsking = rig.browser.terminateCalls;
        rig.browser.busy = {};
    };
    rig.engine->NavKeyPressed(2);
    QTRY_COMPARE_WITH_TIMEOUT(rig.browser.restartPrompts, 1, 5000);
    QCOMPARE(rig.browser.terminateCalls, calls);
    QCOMPARE(callsWhileAsking, calls);
    QCOMPARE(rig.engine->TerminateCount(), 0);
    QCOMPARE(clock.sleptMilliseconds() / 500, calls);
    QCOMPARE(logged(QStringLiteral("Browser exception (timTimer): 462, Description: The remote "
                                   "server machine does not exist or is unavailable")),
             calls);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.engine->pageWatcherActive(), 2000);
    QCOMPARE(rig.view.status, QStringLiteral("Ready."));
}

void tst_ShowEngineControls::busyWait_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("rounds");
    QTest::newRow("loads in three seconds") << "slow" << 3;
    // Both steps of the run (after slide 1 and after slide 2) wait.
    QTest::newRow("never done: 121 rounds a step") << "stuck" << 2 * 121;
    QTest::newRow("option switched off in the fourth round") << "switched off" << 4;
    QTest::newRow("no busy wait through the link") << "link" << 0;
}

void tst_ShowEngineControls::busyWait()
{
    QFETCH(QString, page);
    QFETCH(int, rounds);
    // A one-second round passes at once on the test clock.
    ManualClock clock;
    EngineRig rig;
    rig.addSlides(2, 0);
    rig.prepare(1, 1, 0);
    rig.options.BusyWait = true;
    rig.browser.busy = [&](VbError*) {
        return page != QLatin1String("slow") || clock.sleptMilliseconds() < 3000;
    };
    if (page == QLatin1String("link")) {
        rig.useBrowser(page);
    } else if (page == QLatin1String("switched off")) {
        clock.onRead([&](int) {
            if (clock.sleptMilliseconds() > 3500)
                rig.options.BusyWait = false;
        });
    }
    rig.engine->mnuModeShow();
    // The page watcher may write over the status afterwards.
    QTRY_VERIFY_WITH_TIMEOUT(rig.view.statusHistory.contains(QStringLiteral("Show complete.")),
                             3000);
    QCOMPARE(rig.shown(), QList<int>({1, 2}));
    QCOMPARE(logged(QStringLiteral("Timer done but IE busy, wait till done ")), rounds);
}

void tst_ShowEngineControls::unattendedRunExitsAfterSevenSeconds()
{
    ManualClock clock;
    EngineRig rig;
    rig.addSlides(1, 0);
    rig.prepare(1, 1, 0);
    rig.options.AutoStart = true;
    QSignalSpy exit(rig.engine.get(), &ShowEngine::exitRequested);
    rig.engine->mnuModeShow();
    QVERIFY(exit.wait(3000));
    QCOMPARE(rig.view.status, QStringLiteral("Show complete."));
    QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
    QVERIFY(m_log->messages().contains(QStringLiteral("Paused for 7.000 seconds")));
}

QTEST_GUILESS_MAIN(tst_ShowEngineControls)
#include "tst_ShowEngineControls.moc"
