// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserConnection.h"

#include "browser/cBrwsr_Events.h"
#include "browser/cIE_Events.h"
#include "browser/modDDE.h"
#include "browser/modURL.h"
#include "platform/AutomationBrowser.h"
#include "platform/DdeLink.h"
#include "platform/Prompts.h"
#include "settings/COptions.h"
#include "startup/modMain.h"

#include <QCoreApplication>

namespace {

using modMain::errorLog;

const QString CrLf = QStringLiteral("\r\n");

QList<BrowserConnection*>& connections()
{
    static QList<BrowserConnection*> all;
    return all;
}

QString describe(const VbError& error)
{
    return QString::number(error.number) + QStringLiteral(",  Description: ") + error.description;
}

} // namespace

BrowserConnection::BrowserConnection(COptions& options, QObject* parent)
    : QObject(parent), m_options(options), m_link(new DdeLink(this))
{
    m_link->setObjectName(QStringLiteral("txtDDE"));
    connections().append(this);
    installWindowOpener();
}

BrowserConnection::~BrowserConnection()
{
    connections().removeAll(this);
}

BrowserConnection* BrowserConnection::first()
{
    return connections().isEmpty() ? nullptr : connections().first();
}

AutomationBrowser* BrowserConnection::instance() const
{
    return m_instance;
}

bool BrowserConnection::LoadIE(const QString& application)
{
    Q_EMIT busyCursor(true);
    if (application != QStringLiteral("IEXPLORE")) {
        errorLog(QStringLiteral("LOAD IE: unknown app: ") + application);
        Q_EMIT busyCursor(false);
        return false;
    }
    if (modMain::DebugMode)
        modMain::WriteLog(QStringLiteral("Loading IE OLE.."));
    Q_EMIT statusText(QStringLiteral("Starting Internet Explorer..."));

    // A browser that has gone is let go; the new one replaces it.
    releaseInstance();
    auto* browser = new AutomationBrowser(this);
    if (!m_program.isEmpty())
        browser->setProgram(m_program);
    if (!m_profile.isEmpty())
        browser->setProfileFolder(m_profile);
    m_instance = browser;
    // The sink hears the new instance from its first event on.
    if (m_sink)
        m_sink->setSink(browser);

    VbError error;
    bool ok = browser->start(&error) && browser->setVisible(true, &error);
    if (ok) {
        const bool menuBar = browser->MenuBar(&error);
        ok = !error.isError() && browser->setMenuBar(!menuBar, &error);
    }
    if (ok) {
        browser->FullName(&error);
        ok = !error.isError() && browser->Stop(&error);
    }
    Q_EMIT busyCursor(false);
    if (ok) {
        Q_EMIT instanceLoaded(browser);
        return true;
    }

    errorLog(QStringLiteral("Error in loading ") + application + QStringLiteral(": ") +
             describe(error));
    Prompts::MsgBox(QStringLiteral("Error in loading ") + application + QStringLiteral(".") + CrLf +
                        QStringLiteral("Pagewheel cannot function correctly without Browser"),
                    Prompts::vbExclamation);
    Q_EMIT statusText(QStringLiteral("Error starting ") + application);
    return false;
}

bool BrowserConnection::load_Browser(bool& useOLE, bool& useDDE, const QString& application,
                                     const QString& executable)
{
    bool loaded = true;
    if (useOLE) {
        if (!m_sink) {
            m_sink = new cIE_Events(this);
            connect(m_sink, &cIE_Events::fullScreenChanged, this, [this](bool on) {
                if (BrowserConnection* window = first())
                    window->FullScreenOn = on;
                Q_EMIT browserFullScreen(on);
            });
        }
        // Bound before loading, so the new instance's first events are heard.
        m_sink->Options = &m_options;
        loaded = LoadIE(application);
        if (loaded) {
            if (!m_notifier)
                m_notifier = new cBrwsr_Events(this);
            m_sink->Notifier = m_notifier;
        }
    } else if (useDDE) {
        m_linkWindowOpened = false;
        loaded = modDDE::DDEConnect(*m_link, executable, application);
        if (loaded)
            modDDE::DDEActivate(*m_link, m_options.AutoDDEapp);
    }

    if (!loaded) {
        errorLog(QStringLiteral("Main form load - problem loading ") + application);
        const int answer = Prompts::MsgBox(
            QStringLiteral("There was a problem loading your browser, ") + application + CrLf +
                QStringLiteral("Do you want to continue with Pagewheel?"),
            Prompts::vbYesNo + Prompts::vbExclamation + Prompts::vbDefaultButton2,
            QStringLiteral("Problem loading Browser"));
        if (answer == Prompts::vbNo) {
            m_options.Changed = false;
            Q_EMIT closeRequested();
        }
        return false;
    }

    if (!m_notifier)
        m_notifier = new cBrwsr_Events(this);
    m_notifier->Options = &m_options;
    return true;
}

bool BrowserConnection::unload_browser(bool useOLE, bool useDDE, const QString& application,
                                       const QString& executable)
{
    Q_UNUSED(application)
    Q_UNUSED(executable)
    VbError error;
    if (useOLE) {
        if (m_instance) {
            const qint64 hwnd = m_instance->HWND(&error);
            if (!error.isError())
                m_instance->closeWindow(hwnd, &error);
        }
        releaseInstance();
    } else if (useDDE) {
        m_linkWindowOpened = false;
        modDDE::DDEExit(*m_link, m_options.AutoDDEapp);
    }
    if (error.isError())
        errorLog(QStringLiteral("unload browser Error: ") + QString::number(error.number) +
                 QStringLiteral(" Description: ") + error.description);
    return true;
}

void BrowserConnection::BrowserTerminate(qint16& counter)
{
    if (counter < 20) {
        ++counter;
        return;
    }
    const int answer =
        Prompts::MsgBox(QStringLiteral("The browser Pagewheel was using has terminated.") + CrLf +
                            QStringLiteral("To restart browser press Yes."),
                        Prompts::vbYesNo, QStringLiteral("Restart Browser?"));
    if (answer == Prompts::vbYes)
        load_Browser(UseOLE, UseDDE, m_options.AutoDDEapp, m_options.AutoDDEexe);
    else
        Q_EMIT stopRequested();
    counter = 0;
}

void BrowserConnection::releaseInstance()
{
    if (!m_instance)
        return;
    if (m_sink && m_sink->sink() == m_instance)
        m_sink->setSink(nullptr);
    m_instance->deleteLater();
    m_instance = nullptr;
}

void BrowserConnection::installWindowOpener()
{
    modURL::SetAutomationWindowOpener([](const QString& address) {
        // Nothing keeps this window: it lives until the user closes it.
        auto* window = new AutomationBrowser(QCoreApplication::instance());
        QObject::connect(window, &AutomationBrowser::OnQuit, window, &QObject::deleteLater);
        VbError error;
        if (window->start(&error) && window->setVisible(true, &error)) {
            const bool menuBar = window->MenuBar(&error);
            if (!error.isError() && window->setMenuBar(!menuBar, &error)) {
                window->FullName(&error);
                if (!error.isError() && window->Stop(&error))
                    window->Navigate(address, &error);
            }
        }
        if (error.isError())
            window->deleteLater();
        return error;
    });
}
