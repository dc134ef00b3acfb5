// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QTimer>

#include <optional>
#include <utility>

#include "platform/DevToolsPipe.h"
#include "platform/VbError.h"

/// The errors the automation browser reports; each kind has one number and
/// one description (given by make()).
namespace AutomationErrors {
/// A call on an object that was never started:
/// "Object variable or With block variable not set".
constexpr int NotStarted = 91;
/// start() failed: no browser program, it would not run, or it did not
/// answer in time: "ActiveX component can't create object".
constexpr int CannotStart = 429;
/// The browser or this object's window is gone (closed, crashed, killed):
/// "The remote server machine does not exist or is unavailable".
constexpr int ServerUnavailable = 462;
/// The browser refused the call, e.g. GoBack with no page to go back to:
/// "Unspecified error".
constexpr int CallFailed = -2147467259;
/// The browser did not answer a call that needs an answer in time:
/// "This operation returned because the timeout period expired.".
constexpr int TimedOut = -2147417825;

/// The error with its description.
VbError make(int number);
} // namespace AutomationErrors

/// A web browser window driven by automation: a Chromium-family browser
/// started by the program and driven over the DevTools protocol on a pipe
/// (no network port is opened).
///
/// Construction starts nothing; start() starts the browser (or, when a
/// browser of this program already runs on the same profile folder, opens a
/// new window in it) and waits until its page answers. Afterwards every call
/// returns at once: commands are sent and the browser carries them out on
/// its own. Busy, LocationURL and FullScreen are kept up to date from the
/// browser's events, so reading them never waits. Only GoBack and GoForward
/// wait, briefly and with a bound, for the browser's history.
///
/// Each call returns true on success, or false with the error in *error
/// (when given) as listed in AutomationErrors. Once the browser or the
/// window has gone every call fails with ServerUnavailable, and OnQuit has
/// been emitted once.
///
/// Events, as the browser's protocol provides them (main frame only):
/// - BeforeNavigate2: a navigation starts (also within the document).
/// - NavigateComplete2: the new document (or fragment) is in place.
/// - DocumentComplete: the page stopped loading; after a page restored
///   from the back/forward cache it comes once the address is known. A
///   navigation that is stopped before its page arrives has none.
/// - DownloadBegin / DownloadComplete: the page starts / stops loading.
/// - ProgressChange: (0, 100) at the start, (100, 100) at the load event,
///   (-1, 100) when loading has stopped.
/// - TitleChange: the page's title changed.
/// - NewWindow2: the page asked for a new window (it cannot be cancelled).
/// - OnFullScreen, OnVisible, OnMenuBar: the property was changed.
/// - OnQuit: the window or the whole browser is gone.
/// The browser has no status bar text, so there is no StatusTextChange.
///
/// Several objects on one profile folder share the browser process, one
/// window each; the process ends with its last window. Do not delete the
/// object from one of its own signals (use deleteLater).
class AutomationBrowser : public QObject
{
    Q_OBJECT

public:
    explicit AutomationBrowser(QObject* parent = nullptr);
    /// Closes this object's window if it is still open.
    ~AutomationBrowser() override;

    /// The browser program to run; by default the first Chromium-family
    /// browser on PATH.
    void setProgram(const QString& program) { m_programOverride = program; }
    /// The profile folder; by default "browser-profile" in the user's data
    /// folder, so logins and cookies last between runs.
    void setProfileFolder(const QString& folder) { m_profileOverride = folder; }
    /// The default profile folder.
    static QString defaultProfileFolder();

    /// Starts the browser, or opens a new window in the one already running
    /// on the profile folder. Waits (pumping events) until the page answers.
    bool start(VbError* error = nullptr);
    /// The browser's process id (shared by the windows of one process);
    /// 0 when not running.
    qint64 processId() const;
    /// True when the browser was ended because it stopped answering (see
    /// DevToolsPipe); OnQuit has then been emitted.
    bool endedAsHung() const;

    /// True from the start: the browser's window shows at once.
    bool Visible(VbError* error = nullptr) const;
    /// Headless browsers only remember the value; a window is minimised
    /// when hidden and restored when shown again.
    bool setVisible(bool visible, VbError* error = nullptr);
    /// The browser has no menu bar to hide; the value is remembered.
    bool MenuBar(VbError* error = nullptr) const;
    bool setMenuBar(bool visible, VbError* error = nullptr);
    /// The path of the browser program.
    QString FullName(VbError* error = nullptr) const;
    bool FullScreen(VbError* error = nullptr) const;
    /// Puts the window in full screen or back to normal. OnFullScreen
    /// follows with the window's state as the browser then reports it.
    bool setFullScreen(bool on, VbError* error = nullptr);
    /// The browser's id of this object's window; closeWindow() takes it.
    qint64 HWND(VbError* error = nullptr) const;
    /// True while the page loads or a navigation has been asked for.
    bool Busy(VbError* error = nullptr) const;
    /// The address of the page shown, as the browser last reported it.
    QString LocationURL(VbError* error = nullptr) const;

