// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineRig.h"
#include "LogCapture.h"

#include "platform/ManualClock.h"
#include "platform/ScriptedPrompts.h"

#include <QEventLoop>
#include <QRegularExpression>
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

    // Modes.
    void modeSetsKeysChecksAndIcons_data();
    void modeSetsKeysChecksAndIcons();

    // Browser commands.
    void addressBoxSendsItsText_data();
    void addressBoxSendsItsText();
    void reloadCommand_data();
    void reloadCommand();
    void forwardAndBackFallBackToTheBrowser_data();
    void forwardAndBackFallBackToTheBrowser();

    // Slides.
    void pauseOfASlide_data();
    void pauseOfASlide();
    void refusedAlarm();
    void missingSlideStopsTheRun();
    void historyKeepsTheLast101();
    void backWithEmptyHistory();
    void randomOrderIsUniform();

    // Position controls.
    void slider_data();
    void slider();
    void numberBox_data();
    void numberBox();

    // Loading, validation, options.
    void loadShow();
    void intervalBox();
    void applyShowOptions();
    void applyShowOptionsReportsAndGoesOn();

    // Watchers and waits.
    void pageWatcherReportsLoading();
    void restartOfferedOnThe21stFailure();
    void goodTickStartsTheCountAgain();
    void busyWait_data();
    void busyWait();
    void unattendedRunExitsAfterSevenSeconds();

private:
    QStringList logged(const QString& line) const;

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

QStringList tst_ShowEngineControls::logged(const QString& line) const
{
    return m_log->messages().filter(line);
}

// ------------------------------------------------------------------ modes

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
    QTest::newRow("normal, no browser") << Mode::ModeNormal << "none"
                                        << "------"
                                        << "Mode: NORMAL ------------";
}

void tst_ShowEngineControls::modeSetsKeysChecksAndIcons()
{
    QFETCH(qint16, mode);
    QFETCH(QString, browser);
    QFETCH(QString, keys);
    QFETCH(QString, logLine);
    EngineRig rig;
    rig.browser.ole = browser == QLatin1String("automation");
    rig.browser.dde = browser == QLatin1String("link");
    rig.state.IsPaused = cShowState::True;
    rig.engine->change_mode(mode);
    QCOMPARE(rig.engine->CurrentMode(), mode);
    QCOMPARE(rig.options.ReloadMode, mode);
    QCOMPARE(rig.view.navKeyPattern(), keys);
    QVERIFY(rig.view.modeChecked[mode]);
    QVERIFY(m_log->messages().contains(logLine));
    QCOMPARE(rig.view.pauseVisible, mode != Mode::ModeAutoReload);
    // Entering Show clears a pause and shows the running icon.
    QCOMPARE(rig.state.IsPaused, mode == Mode::ModeShow ? cShowState::False : cShowState::True);
    QCOMPARE(rig.view.icons, mode == Mode::ModeShow ? QList<int>({101}) : QList<int>());
    // Changing the mode shows nothing and arms nothing.
    QVERIFY(rig.browser.calls.isEmpty());
    QVERIFY(!rig.engine->alarm().Enabled());

    // Leaving unchecks the item (and Show sets the stopped icon).
    const qint16 other = mode == Mode::ModeNormal ? Mode::ModeShow : Mode::ModeNormal;
    rig.engine->change_mode(other);
    QVERIFY(!rig.view.modeChecked[mode]);
    QVERIFY(rig.view.pauseVisible);
    if (mode == Mode::ModeShow)
        QCOMPARE(rig.view.icons, QList<int>({101, 102}));
}

// ------------------------------------------------------- browser commands

void tst_ShowEngineControls::addressBoxSendsItsText_data()
{
    QTest::addColumn<QString>("browser");
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("ddeResult");
    QTest::addColumn<int>("notifier");
    QTest::newRow("automation") << "automation"
                                << "Navigate" << 0 << 0;
    QTest::newRow("link") << "link"
                          << "DDEOpenURL" << 0 << 0;
    QTest::newRow("link, no browser") << "link"
                                      << "DDEOpenURL" << 282 << 1;
    QTest::newRow("link, other failure") << "link"
                                         << "DDEOpenURL" << 286 << 0;
}

