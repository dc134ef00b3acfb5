// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineBrowser.h"

class AutomationBrowser;

/// The engine's browser on a real automation browser, as the main window's
/// browser connection provides it (without the link and the prompts).
class AutomationAdapter : public EngineBrowser
{
public:
    explicit AutomationAdapter(AutomationBrowser& browser) : m_browser(browser) {}

    bool useOLE() const override { return true; }
    bool useDDE() const override { return false; }
    bool Busy(VbError* error) override;
    bool Navigate(const QString& address, VbError* error) override;
    bool GoBack(VbError* error) override;
    bool GoForward(VbError* error) override;
    QString LocationURL(VbError* error) override;
    bool Stop(VbError* error) override;
    bool Refresh(VbError* error) override;
    int DDEOpenURL(const QString& address) override;
    void BrowserTerminate(qint16& counter) override;
    void NotifierTerminate() override {}

private:
    AutomationBrowser& m_browser;
};
