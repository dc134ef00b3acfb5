// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AutomationBrowser.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <utility>

namespace {

// A cold start takes about half a second; a busy machine may take far more.
constexpr int StartTimeoutMs = 30000;
// A history lookup is answered in milliseconds.
constexpr int CallTimeoutMs = 5000;
// Right after a navigation the page's session can refuse commands for a
// moment ("Not attached to an active page"): try again, for up to 2 s.
constexpr int RetryDelayMs = 25;
constexpr int MaxRetries = 80;

bool isNotAttached(const DevToolsReply& reply)
{
    return reply.errorCode == -32000 &&
           reply.errorMessage.contains(QLatin1String("Not attached"), Qt::CaseInsensitive);
}

} // namespace

bool AutomationBrowser::Visible(VbError* error) const
{
    return checkReady(error) && m_visible;
}

bool AutomationBrowser::setVisible(bool visible, VbError* error)
{
    if (!checkReady(error))
        return false;
    if (visible == m_visible)
        return true;
    m_visible = visible;
    if (!m_headless)
        applyWindowState(!visible       ? QStringLiteral("minimized")
                         : m_fullScreen ? QStringLiteral("fullscreen")
                                        : QStringLiteral("normal"));
    Q_EMIT OnVisible(visible);
    return true;
}

bool AutomationBrowser::MenuBar(VbError* error) const
{
    return checkReady(error) && m_menuBar;
}

bool AutomationBrowser::setMenuBar(bool visible, VbError* error)
{
    if (!checkReady(error))
        return false;
    if (visible != m_menuBar) {
        m_menuBar = visible;
        Q_EMIT OnMenuBar(visible);
    }
    return true;
}

QString AutomationBrowser::FullName(VbError* error) const
{
    return checkReady(error) ? m_program : QString();
}

bool AutomationBrowser::FullScreen(VbError* error) const
{
    return checkReady(error) && m_fullScreen;
}

bool AutomationBrowser::setFullScreen(bool on, VbError* error)
{
    if (!checkReady(error))
        return false;
    // Read back at once as set, as callers expect; once the browser has
    // done it, the window's real state counts.
    m_fullScreen = on;
    m_fullScreenSeen = false;
    if (on)
        m_windowStateWatch.start();
    QPointer<AutomationBrowser> self(this);
    const QJsonObject bounds{{QStringLiteral("windowState"),
                              on ? QStringLiteral("fullscreen") : QStringLiteral("normal")}};
    m_pipe->send(QStringLiteral("Browser.setWindowBounds"),
                 {{QStringLiteral("windowId"), m_windowId}, {QStringLiteral("bounds"), bounds}}, {},
                 [self](const DevToolsReply&) {
                     if (self && self->m_state == State::Ready)
                         self->readWindowState();
                 });
    return true;
}

void AutomationBrowser::readWindowState(bool reportAlways)
{
    QPointer<AutomationBrowser> self(this);
    m_pipe->send(QStringLiteral("Browser.getWindowForTarget"),
                 {{QStringLiteral("targetId"), m_targetId}}, {},
                 [self, reportAlways](const DevToolsReply& reply) {
                     if (!self || self->m_state != State::Ready || reply.isError())
                         return;
                     const QJsonValue state =
                         reply.result.value(QStringLiteral("bounds"))[QLatin1String("windowState")];
                     const bool fullScreen = state == QLatin1String("fullscreen");
                     // A window on its way into full screen still reads
                     // normal: only leaving a full screen seen counts.
                     const bool seen = self->m_fullScreenSeen;
                     self->m_fullScreenSeen = fullScreen;
                     if (!reportAlways && (fullScreen || !seen || !self->m_fullScreen))
                         return;
                     self->m_fullScreen = fullScreen;
                     Q_EMIT self->OnFullScreen(fullScreen);
                 });
}

qint64 AutomationBrowser::HWND(VbError* error) const
{
    return checkReady(error) ? m_windowId : 0;
}

bool AutomationBrowser::Busy(VbError* error) const
{
    return checkReady(error) && (m_loading || m_navigationsPending > 0);
}

QString AutomationBrowser::LocationURL(VbError* error) const
{
    return checkReady(error) ? m_locationUrl : QString();
}

bool AutomationBrowser::Navigate(const QString& url, VbError* error)
{
    if (!checkReady(error))
        return false;
    const QUrl completed = QUrl::fromUserInput(url.trimmed());
    const QString address =
        completed.isValid() ? completed.toString(QUrl::FullyEncoded) : url.trimmed();
    requestNavigation(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), address}});
    return true;
}

bool AutomationBrowser::Stop(VbError* error)
{
    if (!checkReady(error))
        return false;
    sendToPage(QStringLiteral("Page.stopLoading"), {});
    return true;
}

bool AutomationBrowser::Refresh(VbError* error)
{
    if (!checkReady(error))
        return false;
    requestNavigation(QStringLiteral("Page.reload"), {});
    return true;
}

