// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VbError.h"

#include <QString>

/// What the show engine needs of the browser side of its main window: the
/// automation browser (when useOLE) or the remote-open link (when useDDE),
/// and the two restart prompts. The main window's browser connection
/// implements it; tests put a recording stand-in in its place.
///
/// Automation calls return true on success, or false with the error in
/// *error (when given). The engine never waits on them.
class EngineBrowser
{
public:
    virtual ~EngineBrowser() = default;

    /// The browser is driven by automation.
    virtual bool useOLE() const = 0;
    /// The browser is driven through the remote-open link.
    virtual bool useDDE() const = 0;

    /// True while the page loads.
    virtual bool Busy(VbError* error) = 0;
    virtual bool Navigate(const QString& address, VbError* error) = 0;
    virtual bool GoBack(VbError* error) = 0;
    virtual bool GoForward(VbError* error) = 0;
    /// The address of the page shown.
    virtual QString LocationURL(VbError* error) = 0;
    virtual bool Stop(VbError* error) = 0;
    virtual bool Refresh(VbError* error) = 0;

    /// Opens the address through the link (the options' service name, in
    /// a new window); 0, or the link's error number (282: no browser).
    virtual int DDEOpenURL(const QString& address) = 0;

    /// The main window's restart prompt, counted: the counter is the page
    /// watcher's run of failures; from the 21st on the user is asked.
    virtual void BrowserTerminate(qint16& counter) = 0;
    /// The notifier's restart prompt: asks at once.
    virtual void NotifierTerminate() = 0;
    /// True while the show must wait before its next step (the restart
    /// prompt is open).
    virtual bool holdsShow() const { return false; }
};
