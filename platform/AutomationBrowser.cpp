// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AutomationBrowser.h"
#include "platform/BrowserProfile.h"

#include <QDir>
#include <QEventLoop>
#include <QHash>
#include <QJsonArray>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QWeakPointer>

#include "platform/ProgramLocator.h"

#include <memory>
#include <utility>
#include <unistd.h>

namespace {

// How often the window's state is read while it is in full screen.
constexpr int WindowStateWatchMilliseconds = 500;

// A cold start takes about half a second; a busy machine may take far more.
constexpr int StartTimeoutMs = 30000;
// A history lookup is answered in milliseconds.
constexpr int CallTimeoutMs = 5000;
// How long start() waits for a browser that is closing on the same profile.
constexpr int ClosingBrowserTimeoutMs = 5000;
// Right after a navigation the page's session can refuse commands for a
// moment ("Not attached to an active page"): try again, for up to 2 s.
constexpr int RetryDelayMs = 25;
constexpr int MaxRetries = 80;

// Keeps the browser quiet and fast: nothing of its own goes to the network.
const char* const QuietFlags[] = {
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--test-type",
    // Nor does it offer to restore the pages of a run that did not end well.
    "--hide-crash-restore-bubble",
};

/// A browser this program runs, by profile folder: a second window on the
/// same profile goes into the same process.
struct RunningBrowser
{
    QWeakPointer<DevToolsPipe> pipe;
    QString program;
    bool headless = false;
};

QHash<QString, RunningBrowser>& runningBrowsers()
{
    static QHash<QString, RunningBrowser> browsers;
    return browsers;
}

bool isNotAttached(const DevToolsReply& reply)
{
    return reply.errorCode == -32000 &&
           reply.errorMessage.contains(QLatin1String("Not attached"), Qt::CaseInsensitive);
}

/// Closing the pages of one window, or one page: which pages there are,
/// and which of them are to close.
struct PageClosing
{
    QSharedPointer<DevToolsPipe> pipe; // held, so closing ends even when its asker is gone
    qint64 windowId = 0;
    QString targetId;
    qsizetype pageCount = 0;
    qsizetype waiting = 0;
    QStringList doomed;
};

void closeDoomedPages(const PageClosing& closing)
{
    if (closing.doomed.isEmpty())
        return;
    // A browser ends with its last window; one without windows must be told.
    if (closing.doomed.size() == closing.pageCount) {
        closing.pipe->closeBrowser();
        return;
    }
    for (const QString& page : closing.doomed)
        closing.pipe->send(QStringLiteral("Target.closeTarget"),
                           {{QStringLiteral("targetId"), page}});
}

void pageWindowKnown(const std::shared_ptr<PageClosing>& closing, const QString& page,
                     const DevToolsReply& reply)
{
    const bool doomed =
        closing->targetId.isEmpty()
            ? !reply.isError() &&
                  reply.result.value(QStringLiteral("windowId")).toInteger() == closing->windowId
            : page == closing->targetId;
    if (doomed)
        closing->doomed << page;
    if (--closing->waiting == 0)
        closeDoomedPages(*closing);
}

/// Closes the pages of the window with the id, or the one page when targetId
/// is given. Each page's window must be asked for in turn.
void closePages(const QSharedPointer<DevToolsPipe>& pipe, qint64 windowId, const QString& targetId)
{
    auto closing = std::make_shared<PageClosing>();
    closing->pipe = pipe;
    closing->windowId = windowId;
    closing->targetId = targetId;
    pipe->send(QStringLiteral("Target.getTargets"), {}, {}, [closing](const DevToolsReply& reply) {
        QStringList pages;
        const QJsonArray infos = reply.result.value(QStringLiteral("targetInfos")).toArray();
        for (const QJsonValue& info : infos) {
            if (info[QLatin1String("type")].toString() == QLatin1String("page"))
                pages << info[QLatin1String("targetId")].toString();
        }
        closing->pageCount = closing->waiting = pages.size();
        for (const QString& page : std::as_const(pages)) {
            closing->pipe->send(QStringLiteral("Browser.getWindowForTarget"),
                                {{QStringLiteral("targetId"), page}}, {},
                                [closing, page](const DevToolsReply& answer) {
                                    pageWindowKnown(closing, page, answer);
                                });
        }
    });
}

} // namespace

VbError AutomationErrors::make(int number)
{
    switch (number) {
    case NotStarted:
        return {number, QStringLiteral("Object variable or With block variable not set")};
    case CannotStart:
        return {number, QStringLiteral("ActiveX component can't create object")};
    case ServerUnavailable:
        return {number,
                QStringLiteral("The remote server machine does not exist or is unavailable")};
    case CallFailed:
        return {number, QStringLiteral("Unspecified error")};
    case TimedOut:
        return {number,
                QStringLiteral("This operation returned because the timeout period expired.")};
    default:
        return VbErrors::make(number);
    }
}

