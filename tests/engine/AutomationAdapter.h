// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineBrowser.h"
#include "platform/AutomationBrowser.h"

/// The engine's browser on a real automation browser, as the main window's
/// browser connection provides it (without the link and the prompts).
class AutomationAdapter : public EngineBrowser
{
public:
    explicit AutomationAdapter(AutomationBrowser& browser) : m_browser(browser) {}

    bool useOLE() const override { return true; }
    bool useDDE() const override { return false; }
    bool Busy(VbError* error) override { return m_browser.Busy(error); }
    bool Navigate(const QString& url, VbError* error) override
    {
        return m_browser.Navigate(url, error);
    }
    bool GoBack(VbError* error) override { return m_browser.GoBack(error); }
    bool GoForward(VbError* error) override { return m_browser.GoForward(error); }
    QString LocationURL(VbError* error) override { return m_browser.LocationURL(error); }
    bool Stop(VbError* error) override { return m_browser.Stop(error); }
    bool Refresh(VbError* error) override { return m_browser.Refresh(error); }
    int DDEOpenURL(const QString&) override { return 0; }
    void BrowserTerminate(qint16& counter) override { ++counter; }
    void NotifierTerminate() override {}

private:
    AutomationBrowser& m_browser;
};
