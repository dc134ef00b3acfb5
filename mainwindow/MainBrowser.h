// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineBrowser.h"

class AutomationBrowser;
class BrowserConnection;
class COptions;

/// The show engine's browser in a main window: the window's browser
/// connection, driven by automation (its instance) or through the
/// remote-open link with the options' service name.
///
/// A call on the automation browser while the connection holds none (it
/// failed to load, or was unloaded) fails with error 91, as a call on no
/// object did on the old platform.
class MainBrowser final : public EngineBrowser
{
public:
    MainBrowser(BrowserConnection& connection, const COptions& options);

    bool useOLE() const override;
    bool useDDE() const override;

    bool Busy(VbError* error) override;
    bool Navigate(const QString& address, VbError* error) override;
    bool GoBack(VbError* error) override;
    bool GoForward(VbError* error) override;
    QString LocationURL(VbError* error) override;
    bool Stop(VbError* error) override;
    bool Refresh(VbError* error) override;

    int DDEOpenURL(const QString& address) override;

    void BrowserTerminate(qint16& counter) override;
    void NotifierTerminate() override;
    bool holdsShow() const override;

    /// Off while the start-up address is sent: start-up takes no answer
    /// from a remote-open browser.
    void setRestartOffered(bool offered) { m_restartOffered = offered; }

private:
    /// The automation instance, or nullptr with error 91 in *error.
    AutomationBrowser* instance(VbError* error) const;

    BrowserConnection& m_connection;
    const COptions& m_options;
    bool m_restartOffered = true;
};
