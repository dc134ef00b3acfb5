// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestHttpServer.h"

#include <QPointer>
#include <QTimer>

static constexpr qsizetype MaxHeaderBytes = 64 * 1024; // larger requests are dropped

TestHttpServer::TestHttpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void TestHttpServer::readRequest(QTcpSocket* socket)
{
    // The request is complete once its header block has ended (no body is read).
    if (socket->property("answered").toBool())
        return;
    const QByteArray head = socket->peek(MaxHeaderBytes);
    if (!head.contains("\r\n\r\n")) {
        if (head.size() >= MaxHeaderBytes)
            socket->abort();
        return;
    }
    socket->setProperty("answered", true);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    if (requestLine.size() < 2) {
        socket->abort();
        return;
    }
    const QString path = QUrl(QString::fromLatin1(requestLine.at(1))).path();
    m_requests.append({path, m_clock.elapsed()});
    Q_EMIT requestReceived(path);

    const int holdMs = m_pages.value(path).holdMs;
    if (holdMs <= 0)
        return answer(socket, path);
    // The client may give up on a held page; the socket is gone by then.
    QPointer<QTcpSocket> guard(socket);
    QTimer::singleShot(holdMs, this, [this, guard, path] {
        if (guard && guard->state() == QAbstractSocket::ConnectedState)
            answer(guard, path);
    });
}

void TestHttpServer::answer(QTcpSocket* socket, const QString& path)
{
    const auto page = m_pages.constFind(path);
    const bool found = page != m_pages.cend();
    const QByteArray body = found ? page->body : QByteArrayLiteral("Not found");
    socket->write(QByteArray(found ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
                  "\r\nContent-Type: " + (found ? page->contentType : "text/plain") +
                  "\r\nContent-Length: " + QByteArray::number(body.size()) +
                  "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}
