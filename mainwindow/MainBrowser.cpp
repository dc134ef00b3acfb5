// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainBrowser.h"

#include "browser/BrowserConnection.h"
#include "browser/cBrwsr_Events.h"
#include "browser/modDDE.h"
#include "platform/AutomationBrowser.h"
#include "settings/COptions.h"

MainBrowser::MainBrowser(BrowserConnection& connection, const COptions& options)
    : m_connection(connection), m_options(options)
{
}

bool MainBrowser::useOLE() const
{
    return m_connection.UseOLE;
}

bool MainBrowser::useDDE() const
{
    return m_connection.UseDDE;
}

AutomationBrowser* MainBrowser::instance(VbError* error) const
{
    AutomationBrowser* browser = m_connection.instance();
    if (!browser && error)
        *error = AutomationErrors::make(AutomationErrors::NotStarted);
    return browser;
}

bool MainBrowser::Busy(VbError* error)
{
    AutomationBrowser* browser = instance(error);
    return browser && browser->Busy(error);
}

bool MainBrowser::Navigate(const QString& address, VbError* error)
{
    AutomationBrowser* browser = instance(error);
    return browser && browser->Navigate(address, error);
}

bool MainBrowser::GoBack(VbError* error)
{
    AutomationBrowser* browser = instance(error);
    return browser && browser->GoBack(error);
}

bool MainBrowser::GoForward(VbError* error)
{
    AutomationBrowser* browser = instance(error);
    return browser && browser->GoForward(error);
}

QString MainBrowser::LocationURL(VbError* error)
{
    AutomationBrowser* browser = instance(error);
    return browser ? browser->LocationURL(error) : QString();
}

bool MainBrowser::Stop(VbError* error)
{
    AutomationBrowser* browser = instance(error);
    return browser && browser->Stop(error);
}

bool MainBrowser::Refresh(VbError* error)
{
    AutomationBrowser* browser = instance(error);
    return browser && browser->Refresh(error);
}

int MainBrowser::DDEOpenURL(const QString& address)
{
    // The first address opens a window of the program's own; the later ones
    // go to that window, so a running show does not pile windows up.
    const bool reuse = m_connection.linkWindowOpened();
    const int result =
        modDDE::DDEOpenURL(m_connection.link(), m_options.AutoDDEapp, address, reuse);
    if (result == 0)
        m_connection.setLinkWindowOpened(true);
    return result;
}

void MainBrowser::BrowserTerminate(qint16& counter)
{
    m_connection.BrowserTerminate(counter);
}

bool MainBrowser::holdsShow() const
{
    return cBrwsr_Events::asking();
}

void MainBrowser::NotifierTerminate()
{
    if (!m_restartOffered)
        return;
    // The notifier comes with the first browser that loaded; without one
    // there is no browser to offer again.
    if (cBrwsr_Events* notifier = m_connection.notifier())
        notifier->BrowserTerminate();
}
