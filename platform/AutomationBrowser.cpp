// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AutomationBrowser.h"
#include "platform/BrowserProfile.h"

#include <QDir>
#include <QScopedValueRollback>
#include <QHash>
#include <QJsonArray>
#include <QStandardPaths>
#include <QTimer>
#include <QWeakPointer>

#include "platform/ProgramLocator.h"

#include <memory>

namespace {

// How often the window's state is read while it is in full screen.
constexpr int WindowStateWatchMilliseconds = 500;

// How long start() waits for a browser that is closing on the same profile.
constexpr int ClosingBrowserTimeoutMs = 5000;

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
    // The waits for the browser's answers let timers run. A start asked for
    // meanwhile would drop the connection the first one is still making.
    if (m_starting)
        return fail(AutomationErrors::CannotStart, error);
    const QScopedValueRollback starting(m_starting, true);
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
