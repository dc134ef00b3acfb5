// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DevToolsPipe.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QSocketNotifier>
#include <QTimer>

#include "platform/ProcessTree.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The browser reads commands on this descriptor and writes on the next.
constexpr int BrowserReadFd = 3;
constexpr int BrowserWriteFd = 4;
// Pipe ends are first moved at or above this number, so that moving them
// onto 3 and 4 cannot overwrite one another.
constexpr int SafeFdFloor = 10;

constexpr int StartTimeoutMs = 10000;
constexpr int CloseTimeoutMs = 3000;
constexpr int KillTimeoutMs = 1000;
// How often the pipe checks that the browser still answers, and how long
// the browser may stay silent before it is asked something.
constexpr int AnswerCheckMs = 500;
constexpr int QuietProbeMs = 1000;

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

} // namespace

DevToolsPipe::DevToolsPipe(QObject* parent) : QObject(parent)
{
    // Browser output and error text are of no use to the program, and an
    // unread channel would only fill memory.
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_answerCheck = new QTimer(this);
    m_answerCheck->setInterval(AnswerCheckMs);
    connect(m_answerCheck, &QTimer::timeout, this, &DevToolsPipe::checkAnswers);
    connect(&m_process, &QProcess::finished, this, [this] {
        // Take what the browser wrote before it ended, then report it gone.
        readAvailable();
        shutDown();
    });
}

DevToolsPipe::~DevToolsPipe()
{
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        if (m_open && !m_closing)
            closeBrowser();
        if (!m_process.waitForFinished(CloseTimeoutMs)) {
            m_process.kill();
            m_process.waitForFinished(KillTimeoutMs);
        }
    }
    m_handlers.clear();
    closeFds();
}

bool DevToolsPipe::start(const QString& program, const QStringList& arguments, QString* reason)
{
    if (m_open || m_process.state() != QProcess::NotRunning) {
        if (reason)
            *reason = QStringLiteral("The browser is already running");
        return false;
    }
    // A write to a browser that has just died must fail, not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    int toBrowser[2];
    int fromBrowser[2];
    if (::pipe2(toBrowser, O_CLOEXEC) != 0) {
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (::pipe2(fromBrowser, O_CLOEXEC) != 0) {
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(errno));
        ::close(toBrowser[0]);
        ::close(toBrowser[1]);
        return false;
    }
    int childRead = toBrowser[0];
    int childWrite = fromBrowser[1];
    m_writeFd = toBrowser[1];
    m_readFd = fromBrowser[0];

    m_process.setProgram(program);
    m_process.setArguments(arguments);
    m_process.setChildProcessModifier([childRead, childWrite] {
        // Runs in the child between fork and exec: only async-signal-safe
        // calls. dup2 clears close-on-exec, so only 3 and 4 reach the browser.
        const int readEnd = ::fcntl(childRead, F_DUPFD_CLOEXEC, SafeFdFloor);
        const int writeEnd = ::fcntl(childWrite, F_DUPFD_CLOEXEC, SafeFdFloor);
        if (readEnd < 0 || writeEnd < 0 || ::dup2(readEnd, BrowserReadFd) < 0 ||
            ::dup2(writeEnd, BrowserWriteFd) < 0)
            ::_exit(127);
    });
    m_process.start();
    const bool started = m_process.waitForStarted(StartTimeoutMs);
    // The parent must not keep the child's ends, or the pipe never reports
    // the end of a browser that died.
    closeFd(childRead);
    closeFd(childWrite);
    if (!started) {
        if (reason)
            *reason = m_process.errorString();
        closeFds();
        return false;
    }
    setNonBlocking(m_readFd);
    setNonBlocking(m_writeFd);

    m_readNotifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &DevToolsPipe::readAvailable);
    m_writeNotifier = new QSocketNotifier(m_writeFd, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &DevToolsPipe::writePending);
    m_open = true;
    m_killedAsHung = false;
    m_sinceRead.start();
    m_answerCheck->start();
    return true;
}

void DevToolsPipe::closeBrowser()
{
    m_closing = true;
    send(QStringLiteral("Browser.close"));
}

bool DevToolsPipe::waitForFinished(int msecs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(msecs);
}

qint64 DevToolsPipe::processId() const
{
    return m_process.state() == QProcess::NotRunning ? 0 : m_process.processId();
}

int DevToolsPipe::send(const QString& method, const QJsonObject& params, const QString& sessionId,
                       ReplyHandler handler)
{
    const int id = m_nextId++;
    if (!m_open) {
        if (handler) {
            // Answer later, as the browser would: callers never see their
            // handler run inside send().
            QMetaObject::invokeMethod(
                this,
                [handler] {
                    DevToolsReply reply;
                    reply.errorCode = DevToolsReply::ConnectionClosed;
                    reply.errorMessage = QStringLiteral("The browser is not running");
                    handler(reply);
                },
                Qt::QueuedConnection);
        }
        return id;
    }
    QJsonObject message{{QStringLiteral("id"), id}, {QStringLiteral("method"), method}};
    if (!params.isEmpty())
        message.insert(QStringLiteral("params"), params);
    if (!sessionId.isEmpty())
        message.insert(QStringLiteral("sessionId"), sessionId);
    if (handler) {
        if (m_handlers.isEmpty())
            m_oldestUnanswered.start();
        m_handlers.insert(id, std::move(handler));
    }
    m_writeBuffer += QJsonDocument(message).toJson(QJsonDocument::Compact);
    m_writeBuffer += '\0';
    writePending();
    return id;
}

