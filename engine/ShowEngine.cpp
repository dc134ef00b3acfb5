// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ShowEngine.h"
#include "engine/ShowEngineParts.h"

#include "engine/EngineBrowser.h"
#include "engine/EngineView.h"
#include "engine/VexiloTimer.h"
#include "platform/VbConvert.h"
#include "platform/VbError.h"
#include "settings/COptions.h"
#include "settings/cShowState.h"
#include "sound/modPlayWave.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QDateTime>
#include <QScopedValueRollback>

#include <algorithm>
#include <limits>

namespace {

using modMain::debugLog;
using modMain::errorLog;

using ShowEngineParts::errorText;
using ShowEngineParts::IconPaused;
using ShowEngineParts::IconRunning;

const QString TitleSuffix = QStringLiteral(" - Vexilo Software Pagewheel");

constexpr int StepTimerMs = 100;
constexpr int PageWatcherMs = 50;
// A link answer meaning no browser is there any more.
constexpr int NoBrowserAnswered = 282;
// What a slide number outside the show raises.
constexpr int SubscriptOutOfRange = 9;

qint16 truth(bool value)
{
    return value ? cShowState::True : cShowState::False;
}

} // namespace

ShowEngine::ShowEngine(COptions& options, colURLs& show, cShowState& state, EngineBrowser& browser,
                       EngineView& view, VexiloTimer* alarm, QObject* parent)
    : QObject(parent), m_options(options), m_show(show), m_state(state), m_browser(browser),
      m_view(view), m_ownAlarm(alarm ? nullptr : std::make_unique<VexiloTimer>()),
      m_alarm(alarm ? alarm : m_ownAlarm.get()), m_playSound(&modPlayWave::PlayWaveFile),
      m_random(QRandomGenerator::global()->generate())
{
    connect(m_alarm, &VexiloTimer::Alarm, this, &ShowEngine::alarmRang);

    m_tmrNotify.setInterval(StepTimerMs);
    m_tmrNotify.setTimerType(Qt::PreciseTimer);
    connect(&m_tmrNotify, &QTimer::timeout, this, &ShowEngine::tmrNotify_Timer);

    m_timTimer.setInterval(PageWatcherMs);
    connect(&m_timTimer, &QTimer::timeout, this, &ShowEngine::timTimer_Timer);
}

ShowEngine::~ShowEngine()
{
    // An alarm handed in may outlive the engine: it must not list it.
    if (m_alarm)
        m_alarm->RemoveAlarm(this);
}

void ShowEngine::setSoundPlayer(SoundPlayer player)
{
    m_playSound = std::move(player);
}

bool ShowEngine::isPaused() const
{
    return m_state.IsPaused != cShowState::False;
}

qint16 ShowEngine::slideCount() const
{
    return qint16(std::min<qint32>(m_show.Count(), std::numeric_limits<qint16>::max()));
}

// ---------------------------------------------------------------- loading

bool ShowEngine::load_show(const QString& fileName)
{
    if (fileName.isEmpty()) {
        m_view.setWindowTitle(QString());
        return false;
    }
    m_view.setStatusText(QStringLiteral("Loading show..."));
    m_view.setWindowTitle(modFileTools::FileNameNoExt(fileName, QStringLiteral("txt")) +
                          TitleSuffix);
    m_view.setBusyCursor(true);
    bool ok = false;
    if (m_show.Read_in_file(fileName)) {
        do_set_collect();
        m_options.CarouselFileName = fileName;
        m_show.TrayFilename = fileName;
        m_view.setStatusText(QStringLiteral("Number of slides: ") +
                             QString::number(m_show.Count()));
        ok = true;
    } else {
        m_view.setStatusText(QStringLiteral("No slides in show."));
    }
    m_view.setBusyCursor(false);
    return ok;
}

void ShowEngine::do_set_collect()
{
    if (m_show.Count() == 0)
        debugLog(QStringLiteral("Empty collection..."));
    m_state.NumCurrentSlide = 0;
    m_state.NumSlidesShown = 0;
    m_view.setAddressText(QString());
    m_view.setSlideSoundText(QString());
    m_view.setSlidePauseText(QString());
    m_view.setWindowTitle(modFileTools::FileNameNoExt(m_show.TrayFilename, QStringLiteral("txt")) +
                          TitleSuffix);
    m_view.setStatusText(QString());
    // The show's file name is one of the options.
    m_options.Changed = true;
    set_slider();
}

