// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/VexiloTimer.h"
#include "show/colURLs.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRandomGenerator>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class COptions;
class EngineBrowser;
class EngineView;
class cShowState;

/// The show engine of a main window: it loads a show into the run, shows
/// slides, runs the three modes (1 Normal, 2 Auto Reload, 3 Show) and the
/// navigation commands, and keeps the position controls in step.
///
/// It owns the run: the alarm (unless one is handed in), the 100 ms step
/// timer tmrNotify, the 50 ms page watcher timTimer, the back history and
/// the mode switch. It reaches the controls only through EngineView, the
/// browser only through EngineBrowser and the sound through a player
/// function (PlayWaveFile unless a test gives another). The options, the
/// show and the run state belong to the main window and are shared.
///
/// Everything runs on the GUI thread. The engine's waits (the browser busy
/// wait, the pause wait, the mode switch's one-second wait) pump events,
/// so commands can arrive while a step waits; the orders that keep this
/// safe are kept here: the step timer switches itself off first, Stop
/// resumes a paused show before it switches to Normal, and the mode is
/// Normal before an alarm is cut short, so that the alarm's step does
/// nothing.
///
/// exitRequested is emitted from inside a step (after an unattended run
/// once): the receiver must close the window later (deleteLater), not
/// delete the engine from the slot.
class ShowEngine : public QObject
{
    Q_OBJECT

public:
    using Slide = colURLs::Slide;
    using SoundPlayer = std::function<void(const QString& fileName)>;

    /// The mode numbers.
    static constexpr qint16 ModeNormal = 1;
    static constexpr qint16 ModeAutoReload = 2;
    static constexpr qint16 ModeShow = 3;
    /// The most entries the back history keeps.
    static constexpr qsizetype HistoryLimit = 101;
    /// The most one-second rounds a step waits for a busy browser.
    static constexpr int BusyWaitRounds = 121;

    /// alarm: the alarm to use (not owned); nullptr makes one of its own.
    ShowEngine(COptions& options, colURLs& show, cShowState& state, EngineBrowser& browser,
               EngineView& view, VexiloTimer* alarm = nullptr, QObject* parent = nullptr);
    ~ShowEngine() override;

    /// Replaces the sound player (PlayWaveFile by default).
    void setSoundPlayer(SoundPlayer player);

    VexiloTimer& alarm() const { return *m_alarm; }
    /// The mode in force (0 until the first change_mode).
    qint16 CurrentMode() const { return m_CurrentMode; }
    bool bShowCurrent() const { return m_bShowCurrent; }
    bool bIntervalDirty() const { return m_bIntervalDirty; }
    qint16 TerminateCount() const { return m_TerminateCount; }
    const QList<Slide>& colHistory() const { return m_colHistory; }
    bool pageWatcherActive() const { return m_timTimer.isActive(); }
    bool stepTimerActive() const { return m_tmrNotify.isActive(); }
    int sliderValue() const { return m_slider.value; }
    QString slideNumberText() const { return m_numberText; }

    // Loading a show.
    /// Reads the show file into the show and resets the run; false when
    /// the name is empty or the file gave no show.
    bool load_show(const QString& fileName);
    /// Resets the run, labels, title and position controls for the show.
    void do_set_collect();
    /// Sets the position controls to the show's size.
    void set_slider();

    // Slides.
    /// Shows one slide; arms its alarm when arm is true.
    void ShowSlide(const Slide& slide, qint16 number, bool arm);
    /// Picks the next slide (or the one the user chose) and shows it.
    void ShowNextSlide(qint16 n);
    void PushHistory(const Slide& slide);
    /// Shows the previous slide of the history; false when the history
    /// is empty and nothing was shown.
    bool HistoryBack();
    /// Runs the step of the mode in force.
    void TimerStep();
    /// Ends the running pause early; true when a step follows.
    bool Suspend_Timer();

    // Holding a run while its browser is replaced.
    /// Keeps the run at its slide: no alarm, no step and no page watcher
    /// until ResumeShow (or a change of mode). Nothing happens in Normal
    /// mode.
    void HoldShow();
    /// Shows the slide the run was held at again, with its full pause, and
    /// goes on from there (Auto Reload fetches its address again).
    void ResumeShow();
    bool showHeld() const { return m_held; }
    /// The slide the run is at (0 before the first).
    qint16 currentSlide() const;