    /// Navigates to the address; an address without a scheme is completed
    /// as a browser's address bar does (e.g. "www.x.org", "/home/a.htm").
    bool Navigate(const QString& url, VbError* error = nullptr);
    bool Stop(VbError* error = nullptr);
    bool Refresh(VbError* error = nullptr);
    /// Fails with CallFailed when there is no page to go back to.
    bool GoBack(VbError* error = nullptr);
    /// Fails with CallFailed when there is no page to go forward to.
    bool GoForward(VbError* error = nullptr);
    /// Closes this object's window.
    bool Quit(VbError* error = nullptr);
    /// Ends the whole browser process with all its windows; a later
    /// start() on the profile starts a new one.
    bool closeBrowser(VbError* error = nullptr);
    /// Closes the browser window with the id (as read from HWND) and every
    /// page in it; when no other window is left the browser ends.
    bool closeWindow(qint64 hwnd, VbError* error = nullptr);

Q_SIGNALS:
    void BeforeNavigate2(const QString& url);
    void NavigateComplete2(const QString& url);
    void DocumentComplete(const QString& url);
    void DownloadBegin();
    void DownloadComplete();
    void ProgressChange(int progress, int progressMax);
    void TitleChange(const QString& title);
    void NewWindow2(const QString& url);
    void OnFullScreen(bool fullScreen);
    void OnVisible(bool visible);
    void OnMenuBar(bool visible);
    void OnQuit();

private:
    enum class State
    {
        Idle,
        Ready,
        Gone
    };

    bool fail(int number, VbError* error) const;
    bool checkReady(VbError* error) const;
    QStringList launchArguments(const QString& profile) const;
    bool connectToBrowser(const QString& program, const QString& profile);
    bool attachPage(bool newWindow);
    void sendToPage(const QString& method, const QJsonObject& params,
                    DevToolsPipe::ReplyHandler handler = {}, int attempt = 0);
    bool callAndWait(const QString& method, const QJsonObject& params, bool toPage,
                     DevToolsReply* reply);
    bool navigateHistory(int step, VbError* error);
    void requestNavigation(const QString& method, const QJsonObject& params);
    /// The browser took up the navigation sent last: the one waiting, if
    /// any, goes now.
    void navigationAnswered();
    void applyWindowState(const QString& windowState);
    /// Reads the window's state; with reportAlways false, only a change
    /// is reported.
    void readWindowState(bool reportAlways = true);
    void readTitle();
    void titleReported(const QString& title);

    void handleEvent(const QString& method, const QJsonObject& params, const QString& sessionId);
    void handleBrowserEvent(const QString& method, const QJsonObject& params);
    void handlePageEvent(const QString& method, const QJsonObject& params);
    void frameNavigated(const QJsonObject& frame);
    void frameStoppedLoading();
    void resetWindowState();
    void becomeGone();

    QString m_programOverride;
    QString m_profileOverride;
    QString m_program;
    QSharedPointer<DevToolsPipe> m_pipe;
    State m_state = State::Idle;
    bool m_starting = false;
    int m_windowGeneration = 0; // counts start()s, so late replies find their window
    bool m_headless = false;

    QString m_targetId;
    QString m_sessionId;
    QString m_mainFrameId;
    qint64 m_windowId = 0;

    bool m_visible = true;
    bool m_menuBar = true;
    bool m_fullScreen = false;
    bool m_fullScreenSeen = false; // the browser has reported full screen
    QTimer m_windowStateWatch;
    bool m_loading = false;       // between the main frame's start and stop of loading
    int m_navigationsPending = 0; // navigations sent and not yet answered
    quint64 m_navigationSent = 0; // numbers the navigations sent
    // The navigation asked for while one was still unanswered.
    std::optional<std::pair<QString, QJsonObject>> m_queuedNavigation;
    bool m_commitPending = false; // a new document was asked for and has not arrived
    bool m_completeWhenCommitted = false;
    QString m_locationUrl;
    QString m_title;
};
