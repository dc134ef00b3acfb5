// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VbError.h"

#include <QString>

/// The controls of the main window that the show engine drives, and the
/// few it reads. The main window implements it with its real controls;
/// tests put a recording stand-in in its place.
///
/// The engine keeps the state of the position controls (slider, up-down,
/// slide number box) itself and runs their reactions to its own changes;
/// the view only displays what it is told. The main window therefore
/// sets these controls with their signals blocked and hands only the
/// user's own actions to the engine (ShowEngine::SliderUserMoved,
/// SlideNumberEdited, UpDownClicked).
class EngineView
{
public:
    virtual ~EngineView() = default;

    // The address box (cboAddress).
    virtual QString addressText() const = 0;
    virtual void setAddressText(const QString& text) = 0;
    /// Appends the address to the box's list (no check for duplicates).
    virtual void addAddressToList(const QString& text) = 0;

    // The slide labels.
    virtual void setSlidePauseText(const QString& text) = 0;
    virtual void setSlidePauseVisible(bool visible) = 0;
    virtual QString slideSoundText() const = 0;
    virtual void setSlideSoundText(const QString& text) = 0;

    virtual void setStatusText(const QString& text) = 0;
    virtual void setWindowTitle(const QString& title) = 0;
    /// The hourglass pointer while a show loads.
    virtual void setBusyCursor(bool busy) = 0;
    /// One of the program's icons: 101 running, 102 not running, 103 paused.
    virtual void setWindowIconNumber(int resourceNumber) = 0;
    virtual void beep() = 0;

    // The position controls.
    virtual void setSliderEnabled(bool enabled) = 0;
    virtual void setSliderRange(int minimum, int maximum) = 0;
    virtual void setSliderTickFrequency(int frequency) = 0;
    virtual void setSliderValue(int value) = 0;
    virtual void setUpDownEnabled(bool enabled) = 0;
    virtual void setUpDownRange(int minimum, int maximum) = 0;
    virtual void setSlideNumberText(const QString& text) = 0;
    virtual void setColMinText(const QString& text) = 0;
    virtual void setColMaxText(const QString& text) = 0;

    /// cmdNavKey(index): 0 Beginning, 1 Back, 2 Pause, 3 Forward, 4 Ending,
    /// 5 Stop.
    virtual void setNavKeyEnabled(int index, bool enabled) = 0;
    /// The Mode menu's check marks: 1 Normal, 2 Auto-Reload, 3 Show.
    virtual void setModeChecked(int mode, bool checked) = 0;
    /// Control > Pause.
    virtual void setPauseChecked(bool checked) = 0;

    // The Options bar and menu.
    /// optCarMode(index) on, and Order menu item index checked, the other
    /// one unchecked (0 sequential, 1 random).
    virtual void setOrderChecked(int index) = 0;
    /// optCarOp(index) on, and Operation menu item index checked, the
    /// other one unchecked (0 once, 1 continuous).
    virtual void setOperationChecked(int index) = 0;
    virtual void setAutoStartTicked(bool ticked) = 0;
    virtual void setBusyWaitTicked(bool ticked) = 0;
    virtual void setUseDefaultTicked(bool ticked) = 0;
    /// Options > Tool Tips: "&On" checked when on, "O&ff" when off.
    virtual void setToolTipsChecked(bool on) = 0;

    // The default-pause box (cboReloadInterval).
    virtual QString intervalText() const = 0;
    virtual void focusIntervalBox() = 0;
    /// The help context of the main window, for the error box.
    virtual int helpContext() const = 0;

    // Start-up steps of the main window that the options ask for.
    /// Restores the window's position and recent-show list and collapses
    /// the bars whose saved flag is off.
    virtual VbError restoreLayout() = 0;
    /// Adds a show file to the File menu's recent list.
    virtual void addRecentFile(const QString& fileName) = 0;
    /// Chooses the browser from the options' browser mode and writes the
    /// link's names back into the options.
    virtual VbError configBrowser() = 0;
};