void tst_ShowEngineControls::addressBoxSendsItsText()
{
    QFETCH(QString, browser);
    QFETCH(QString, call);
    QFETCH(int, ddeResult);
    QFETCH(int, notifier);
    EngineRig rig;
    rig.browser.ole = browser == QLatin1String("automation");
    rig.browser.dde = !rig.browser.ole;
    rig.browser.ddeResult = ddeResult;

    rig.engine->cboAddress_Click();
    QVERIFY(rig.browser.calls.isEmpty());
    QVERIFY(rig.view.statusHistory.isEmpty());
    QVERIFY(!rig.engine->pageWatcherActive());

    rig.view.address = QStringLiteral("www.example.org");
    rig.engine->cboAddress_Click();
    rig.engine->cboAddress_Click();
    QCOMPARE(rig.view.statusHistory.first(), QStringLiteral("Working..."));
    QVERIFY(rig.engine->pageWatcherActive());
    QCOMPARE(rig.browser.count(call), 2);
    QCOMPARE(rig.browser.navigations().first(), QStringLiteral("www.example.org"));
    QCOMPARE(rig.browser.notifierPrompts, 2 * notifier);
    // Appended each time, with no check for the same text.
    QCOMPARE(rig.view.addressList, QStringList(2, QStringLiteral("www.example.org")));
}

void tst_ShowEngineControls::reloadCommand_data()
{
    QTest::addColumn<QString>("browser");
    QTest::addColumn<int>("ddeResult");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<int>("notifier");
    QTest::newRow("automation refreshes") << "automation" << 0 << "Refresh" << 0;
    QTest::newRow("link opens the box's address") << "link" << 0 << "DDEOpenURL" << 0;
    QTest::newRow("link gone") << "link" << 282 << "DDEOpenURL" << 1;
    QTest::newRow("no browser") << "none" << 0 << "" << 0;
}

void tst_ShowEngineControls::reloadCommand()
{
    QFETCH(QString, browser);
    QFETCH(int, ddeResult);
    QFETCH(QString, calls);
    QFETCH(int, notifier);
    EngineRig rig;
    rig.browser.ole = browser == QLatin1String("automation");
    rig.browser.dde = browser == QLatin1String("link");
    rig.browser.ddeResult = ddeResult;
    rig.view.address = QStringLiteral("http://a.test/");
    rig.engine->GoReload();
    QStringList made;
    for (const auto& call : std::as_const(rig.browser.calls))
        made.append(call.what);
    QCOMPARE(made.join(QLatin1Char(',')), calls);
    QCOMPARE(rig.browser.notifierPrompts, notifier);
    // The reload does not count as an address sent from the box.
    QVERIFY(rig.view.addressList.isEmpty());
}

void tst_ShowEngineControls::forwardAndBackFallBackToTheBrowser_data()
{
    QTest::addColumn<qint16>("mode");
    QTest::addColumn<bool>("automation");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QString>("address");
    // Back in Normal mode first reads where the browser is.
    QTest::newRow("normal, automation")
        << Mode::ModeNormal << true << "GoForward,LocationURL,GoBack"
        << "http://example.org/at";
    QTest::newRow("normal, link does nothing") << Mode::ModeNormal << false << ""
                                               << "";
    // In Show mode with no alarm running there is nothing to cut short.
    QTest::newRow("show, no alarm") << Mode::ModeShow << true << "GoForward,GoBack"
                                    << "";
}

void tst_ShowEngineControls::forwardAndBackFallBackToTheBrowser()
{
    QFETCH(qint16, mode);
    QFETCH(bool, automation);
    QFETCH(QString, calls);
    QFETCH(QString, address);
    EngineRig rig;
    rig.browser.ole = automation;
    rig.browser.dde = !automation;
    rig.engine->change_mode(mode);
    rig.engine->GoForward();
    rig.engine->GoBack();
    QStringList made;
    for (const auto& call : std::as_const(rig.browser.calls))
        made.append(call.what);
    QCOMPARE(made.join(QLatin1Char(',')), calls);
    QCOMPARE(rig.view.address, address);
    QCOMPARE(rig.state.IsBacking, cShowState::False);
    QCOMPARE(logged(QStringLiteral("VexiloTimer1 not enabled!")).size(),
             mode == Mode::ModeShow ? 2 : 0);
}

// ----------------------------------------------------------------- slides

