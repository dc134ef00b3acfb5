// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class CommonDialog;

/// What the floating control bar needs of the window that owns it: the
/// show's operations, the owner's window state and its common dialog. The
/// main window implements it; the bar keeps no show state of its own.
class ControlBarOwner
{
public:
    virtual ~ControlBarOwner() = default;

    // The show's operations.
    virtual void GoBack() = 0;
    virtual void GoPause() = 0;
    virtual void GoForward() = 0;
    virtual void GoStop() = 0;
    virtual void GoReload() = 0;
    /// The Show button: starts Show mode.
    virtual void cmdCollect_Click() = 0;

    /// The check mark of the owner's "&Always on top" item.
    virtual bool alwaysOnTopChecked() const = 0;
    /// Puts the owner's window in its normal state (shown, not minimised).
    virtual void restoreWindow() = 0;
    /// Minimises the owner's window.
    virtual void minimizeWindow() = 0;
    /// Keeps the owner's window above all others.
    virtual void makeWindowTopmost() = 0;

    /// The owner's common dialog, shared by all its dialogs.
    virtual CommonDialog& commonDialog() = 0;

    /// The bar has closed, however it was closed; it is deleted right after.
    virtual void controlBarClosed() = 0;
};
