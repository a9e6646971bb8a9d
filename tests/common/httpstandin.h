#pragma once

// A loopback HTTP server standing in for the content server: it reads each
// request's head, answers it and records it. Answers come, in this order of
// preference, from the queue of scripted answers (one per connection), from
// the routes (by request-line prefix), or the fallback.

#include <QList>
#include <QPair>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// How one connection is answered.
struct Answer
{
    QByteArray data;
    qsizetype pauseAt = -1; // send up to here, wait, then the rest
    bool close = true;      // false: keep the connection open and silent
    int trickleMs = 0;      // > 0: one byte every so many milliseconds
};

class HttpStandIn : public QObject
{
public:
    explicit HttpStandIn(QByteArray fallback = "HTTP/1.0 200 OK\r\n\r\n")
        : fallback(std::move(fallback))
    {
        connect(&m_server, &QTcpServer::newConnection, this, &HttpStandIn::accept);
    }
    bool listen(quint16 port = 0) { return m_server.listen(QHostAddress::LocalHost, port); }
    void close() { m_server.close(); }
    quint16 port() const { return m_port ? m_port : m_server.serverPort(); }
    // Remembers the port, so that it can be given out after close().
    void keepPort() { m_port = m_server.serverPort(); }
    QString address() const { return QStringLiteral("127.0.0.1:") + QString::number(port()); }

    // Requests whose line starts with `prefix` get `reply`; the latest
    // matching route wins.
    void route(const QByteArray& prefix, const QByteArray& reply)
    {
        m_routes.prepend({prefix, reply});
    }

    QList<Answer> answers;      // one per connection in order, before the routes
    QByteArray fallback;        // for a request nothing else answers
    QList<QByteArray> requests; // what each accepted connection carried
    bool silent = false;        // true: read everything, answer nothing

    QStringList requestLines() const
    {
        QStringList lines;
        for (const QByteArray& r : requests)
            if (!r.isEmpty())
                lines << QString::fromLatin1(r.left(r.indexOf("\r\n")));
        return lines;
    }
    QStringList linesStartingWith(const QString& prefix) const
    {
        QStringList lines = requestLines();
        lines.removeIf([&prefix](const QString& line) { return !line.startsWith(prefix); });
        return lines;
    }

private:
    void accept()
    {
        while (QTcpSocket* s = m_server.nextPendingConnection()) {
            const qsizetype index = requests.size();
            requests.append(QByteArray());
            if (silent) {
                s->setParent(this);
                continue;
            }
            const bool scripted = !answers.isEmpty();
            const Answer a = scripted ? answers.takeFirst() : Answer{};
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QTcpSocket::readyRead, this, [this, s, a, index, scripted] {
                if (requests[index].endsWith("\r\n\r\n"))
                    return; // answered already
                requests[index] += s->readAll();
                if (requests[index].endsWith("\r\n\r\n"))
                    respond(s, scripted ? a : Answer{routed(requests[index])});
            });
        }
    }

    QByteArray routed(const QByteArray& head) const
    {
        for (const auto& r : m_routes)
            if (head.startsWith(r.first))
                return r.second;
        return fallback;
    }

    static void trickle(QTcpSocket* s, const Answer& a, qsizetype at)
    {
        if (s->state() != QAbstractSocket::ConnectedState)
            return;
        if (at >= a.data.size()) {
            if (a.close)
                s->disconnectFromHost();
            return;
        }
        s->write(a.data.mid(at, 1));
        QTimer::singleShot(a.trickleMs, s, [=] { trickle(s, a, at + 1); });
    }

    static void respond(QTcpSocket* s, const Answer& a)
    {
        if (a.trickleMs > 0) {
            trickle(s, a, 0);
            return;
        }
        s->write(a.pauseAt < 0 ? a.data : a.data.left(a.pauseAt));
        if (a.pauseAt >= 0) {
            s->flush();
            QTimer::singleShot(80, s, [s, a] {
                s->write(a.data.mid(a.pauseAt));
                s->disconnectFromHost();
            });
        } else if (a.close) {
            s->disconnectFromHost();
        }
    }

    QTcpServer m_server;
    quint16 m_port = 0;
    QList<QPair<QByteArray, QByteArray>> m_routes;
};
