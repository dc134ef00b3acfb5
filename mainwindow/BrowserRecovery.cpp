// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/BrowserRecovery.h"

#include "browser/BrowserConnection.h"
#include "engine/ShowEngine.h"
#include "mainwindow/UnattendedRun.h"
#include "platform/AutomationBrowser.h"
#include "platform/ProcessTree.h"
#include "platform/Registry.h"
#include "settings/COptions.h"
#include "startup/modMain.h"

namespace {

// How often the browser's memory is measured.
constexpr int SampleIntervalMs = 10000;
// An unattended run tries again this long after a browser failed to start.
constexpr int RetryMs = 3000;
// The counted restart question asks from this count on.
constexpr qint16 AskAtOnce = 20;

} // namespace

BrowserRecovery::BrowserRecovery(BrowserConnection& connection, ShowEngine& engine,
                                 COptions& options, const UnattendedRun& run, QObject* parent)
    : QObject(parent), m_connection(connection), m_engine(engine), m_options(options), m_run(run)
{
    m_sample.setInterval(SampleIntervalMs);
    connect(&m_sample, &QTimer::timeout, this, &BrowserRecovery::sampleMemory);
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] { recover(); });
    connect(&m_engine, &ShowEngine::slideStarting, this, &BrowserRecovery::slideStarting);
    connect(&m_connection, &BrowserConnection::instanceLoaded, this, &BrowserRecovery::watch);
}

qint64 BrowserRecovery::storedMemoryLimitMB()
{
    bool ok = false;
    const qint64 megabytes = Registry::GetSetting(modMain::AppTitle(), QStringLiteral("Settings"),
                                                  QStringLiteral("BrowserMemoryLimitMB"))
                                 .toLongLong(&ok);
    return ok && megabytes > 0 ? megabytes : DefaultMemoryLimitMB;
}

void BrowserRecovery::watch(AutomationBrowser* browser)
{
    if (m_stopped || browser == m_watched)
        return;
    if (m_watched)
        m_watched->disconnect(this);
    m_watched = browser;
    m_replaceDue = false;
    if (!browser) {
        m_sample.stop();
        return;
    }
    // Queued: the browser reports its end from inside its pipe's shutdown,
    // where a new browser must not be started yet.
    connect(
        browser, &AutomationBrowser::OnQuit, this, [this, browser] { browserGone(browser); },
        Qt::QueuedConnection);
    m_age.start();
    m_sample.start();
}

void BrowserRecovery::stop()
{
    m_stopped = true;
    m_sample.stop();
    m_retry.stop();
    if (m_watched)
        m_watched->disconnect(this);
    m_watched = nullptr;
}

void BrowserRecovery::browserGone(AutomationBrowser* browser)
{
    // A browser the window let go of (unloaded or replaced) ends quietly.
    if (m_stopped || !m_connection.UseOLE || browser != m_connection.instance())
        return;
    const bool hung = browser->endedAsHung();
    modMain::WriteLog((hung ? QStringLiteral("Browser stopped answering and was ended")
                            : QStringLiteral("Browser has gone")) +
                      QStringLiteral(" at slide ") + QString::number(m_engine.currentSlide()));
    m_watched = nullptr;
    m_sample.stop();
    recover();
}

void BrowserRecovery::recover()
{
    if (m_recovering || m_stopped)
        return;
    m_engine.HoldShow();
    if (m_run.isUnattended()) {
        restartUnattended();
        return;
    }
    // A person is there: the restart question, with the run held while it
    // is open.
    m_recovering = true;
    qint16 counter = AskAtOnce;
    m_connection.BrowserTerminate(counter);
    m_recovering = false;
    if (m_stopped || !m_engine.showHeld())
        return;
    VbError error;
    AutomationBrowser* browser = m_connection.instance();
    if (browser && browser->HWND(&error) != 0 && !error.isError()) {
        m_engine.ResumeShow();
        Q_EMIT recovered();
    } else {
        // No browser to show the run in.
        m_engine.GoStop();
    }
}

void BrowserRecovery::restartUnattended()
{
    m_retry.stop();
    QElapsedTimer starting;
    starting.start();
    if (!startBrowser()) {
        modMain::WriteLog(QStringLiteral("Browser did not start; trying again in ") +
                          QString::number(RetryMs / 1000) + QStringLiteral(" s"));
        m_retry.start();
        return;
    }
    modMain::WriteLog(QStringLiteral("Browser restarted in ") +
                      QString::number(starting.elapsed()) + QStringLiteral(" ms; the run goes on"));
    m_engine.ResumeShow();
    Q_EMIT recovered();
}

bool BrowserRecovery::startBrowser()
{
    m_recovering = true;
    const bool started = m_connection.LoadIE(m_options.AutoDDEapp);
    m_recovering = false;
    return started && !m_stopped;
}

void BrowserRecovery::sampleMemory()
{
    if (!m_watched || m_replaceDue)
        return;
    if (m_age.elapsed() >= m_maximumAgeMs) {
        m_replaceDue = true;
        modMain::WriteLog(
            QStringLiteral("Browser has run a day: it is replaced at the next slide"));
        return;
    }
    const qint64 megabytes = ProcessTree::pssKiB(m_watched->processId()) / 1024;
    if (megabytes > m_memoryLimitMB) {
        m_replaceDue = true;
        modMain::WriteLog(QStringLiteral("Browser memory ") + QString::number(megabytes) +
                          QStringLiteral(" MB is over the limit of ") +
                          QString::number(m_memoryLimitMB) +
                          QStringLiteral(" MB: it is replaced at the next slide"));
    }
}

void BrowserRecovery::slideStarting()
{
    if (!m_replaceDue || !m_watched || m_recovering || m_stopped)
        return;
    m_replaceDue = false;
    AutomationBrowser* old = m_watched;
    old->disconnect(this);
    m_watched = nullptr;
    m_sample.stop();
    // The whole browser ends, so that the new window gets a fresh process
    // and not one more window in the old one.
    old->closeBrowser();
    if (startBrowser()) {
        modMain::WriteLog(QStringLiteral("Browser replaced"));
        return;
    }
    // The slide that follows goes nowhere: recover as from a lost browser.
    m_engine.HoldShow();
    QTimer::singleShot(0, this, [this] { recover(); });
}
