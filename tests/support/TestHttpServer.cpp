// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {

// Requests larger than this are not for a test page; drop the connection.
constexpr qsizetype MaxHeaderBytes = 64 * 1024;

} // namespace

TestHttpServer::TestHttpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TestHttpServer::acceptConnections);
}

bool TestHttpServer::listen()
{
    m_clock.start();
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        return false;
    m_port = m_server.serverPort();
    return true;
}

void TestHttpServer::close()
{
    m_server.close();
}

bool TestHttpServer::reopen()
{
    return m_server.listen(QHostAddress::LocalHost, m_port);
}

QUrl TestHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
}

void TestHttpServer::setPage(const QString& path, const QByteArray& body,
                             const QByteArray& contentType)
{
    Page& page = m_pages[path];
    page.body = body;
    page.contentType = contentType;
}

void TestHttpServer::setHtmlPage(const QString& path, const QString& title)
{
    const QString html = QStringLiteral("<!DOCTYPE html><html><head><title>%1</title></head>"
                                        "<body><p>%1</p></body></html>")
                             .arg(title.toHtmlEscaped());
    setPage(path, html.toUtf8());
}

void TestHttpServer::holdOpen(const QString& path, int msecs)
{
    m_pages[path].holdMs = msecs;
}

int TestHttpServer::requestCount(const QString& path) const
{
    return int(std::count_if(m_requests.cbegin(), m_requests.cend(),
                             [&path](const Request& request) { return request.path == path; }));
}

void TestHttpServer::acceptConnections()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestHttpServer::readRequest(QTcpSocket* socket)
{
    // The request is complete once its header block has ended; a test page
    // request carries no body worth reading.
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
    const QUrl target(QString::fromLatin1(requestLine.at(1)));
    Request request;
    request.method = requestLine.at(0);
    request.path = target.path();
    request.query = target.query();
    request.msecs = m_clock.elapsed();
    m_requests.append(request);
    Q_EMIT requestReceived(request.path);

    const int holdMs = m_pages.value(request.path).holdMs;
    if (holdMs <= 0) {
        answer(socket, request.path);
        return;
    }
    // The client may give up on a held page; the socket is gone by then.
    QPointer<QTcpSocket> guard(socket);
    QTimer::singleShot(holdMs, this, [this, guard, path = request.path] {
        if (guard && guard->state() == QAbstractSocket::ConnectedState)
            answer(guard, path);
    });
}

void TestHttpServer::answer(QTcpSocket* socket, const QString& path)
{
    const auto page = m_pages.constFind(path);
    const bool found = page != m_pages.cend();
    const QByteArray body = found ? page->body : QByteArrayLiteral("Not found");
    QByteArray response = found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n";
    response += "Content-Type: " + (found ? page->contentType : QByteArray("text/plain")) + "\r\n";
    response += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n";
    response += body;
    socket->write(response);
    socket->disconnectFromHost();
}