void ShowEngine::set_slider()
{
    const qint16 n = slideCount();
    if (n < 1) {
        // An empty show has only the rest point.
        m_slider.value = 0;
        m_view.setSliderValue(0);
        setSliderRange(0, 1);
        m_slider.enabled = false;
        m_view.setSliderEnabled(false);
        m_view.setUpDownEnabled(false);
        setSlideNumber(QString());
        m_view.setColMinText(QString());
        m_view.setColMaxText(QString());
        return;
    }
    m_slider.enabled = true;
    m_view.setSliderEnabled(true);
    m_view.setUpDownEnabled(true);
    m_view.setColMinText(QStringLiteral("0"));
    m_view.setColMaxText(QString::number(n));
    // A show of one slide gets a slider of 0..1 like the up-down, so the
    // slider never reaches past the show.
    setSliderRange(0, std::max<int>(n, 1));
    m_slider.upDownMinimum = 0;
    m_slider.upDownMaximum = n;
    m_view.setUpDownRange(0, n);
    const int ticks = n > 250 ? 25 : n > 100 ? 10 : n > 50 ? 5 : 1;
    m_view.setSliderTickFrequency(ticks);
    setSlideNumber(QString::number(m_state.NumCurrentSlide));
}

// ----------------------------------------------------------------- slides

void ShowEngine::ShowSlide(const Slide& slide, qint16 number, bool arm)
{
    if (!slide)
        return;
    if (slide->SkipField) {
        // A skipped slide is not shown; its zero alarm brings the next step.
        if (!arm)
            return;
        m_alarm->setAlarmSeconds(0);
        if (!m_alarm->AddAlarm(this)) {
            debugLog(QStringLiteral("ShowSlide: Add alarm failed"));
            return;
        }
        m_alarm->setEnabled(true);
        return;
    }
    Q_EMIT slideStarting();
    if (m_bIntervalDirty)
        ValidateReloadInterval();

    qint32 pause = 0;
    if (m_options.UseDefault) {
        pause = m_options.ReloadInterval;
    } else {
        pause = slide->PauseTime;
        if (pause > 0) {
            m_view.setSlidePauseText(QString::number(pause));
        } else {
            m_view.setSlidePauseText(QString());
            pause = m_options.ReloadInterval;
        }
    }
    debugLog(QStringLiteral("Pause Time: ") + QString::number(pause));

    // The pause counts from the request, not from the end of loading.
    if (arm) {
        m_alarm->setAlarmSeconds(pause);
        if (!m_alarm->AddAlarm(this)) {
            debugLog(QStringLiteral("ShowSlide: Add alarm failed."));
            // Forward on a paused show runs the next step at once, which
            // arms again; an alarm that keeps refusing must not recurse.
            if (m_armingRefused)
                return;
            const QScopedValueRollback refused(m_armingRefused, true);
            GoForward();
            return;
        }
        m_alarm->setEnabled(true);
    }

    if (!slide->SoundFile.isEmpty()) {
        m_view.setSlideSoundText(slide->SoundFile);
        if (m_playSound)
            m_playSound(slide->SoundFile);
    } else {
        m_view.setSlideSoundText(QString());
    }

    slide->ShownIndex = number;
    slide->DateLastVisited = modFileTools::ToAutomationDate(QDateTime::currentDateTime());
    if (slide->TimesShown < std::numeric_limits<qint16>::max())
        ++slide->TimesShown;

    m_view.setAddressText(slide->HREF);
    setSliderPosition(m_state.NumCurrentSlide);
    cboAddress_Click();

    if (!arm && pause >= 1) {
        m_alarm->setAlarmSeconds(pause);
        m_alarm->setEnabled(true);
    }
}

void ShowEngine::ShowNextSlide(qint16 n)
{
    if (m_bShowCurrent)
        m_bShowCurrent = false;
    else
        m_state.NumCurrentSlide = NextSlideIndex(n);
    const qint16 k = m_state.NumCurrentSlide;
    const Slide slide = m_show.Item(k);
    if (!slide) {
        // Nothing is shown and no alarm armed: the run waits for the user.
        reportCarouselError();
        return;
    }
    ShowSlide(slide, k, true);
    PushHistory(slide);
}

void ShowEngine::reportCarouselError()
{
    errorLog(errorText(QStringLiteral("ERROR running carousel: "),
                       VbError{SubscriptOutOfRange, QStringLiteral("Subscript out of range")}));
}

