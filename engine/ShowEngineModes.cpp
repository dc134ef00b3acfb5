// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ShowEngine.h"
#include "engine/ShowEngineParts.h"

#include "engine/EngineBrowser.h"
#include "engine/EngineView.h"
#include "engine/VexiloTimer.h"
#include "engine/modInterval.h"
#include "platform/Clock.h"
#include "platform/VbError.h"
#include "settings/COptions.h"
#include "settings/cShowState.h"
#include "startup/modMain.h"

#include <QScopedValueRollback>
#include <QTime>

namespace {

using modMain::debugLog;
using modMain::errorLog;

using ShowEngineParts::errorText;
using ShowEngineParts::IconRunning;
using ShowEngineParts::IconStopped;

// After a failed busy query the watcher gives the browser a moment.
constexpr int BrowserFailureSleepMs = 500;
// What a control array element that does not exist raises.
constexpr int NoSuchControl = 340;

} // namespace

// ------------------------------------------------------------ alarm chain

void ShowEngine::alarmRang()
{
    // Nothing else runs inside the alarm's event: the step comes from the
    // step timer.
    m_alarm->RemoveAlarm(this);
    if (!m_tmrNotify.isActive())
        m_tmrNotify.start();
}

void ShowEngine::tmrNotify_Timer()
{
    // Off first: the waits below pump events, and the timer must not
    // fire again inside them.
    m_tmrNotify.stop();
    // A step already waits (for the browser or the pause) and will run the
    // mode's step when its wait ends; a second waiting step would run it a
    // second time straight after, and a slide would flash by.
    if (m_stepWaiting)
        return;
    // Asked whether to restart the browser, the show waits for the answer:
    // the step tries again later instead of waiting inside the question.
    if (m_browser.holdsShow()) {
        m_tmrNotify.start();
        return;
    }
    const int holds = m_holds;
    {
        const QScopedValueRollback waiting(m_stepWaiting, true);
        if (m_options.BusyWait && m_browser.useOLE()) {
            for (int round = 1;; ++round) {
                VbError error;
                const bool busy = m_browser.Busy(&error);
                // A browser that does not answer is loading nothing.
                if (error.isError() || !busy)
                    break;
                debugLog(QStringLiteral("Timer done but IE busy, wait till done "));
                modMain::PauseSeconds(1);
                if (!m_options.BusyWait || round >= BusyWaitRounds)
                    break;
            }
        }
        // In Normal mode nothing is left to resume: a show that completed
        // while paused must not keep a step waiting for the next run.
        while (isPaused() && m_options.ReloadMode != ModeNormal)
            modMain::PauseSeconds(1);
    }
    // A run held during the wait went on from its slide when it resumed:
    // this step is over.
    if (holds != m_holds)
        return;
    TimerStep();
}

void ShowEngine::TimerStep()
{
    // A held run moves on only when it is resumed.
    if (m_held)
        return;
    switch (m_options.ReloadMode) {
    case ModeNormal:
        break;
    case ModeAutoReload:
        AutoReloadStep();
        break;
    case ModeShow:
        CarouselStep();
        break;
    default:
        debugLog(QStringLiteral("ERROR with ReloadMode value"));
        break;
    }
}

void ShowEngine::timTimer_Timer()
{
    // The restart prompt runs an event loop; a tick inside it must not
    // ask again.
    if (m_watcherTicking)
        return;
    const QScopedValueRollback ticking(m_watcherTicking, true);
    if (m_browser.useOLE()) {
        VbError error;
        const bool busy = m_browser.Busy(&error);
        if (error.isError()) {
            errorLog(QStringLiteral("Browser exception (timTimer): ") +
                     QString::number(error.number) + QStringLiteral(", Description: ") +
                     error.description);
            Clock::instance().sleep(BrowserFailureSleepMs);
            m_browser.BrowserTerminate(m_TerminateCount);
            return;
        }
        if (!busy) {
            m_timTimer.stop();
            m_view.setStatusText(QStringLiteral("Ready."));
        } else {
            m_view.setStatusText(QStringLiteral("Loading page..."));
        }
    }
    m_TerminateCount = 0;
}