void tst_ShowEngineControls::pauseOfASlide_data()
{
    QTest::addColumn<bool>("useDefault");
    QTest::addColumn<qint16>("pauseTime");
    QTest::addColumn<qint32>("alarmSeconds");
    QTest::addColumn<QString>("label");
    QTest::newRow("own pause") << false << qint16(7) << 7 << "7";
    QTest::newRow("pause 0 takes the default") << false << qint16(0) << 30 << "";
    QTest::newRow("negative takes the default") << false << qint16(-3) << 30 << "";
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
    // The alarm is armed before the browser is asked.
    QCOMPARE(rig.engine->alarm().AlarmSeconds(), alarmSeconds);
    QVERIFY(rig.engine->alarm().Enabled());
    QCOMPARE(rig.view.pauseText, label);
    QCOMPARE(rig.view.soundText, QStringLiteral("s.wav"));
    QCOMPARE(rig.sounds, QStringList({QStringLiteral("s.wav")}));
    QCOMPARE(rig.view.address, EngineRig::address(1));
    QCOMPARE(logged(QStringLiteral("Pause Time: ")),
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
    QCOMPARE(rig.browser.count(QStringLiteral("GoForward")), 1);
    QCOMPARE(rig.show.Item(1)->TimesShown, 0);
    QCOMPARE(m_log->messages().count(QStringLiteral("ShowSlide: Add alarm failed.")), 1);

    // A skipped slide only logs (without the full stop); the run stops.
    rig.engine->ShowSlide(rig.show.Item(2), 2, true);
    QCOMPARE(m_log->messages().count(QStringLiteral("ShowSlide: Add alarm failed")), 1);
    QCOMPARE(rig.browser.count(QStringLiteral("GoForward")), 1);
    QCOMPARE(alarm.refused, 2);
    QVERIFY(!alarm.Enabled());
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
    QVERIFY(rig.engine->colHistory().isEmpty());
    QCOMPARE(logged(QStringLiteral("ERROR running carousel: ")),
             QStringList({QStringLiteral(
                 "ERROR running carousel: 9,  Description: Subscript out of range")}));
}

void tst_ShowEngineControls::historyKeepsTheLast101()
{
    EngineRig rig;
    rig.addSlides(150, 5);
    for (int k = 1; k <= 150; ++k)
        rig.engine->PushHistory(rig.show.Item(k));
    QCOMPARE(rig.engine->colHistory().size(), 101);
    QCOMPARE(rig.engine->colHistory().first(), rig.show.Item(50));
    QCOMPARE(rig.engine->colHistory().last(), rig.show.Item(150));
}

void tst_ShowEngineControls::backWithEmptyHistory()
{
    EngineRig rig;
    QVERIFY(!rig.engine->HistoryBack());
    QCOMPARE(rig.view.beeps, 1);
    QCOMPARE(logged(QStringLiteral("Go Back Error, count <1")).size(), 1);
    QVERIFY(rig.browser.calls.isEmpty());

    // In a run, a Back that has nowhere to go lets the step go on.
    rig.addSlides(3, 5);
    rig.prepare(1, 1, 0);
    rig.engine->change_mode(Mode::ModeShow);
    rig.state.IsBacking = cShowState::True;
    rig.engine->CarouselStep();
    QCOMPARE(rig.shown(), QList<int>({1}));
    QCOMPARE(rig.state.IsBacking, cShowState::False);
    rig.engine->alarm().setEnabled(false);
}

void tst_ShowEngineControls::randomOrderIsUniform()
{
    EngineRig rig;
    rig.state.SlideSelectionMode = 2;
    rig.state.NumSlidesShown = 3;
    int counts[5] = {};
    for (int i = 0; i < 8000; ++i) {
        const qint16 k = rig.engine->NextSlideIndex(4);
        QVERIFY(k >= 1 && k <= 4);
        ++counts[k];
    }
    // 2000 expected each; the standard deviation is about 39.
    for (int k = 1; k <= 4; ++k)
        QVERIFY2(counts[k] > 1700 && counts[k] < 2300, qPrintable(QString::number(counts[k])));
}

// ------------------------------------------------------ position controls

void tst_ShowEngineControls::slider_data()
{
    QTest::addColumn<int>("slides");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("colMax");
    QTest::newRow("empty") << 0 << false << 1 << 1 << "";
    QTest::newRow("one slide stays inside the show") << 1 << true << 1 << 1 << "1";
    QTest::newRow("50") << 50 << true << 50 << 1 << "50";
    QTest::newRow("51") << 51 << true << 51 << 5 << "51";
    QTest::newRow("101") << 101 << true << 101 << 10 << "101";
    QTest::newRow("251") << 251 << true << 251 << 25 << "251";
    QTest::newRow("300") << 300 << true << 300 << 25 << "300";
}

void tst_ShowEngineControls::slider()
{
    QFETCH(int, slides);
    QFETCH(bool, enabled);
    QFETCH(int, maximum);
    QFETCH(int, ticks);
    QFETCH(QString, colMax);
    EngineRig rig;
    // A slider left far along by an earlier, longer show.
    rig.addSlides(400, 5);
    rig.engine->do_set_collect();
    rig.engine->SliderUserMoved(350);
    rig.show.EraseAll();
    rig.addSlides(slides, 5);

    rig.engine->do_set_collect();
    QCOMPARE(rig.view.sliderEnabled, enabled);
    QCOMPARE(rig.view.upDownEnabled, enabled);
    QCOMPARE(rig.view.sliderMinimum, 0);
    QCOMPARE(rig.view.sliderMaximum, maximum);
    QCOMPARE(rig.view.colMax, colMax);
    QCOMPARE(rig.view.colMin, enabled ? QStringLiteral("0") : QString());
    QCOMPARE(rig.view.slideNumber, enabled ? QStringLiteral("0") : QString());
    if (enabled) {
        QCOMPARE(rig.view.sliderTicks, ticks);
        QCOMPARE(rig.view.upDownMaximum, slides);
    }
    // Back at the rest point.
    QCOMPARE(rig.state.NumCurrentSlide, 0);
    QCOMPARE(rig.view.sliderValue, 0);
    QCOMPARE(rig.view.address, QString());
}

void tst_ShowEngineControls::numberBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("slide");
    QTest::addColumn<QString>("error");
    QTest::newRow("a slide") << "3" << 3 << "";
    QTest::newRow("blank before") << " 4" << 4 << "";
    QTest::newRow("fraction rounds to even") << "2.5" << 2 << "";
    QTest::newRow("letters are the rest point") << "abc" << 0 << "";
    QTest::newRow("empty is the rest point") << "" << 0 << "";
    QTest::newRow("five characters") << "12345" << -1 << "UPDWN value >4 chars.";
    QTest::newRow("below 0") << "-1" << -1 << "UPDWN value exceeds max or <0.";
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
    if (slide < 0) {
        // Rejected: a beep, a line, and nothing else moves.
        QCOMPARE(rig.view.beeps, 1);
        QCOMPARE(logged(error).size(), 1);
        QCOMPARE(rig.state.NumCurrentSlide, 1);
        QCOMPARE(rig.view.sliderValue, 1);
        return;
    }
    QCOMPARE(rig.view.beeps, 0);
    QCOMPARE(rig.state.NumCurrentSlide, slide);
    QCOMPARE(rig.view.sliderValue, slide);
    QCOMPARE(rig.view.address, slide ? EngineRig::address(slide) : QString());
    QVERIFY(
        m_log->messages().contains(QStringLiteral("New slide value: ") + QString::number(slide)));
    QVERIFY(rig.browser.calls.isEmpty());
}