bool AutomationBrowser::GoBack(VbError* error)
{
    return navigateHistory(-1, error);
}

bool AutomationBrowser::GoForward(VbError* error)
{
    return navigateHistory(1, error);
}

bool AutomationBrowser::navigateHistory(int step, VbError* error)
{
    if (!checkReady(error))
        return false;
    DevToolsReply reply;
    QPointer<AutomationBrowser> self(this);
    const bool answered =
        callAndWait(QStringLiteral("Page.getNavigationHistory"), {}, true, &reply);
    if (!self)
        return false;
    if (!checkReady(error))
        return false;
    if (!answered)
        return fail(AutomationErrors::TimedOut, error);
    if (reply.isError())
        return fail(AutomationErrors::CallFailed, error);
    const QJsonArray entries = reply.result.value(QStringLiteral("entries")).toArray();
    const qsizetype index = reply.result.value(QStringLiteral("currentIndex")).toInt() + step;
    if (index < 0 || index >= entries.size())
        return fail(AutomationErrors::CallFailed, error);
    requestNavigation(QStringLiteral("Page.navigateToHistoryEntry"),
                      {{QStringLiteral("entryId"), entries.at(index)[QLatin1String("id")]}});
    return true;
}

void AutomationBrowser::requestNavigation(const QString& method, const QJsonObject& params)
{
    // Busy from now until the browser has answered: the page's own start of
    // loading follows a few milliseconds later, and a command the page
    // refused for a moment is sent again; a caller polling in between must
    // not see an idle browser.
    // A browser that has not answered the last navigation gets no second
    // one: the latest waits and replaces any waiting before it, so a
    // browser that wakes up is not flooded with pages nobody wants now.
    if (m_navigationsPending > 0) {
        m_queuedNavigation = {method, params};
        return;
    }
    ++m_navigationsPending;
    const quint64 sent = ++m_navigationSent;
    sendToPage(method, params, [this, sent](const DevToolsReply&) {
        // An older navigation's late answer says nothing of the latest.
        if (sent == m_navigationSent)
            navigationAnswered();
    });
}

void AutomationBrowser::navigationAnswered()
{
    // A page whose server is slow answers the navigation only once it
    // commits, but its start of loading already shows a browser at work:
    // either counts, so a slow page never holds back the next slide.
    if (m_navigationsPending == 0)
        return;
    m_navigationsPending = 0;
    if (m_queuedNavigation && m_state == State::Ready) {
        const auto [nextMethod, nextParams] = *std::exchange(m_queuedNavigation, {});
        requestNavigation(nextMethod, nextParams);
    }
}

void AutomationBrowser::applyWindowState(const QString& windowState)
{
    const QJsonObject bounds{{QStringLiteral("windowState"), windowState}};
    m_pipe->send(QStringLiteral("Browser.setWindowBounds"),
                 {{QStringLiteral("windowId"), m_windowId}, {QStringLiteral("bounds"), bounds}});
}

void AutomationBrowser::sendToPage(const QString& method, const QJsonObject& params,
                                   DevToolsPipe::ReplyHandler handler, int attempt)
{
    // The handler runs only while this object lives and shows the same
    // window it was sent to.
    QPointer<AutomationBrowser> self(this);
    const int window = m_windowGeneration;
    m_pipe->send(
        method, params, m_sessionId,
        [self, window, method, params, handler, attempt](const DevToolsReply& reply) {
            if (!self || self->m_windowGeneration != window)
                return;
            if (isNotAttached(reply) && attempt < MaxRetries && self->m_state == State::Ready) {
                QTimer::singleShot(RetryDelayMs, self,
                                   [self, window, method, params, handler, attempt] {
                                       if (self->m_windowGeneration == window)
                                           self->sendToPage(method, params, handler, attempt + 1);
                                   });
                return;
            }
            if (handler)
                handler(reply);
        });
}

