// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <algorithm>

/// An HTTP/1.1 server on 127.0.0.1 serving pages from a map, recording each request
/// with its time, able to hold a page back; each answer closes its connection.
class TestHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QString path;     // without the query
        qint64 msecs = 0; // since the server started listening
    };

    explicit TestHttpServer(QObject* parent = nullptr);

    /// Listens on a free port of 127.0.0.1.
    bool listen()
    {
        m_clock.start();
        const bool listening = m_server.listen(QHostAddress::LocalHost, 0);
        m_port = m_server.serverPort();
        return listening;
    }
    quint16 port() const { return m_port; }
    /// Stops listening, as a server that went away: connections are refused.
    void close() { m_server.close(); }
    /// Listens again on the same port.
    bool reopen() { return m_server.listen(QHostAddress::LocalHost, m_port); }
    /// The address of a path on this server, e.g. url("/a.html").
    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
    }

    /// Serves the body at the path. Unknown paths answer 404.
    void setPage(const QString& path, const QByteArray& body,
                 const QByteArray& contentType = QByteArrayLiteral("text/html; charset=utf-8"))
    {
        m_pages[path].body = body;
        m_pages[path].contentType = contentType;
    }
    /// A page with the title and a line of text.
    void setHtmlPage(const QString& path, const QString& title)
    {
        setPage(path, QStringLiteral("<!DOCTYPE html><html><head><title>%1</title></head>"
                                     "<body><p>%1</p></body></html>")
                          .arg(title.toHtmlEscaped())
                          .toUtf8());
    }
    /// Holds the answer for the path back for the given time; 0 answers at once.
    void holdOpen(const QString& path, int msecs) { m_pages[path].holdMs = msecs; }

    QList<Request> requests() const { return m_requests; }
    qint64 elapsed() const { return m_clock.elapsed(); } // since it started listening
    /// How many requests asked for the path.
    int requestCount(const QString& path) const
    {
        return int(std::count_if(m_requests.cbegin(), m_requests.cend(),
                                 [&path](const Request& request) { return request.path == path; }));
    }

Q_SIGNALS:
    void requestReceived(const QString& path);

private:
    struct Page
    {
        QByteArray body;
        QByteArray contentType;
        int holdMs = 0;
    };

    void readRequest(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QString& path);

    QTcpServer m_server;
    quint16 m_port = 0;
    QElapsedTimer m_clock;
    QHash<QString, Page> m_pages;
    QList<Request> m_requests;
};