    // Navigation commands.
    void GoBegin();
    void GoBack();
    void GoPause();
    void GoForward();
    void GoEnd();
    void GoStop();
    void GoReload();
    /// A press of cmdNavKey(index) 0..5: switches the page watcher on,
    /// then Beginning, Back, Pause, Forward, Ending or Stop.
    void NavKeyPressed(int index);
    /// Sends the address box's text to the browser.
    void cboAddress_Click();
    /// The "Slide" button: the address box's slide with its sound.
    void cmdSlide_Click();

    // Position controls.
    /// The slider's position changed (by the engine or the user).
    void SliderMoved();
    /// The slide number box's text changed (or the up-down was clicked).
    void SlideNumberChanged();
    /// The user moved the slider.
    void SliderUserMoved(int position);
    /// The user typed into the slide number box.
    void SlideNumberEdited(const QString& text);
    /// The user clicked the up-down to this value.
    void UpDownClicked(int value);

    // Modes.
    void change_mode(qint16 newMode);
    /// Ends a running alarm before a mode change.
    void StopModeTimer();
    void AutoReloadStep();
    void CarouselStep();
    /// The next slide to show, 1..n.
    qint16 NextSlideIndex(qint16 n);
    /// Shows all slides in one loop (only with an alarm whose TimingKind
    /// reads 2).
    void RunCarouselPass(qint16 n);
    /// Mode > Normal.
    void mnuModeNormal();
    /// Mode > Auto-Reload: a second click goes back to Normal.
    void mnuModeAutoReload();
    /// Mode > Show and the "Show" button.
    void mnuModeShow();
    /// optCarMode(index) clicked: 0 sequential, 1 random.
    void optCarMode_Click(int index);
    /// optCarOp(index) clicked: 0 once, 1 continuous.
    void optCarOp_Click(int index);

    // The default-pause box.
    /// Its text was edited, or its list used.
    void IntervalEdited();
    /// It lost the focus: validates an edited text.
    void IntervalBoxLostFocus();
    /// Checks the box's text and makes it the default pause.
    bool ValidateReloadInterval();

    /// Puts the options into the main window at load.
    void ApplyShowOptions();

Q_SIGNALS:
    /// An unattended run once has ended: the program should exit.
    void exitRequested();
    /// A slide is about to be shown (before its alarm is armed and its
    /// address sent): the moment the browser may be replaced unseen.
    void slideStarting();

private:
    struct SliderState
    {
        bool enabled = true;
        int minimum = 0;
        int maximum = 10;
        int value = 0;
        int upDownMinimum = 0;
        int upDownMaximum = 10;
    };

    void alarmRang();
    void tmrNotify_Timer();
    void timTimer_Timer();

    bool isPaused() const;
    qint16 slideCount() const;
    void completeShow();
    void setNavKeys(qint16 mode);
    void setSliderRange(int minimum, int maximum);
    void setSliderPosition(int position);
    void setSlideNumber(const QString& text, bool reactEvenIfSame = false);
    void showSlideFields(qint16 number);
    void reportCarouselError();
    void seedFromTimeOfDay();

    COptions& m_options;
    colURLs& m_show;
    cShowState& m_state;
    EngineBrowser& m_browser;
    EngineView& m_view;
    std::unique_ptr<VexiloTimer> m_ownAlarm;
    QPointer<VexiloTimer> m_alarm;
    SoundPlayer m_playSound;

    QTimer m_tmrNotify;
    QTimer m_timTimer;
    QRandomGenerator m_random;

    qint16 m_CurrentMode = 0;
    bool m_modeChecked[4] = {};
    bool m_bShowCurrent = false;
    bool m_bIntervalDirty = false;
    qint16 m_TerminateCount = 0;
    QList<Slide> m_colHistory;

    SliderState m_slider;
    QString m_numberText;

    bool m_stepWaiting = false;    // a step waits for the browser or the pause
    bool m_watcherTicking = false; // a page-watcher tick is running
    bool m_armingRefused = false;  // Forward after a refused alarm is running
    bool m_held = false;           // HoldShow keeps the run at its slide
    int m_holds = 0;               // counts holds, so a waiting step sees one
};
