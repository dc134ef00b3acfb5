// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class AutomationBrowser;
class COptions;
class cBrwsr_Events;

/// Listens to the automation browser's events: writes the browser trace
/// lines and keeps the first main window's full-screen flag in step.
class cIE_Events : public QObject
{
    Q_OBJECT

public:
    explicit cIE_Events(QObject* parent = nullptr);

    COptions* Options = nullptr;
    cBrwsr_Events* Notifier = nullptr;

    /// Binds the sink to an automation instance (nullptr unbinds).
    void setSink(AutomationBrowser* browser);
    AutomationBrowser* sink() const;

Q_SIGNALS:
    /// The browser went into or out of full screen.
    void fullScreenChanged(bool on);

private:
    void m_oWbSink_BeforeNavigate2();
    void m_oWbSink_DocumentComplete(const QString& url);
    void m_oWbSink_DownloadBegin();
    void m_oWbSink_DownloadComplete();
    void m_oWbSink_NavigateComplete2();
    void m_oWbSink_NewWindow2();
    void m_oWbSink_OnFullScreen(bool value);
    void m_oWbSink_OnMenuBar();
    void m_oWbSink_OnQuit();
    void m_oWbSink_OnVisible();

    QPointer<AutomationBrowser> m_oWbSink;
};