bool AutomationBrowser::callAndWait(const QString& method, const QJsonObject& params, bool toPage,
                                    DevToolsReply* reply)
{
    struct Outcome
    {
        bool answered = false;
        DevToolsReply reply;
        QPointer<QEventLoop> loop;
    };
    auto outcome = std::make_shared<Outcome>();
    const auto handler = [outcome](const DevToolsReply& answer) {
        outcome->answered = true;
        outcome->reply = answer;
        if (outcome->loop)
            outcome->loop->quit();
    };
    if (toPage)
        sendToPage(method, params, handler);
    else
        m_pipe->send(method, params, {}, handler);
    if (!outcome->answered) {
        // A bounded wait; the user's input waits with it, as for any
        // short call into the browser.
        QEventLoop loop;
        outcome->loop = &loop;
        connect(this, &AutomationBrowser::OnQuit, &loop, &QEventLoop::quit);
        QTimer::singleShot(m_state == State::Ready ? CallTimeoutMs : StartTimeoutMs, &loop,
                           &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (outcome->answered)
        *reply = outcome->reply;
    return outcome->answered;
}

void AutomationBrowser::handleEvent(const QString& method, const QJsonObject& params,
                                    const QString& sessionId)
{
    if (sessionId.isEmpty())
        handleBrowserEvent(method, params);
    else if (sessionId == m_sessionId)
        handlePageEvent(method, params);
}

void AutomationBrowser::readTitle()
{
    // The browser announces a new title only now and then; ask for it once
    // the document is there and when it has loaded.
    QPointer<AutomationBrowser> self(this);
    m_pipe->send(QStringLiteral("Target.getTargetInfo"), {{QStringLiteral("targetId"), m_targetId}},
                 {}, [self](const DevToolsReply& reply) {
                     if (self && !reply.isError())
                         self->titleReported(reply.result.value(QStringLiteral("targetInfo"))
                                                 .toObject()
                                                 .value(QStringLiteral("title"))
                                                 .toString());
                 });
}

void AutomationBrowser::titleReported(const QString& title)
{
    if (m_state == State::Ready && title != m_title) {
        m_title = title;
        Q_EMIT TitleChange(title);
    }
}

void AutomationBrowser::handleBrowserEvent(const QString& method, const QJsonObject& params)
{
    if (m_state != State::Ready)
        return;
    if (method == QLatin1String("Target.targetDestroyed")) {
        if (params.value(QStringLiteral("targetId")).toString() == m_targetId)
            becomeGone();
    } else if (method == QLatin1String("Target.detachedFromTarget")) {
        if (params.value(QStringLiteral("sessionId")).toString() == m_sessionId)
            becomeGone();
    } else if (method == QLatin1String("Target.targetInfoChanged")) {
        const QJsonObject info = params.value(QStringLiteral("targetInfo")).toObject();
        if (info.value(QStringLiteral("targetId")).toString() == m_targetId)
            titleReported(info.value(QStringLiteral("title")).toString());
    }
}

void AutomationBrowser::handlePageEvent(const QString& method, const QJsonObject& params)
{
    if (m_state != State::Ready)
        return;
    // Events of the whole page first; the rest count for the main frame only.
    if (method == QLatin1String("Page.frameNavigated")) {
        frameNavigated(params.value(QStringLiteral("frame")).toObject());
        return;
    }
    if (method == QLatin1String("Page.loadEventFired")) {
        Q_EMIT ProgressChange(100, 100);
        return;
    }
    if (method == QLatin1String("Page.domContentEventFired")) {
        readTitle();
        return;
    }
    if (method == QLatin1String("Page.windowOpen")) {
        Q_EMIT NewWindow2(params.value(QStringLiteral("url")).toString());
        return;
    }
    if (method == QLatin1String("Inspector.targetCrashed")) {
        // The page's renderer died: it will not finish loading.
        m_loading = false;
        return;
    }
    if (params.value(QStringLiteral("frameId")).toString() != m_mainFrameId)
        return;
    if (method == QLatin1String("Page.frameStartedNavigating")) {
        const QString type = params.value(QStringLiteral("navigationType")).toString();
        m_commitPending = !type.contains(QLatin1String("SameDocument"), Qt::CaseInsensitive);
        m_completeWhenCommitted = false;
        Q_EMIT BeforeNavigate2(params.value(QStringLiteral("url")).toString());
    } else if (method == QLatin1String("Page.frameStartedLoading")) {
        m_loading = true;
        navigationAnswered();
        Q_EMIT DownloadBegin();
        Q_EMIT ProgressChange(0, 100);
    } else if (method == QLatin1String("Page.navigatedWithinDocument")) {
        m_locationUrl = params.value(QStringLiteral("url")).toString();
        Q_EMIT NavigateComplete2(m_locationUrl);
    } else if (method == QLatin1String("Page.frameStoppedLoading")) {
        frameStoppedLoading();
    }
}

void AutomationBrowser::frameNavigated(const QJsonObject& frame)
{
    if (frame.contains(QStringLiteral("parentId")))
        return;
    m_mainFrameId = frame.value(QStringLiteral("id")).toString();
    m_locationUrl = frame.value(QStringLiteral("url")).toString() +
                    frame.value(QStringLiteral("urlFragment")).toString();
    m_commitPending = false;
    Q_EMIT NavigateComplete2(m_locationUrl);
    if (m_completeWhenCommitted) {
        m_completeWhenCommitted = false;
        Q_EMIT DocumentComplete(m_locationUrl);
    }
}

void AutomationBrowser::frameStoppedLoading()
{
    m_loading = false;
    readTitle();
    Q_EMIT DownloadComplete();
    Q_EMIT ProgressChange(-1, 100);
    // A page from the back/forward cache stops loading before its address
    // is reported; complete it once the address is known.
    if (m_commitPending)
        m_completeWhenCommitted = true;
    else
        Q_EMIT DocumentComplete(m_locationUrl);
}