bool ShowEngine::Suspend_Timer()
{
    if (isPaused()) {
        // The step runs now although the show stays paused; the next
        // alarm then waits in the pause wait.
        m_alarm->setExpire(true);
        TimerStep();
        return true;
    }
    if (m_alarm->Enabled()) {
        m_alarm->setExpire(true);
        return true;
    }
    return false;
}

qint16 ShowEngine::currentSlide() const
{
    return m_state.NumCurrentSlide;
}

void ShowEngine::HoldShow()
{
    if (m_options.ReloadMode == ModeNormal || m_held)
        return;
    m_held = true;
    ++m_holds;
    debugLog(QStringLiteral("Run held at slide ") + QString::number(m_state.NumCurrentSlide));
    m_alarm->RemoveAlarm(this);
    m_alarm->setEnabled(false);
    m_tmrNotify.stop();
    // The page watcher would count the missing browser's failures and ask
    // a second time.
    m_timTimer.stop();
    m_TerminateCount = 0;
}

void ShowEngine::ResumeShow()
{
    if (!m_held)
        return;
    m_held = false;
    debugLog(QStringLiteral("Run resumed at slide ") + QString::number(m_state.NumCurrentSlide));
    if (m_options.ReloadMode == ModeAutoReload) {
        AutoReloadStep();
        return;
    }
    if (m_options.ReloadMode != ModeShow)
        return;
    const Slide slide = m_show.Item(m_state.NumCurrentSlide);
    if (slide)
        ShowSlide(slide, m_state.NumCurrentSlide, true);
    else
        TimerStep();
}

// ------------------------------------------------------------------ modes

void ShowEngine::setNavKeys(qint16 mode)
{
    static constexpr bool Show[6] = {true, true, true, true, true, true};
    static constexpr bool AutoReload[6] = {false, false, true, false, false, true};
    static constexpr bool NormalAutomation[6] = {false, true, false, true, false, true};
    static constexpr bool NormalLink[6] = {false, false, false, false, false, false};
    const bool* keys = nullptr;
    if (mode == ModeShow)
        keys = Show;
    else if (mode == ModeAutoReload)
        keys = AutoReload;
    else if (m_browser.useOLE())
        keys = NormalAutomation;
    else if (m_browser.useDDE())
        keys = NormalLink;
    if (!keys)
        return;
    for (int i = 0; i < 6; ++i)
        m_view.setNavKeyEnabled(i, keys[i]);
}

void ShowEngine::change_mode(qint16 newMode)
{
    if (newMode == m_CurrentMode) {
        debugLog(QStringLiteral("change_mode: same (") + QString::number(newMode) +
                 QStringLiteral(") exit sub"));
        return;
    }
    const auto check = [this](qint16 mode, bool checked) {
        if (mode >= ModeNormal && mode <= ModeShow)
            m_modeChecked[mode] = checked;
        m_view.setModeChecked(mode, checked);
    };
    switch (m_CurrentMode) {
    case ModeShow:
        StopModeTimer();
        check(ModeShow, false);
        m_view.setWindowIconNumber(IconStopped);
        break;
    case ModeAutoReload:
        StopModeTimer();
        check(ModeAutoReload, false);
        m_view.setSlidePauseVisible(true);
        break;
    case ModeNormal:
        check(ModeNormal, false);
        break;
    default:
        break;
    }
    m_CurrentMode = newMode;
    // A held run ends with its mode.
    m_held = false;
    switch (newMode) {
    case ModeShow:
        debugLog(QStringLiteral("Mode: CAROUSEL ----------"));
        m_view.setWindowIconNumber(IconRunning);
        m_options.ReloadMode = ModeShow;
        setNavKeys(ModeShow);
        check(ModeShow, true);
        m_state.IsPaused = cShowState::False;
        break;
    case ModeAutoReload:
        debugLog(QStringLiteral("Mode: AUTO RELOAD -------"));
        m_options.ReloadMode = ModeAutoReload;
        setNavKeys(ModeAutoReload);
        check(ModeAutoReload, true);
        m_view.setSlidePauseVisible(false);
        break;
    case ModeNormal:
        debugLog(QStringLiteral("Mode: NORMAL ------------"));
        m_options.ReloadMode = ModeNormal;
        setNavKeys(ModeNormal);
        check(ModeNormal, true);
        break;
    default:
        break;
    }
}