AutomationBrowser::AutomationBrowser(QObject* parent) : QObject(parent)
{
    // The protocol sends no event when the user leaves full screen in the
    // browser itself (Esc, F11): while full screen, the window's state is
    // read now and then, and a change is reported.
    m_windowStateWatch.setInterval(WindowStateWatchMilliseconds);
    connect(&m_windowStateWatch, &QTimer::timeout, this, [this] {
        if (m_state != State::Ready || !m_fullScreen)
            m_windowStateWatch.stop();
        else
            readWindowState(false);
    });
}

AutomationBrowser::~AutomationBrowser()
{
    if (m_state == State::Ready)
        closePages(m_pipe, 0, m_targetId);
}

QString AutomationBrowser::defaultProfileFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/browser-profile");
}

bool AutomationBrowser::start(VbError* error)
{
    if (m_state == State::Ready)
        return true;
    resetWindowState();
    const QString program = m_programOverride.isEmpty()
                                ? ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe"))
                                : m_programOverride;
    const QString profile = QDir::cleanPath(
        QDir(m_profileOverride.isEmpty() ? defaultProfileFolder() : m_profileOverride)
            .absolutePath());
    if (program.isEmpty()) {
        qWarning("AutomationBrowser: no Chromium-family browser found on PATH");
        return fail(AutomationErrors::CannotStart, error);
    }
    if (!QDir().mkpath(profile)) {
        qWarning("AutomationBrowser: cannot make the profile folder %s", qPrintable(profile));
        return fail(AutomationErrors::CannotStart, error);
    }

    const bool newWindow = connectToBrowser(program, profile);
    if (!m_pipe)
        return fail(AutomationErrors::CannotStart, error);
    connect(m_pipe.data(), &DevToolsPipe::event, this, &AutomationBrowser::handleEvent);
    connect(m_pipe.data(), &DevToolsPipe::closed, this, &AutomationBrowser::becomeGone);
    if (!attachPage(newWindow)) {
        qWarning("AutomationBrowser: the browser did not open its page");
        m_pipe->disconnect(this);
        m_pipe.reset();
        return fail(AutomationErrors::CannotStart, error);
    }
    m_state = State::Ready;
    return true;
}

bool AutomationBrowser::connectToBrowser(const QString& program, const QString& profile)
{
    // Sets m_pipe; returns true when the browser was already running, so
    // that this object needs a window of its own in it.
    RunningBrowser& running = runningBrowsers()[profile];
    if (const QSharedPointer<DevToolsPipe> pipe = running.pipe.toStrongRef()) {
        if (pipe->isOpen() && !pipe->isClosing()) {
            m_pipe = pipe;
            m_program = running.program;
            m_headless = running.headless;
            return true;
        }
        // A browser ending on this profile still holds it for a moment.
        pipe->waitForFinished(ClosingBrowserTimeoutMs);
    }
    m_program = program;
    // A browser that crashed or was killed last time would offer to restore
    // its pages over the slides.
    if (!BrowserProfile::MarkExitedCleanly(profile))
        qWarning("AutomationBrowser: cannot mark the profile %s as closed", qPrintable(profile));
    const QStringList arguments = launchArguments(profile);
    m_headless = arguments.contains(QStringLiteral("--headless")) ||
                 !arguments.filter(QStringLiteral("--headless=")).isEmpty();
    auto pipe = QSharedPointer<DevToolsPipe>(new DevToolsPipe, &QObject::deleteLater);
    QString reason;
    if (!pipe->start(program, arguments, &reason)) {
        qWarning("AutomationBrowser: cannot start %s: %s", qPrintable(program), qPrintable(reason));
        return false;
    }
    m_pipe = pipe;
    running = {pipe, program, m_headless};
    return false;
}

QStringList AutomationBrowser::launchArguments(const QString& profile) const
{
    QStringList arguments{QStringLiteral("--remote-debugging-pipe"),
                          QStringLiteral("--user-data-dir=") + profile};
    for (const char* flag : QuietFlags)
        arguments << QString::fromLatin1(flag);
    // The browser's sandbox refuses to run as root.
    if (::geteuid() == 0)
        arguments << QStringLiteral("--no-sandbox");
    arguments << ProgramLocator::environmentBrowserFlags();
    arguments << QStringLiteral("about:blank");
    return arguments;
}

