// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/cIE_Events.h"

#include "platform/AutomationBrowser.h"
#include "startup/modMain.h"

namespace {

void trace(const QString& line)
{
    if (modMain::TraceMode)
        modMain::WriteLog(line);
}

} // namespace

cIE_Events::cIE_Events(QObject* parent) : QObject(parent)
{
}

AutomationBrowser* cIE_Events::sink() const
{
    return m_oWbSink;
}

void cIE_Events::setSink(AutomationBrowser* browser)
{
    if (m_oWbSink)
        disconnect(m_oWbSink, nullptr, this, nullptr);
    m_oWbSink = browser;
    if (!browser)
        return;
    connect(browser, &AutomationBrowser::BeforeNavigate2, this,
            &cIE_Events::m_oWbSink_BeforeNavigate2);
    connect(browser, &AutomationBrowser::DocumentComplete, this,
            &cIE_Events::m_oWbSink_DocumentComplete);
    connect(browser, &AutomationBrowser::DownloadBegin, this, &cIE_Events::m_oWbSink_DownloadBegin);
    connect(browser, &AutomationBrowser::DownloadComplete, this,
            &cIE_Events::m_oWbSink_DownloadComplete);
    connect(browser, &AutomationBrowser::NavigateComplete2, this,
            &cIE_Events::m_oWbSink_NavigateComplete2);
    connect(browser, &AutomationBrowser::NewWindow2, this, &cIE_Events::m_oWbSink_NewWindow2);
    connect(browser, &AutomationBrowser::OnFullScreen, this, &cIE_Events::m_oWbSink_OnFullScreen);
    connect(browser, &AutomationBrowser::OnMenuBar, this, &cIE_Events::m_oWbSink_OnMenuBar);
    connect(browser, &AutomationBrowser::OnQuit, this, &cIE_Events::m_oWbSink_OnQuit);
    connect(browser, &AutomationBrowser::OnVisible, this, &cIE_Events::m_oWbSink_OnVisible);
}

void cIE_Events::m_oWbSink_BeforeNavigate2()
{
    trace(QStringLiteral("BeforeNav2"));
}

void cIE_Events::m_oWbSink_DocumentComplete(const QString& url)
{
    trace(QStringLiteral("DocumentComplete: ") + url);
}

void cIE_Events::m_oWbSink_DownloadBegin()
{
    trace(QStringLiteral("DownLoadBegin"));
}

void cIE_Events::m_oWbSink_DownloadComplete()
{
    trace(QStringLiteral("DownLoadComplete"));
}

void cIE_Events::m_oWbSink_NavigateComplete2()
{
    trace(QStringLiteral("NavigateComplete2"));
}

void cIE_Events::m_oWbSink_NewWindow2()
{
    trace(QStringLiteral("NewWindow2"));
}

void cIE_Events::m_oWbSink_OnFullScreen(bool value)
{
    // The value as the old platform wrote a truth value into text.
    trace(QStringLiteral("FullScreen: ") +
          (value ? QStringLiteral("True") : QStringLiteral("False")));
    Q_EMIT fullScreenChanged(value);
}

void cIE_Events::m_oWbSink_OnMenuBar()
{
    trace(QStringLiteral("OnMenuBar"));
}

void cIE_Events::m_oWbSink_OnQuit()
{
    trace(QStringLiteral("OnQuit"));
}

void cIE_Events::m_oWbSink_OnVisible()
{
    trace(QStringLiteral("OnVisible"));
}