void ShowEngine::StopModeTimer()
{
    if (!m_alarm->Enabled())
        return;
    // Normal before the alarm is cut short: the step its event brings
    // (during the wait below) then does nothing.
    m_options.ReloadMode = ModeNormal;
    m_alarm->setExpire(true);
    m_timTimer.stop();
    modMain::PauseSeconds(1);
}

void ShowEngine::AutoReloadStep()
{
    change_mode(ModeAutoReload);
    if (m_alarm->Enabled())
        m_alarm->setExpire(true);
    debugLog(QStringLiteral("begin pause for ") + QString::number(m_options.ReloadInterval) +
             QStringLiteral(" seconds"));
    // Arming again replaces the alarm just expired, so a reload asked for
    // by hand restarts the interval instead of adding a second one.
    m_alarm->setAlarmSeconds(m_options.ReloadInterval);
    m_alarm->setEnabled(true);
    // A new request for the address, not the browser's refresh.
    cboAddress_Click();
}

void ShowEngine::CarouselStep()
{
    if (m_options.ReloadMode == ModeNormal)
        return;
    const qint16 n = slideCount();
    if (n < 1)
        return;
    if (m_alarm->TimingKind() == 2) {
        // The loop repeats until the mode leaves Show, like a run driven by
        // alarms.
        do {
            RunCarouselPass(n);
        } while (m_state.ShowRepeatMode == 2 && m_options.ReloadMode == ModeShow);
        return;
    }
    if (m_state.IsBacking != cShowState::False) {
        m_state.IsBacking = cShowState::False;
        // With no history at all the step goes on as if Back had not been
        // pressed, so the run keeps going.
        if (HistoryBack())
            return;
    }
    if (m_state.ShowRepeatMode == 2) {
        ShowNextSlide(n);
        return;
    }
    const bool more =
        m_options.CarouselMode == 2 ? m_state.NumSlidesShown < n : m_state.NumCurrentSlide != n;
    if (more) {
        ShowNextSlide(n);
        ++m_state.NumSlidesShown;
        return;
    }
    completeShow();
}

void ShowEngine::completeShow()
{
    m_state.NumSlidesShown = 0;
    m_view.setStatusText(QStringLiteral("Show complete."));
    change_mode(ModeNormal);
    if (m_options.AutoStart) {
        modMain::PauseSeconds(7);
        Q_EMIT exitRequested();
    } else {
        m_view.beep();
    }
}

void ShowEngine::seedFromTimeOfDay()
{
    m_random.seed(quint32(QTime::currentTime().msecsSinceStartOfDay()));
}

qint16 ShowEngine::NextSlideIndex(qint16 n)
{
    if (m_state.SlideSelectionMode != 2) {
        const qint16 current = m_state.NumCurrentSlide;
        return current == n ? 1 : qint16(current + 1);
    }
    if (m_state.NumSlidesShown == 1) {
        debugLog(QStringLiteral("Randomizing.."));
        seedFromTimeOfDay();
    } else {
        debugLog(QStringLiteral("Don't randomize, ") + QString::number(m_state.NumSlidesShown));
    }
    // Drawn with replacement: the same slide can come twice in a row.
    const qint16 result = qint16(n >= 1 ? m_random.bounded(int(n)) + 1 : 1);
    debugLog(QStringLiteral("Random Car Bkg, slide id ") + QString::number(result));
    return result;
}

void ShowEngine::RunCarouselPass(qint16 n)
{
    if (m_state.SlideSelectionMode == 2)
        seedFromTimeOfDay();
    for (qint16 i = 1; i <= n; ++i) {
        // Stop (or another mode) ends the loop, as it ends a run driven by
        // alarms.
        if (m_options.ReloadMode != ModeShow)
            break;
        const qint16 k = NextSlideIndex(n);
        m_state.NumCurrentSlide = k;
        const Slide slide = m_show.Item(k);
        if (!slide) {
            reportCarouselError();
            continue;
        }
        debugLog(QStringLiteral("Slide number: ") + QString::number(i) + QStringLiteral(" URL: ") +
                 slide->HREF);
        ShowSlide(slide, k, false);
        PushHistory(slide);
    }
    m_view.beep();
    debugLog(QStringLiteral("Carousel complete."));
}