// --------------------------------------------- loading, validation, options

void tst_ShowEngineControls::loadShow()
{
    const QString file = m_folder->filePath(QStringLiteral("Demo.TXT"));
    {
        colURLs source;
        source.TrayFilename = file;
        source.Add(QStringLiteral("http://a.test/1"), QString(), 5, false);
        source.Add(QStringLiteral("http://a.test/2"), QString(), 5, false);
        source.Add(QStringLiteral("http://a.test/3"), QString(), 5, false);
        source.SavetoDisk();
    }
    EngineRig rig;
    rig.view.address = QStringLiteral("old");
    rig.state.NumCurrentSlide = 9;
    QVERIFY(rig.engine->load_show(file));
    QCOMPARE(rig.view.title, QStringLiteral("Demo - Vexilo Software Pagewheel"));
    QCOMPARE(rig.view.status, QStringLiteral("Number of slides: 3"));
    QVERIFY(rig.view.statusHistory.startsWith(QStringLiteral("Loading show...")));
    QVERIFY(!rig.view.busyCursor);
    QCOMPARE(rig.options.CarouselFileName, file);
    QCOMPARE(rig.show.TrayFilename, file);
    QVERIFY(rig.options.Changed);
    QCOMPARE(rig.state.NumCurrentSlide, 0);
    QCOMPARE(rig.view.address, QString());
    QCOMPARE(rig.view.colMax, QStringLiteral("3"));

    QVERIFY(!rig.engine->load_show(m_folder->filePath(QStringLiteral("missing.txt"))));
    QCOMPARE(rig.view.status, QStringLiteral("No slides in show."));
    QVERIFY(!rig.engine->load_show(QString()));
    QCOMPARE(rig.view.title, QString());
}

