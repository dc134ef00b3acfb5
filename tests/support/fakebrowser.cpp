// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in browser: one process per --user-data-dir profile, later invocations hand it
// their arguments; records invocations.txt and addresses.txt there, quits after 2 min.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QTimer>

namespace {

QString profileOf(const QStringList& arguments)
{
    const QString flag = QStringLiteral("--user-data-dir=");
    for (const QString& argument : arguments) {
        if (argument == QStringLiteral("--"))
            break;
        if (argument.startsWith(flag))
            return argument.mid(flag.size());
    }
    return QDir::tempPath() + QStringLiteral("/fakebrowser-profile");
}

void append(const QString& path, const QString& lines)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(lines.toUtf8());
}

void record(const QString& profile, const QStringList& arguments)
{
    append(profile + QStringLiteral("/invocations.txt"),
           arguments.join(QLatin1Char('\t')) + QLatin1Char('\n'));
    // As a real browser does, it takes every word after "--" as an address.
    bool options = true;
    for (const QString& argument : arguments) {
        if (options && argument == QStringLiteral("--"))
            options = false;
        else if (!options || !argument.startsWith(QLatin1Char('-')))
            append(profile + QStringLiteral("/addresses.txt"), argument + QLatin1Char('\n'));
    }
}

bool handOver(const QString& socketPath, const QStringList& arguments)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(100)) {
            socket.write(arguments.join(QLatin1Char('\t')).toUtf8() + '\n');
            socket.waitForBytesWritten(2000);
            return socket.waitForReadyRead(2000) && socket.readAll().startsWith("ok");
        }
        QThread::msleep(100);
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const QString profile = profileOf(arguments);
    QDir().mkpath(profile);
    const QString socketPath = profile + QStringLiteral("/socket");

    QLockFile lock(profile + QStringLiteral("/lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return handOver(socketPath, arguments) ? 0 : 21;

    QLocalServer::removeServer(socketPath);
    QLocalServer server;
    if (!server.listen(socketPath))
        return 1;
    record(profile, arguments);
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&server, &profile] {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket,
                             &QLocalSocket::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, &profile] {
                if (!socket->canReadLine())
                    return;
                const QString line = QString::fromUtf8(socket->readLine()).chopped(1);
                record(profile, line.split(QLatin1Char('\t')));
                socket->write("ok\n");
                socket->flush();
            });
        }
    });
    QTimer::singleShot(120000, &app, &QCoreApplication::quit);
    return app.exec();
}