void ShowEngine::mnuModeNormal()
{
    GoStop();
}

void ShowEngine::mnuModeAutoReload()
{
    if (m_modeChecked[ModeAutoReload] && m_options.ReloadMode == ModeAutoReload) {
        change_mode(ModeNormal);
        return;
    }
    change_mode(ModeAutoReload);
    AutoReloadStep();
}

void ShowEngine::mnuModeShow()
{
    change_mode(ModeShow);
    m_state.NumSlidesShown = 0;
    CarouselStep();
}

void ShowEngine::optCarMode_Click(int index)
{
    m_state.SlideSelectionMode = qint16(index + 1);
    m_options.CarouselMode = qint16(index + 1);
    m_view.setOrderChecked(index);
    m_options.Changed = true;
}

void ShowEngine::optCarOp_Click(int index)
{
    m_state.ShowRepeatMode = qint16(index + 1);
    m_options.CarouselOperation = qint16(index + 1);
    m_view.setOperationChecked(index);
    m_options.Changed = true;
}

// ---------------------------------------------------- the default pause

void ShowEngine::IntervalEdited()
{
    m_bIntervalDirty = true;
}

void ShowEngine::IntervalBoxLostFocus()
{
    if (m_bIntervalDirty)
        ValidateReloadInterval();
}

bool ShowEngine::ValidateReloadInterval()
{
    const qint32 seconds = modInterval::TmeStrgtoSec(m_view.intervalText());
    debugLog(QStringLiteral("New reload interval: ") + QString::number(seconds));
    if (seconds < 0) {
        debugLog(QStringLiteral("cboReloadInterval failed validation"));
        m_view.focusIntervalBox();
        modMain::ShowErrorBox(QStringLiteral("Choose a setting from the pull down"),
                              m_view.helpContext());
        return false;
    }
    m_options.ReloadInterval = seconds;
    m_options.Changed = true;
    m_bIntervalDirty = false;
    debugLog(QStringLiteral("new interval ") + QString::number(seconds) +
             QStringLiteral(" seconds."));
    return true;
}

// ------------------------------------------------------ options at load

void ShowEngine::ApplyShowOptions()
{
    const auto report = [](const VbError& error) {
        if (error.isError())
            errorLog(errorText(QStringLiteral("ERROR in loading options: "), error));
    };
    // An option button that does not exist, as the option's value asks.
    const auto noSuchButton = [](int index) {
        return VbError{NoSuchControl,
                       QStringLiteral("Control array element '%1' doesn't exist").arg(index)};
    };

    report(m_view.restoreLayout());

    if (m_options.CarouselOperation < 1)
        errorLog(QStringLiteral("ERROR no value for Carousel Operation."));
    else if (m_options.CarouselOperation > 2)
        report(noSuchButton(m_options.CarouselOperation - 1));
    else
        optCarOp_Click(m_options.CarouselOperation - 1);

    if (m_options.CarouselMode < 1)
        errorLog(QStringLiteral("ERROR no value for Carousel Mode."));
    else if (m_options.CarouselMode > 2)
        report(noSuchButton(m_options.CarouselMode - 1));
    else
        optCarMode_Click(m_options.CarouselMode - 1);

    if (m_options.AutoStart)
        m_view.setAutoStartTicked(true);

    const QString showFile = m_options.CarouselFileName;
    if (load_show(showFile))
        m_view.addRecentFile(showFile);

    // Through the number box: a sequential run starts after this slide.
    setSlideNumber(QString::number(m_options.StartingSlide));

    if (m_options.BusyWait)
        m_view.setBusyWaitTicked(true);
    if (m_options.UseDefault)
        m_view.setUseDefaultTicked(true);
    m_view.setToolTipsChecked(m_options.ToolTips);

    report(m_view.configBrowser());
}