void tst_ShowEngineControls::intervalBox()
{
    ScriptedPrompts prompts;
    EngineRig rig;
    rig.options.ReloadInterval = 15;
    rig.options.Changed = false;

    // Losing the focus checks only an edited box.
    rig.view.interval = QStringLiteral("nonsense");
    rig.engine->IntervalBoxLostFocus();
    QVERIFY(prompts.shown().isEmpty());

    rig.engine->IntervalEdited();
    rig.view.interval = QStringLiteral("2 min");
    rig.engine->IntervalBoxLostFocus();
    QCOMPARE(prompts.texts(), QStringList({QStringLiteral("Choose a setting from the pull down")}));
    QCOMPARE(prompts.shown().first().title, QStringLiteral("Error"));
    QCOMPARE(prompts.shown().first().helpContext, 1000);
    QCOMPARE(rig.view.intervalFocus, 1);
    QVERIFY(rig.engine->bIntervalDirty());
    QCOMPARE(rig.options.ReloadInterval, 15);
    QVERIFY(!rig.options.Changed);
    QVERIFY(m_log->messages().contains(QStringLiteral("cboReloadInterval failed validation")));

    // A typed interval counts from the next slide on.
    rig.view.interval = QStringLiteral(" 2 min");
    rig.addSlides(1, 0);
    rig.engine->ShowSlide(rig.show.Item(1), 1, true);
    QCOMPARE(rig.options.ReloadInterval, 120);
    QCOMPARE(rig.engine->alarm().AlarmSeconds(), 120);
    QVERIFY(!rig.engine->bIntervalDirty());
    QVERIFY(rig.options.Changed);
    QVERIFY(m_log->messages().contains(QStringLiteral("new interval 120 seconds.")));
    QCOMPARE(prompts.shown().size(), 1);
    rig.engine->alarm().setEnabled(false);
}

void tst_ShowEngineControls::applyShowOptions()
{
    const QString file = m_folder->filePath(QStringLiteral("Start.txt"));
    {
        colURLs source;
        source.TrayFilename = file;
        for (int k = 1; k <= 4; ++k)
            source.Add(EngineRig::address(k), QString(), qint16(k), false);
        source.SavetoDisk();
    }
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
    QCOMPARE(rig.view.recentFiles, QStringList({file}));
    QCOMPARE(rig.show.Count(), 4);
    // The starting slide: a sequential run goes on after it.
    QCOMPARE(rig.state.NumCurrentSlide, 3);
    QCOMPARE(rig.view.sliderValue, 3);
    QCOMPARE(rig.view.address, EngineRig::address(3));
    QCOMPARE(rig.view.toolTipsOn, std::optional<bool>(false));
    QVERIFY(rig.browser.calls.isEmpty());
}

void tst_ShowEngineControls::applyShowOptionsReportsAndGoesOn()
{
    EngineRig rig;
    rig.options.CarouselOperation = 0;
    rig.options.CarouselMode = 3;
    rig.options.CarouselFileName = m_folder->filePath(QStringLiteral("gone.txt"));
    rig.options.AutoStart = false;
    rig.view.layoutError = {75, QStringLiteral("Path/File access error")};
    rig.view.configError = {429, QStringLiteral("ActiveX component can't create object")};
    rig.engine->ApplyShowOptions();
    QCOMPARE(rig.view.log, QStringList({"layout", "tool tips", "browser"}));
    QCOMPARE(m_log->messages().filter(QRegularExpression(QStringLiteral("^ERROR"))),
             QStringList({"ERROR in loading options: 75,  Description: Path/File access error",
                          "ERROR no value for Carousel Operation.",
                          "ERROR in loading options: 340,  Description: Control array element "
                          "'2' doesn't exist",
                          "ERROR in loading options: 429,  Description: ActiveX component "
                          "can't create object"}));
    QCOMPARE(rig.view.status, QStringLiteral("No slides in show."));
}

