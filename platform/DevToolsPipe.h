// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

class QSocketNotifier;
class QTimer;

/// The answer to one DevTools command: the result, or the error the browser
/// (or the transport) gave instead.
struct DevToolsReply
{
    /// Error code used when the browser went away before it answered.
    static constexpr int ConnectionClosed = -1;

    QJsonObject result;
    int errorCode = 0;
    QString errorMessage;

    bool isError() const { return errorCode != 0; }
};

/// A browser process driven over the DevTools protocol on a pipe.
///
/// The browser is started with --remote-debugging-pipe: it reads commands on
/// its fd 3 and writes replies and events on its fd 4. Each message is one
/// JSON object ended by a NUL byte. No network port is opened.
///
/// Everything happens on the thread that owns the object: reading and
/// writing are driven by socket notifiers, and replies arrive as callbacks.
/// When the browser ends (it exits, is killed, or closes the pipe) the pipe
/// emits closed() once; every command still waiting is answered with
/// DevToolsReply::ConnectionClosed, and later commands are answered so at
/// once.
///
/// A browser that is stopped or hung answers nothing and never closes the
/// pipe. While it runs the pipe asks it something now and then; when a
/// command has waited longer than the answer timeout with nothing at all
/// read from the browser, the process is killed and the pipe reports it
/// gone as above.
class DevToolsPipe : public QObject
{
    Q_OBJECT

public:
    using ReplyHandler = std::function<void(const DevToolsReply&)>;

    explicit DevToolsPipe(QObject* parent = nullptr);
    /// Closes the browser if it still runs: asks it to close, and ends the
    /// process when it does not within a few seconds.
    ~DevToolsPipe() override;

    /// Starts the program with the pipe on its fd 3 and 4. On failure returns
    /// false and sets a readable reason.
    bool start(const QString& program, const QStringList& arguments, QString* reason = nullptr);

    /// True from a successful start until the browser is gone.
    bool isOpen() const { return m_open; }
    /// True once the browser has been asked to close.
    bool isClosing() const { return m_closing; }
    /// Asks the browser to close all its windows and end.
    void closeBrowser();
    /// Waits, with a bound, for the browser process to end; true when it has.
    bool waitForFinished(int msecs);
    /// The process id of the browser, 0 when none runs.
    qint64 processId() const;
    /// How long a command may wait with the browser silent before the
    /// browser counts as hung and is killed (0: never).
    void setAnswerTimeout(int msecs) { m_answerTimeoutMs = msecs; }
    int answerTimeout() const { return m_answerTimeoutMs; }
    /// True when the pipe ended the browser because it stopped answering.
    bool killedAsHung() const { return m_killedAsHung; }

    /// Sends a command; the handler (optional) gets the reply. A session id
    /// sends it to an attached target (flat sessions). Returns the command id.
    int send(const QString& method, const QJsonObject& params = {}, const QString& sessionId = {},
             ReplyHandler handler = {});

Q_SIGNALS:
    /// An event; sessionId is empty for events of the browser itself.
    void event(const QString& method, const QJsonObject& params, const QString& sessionId);
    /// The browser has gone: end of the pipe or end of the process.
    void closed();

private:
    void readAvailable();
    void writePending();
    void dispatch(const QByteArray& message);
    void handleReply(int id, const QJsonObject& message);
    void shutDown();
    void closeFds();
    void checkAnswers();

    QProcess m_process;
    int m_readFd = -1;  // our end of the browser's output
    int m_writeFd = -1; // our end of the browser's input
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_readBuffer;
    QByteArray m_writeBuffer;
    QMap<int, ReplyHandler> m_handlers; // by command id, so they fail in order
    int m_nextId = 1;
    bool m_open = false;
    bool m_closing = false;
    int m_answerTimeoutMs = DefaultAnswerTimeoutMs;
    bool m_killedAsHung = false;
    QElapsedTimer m_sinceRead;        // since the browser last wrote anything
    QElapsedTimer m_oldestUnanswered; // since the oldest command still waiting was sent
    QTimer* m_answerCheck = nullptr;

public:
    /// Ten seconds: far longer than any command takes a live browser.
    static constexpr int DefaultAnswerTimeoutMs = 10000;
};