void ShowEngine::PushHistory(const Slide& slide)
{
    if (m_colHistory.size() > HistoryLimit - 1)
        m_colHistory.removeFirst();
    m_colHistory.append(slide);
}

bool ShowEngine::HistoryBack()
{
    const auto noPrevious = [this] {
        errorLog(QStringLiteral("Go Back Error, count <1"));
        m_view.beep();
    };
    if (m_colHistory.isEmpty()) {
        noPrevious();
        return false;
    }
    // The last entry is the slide on screen. Skipped slides were never on
    // screen, so Back passes over them; landing on one would restart a
    // sequential show from its first slide.
    qsizetype previous = m_colHistory.size() - 2;
    while (previous >= 0 && m_colHistory.at(previous)->SkipField)
        --previous;
    if (previous < 0) {
        // Nothing earlier: the slide on screen starts its pause again, so
        // the run keeps an alarm.
        noPrevious();
        const Slide current = m_colHistory.constLast();
        m_state.NumCurrentSlide = current->ShownIndex;
        ShowSlide(current, current->ShownIndex, true);
        return true;
    }
    m_colHistory.resize(previous + 1);
    const Slide slide = m_colHistory.constLast();
    m_state.NumCurrentSlide = slide->ShownIndex;
    ShowSlide(slide, slide->ShownIndex, true);
    return true;
}

// ---------------------------------------------------- navigation commands

void ShowEngine::GoBegin()
{
    m_state.NumSlidesShown = 0;
    m_state.NumCurrentSlide = 0;
    Suspend_Timer();
}

void ShowEngine::GoBack()
{
    if (m_options.ReloadMode != ModeNormal) {
        m_state.IsBacking = cShowState::True;
        if (!Suspend_Timer()) {
            debugLog(QStringLiteral("VexiloTimer1 not enabled!"));
            m_state.IsBacking = cShowState::False;
            if (m_browser.useOLE())
                m_browser.GoBack(nullptr);
        }
        return;
    }
    if (m_browser.useOLE()) {
        VbError error;
        const QString location = m_browser.LocationURL(&error);
        if (!error.isError())
            m_view.setAddressText(location);
        m_browser.GoBack(nullptr);
    }
}

void ShowEngine::GoPause()
{
    if (m_options.ReloadMode == ModeNormal)
        return;
    m_state.IsPaused = truth(!isPaused());
    if (isPaused()) {
        m_view.setPauseChecked(true);
        m_view.setStatusText(QStringLiteral("Paused."));
        m_view.setWindowIconNumber(IconPaused);
    } else {
        m_view.setPauseChecked(false);
        m_view.setStatusText(QString());
        m_view.setWindowIconNumber(IconRunning);
    }
}

void ShowEngine::GoForward()
{
    if (m_options.ReloadMode != ModeNormal) {
        if (Suspend_Timer())
            return;
        debugLog(QStringLiteral("VexiloTimer1 not enabled!"));
    }
    if (!m_browser.useOLE())
        return;
    VbError error;
    if (!m_browser.GoForward(&error))
        errorLog(QStringLiteral("Browser ERROR (GoForward): ") + QString::number(error.number) +
                 QStringLiteral("\r\n") + error.description);
}

void ShowEngine::GoEnd()
{
    debugLog(QStringLiteral("GoEnd"));
    const qint16 last = qint16(slideCount() - 1);
    m_state.NumSlidesShown = last;
    m_state.NumCurrentSlide = last;
    Suspend_Timer();
}

void ShowEngine::GoStop()
{
    // Resume first: a step waiting in the pause wait then ends and finds
    // Normal mode.
    if (isPaused())
        GoPause();
    if (m_options.ReloadMode != ModeNormal) {
        if (m_alarm->Enabled())
            m_alarm->setExpire(true);
        change_mode(ModeNormal);
        m_timTimer.stop();
        return;
    }
    if (m_browser.useOLE())
        m_browser.Stop(nullptr);
}

void ShowEngine::GoReload()
{
    if (m_browser.useOLE()) {
        m_browser.Refresh(nullptr);
    } else if (m_browser.useDDE()) {
        if (m_browser.DDEOpenURL(m_view.addressText()) == NoBrowserAnswered)
            m_browser.NotifierTerminate();
    }
}

void ShowEngine::NavKeyPressed(int index)
{
    m_timTimer.start();
    switch (index) {
    case 0:
        GoBegin();
        break;
    case 1:
        GoBack();
        break;
    case 2:
        GoPause();
        break;
    case 3:
        GoForward();
        break;
    case 4:
        GoEnd();
        break;
    case 5:
        GoStop();
        break;
    default:
        break;
    }
}

