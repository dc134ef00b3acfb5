// SPDX-License-Identifier: GPL-3.0-or-later
#include "AutomationAdapter.h"

#include "platform/AutomationBrowser.h"

bool AutomationAdapter::Busy(VbError* error)
{
    return m_browser.Busy(error);
}

bool AutomationAdapter::Navigate(const QString& address, VbError* error)
{
    return m_browser.Navigate(address, error);
}

bool AutomationAdapter::GoBack(VbError* error)
{
    return m_browser.GoBack(error);
}

bool AutomationAdapter::GoForward(VbError* error)
{
    return m_browser.GoForward(error);
}

QString AutomationAdapter::LocationURL(VbError* error)
{
    return m_browser.LocationURL(error);
}

bool AutomationAdapter::Stop(VbError* error)
{
    return m_browser.Stop(error);
}

bool AutomationAdapter::Refresh(VbError* error)
{
    return m_browser.Refresh(error);
}

int AutomationAdapter::DDEOpenURL(const QString&)
{
    // No link here: the browser is driven by automation only.
    return 0;
}

void AutomationAdapter::BrowserTerminate(qint16& counter)
{
    ++counter;
}
