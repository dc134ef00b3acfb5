// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in browser for the pipe tests: reads NUL-ended JSON commands on
// fd 3 and answers on fd 4, with commands that exercise the transport.
#include <QByteArray>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int InFd = 3;
constexpr int OutFd = 4;

void writeAll(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(OutFd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            std::exit(2);
        done += n;
    }
}

QByteArray frame(const QJsonObject& message)
{
    return QJsonDocument(message).toJson(QJsonDocument::Compact) + '\0';
}

QJsonObject reply(const QJsonObject& command, const QJsonObject& result)
{
    return {{QStringLiteral("id"), command.value(QStringLiteral("id"))},
            {QStringLiteral("result"), result}};
}

QJsonObject openFds()
{
    QJsonObject fds;
    const QStringList entries = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files);
    for (const QString& entry : entries) {
        char target[256];
        const QByteArray path = "/proc/self/fd/" + entry.toLatin1();
        const ssize_t n = ::readlink(path.constData(), target, sizeof target - 1);
        if (n > 0) // the listing's own descriptor is already gone
            fds.insert(entry, QString::fromLocal8Bit(target, n));
    }
    return fds;
}

void handle(const QJsonObject& command)
{
    const QString method = command.value(QStringLiteral("method")).toString();
    const QJsonObject params = command.value(QStringLiteral("params")).toObject();
    if (method == QLatin1String("Echo")) {
        writeAll(frame(reply(command, params)));
    } else if (method == QLatin1String("Burst")) {
        // Events and the reply in one write: the reader must split them.
        QByteArray bytes;
        const int count = params.value(QStringLiteral("count")).toInt();
        for (int i = 0; i < count; ++i)
            bytes += frame({{QStringLiteral("method"), QStringLiteral("Test.tick")},
                            {QStringLiteral("params"), QJsonObject{{QStringLiteral("n"), i}}}});
        bytes += frame(reply(command, {}));
        writeAll(bytes);
    } else if (method == QLatin1String("ListFds")) {
        writeAll(frame(reply(command, {{QStringLiteral("fds"), openFds()}})));
    } else if (method == QLatin1String("Hang")) {
        // No answer.
    } else if (method == QLatin1String("Exit")) {
        std::exit(0);
    } else if (method == QLatin1String("Browser.close")) {
        writeAll(frame(reply(command, {})));
        std::exit(0);
    } else {
        const QJsonObject error{{QStringLiteral("code"), -32601}};
        writeAll(frame({{QStringLiteral("id"), command.value(QStringLiteral("id"))},
                        {QStringLiteral("error"), error}}));
    }
}

} // namespace

int main()
{
    QByteArray buffer;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(InFd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 0; // the program closed its end: end like the browser does
        buffer.append(chunk, n);
        for (qsizetype end = buffer.indexOf('\0'); end >= 0; end = buffer.indexOf('\0')) {
            handle(QJsonDocument::fromJson(buffer.left(end)).object());
            buffer.remove(0, end + 1);
        }
    }
}