bool AutomationBrowser::attachPage(bool newWindow)
{
    DevToolsReply reply;
    const auto ask = [this, &reply](const QString& method, const QJsonObject& params,
                                    bool toPage = false) {
        return callAndWait(method, params, toPage, &reply) && !reply.isError();
    };
    if (!ask(QStringLiteral("Target.setDiscoverTargets"), {{QStringLiteral("discover"), true}}))
        return false;
    m_targetId.clear();
    if (!newWindow) {
        // The browser has just opened its first window: take its page.
        if (!ask(QStringLiteral("Target.getTargets"), {}))
            return false;
        const QJsonArray infos = reply.result.value(QStringLiteral("targetInfos")).toArray();
        for (const QJsonValue& info : infos) {
            if (info[QLatin1String("type")].toString() == QLatin1String("page") &&
                !info[QLatin1String("attached")].toBool()) {
                m_targetId = info[QLatin1String("targetId")].toString();
                break;
            }
        }
    }
    if (m_targetId.isEmpty()) {
        if (!ask(QStringLiteral("Target.createTarget"),
                 {{QStringLiteral("url"), QStringLiteral("about:blank")},
                  {QStringLiteral("newWindow"), true}}))
            return false;
        m_targetId = reply.result.value(QStringLiteral("targetId")).toString();
    }
    if (!ask(QStringLiteral("Target.attachToTarget"),
             {{QStringLiteral("targetId"), m_targetId}, {QStringLiteral("flatten"), true}}))
        return false;
    m_sessionId = reply.result.value(QStringLiteral("sessionId")).toString();
    if (!ask(QStringLiteral("Page.enable"), {}, true))
        return false;
    if (!ask(QStringLiteral("Page.getFrameTree"), {}, true))
        return false;
    const QJsonObject frame =
        reply.result.value(QStringLiteral("frameTree"))[QLatin1String("frame")].toObject();
    m_mainFrameId = frame.value(QStringLiteral("id")).toString();
    m_locationUrl = frame.value(QStringLiteral("url")).toString();
    if (!ask(QStringLiteral("Browser.getWindowForTarget"),
             {{QStringLiteral("targetId"), m_targetId}}))
        return false;
    m_windowId = reply.result.value(QStringLiteral("windowId")).toInteger();
    m_fullScreen = reply.result.value(QStringLiteral("bounds"))[QLatin1String("windowState")] ==
                   QLatin1String("fullscreen");
    m_fullScreenSeen = m_fullScreen;
    if (m_fullScreen)
        m_windowStateWatch.start();
    return true;
}

qint64 AutomationBrowser::processId() const
{
    return m_pipe ? m_pipe->processId() : 0;
}

bool AutomationBrowser::fail(int number, VbError* error) const
{
    if (error)
        *error = AutomationErrors::make(number);
    return false;
}

bool AutomationBrowser::checkReady(VbError* error) const
{
    switch (m_state) {
    case State::Ready:
        return true;
    case State::Idle:
        return fail(AutomationErrors::NotStarted, error);
    case State::Gone:
        break;
    }
    return fail(AutomationErrors::ServerUnavailable, error);
}

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
    sendToPage(method, params, [this](const DevToolsReply&) {
        --m_navigationsPending;
        if (m_queuedNavigation && m_state == State::Ready) {
            const auto [nextMethod, nextParams] = *std::exchange(m_queuedNavigation, {});
            requestNavigation(nextMethod, nextParams);
        }
    });
}

bool AutomationBrowser::endedAsHung() const
{
    return m_pipe && m_pipe->killedAsHung();
}

bool AutomationBrowser::Quit(VbError* error)
{
    if (!checkReady(error))
        return false;
    closePages(m_pipe, 0, m_targetId);
    return true;
}

bool AutomationBrowser::closeBrowser(VbError* error)
{
    if (!checkReady(error))
        return false;
    m_pipe->closeBrowser();
    return true;
}

bool AutomationBrowser::closeWindow(qint64 hwnd, VbError* error)
{
    if (!checkReady(error))
        return false;
    closePages(m_pipe, hwnd, QString());
    return true;
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

void AutomationBrowser::resetWindowState()
{
    // A window that has gone may be started again, as a new one.
    if (m_pipe)
        m_pipe->disconnect(this);
    m_pipe.reset();
    m_state = State::Idle;
    ++m_windowGeneration;
    m_targetId.clear();
    m_sessionId.clear();
    m_mainFrameId.clear();
    m_windowId = 0;
    m_visible = true;
    m_menuBar = true;
    m_fullScreen = false;
    m_loading = false;
    m_navigationsPending = 0;
    m_queuedNavigation.reset();
    m_commitPending = false;
    m_completeWhenCommitted = false;
    m_locationUrl.clear();
    m_title.clear();
}

void AutomationBrowser::becomeGone()
{
    if (m_state != State::Ready)
        return;
    m_state = State::Gone;
    ++m_windowGeneration; // answers still on their way are of no use now
    m_loading = false;
    m_navigationsPending = 0;
    m_queuedNavigation.reset();
    Q_EMIT OnQuit();
}
