// SPDX-License-Identifier: GPL-3.0-or-later
#include "AutomationAdapter.h"
#include "EngineRig.h"
#include "EngineStandIns.h"
#include "LogCapture.h"

#include "engine/IntervalBox.h"
#include "engine/ShowEngine.h"
#include "engine/modInterval.h"
#include "platform/AutomationBrowser.h"
#include "platform/ManualClock.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "settings/cShowState.h"
#include "show/colURLs.h"
#include "tests/support/HeadlessChromium.h"
#include "tests/support/TestHttpServer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The engine's commands, modes, position controls, options and watchers one
// at a time, then whole runs on the real alarm and step timer, against a
// recording browser and window. Commands during a pause come as events, as
// in the program: a step waiting in the pause runs below the test's code.
class tst_ShowEngine : public QObject
{
    Q_OBJECT

    qsizetype logged(const QString& line) const { return m_log->messages().filter(line).size(); }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<LogCapture> m_log;

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_log = std::make_unique<LogCapture>(m_folder->path(), true, true);
    }
    void cleanup()
    {
        m_log.reset();
        m_folder.reset();
    }
    // The alarm on the real clock: one event per armed alarm, AlarmSeconds after arming, at once
    // for 0 and after Expire; the table of reload intervals.
    void ringsOnceAfterItsSeconds()
    {
        // A reload by hand expires the running interval and arms the next: only the new one
        // may ring, or the reloads would multiply.
        for (const bool rearmed : {false, true}) {
            VexiloTimer alarm;
            QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
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
    }
    void expireAndZero()
    {
        // 68 years are far more milliseconds than a QTimer counts: no early ring, no wrap.
        for (const qint32 seconds : {60, std::numeric_limits<qint32>::max()}) {
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
        // Below 0 counts as 0: it rings at once, but never inside the call that arms it (the
        // engine arms inside its own steps), and not once disarmed.
        VexiloTimer alarm;
        QSignalSpy rang(&alarm, &VexiloTimer::Alarm);
        alarm.setAlarmSeconds(-5);
        QCOMPARE(alarm.AlarmSeconds(), 0);
        alarm.setEnabled(true);
        alarm.setEnabled(false);
        QTest::qWait(200);
        alarm.setEnabled(true);
        QCOMPARE(rang.size(), 0);
        QVERIFY(rang.wait(500));
    }
    // Unknown texts are compared exactly: blanks and case matter.
    void intervalTexts_data()
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
    void intervalTexts()
    {
        QFETCH(QString, text);
        QFETCH(qint32, seconds);
        QFETCH(bool, known);
        QCOMPARE(modInterval::TmeStrgtoSec(text), known ? seconds : -1);
        QCOMPARE(modInterval::SectoTmeStrg(seconds), known ? text : QStringLiteral("-1"));
        QCOMPARE(m_log->messages(),
                 known
                     ? QStringList()
                     : QStringList({"TmeStrgtoSec: Cant understand: " + text,
                                    "SectoTmeStrg: Cant understand: " + QString::number(seconds)}));
        // The box shows the interval over its list, which leaves out two minutes.
        FakeBox box;
        modInterval::load_reload_cbo(box, seconds);
        QCOMPARE(box.text, known ? text : QStringLiteral("-1"));
        QCOMPARE(box.items.size(), 17);
    }
    void modeSetsKeysChecksAndIcons()
    {
        for (const auto& [mode, browser, keys] :
             {std::tuple{Mode::ModeShow, "automation", "111111"},
              {Mode::ModeAutoReload, "automation", "001001"},
              {Mode::ModeNormal, "automation", "010101"},
              {Mode::ModeNormal, "link", "000000"}}) {
            Rig rig;
            rig.useBrowser(QLatin1String(browser));
            rig.state.IsPaused = cShowState::True;
            rig.engine->change_mode(mode);
            QCOMPARE(rig.view.navKeyPattern(), QLatin1String(keys));
            QVERIFY(rig.view.modeChecked[mode]);
            QCOMPARE(rig.view.pauseVisible, mode != Mode::ModeAutoReload);
            QCOMPARE(rig.state.IsPaused,
                     mode == Mode::ModeShow ? cShowState::False : cShowState::True);
            QCOMPARE(rig.view.icons, mode == Mode::ModeShow ? QList<int>({101}) : QList<int>());
            rig.engine->change_mode(mode == Mode::ModeNormal ? Mode::ModeShow : Mode::ModeNormal);
            QVERIFY(!rig.view.modeChecked[mode]);
        }
    }
    void browserCommands_data()
    {
        QTest::addColumn<CommandCase>("c");
        const auto row = [](const CommandCase& c) {
            QTest::addRow("%s, %s, %d, mode %d", qPrintable(c.command), qPrintable(c.browser),
                          c.ddeResult, c.mode)
                << c;
        };
        // Back in Normal mode first reads where the browser is; in Show mode
        // with no alarm running there is nothing to cut short.
        row({"address", "automation", Mode::ModeNormal, 0, "Navigate", 0});
        row({"address", "link", Mode::ModeNormal, 282, "DDEOpenURL", 1});
        row({"address", "link", Mode::ModeNormal, 286, "DDEOpenURL", 0});
        row({"reload", "automation", Mode::ModeNormal, 0, "Refresh", 0});
        row({"reload", "link", Mode::ModeNormal, 282, "DDEOpenURL", 1});
        row({"reload", "none", Mode::ModeNormal, 0, "", 0});
        row({"forward back", "automation", Mode::ModeNormal, 0, "GoForward,LocationURL,GoBack", 0});
        row({"forward back", "link", Mode::ModeNormal, 0, "", 0});
        row({"forward back", "automation", Mode::ModeShow, 0, "GoForward,GoBack", 0});
    }
    void browserCommands()
    {
        QFETCH(CommandCase, c);
        Rig rig;
        rig.useBrowser(c.browser);
        rig.browser.ddeResult = c.ddeResult;
        rig.engine->change_mode(c.mode);
        rig.engine->cboAddress_Click(); // no address: nothing to ask
        const QString text = rig.view.address = QStringLiteral("www.example.org");
        if (c.command == QLatin1String("address")) {
            rig.engine->cboAddress_Click();
            QCOMPARE(rig.view.statusHistory, QStringList({QStringLiteral("Working...")}));
            QVERIFY(rig.engine->pageWatcherActive());
            QCOMPARE(rig.browser.navigations() + rig.view.addressList, QStringList({text, text}));
        } else if (c.command == QLatin1String("reload")) {
            rig.engine->GoReload();
            QVERIFY(rig.view.addressList.isEmpty());
        } else {
            rig.engine->GoForward();
            rig.engine->GoBack();
            QCOMPARE(rig.view.address,
                     c.calls.contains(QLatin1String("LocationURL")) ? rig.browser.location : text);
            QCOMPARE(rig.state.IsBacking, cShowState::False);
            QCOMPARE(logged(QStringLiteral("VexiloTimer1 not enabled!")),
                     c.mode == Mode::ModeShow ? 2 : 0);
        }
        QStringList calls;
        for (const auto& call : rig.browser.calls)
            calls.append(call.what);
        QCOMPARE(calls.join(u','), c.calls);
        QCOMPARE(rig.browser.notifierPrompts, c.notifierPrompts);
    }
    void pauseOfASlideAndTheDefaultPause()
    {
        ScriptedPrompts prompts;
        Rig rig;
        rig.addSlides(1, 7);
        rig.addSlides(1, 0);
        rig.options.ReloadInterval = 30;
        const auto show = [&rig](int k) {
            rig.engine->ShowSlide(rig.show.Item(k), qint16(k), true);
            rig.engine->alarm().setEnabled(false);
            return std::pair(rig.engine->alarm().AlarmSeconds(), rig.view.pauseText);
        };
        // A pause of 0 takes the default; with "use default" the label stays.
        QCOMPARE(show(1), std::pair(7, QStringLiteral("7")));
        QCOMPARE(show(2), std::pair(30, QString()));
        rig.options.UseDefault = true;
        rig.view.pauseText = QStringLiteral("earlier");
        QCOMPARE(show(1), std::pair(30, QStringLiteral("earlier")));
        rig.options.UseDefault = rig.options.Changed = false;
        // A typed interval is checked when the box is left, and counts from the next slide on.
        rig.engine->IntervalEdited();
        rig.view.interval = QStringLiteral("2 min");
        rig.engine->IntervalBoxLostFocus();
        QCOMPARE(prompts.texts(), QStringList{"Choose a setting from the pull down"});
        QCOMPARE(rig.options.ReloadInterval, 30);
        rig.view.interval = QStringLiteral(" 2 min");
        QCOMPARE(show(2).first, 120);
        QVERIFY(rig.options.Changed);
        rig.view.interval = QStringLiteral(" 0 sec");
        QVERIFY(rig.engine->ValidateReloadInterval());
        QCOMPARE(rig.options.ReloadInterval, 0);
    }
    void refusedAlarmAndMissingSlide()
    {
        RefusingTimer alarm;
        Rig rig(&alarm);
        rig.addSlides(1, 5);
        rig.addSlides(1, 5, true);
        rig.engine->change_mode(Mode::ModeShow);
        // Not shown; Forward finds no alarm and falls back to the browser.
        rig.engine->ShowSlide(rig.show.Item(1), 1, true);
        QVERIFY(rig.browser.navigations().isEmpty());
        QCOMPARE(m_log->messages().count(QStringLiteral("ShowSlide: Add alarm failed.")), 1);
        // A skipped slide only logs (without the full stop).
        rig.engine->ShowSlide(rig.show.Item(2), 2, true);
        QCOMPARE(m_log->messages().count(QStringLiteral("ShowSlide: Add alarm failed")), 1);
        QCOMPARE(rig.browser.count(QStringLiteral("GoForward")), 1);
        QCOMPARE(alarm.refused, 2);

        // A slide number past the show stops the run: nothing shown, no alarm.
        Rig missing;
        missing.addSlides(3, 5);
        missing.prepare(1, 2);
        missing.engine->change_mode(Mode::ModeShow);
        missing.state.NumCurrentSlide = 7;
        missing.engine->CarouselStep();
        QVERIFY(missing.browser.navigations().isEmpty());
        QVERIFY(!missing.engine->alarm().Enabled());
        QVERIFY(m_log->messages().contains(
            QStringLiteral("ERROR running carousel: 9,  Description: Subscript out of range")));
    }
    void slider()
    {
        for (const auto& [slides, maximum, ticks] : {std::tuple{0, 1, 1},
                                                     {1, 1, 1},
                                                     {50, 50, 1},
                                                     {100, 100, 5},
                                                     {250, 250, 10},
                                                     {300, 300, 25}}) {
            Rig rig;
            // A slider left far along by an earlier, longer show.
            rig.addSlides(400, 5);
            rig.engine->do_set_collect();
            rig.engine->SliderUserMoved(350);
            rig.show.EraseAll();
            rig.addSlides(slides, 5);
            rig.engine->do_set_collect();
            QCOMPARE(rig.view.sliderEnabled, slides > 0);
            QCOMPARE(rig.view.colMax, slides ? QString::number(slides) : QString());
            QCOMPARE((QList<int>{rig.view.sliderMaximum, rig.view.sliderValue,
                                 rig.state.NumCurrentSlide}),
                     QList<int>({maximum, 0, 0}));
            if (slides)
                QCOMPARE((QList<int>{rig.view.sliderTicks, rig.view.upDownMaximum}),
                         QList<int>({ticks, slides}));
            QCOMPARE(rig.view.address, QString());
        }
    }
    void numberBox()
    {
        Rig rig;
        rig.addSlides(5, 5);
        rig.prepare(1, 1);
        // Fractions round to even, letters are the rest point; what is refused (-1) beeps, is
        // logged and leaves the slide where it was.
        for (const auto& [text, slide, error] : {std::tuple{" 3", 3, ""},
                                                 {"2.5", 2, ""},
                                                 {"abc", 0, ""},
                                                 {"12345", -1, "UPDWN value >4 chars."},
                                                 {"9", -1, "UPDWN value exceeds max or <0."}}) {
            rig.engine->SliderUserMoved(1);
            rig.view.beeps = 0;
            rig.engine->SlideNumberEdited(QLatin1String(text));
            QCOMPARE(rig.view.beeps, slide < 0 ? 1 : 0);
            QVERIFY(m_log->messages().contains(
                slide < 0 ? QString::fromLatin1(error)
                          : QStringLiteral("New slide value: %1").arg(slide)));
            const int now = slide < 0 ? 1 : slide;
            QCOMPARE((QList<int>{rig.state.NumCurrentSlide, rig.view.sliderValue}),
                     QList<int>({now, now}));
            QCOMPARE(rig.view.address, now ? Rig::address(now) : QString());
        }
        QVERIFY(rig.browser.calls.isEmpty());
    }
    void loadShowWithItsOptions()
    {
        const QString file = m_folder->filePath(QStringLiteral("Start.TXT"));
        colURLs saved;
        saved.TrayFilename = file;
        for (int k = 1; k <= 4; ++k)
            saved.Add(Rig::address(k), QString(), qint16(k), false);
        saved.SavetoDisk();
        Rig rig;
        rig.options.CarouselOperation = rig.options.CarouselMode = 2;
        rig.options.AutoStart = rig.options.BusyWait = rig.options.UseDefault = true;
        rig.options.CarouselFileName = file;
        rig.options.StartingSlide = 3;
        rig.engine->change_mode(Mode::ModeNormal);

        rig.engine->ApplyShowOptions();
        QCOMPARE(rig.view.log, QStringList({"layout", "op 1", "order 1", "auto start", "recent",
                                            "busy wait", "use default", "tool tips", "browser"}));
        // The starting slide: a sequential run goes on after it.
        QCOMPARE((QList<int>{rig.state.ShowRepeatMode, rig.state.SlideSelectionMode,
                             rig.state.NumCurrentSlide}),
                 QList<int>({2, 2, 3}));
        QCOMPARE((QStringList{rig.view.title, rig.view.status, rig.view.address}),
                 (QStringList{"Start - Vexilo Software Pagewheel", "Number of slides: 4",
                              Rig::address(3)}));
        QVERIFY(rig.browser.calls.isEmpty());

        // Loading again resets the run; a missing file gives no show.
        rig.options.CarouselFileName.clear();
        QVERIFY(rig.engine->load_show(file));
        QCOMPARE(rig.options.CarouselFileName, file);
        QCOMPARE(rig.state.NumCurrentSlide, 0);
        QVERIFY(!rig.engine->load_show(m_folder->filePath(QStringLiteral("missing.txt"))));
        QCOMPARE(rig.view.status, QStringLiteral("No slides in show."));
    }
    void restartOfferedOnThe21stFailure()
    {
        // Ten failures, then one answer (still loading): the count starts again.
        const QString failure = QStringLiteral(
            "Browser exception (timTimer): 462, Description: The remote server machine is gone");
        for (const auto& [good, calls] : {std::pair{0, 21}, {11, 10 + 21}}) {
            ManualClock clock; // the half-second sleep after each failure passes at once
            Rig rig;
            const int goodRead = good;
            const qsizetype loggedBefore = logged(failure);
            int reads = 0;
            rig.browser.busy = [&](VbError* error) {
                if (++reads != goodRead)
                    *error = {462, QStringLiteral("The remote server machine is gone")};
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
            QCOMPARE(
                (QList<qint64>{rig.browser.terminateCalls, callsWhileAsking,
                               clock.sleptMilliseconds() / 500, logged(failure) - loggedBefore}),
                QList<qint64>(4, calls));
            QCOMPARE(rig.engine->TerminateCount(), 0);
            QTRY_VERIFY_WITH_TIMEOUT(!rig.engine->pageWatcherActive(), 2000);
            QCOMPARE(rig.view.status, QStringLiteral("Ready."));
            // The one answer said the page still loads.
            QCOMPARE(rig.view.statusHistory.count(QStringLiteral("Loading page...")),
                     goodRead ? 1 : 0);
        }
    }
    void busyWait_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("rounds");
        QTest::newRow("loads in three seconds") << "slow" << 3;
        // Both steps of the run (after slide 1 and after slide 2) wait.
        QTest::newRow("never done: 121 rounds a step") << "stuck" << 2 * 121;
        QTest::newRow("option switched off in the fourth round") << "switched off" << 4;
        QTest::newRow("option off") << "off" << 0;
        QTest::newRow("no busy wait through the link") << "link" << 0;
    }
    void busyWait()
    {
        QFETCH(QString, page);
        ManualClock clock; // a one-second round passes at once
        Rig rig;
        rig.addSlides(2, 0);
        rig.prepare(1, 1);
        rig.options.BusyWait = page != QLatin1String("off");
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
        QTEST(int(logged(QStringLiteral("Timer done but IE busy, wait till done "))), "rounds");
    }
    // Whole runs. Most slides have no pause; a few keep a pause of a second.
    void sequentialRunSkipsSlidesAndAnUnattendedRunExits()
    {
        ManualClock clock; // the seven seconds before the exit pass at once
        Rig rig;
        rig.addSlides(1, 1, false, QStringLiteral("one.wav"));
        rig.addSlides(2, 1, true, QStringLiteral("skipped.wav"));
        rig.addSlides(1, 1);
        rig.prepare(1, 1);
        rig.options.AutoStart = true;
        qint64 completedAt = -1;
        rig.view.onStatus = [&](const QString& text) {
            if (text == QLatin1String("Show complete."))
                completedAt = rig.browser.now();
        };
        QSignalSpy exit(rig.engine.get(), &ShowEngine::exitRequested);
        rig.engine->mnuModeShow();
        QVERIFY(exit.wait(8000));
        QVERIFY(m_log->messages().contains(QStringLiteral("Paused for 7.000 seconds")));
        QCOMPARE(rig.shown(), QList<int>({1, 4}));
        QCOMPARE(rig.sounds, QStringList({QStringLiteral("one.wav")}));
        // Each slide keeps its second; the last one's alarm ends the run.
        const QList<qint64> times = rig.browser.navigationTimes() << completedAt;
        QVERIFY2(times.at(1) - times.at(0) >= 1000 && times.at(2) - times.at(1) >= 1000,
                 qPrintable(QString::number(times.at(1) - times.at(0))));
        QCOMPARE(rig.view.icons, QList<int>({101, 102}));
        // No beep when unattended; skipped slides still enter the history.
        QCOMPARE((QList<qsizetype>{rig.view.beeps, rig.state.NumSlidesShown,
                                   rig.engine->colHistory().size()}),
                 QList<qsizetype>({0, 0, 4}));
    }
    void heldRandomRunShowsExactlyN()
    {
        Rig rig;
        rig.addSlides(5, 0);
        rig.prepare(2, 1);
        rig.engine->GoEnd(); // in Normal mode: the run still counts from nothing
        rig.browser.holding = true;
        rig.engine->mnuModeShow();
        QTest::qWait(800);
        QCOMPARE(rig.shown().size(), 1);
        rig.browser.holding = false;
        QTRY_COMPARE_WITH_TIMEOUT(rig.view.status, QStringLiteral("Show complete."), 5000);
        // Five draws, the generator seeded once, at the second draw of the run.
        QCOMPARE((QList<qsizetype>{rig.shown().size(), rig.view.beeps,
                                   logged(QStringLiteral("Random Car Bkg, slide id ")),
                                   logged(QStringLiteral("Randomizing..")),
                                   logged(QStringLiteral("Don't randomize, 0"))}),
                 QList<qsizetype>({5, 1, 5, 1, 1}));
    }
    void backThroughHistory()
    {
        Rig rig;
        rig.addSlides(2, 60);
        rig.addSlides(1, 60, true);
        rig.addSlides(3, 60);
        rig.prepare(1, 2);
        rig.engine->mnuModeShow();
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
        QCOMPARE(std::pair(rig.view.beeps, logged(QStringLiteral("Go Back Error, count <1"))),
                 std::pair(1, qsizetype(1)));
        for (int k = 1; k <= 6; ++k) // each showing counts, the skipped slide's none
            QCOMPARE(rig.show.Item(k)->TimesShown, rig.shown().count(k));
        QVERIFY(rig.engine->alarm().Enabled());
        rig.engine->GoStop();
    }
    void forwardWhilePausedShowsOneSlideAndKeepsEachPause()
    {
        Rig rig;
        rig.addSlides(4, 1);
        rig.prepare(1, 2);
        rig.engine->mnuModeShow();
        rig.engine->GoPause();
        QCOMPARE(rig.view.status, QStringLiteral("Paused."));
        QCOMPARE(rig.view.icons.last(), 103);
        QList<int> beforeForward, afterForward, afterSecondAlarm;
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
        QCOMPARE((QList<QList<int>>{beforeForward, afterForward, afterSecondAlarm,
                                    rig.shown().mid(0, 4)}),
                 (QList<QList<int>>{{1}, {1, 2}, {1, 2}, {1, 2, 3, 4}}));
        QCOMPARE(pausedAfterForward, cShowState::True);
        QCOMPARE(rig.view.icons.last(), 101);
        // One step for the two alarms that waited: slide 3 keeps its second.
        const QList<qint64> times = rig.browser.navigationTimes();
        QVERIFY2(times.at(3) - times.at(2) >= 1000,
                 qPrintable(QString::number(times.at(3) - times.at(2))));
        rig.engine->GoStop();
    }
    void stopFromEveryMode()
    {
        Rig rig;
        rig.addSlides(3, 0);
        rig.prepare(1, 2);
        const auto stop = [&rig] {
            rig.engine->GoStop();
            QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
            QCOMPARE(rig.state.IsPaused, cShowState::False);
            QVERIFY(!rig.engine->alarm().Enabled());
            QVERIFY(!rig.engine->pageWatcherActive());
            const qsizetype after = rig.shown().size();
            QTest::qWait(300);
            QCOMPARE(rig.shown().size(), after);
        };
        stop();
        // A continuous run goes round and round without end.
        rig.engine->mnuModeShow();
        QTRY_VERIFY_WITH_TIMEOUT(rig.shown().size() >= 8, 5000);
        QCOMPARE(rig.shown().mid(0, 8), QList<int>({1, 2, 3, 1, 2, 3, 1, 2}));
        QVERIFY(!rig.view.statusHistory.contains(QStringLiteral("Show complete.")));
        stop();
        const qsizetype before = rig.shown().size();
        rig.engine->mnuModeShow();
        QTRY_VERIFY_WITH_TIMEOUT(rig.shown().size() >= before + 3, 5000);
        rig.engine->GoPause();
        stop();
        // Only Normal mode asks the browser to stop.
        QCOMPARE(rig.browser.count(QStringLiteral("Stop")), 1);
    }
    void autoReloadFetchesAgainOnItsInterval()
    {
        Rig rig;
        rig.prepare(1, 1, 2);
        rig.view.address = QStringLiteral("http://reload.test/page");
        rig.engine->mnuModeAutoReload();
        QCOMPARE(rig.browser.navigations(), QStringList({rig.view.address}));
        QTRY_COMPARE_WITH_TIMEOUT(rig.browser.navigations().size(), 2, 4000);
        const QList<qint64> times = rig.browser.navigationTimes();
        QVERIFY(times.at(1) - times.at(0) >= 2000);
        QCOMPARE(rig.browser.count(QStringLiteral("Refresh")), 0);
        // Clicked again: back to Normal, nothing more is fetched; Stop ends it too.
        for (const Command end : {&ShowEngine::mnuModeAutoReload, &ShowEngine::GoStop}) {
            (rig.engine.get()->*end)();
            QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
            QVERIFY(!rig.engine->alarm().Enabled() && rig.view.pauseVisible);
            const qsizetype fetched = rig.browser.navigations().size();
            QTest::qWait(300);
            QCOMPARE(rig.browser.navigations().size(), fetched);
            rig.engine->mnuModeAutoReload();
        }
        rig.engine->GoStop();
    }
    void navigationInALongShow()
    {
        Rig rig;
        rig.addSlides(5, 60);
        rig.prepare(1, 1);
        // In Normal mode the slider only shows the slide's fields.
        rig.engine->SliderUserMoved(2);
        QCOMPARE((QStringList{QString::number(rig.state.NumCurrentSlide), rig.view.address,
                              rig.view.pauseText}),
                 (QStringList{"2", Rig::address(2), "60"}));
        QVERIFY(rig.browser.navigations().isEmpty());
        // The run then starts with that slide, not the one after it.
        rig.engine->mnuModeShow();
        QCOMPARE(rig.shown(), QList<int>({2}));
        // Show again while running shows the next at once.
        rig.engine->mnuModeShow();
        QCOMPARE(rig.shown(), QList<int>({2, 3}));
        QCOMPARE(logged(QStringLiteral("change_mode: same (3) exit sub")), 1);
        // One alarm runs, not two.
        rig.engine->GoForward();
        QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({2, 3, 4}), 2000);
        QTest::qWait(300);
        QCOMPARE(rig.shown().size(), 3);
        // In Show mode a number typed shows that slide at once.
        rig.engine->SlideNumberEdited(QStringLiteral("2"));
        QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({2, 3, 4, 2}), 2000);
        rig.engine->GoEnd();
        QTRY_COMPARE_WITH_TIMEOUT(rig.shown().last(), 5, 2000);
        // The step after the last slide completes the run.
        rig.engine->GoForward();
        QTRY_COMPARE_WITH_TIMEOUT(rig.view.status, QStringLiteral("Show complete."), 2000);
        QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
        // Beginning puts the run back at the rest point.
        rig.engine->GoBegin();
        QCOMPARE(rig.state.NumCurrentSlide, 0);
        rig.engine->mnuModeShow();
        rig.engine->GoForward();
        QTRY_COMPARE_WITH_TIMEOUT(rig.shown().size(), 7, 2000);
        rig.engine->GoBegin();
        QTRY_COMPARE_WITH_TIMEOUT(rig.shown(), QList<int>({2, 3, 4, 2, 5, 1, 2, 1}), 2000);
        rig.engine->GoStop();
    }
    // A sequential run in a real headless Chromium, its slides served on 127.0.0.1 by a server
    // that notes when each page was asked for.
    void sequentialRunInChromium()
    {
        if (qEnvironmentVariableIsEmpty("PAGEWHEEL_TEST_CHROMIUM"))
            QSKIP("ctest runs this alone, as tst_ShowEngineChromium");
        QVERIFY2(useHeadlessChromium(), "no Chromium-family browser on PATH");
        TestHttpServer server;
        QVERIFY(server.listen());
        const QStringList paths = {"/s1.html", "/s2.html", "/held.html", "/after.html"};
        for (const QString& page : paths + QStringList{"/warm.htm"})
            server.setHtmlPage(page, page);
        server.holdOpen(QStringLiteral("/held.html"), 3000);
        QTemporaryDir profile;
        AutomationBrowser chromium;
        chromium.setProfileFolder(profile.path());
        VbError error;
        QVERIFY2(chromium.start(&error), qPrintable(error.description));
        const auto quit = qScopeGuard([&chromium] {
            // The profile can go once the browser is gone (or a zombie not yet reaped).
            QFile stat(QStringLiteral("/proc/%1/stat").arg(chromium.processId()));
            chromium.Quit();
            const auto gone = [&stat] {
                stat.close();
                return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
            };
            if (!QTest::qWaitFor(gone, 10000))
                qWarning("the browser is still running");
        });
        // A new browser's first request to a server can lag its navigation by a few hundred
        // milliseconds; the timings below are the engine's.
        QVERIFY(chromium.Navigate(server.url(QStringLiteral("/warm.htm")).toString()));
        QTRY_VERIFY_WITH_TIMEOUT(!chromium.Busy(), 10000);

        AutomationAdapter adapter(chromium);
        Rig rig(nullptr, &adapter);
        for (const QString& path : paths)
            rig.show.Add(server.url(path).toString(), QString(), 1, false);
        rig.prepare(1, 1);
        rig.options.BusyWait = true;
        rig.engine->mnuModeShow();
        QTRY_COMPARE_WITH_TIMEOUT(rig.view.status, QStringLiteral("Show complete."), 20000);
        // A slide stays up for its pause, counted from its request; the slow page answered
        // after 3 s, and the step waited for it.
        QStringList requested;
        qint64 previous = 0;
        for (const auto& request : server.requests()) {
            if (!request.path.endsWith(".html"))
                continue;
            const qint64 gap = requested.isEmpty() ? 3000 : request.msecs - previous;
            QVERIFY2(gap >= (request.path == paths.last() ? 3000 : 1000),
                     qPrintable(request.path + QString::number(gap)));
            requested.append(request.path);
            previous = request.msecs;
        }
        QCOMPARE(requested, paths);
        const qsizetype rounds = logged(QStringLiteral("Timer done but IE busy, wait till done "));
        QVERIFY2(rounds >= 1 && rounds <= 3, qPrintable(QString::number(rounds)));
        QVERIFY(rig.view.statusHistory.contains(QStringLiteral("Ready.")));
        QCOMPARE(chromium.LocationURL(), server.url(paths.last()).toString());
    }
    void oneLoop()
    {
        for (const qint16 operation : {1, 2}) {
            OneLoopTimer alarm;
            Rig rig(&alarm);
            rig.addSlides(3, 1);
            rig.addSlides(1, 0);
            rig.prepare(1, operation);
            if (operation == 2)
                QTimer::singleShot(250, rig.engine.get(), [&rig] { rig.engine->GoStop(); });
            // The whole run happens inside the step.
            rig.engine->mnuModeShow();
            const QList<int> shown = rig.shown();
            QVERIFY2(shown.size() >= (operation == 1 ? 4 : 6),
                     qPrintable(QString::number(shown.size())));
            for (qsizetype i = 0; i < shown.size(); ++i)
                QCOMPARE(shown.at(i), int(i % 4) + 1);
            if (operation == 2) {
                QCOMPARE(rig.engine->CurrentMode(), Mode::ModeNormal);
            } else {
                QCOMPARE(shown.size(), 4);
                // A slide with no pause of its own waits nothing.
                QCOMPARE(alarm.waits, 3);
                QVERIFY(m_log->messages().contains(QStringLiteral("Carousel complete.")));
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_ShowEngine)
#include "tst_ShowEngine.moc"