void ShowEngine::cboAddress_Click()
{
    const QString address = m_view.addressText();
    if (address.isEmpty())
        return;
    m_view.setStatusText(QStringLiteral("Working..."));
    m_timTimer.start();
    if (m_browser.useOLE()) {
        // A failed request shows in the page watcher's busy query.
        m_browser.Navigate(address, nullptr);
    } else if (m_browser.useDDE()) {
        if (m_browser.DDEOpenURL(address) == NoBrowserAnswered)
            m_browser.NotifierTerminate();
    }
    m_view.addAddressToList(address);
}

void ShowEngine::cmdSlide_Click()
{
    cboAddress_Click();
    const QString sound = m_view.slideSoundText();
    if (!sound.isEmpty() && m_playSound)
        m_playSound(sound);
}

// ------------------------------------------------------ position controls

void ShowEngine::setSliderRange(int minimum, int maximum)
{
    m_slider.minimum = minimum;
    m_slider.maximum = maximum;
    m_view.setSliderRange(minimum, maximum);
    // The slider keeps its value inside its range; set_slider puts the
    // number box (and through it the slider) right afterwards.
    const int clamped = std::clamp(m_slider.value, minimum, maximum);
    if (clamped != m_slider.value) {
        m_slider.value = clamped;
        m_view.setSliderValue(clamped);
    }
}

void ShowEngine::setSliderPosition(int position)
{
    position = std::clamp(position, m_slider.minimum, m_slider.maximum);
    if (position == m_slider.value)
        return;
    m_slider.value = position;
    m_view.setSliderValue(position);
    SliderMoved();
}

void ShowEngine::setSlideNumber(const QString& text, bool reactEvenIfSame)
{
    if (text == m_numberText && !reactEvenIfSame)
        return;
    m_numberText = text;
    m_view.setSlideNumberText(text);
    SlideNumberChanged();
}

void ShowEngine::showSlideFields(qint16 number)
{
    if (number < 1) {
        m_view.setAddressText(QString());
        m_view.setSlideSoundText(QString());
        m_view.setSlidePauseText(QString());
        return;
    }
    const Slide slide = m_show.Item(number);
    if (!slide)
        return;
    m_view.setAddressText(slide->HREF);
    m_view.setSlideSoundText(slide->SoundFile);
    m_view.setSlidePauseText(QString::number(slide->PauseTime));
}

void ShowEngine::SliderMoved()
{
    m_state.NumCurrentSlide = qint16(m_slider.value >= 1 ? m_slider.value : 0);
    setSlideNumber(QString::number(m_state.NumCurrentSlide));
    if (m_options.ReloadMode != ModeShow) {
        // Only the labels follow; the user sends the slide with "Slide".
        showSlideFields(m_state.NumCurrentSlide);
        return;
    }
    if (m_bShowCurrent) {
        // The next step shows the chosen slide at once.
        if (m_alarm->Enabled())
            m_alarm->setExpire(true);
        showSlideFields(m_state.NumCurrentSlide);
    }
}

void ShowEngine::SlideNumberChanged()
{
    if (m_numberText.size() > 4) {
        m_view.beep();
        errorLog(QStringLiteral("UPDWN value >4 chars."));
        return;
    }
    // Four characters at most: always within 16 bits.
    const qint16 value = qint16(VbConvert::roundHalfEven(VbConvert::Val(m_numberText)));
    if (value > m_slider.upDownMaximum || value < 0) {
        m_view.beep();
        errorLog(QStringLiteral("UPDWN value exceeds max or <0."));
        return;
    }
    if (value >= m_slider.minimum && value <= m_slider.maximum) {
        m_state.NumCurrentSlide = value;
        setSliderPosition(value);
        debugLog(QStringLiteral("New slide value: ") + QString::number(value));
        return;
    }
    errorLog(QStringLiteral("Slide value exceeds max or < min."));
    m_view.beep();
}

void ShowEngine::SliderUserMoved(int position)
{
    m_bShowCurrent = true;
    setSliderPosition(position);
}

void ShowEngine::SlideNumberEdited(const QString& text)
{
    m_bShowCurrent = true;
    setSlideNumber(text);
}

void ShowEngine::UpDownClicked(int value)
{
    m_bShowCurrent = true;
    setSlideNumber(QString::number(value), true);
}
