// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

/// A small HTTP/1.1 server on 127.0.0.1 for tests: serves pages from a map,
/// records every request with the time it came, and can hold a page back
/// for a while to make a slow page. Each answer closes its connection.
class TestHttpServer : public QObject
{
    Q_OBJECT

public:
    /// One request as it arrived.
    struct Request
    {
        QByteArray method;
        QString path; // without the query
        QString query;
        qint64 msecs = 0; // since the server started listening
    };

    explicit TestHttpServer(QObject* parent = nullptr);

    /// Listens on a free port of 127.0.0.1.
    bool listen();
    quint16 port() const { return m_port; }
    /// Stops listening, as a server that went away: connections are refused.
    void close();
    /// Listens again on the same port.
    bool reopen();
    /// The address of a path on this server, e.g. url("/a.html").
    QUrl url(const QString& path) const;

    /// Serves the body at the path. Unknown paths answer 404.
    void setPage(const QString& path, const QByteArray& body,
                 const QByteArray& contentType = QByteArrayLiteral("text/html; charset=utf-8"));
    /// A page with the title and a line of text.
    void setHtmlPage(const QString& path, const QString& title);
    /// Holds the answer for the path back for the given time; 0 answers at once.
    void holdOpen(const QString& path, int msecs);

    QList<Request> requests() const { return m_requests; }
    /// Milliseconds since the server started listening (the requests' clock).
    qint64 elapsed() const { return m_clock.elapsed(); }
    /// How many requests asked for the path.
    int requestCount(const QString& path) const;

Q_SIGNALS:
    void requestReceived(const QString& path);

private:
    struct Page
    {
        QByteArray body;
        QByteArray contentType;
        int holdMs = 0;
    };

    void acceptConnections();
    void readRequest(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QString& path);

    QTcpServer m_server;
    quint16 m_port = 0;
    QElapsedTimer m_clock;
    QHash<QString, Page> m_pages;
    QList<Request> m_requests;
};