// ------------------------------------------------------ watchers and waits

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

    // With the link there is no busy state: the watcher only keeps its
    // count at zero, until Stop or a mode change.
    rig.browser.ole = false;
    rig.browser.dde = true;
    rig.engine->cboAddress_Click();
    QTest::qWait(200);
    QVERIFY(rig.engine->pageWatcherActive());
    QCOMPARE(rig.view.status, QStringLiteral("Working..."));
    rig.engine->change_mode(Mode::ModeShow);
    rig.engine->GoStop();
    QVERIFY(!rig.engine->pageWatcherActive());
}

void tst_ShowEngineControls::restartOfferedOnThe21stFailure()
{
    // The watcher sleeps half a second after each failure; the test clock
    // lets it sleep at once.
    ManualClock clock;
    EngineRig rig;
    rig.browser.busy = [](VbError* error) {
        *error = gone();
        return false;
    };
    int callsWhileAsking = -1;
    rig.browser.onRestartPrompt = [&rig, &callsWhileAsking] {
        // The question is a modal box: the watcher goes on ticking while
        // it is open, and must not ask again.
        QEventLoop box;
        QTimer::singleShot(300, &box, &QEventLoop::quit);
        box.exec();
        callsWhileAsking = rig.browser.terminateCalls;
        // The browser is back.
        rig.browser.busy = {};
    };
    rig.engine->NavKeyPressed(2);
    QTRY_COMPARE_WITH_TIMEOUT(rig.browser.restartPrompts, 1, 5000);
    QCOMPARE(rig.browser.terminateCalls, 21);
    QCOMPARE(callsWhileAsking, 21);
    QCOMPARE(rig.engine->TerminateCount(), 0);
    QCOMPARE(clock.sleptMilliseconds() / 500, 21);
    QCOMPARE(logged(QStringLiteral("Browser exception (timTimer): 462, Description: The remote "
                                   "server machine does not exist or is unavailable"))
                 .size(),
             21);

    // The browser is back: the watcher stops at the next tick.
    QTRY_VERIFY_WITH_TIMEOUT(!rig.engine->pageWatcherActive(), 2000);
    QCOMPARE(rig.view.status, QStringLiteral("Ready."));
}

void tst_ShowEngineControls::goodTickStartsTheCountAgain()
{
    ManualClock clock;
    EngineRig rig;
    int reads = 0;
    rig.browser.busy = [&reads](VbError* error) {
        // Ten failures, one answer (still loading), then failures.
        if (++reads != 11)
            *error = gone();
        return true;
    };
    rig.browser.onRestartPrompt = [&rig] { rig.browser.busy = {}; };
    rig.engine->NavKeyPressed(2);
    QTRY_COMPARE_WITH_TIMEOUT(rig.browser.restartPrompts, 1, 5000);
    QCOMPARE(rig.browser.terminateCalls, 10 + 21);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.engine->pageWatcherActive(), 2000);
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
    // The waits run on the test clock: a one-second round passes at once.
    ManualClock clock;
    EngineRig rig;
    rig.addSlides(2, 0);
    rig.prepare(1, 1, 0);
    rig.options.BusyWait = true;
    rig.browser.busy = [&](VbError*) {
        return page != QLatin1String("slow") || clock.sleptMilliseconds() < 3000;
    };
    if (page == QLatin1String("link")) {
        rig.browser.ole = false;
        rig.browser.dde = true;
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
    QCOMPARE(logged(QStringLiteral("Timer done but IE busy, wait till done ")).size(), rounds);
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
    QCOMPARE(rig.view.beeps, 0);
    QVERIFY(m_log->messages().contains(QStringLiteral("Paused for 7.000 seconds")));
}

QTEST_GUILESS_MAIN(tst_ShowEngineControls)
#include "tst_ShowEngineControls.moc"