void DevToolsPipe::readAvailable()
{
    if (m_readFd < 0)
        return;
    bool ended = false;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(m_readFd, chunk, sizeof chunk);
        if (n > 0) {
            m_readBuffer.append(chunk, n);
            m_sinceRead.start();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
    }
    // Each message leaves the buffer before it is handled: a handler may run
    // a nested event loop that reads and handles the messages after it.
    for (qsizetype end = m_readBuffer.indexOf('\0'); end >= 0; end = m_readBuffer.indexOf('\0')) {
        const QByteArray message = m_readBuffer.left(end);
        m_readBuffer.remove(0, end + 1);
        dispatch(message);
    }
    if (ended)
        shutDown();
}

void DevToolsPipe::writePending()
{
    while (!m_writeBuffer.isEmpty() && m_writeFd >= 0) {
        const ssize_t n = ::write(m_writeFd, m_writeBuffer.constData(), m_writeBuffer.size());
        if (n > 0) {
            m_writeBuffer.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            m_writeNotifier->setEnabled(true);
            return;
        }
        // The browser's end is closed. Report it from the event loop, not
        // from inside the send() that found it.
        m_writeBuffer.clear();
        QMetaObject::invokeMethod(this, &DevToolsPipe::shutDown, Qt::QueuedConnection);
        break;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
}

void DevToolsPipe::dispatch(const QByteArray& message)
{
    QJsonParseError parseError;
    const QJsonObject object = QJsonDocument::fromJson(message, &parseError).object();
    if (parseError.error != QJsonParseError::NoError) {
        qWarning("DevToolsPipe: unreadable message: %s", qPrintable(parseError.errorString()));
        return;
    }
    const QJsonValue id = object.value(QStringLiteral("id"));
    if (!id.isUndefined()) {
        handleReply(id.toInt(), object);
        return;
    }
    Q_EMIT event(object.value(QStringLiteral("method")).toString(),
                 object.value(QStringLiteral("params")).toObject(),
                 object.value(QStringLiteral("sessionId")).toString());
}

void DevToolsPipe::handleReply(int id, const QJsonObject& message)
{
    const ReplyHandler handler = m_handlers.take(id);
    if (!handler)
        return;
    // The next command waiting counts from this answer.
    m_oldestUnanswered.start();
    DevToolsReply reply;
    const QJsonObject error = message.value(QStringLiteral("error")).toObject();
    if (!error.isEmpty()) {
        reply.errorCode = error.value(QStringLiteral("code")).toInt();
        reply.errorMessage = error.value(QStringLiteral("message")).toString();
    } else {
        reply.result = message.value(QStringLiteral("result")).toObject();
    }
    handler(reply);
}

void DevToolsPipe::shutDown()
{
    if (!m_open)
        return;
    m_open = false;
    m_answerCheck->stop();
    closeFds();
    Q_EMIT closed();
    // Waiting callers learn it too; take the handlers first, as each one may
    // send again.
    const QMap<int, ReplyHandler> waiting = std::exchange(m_handlers, {});
    DevToolsReply reply;
    reply.errorCode = DevToolsReply::ConnectionClosed;
    reply.errorMessage = QStringLiteral("The browser has closed");
    for (const ReplyHandler& handler : waiting)
        handler(reply);
}

void DevToolsPipe::closeFds()
{
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    closeFd(m_readFd);
    closeFd(m_writeFd);
    m_readBuffer.clear();
    m_writeBuffer.clear();
}

void DevToolsPipe::checkAnswers()
{
    if (!m_open || m_closing || m_answerTimeoutMs <= 0)
        return;
    if (m_handlers.isEmpty()) {
        // A quiet browser may be a stopped one: ask it something cheap, so
        // that its silence has a command to be measured against.
        if (m_sinceRead.elapsed() >= QuietProbeMs)
            send(QStringLiteral("Browser.getVersion"), {}, {}, [](const DevToolsReply&) {});
        return;
    }
    if (m_sinceRead.elapsed() < m_answerTimeoutMs ||
        m_oldestUnanswered.elapsed() < m_answerTimeoutMs)
        return;
    qWarning("DevToolsPipe: the browser has not answered for %d s; ending it",
             m_answerTimeoutMs / 1000);
    m_killedAsHung = true;
    m_answerCheck->stop();
    // Its helpers go too: a stopped tree would otherwise stay behind.
    ProcessTree::kill(m_process.processId());
    // The process's end reports the pipe closed.
}
