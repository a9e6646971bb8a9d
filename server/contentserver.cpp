#include "server/contentserver.h"

#include "server/httprequest.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>

namespace {

const char bufferProperty[] = "requestBuffer";
constexpr qint64 hugeSize = 20 * 1024 * 1024;

bool isNumber(const QString& text, int* value = nullptr)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(text).hasMatch())
        return false;
    if (value)
        *value = text.toInt();
    return true;
}

// "T20001,T1,11,12,T3": a "T" starts a top-level category, plain numbers
// are its chosen sub-categories.
bool parseContentList(const QString& text, QList<ContentWish>& wishes)
{
    for (const QString& item : text.split(u',', Qt::SkipEmptyParts)) {
        int id = 0;
        if (item.startsWith(u'T') && isNumber(item.mid(1), &id))
            wishes.append(ContentWish{id, {}});
        else if (isNumber(item, &id) && !wishes.isEmpty())
            wishes.last().subIds.append(id);
        else
            return false;
    }
    return true;
}

} // namespace

CContentServer::CContentServer(CServerData* data, CFaultPlan* faults, QObject* parent)
    : QTcpServer(parent), m_data(data), m_faults(faults)
{
    connect(this, &QTcpServer::newConnection, this, &CContentServer::onConnection);
}

void CContentServer::onConnection()
{
    while (QTcpSocket* socket = nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        auto* timer = new QTimer(socket);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, socket, [this, socket] {
            if (socket->property(bufferProperty).isValid()) { // still no whole head
                log(socket, QStringLiteral("(incomplete request)"), 408, 0, CFaultPlan::None);
                socket->write(httpReply(408, "text/plain", "Request timed out\n"));
                socket->disconnectFromHost();
            }
        });
        timer->start(m_requestTimeoutMs);
        socket->setProperty(bufferProperty, QByteArray());
    }
}

void CContentServer::onReadable(QTcpSocket* socket)
{
    if (!socket->property(bufferProperty).isValid()) {
        socket->readAll(); // answered already; what follows is ignored
        return;
    }
    QByteArray buffer = socket->property(bufferProperty).toByteArray() + socket->readAll();
    const qsizetype end = requestHeadEnd(buffer);
    if (end < 0 && buffer.size() <= maxRequestHead) {
        socket->setProperty(bufferProperty, buffer);
        return;
    }
    socket->setProperty(bufferProperty, QVariant());
    if (end < 0 || end > maxRequestHead) {
        log(socket, QStringLiteral("(oversized request)"), 413, 0, CFaultPlan::None);
        socket->write(httpReply(413, "text/plain", "Request too large\n"));
        socket->disconnectFromHost();
        return;
    }
    answer(socket, buffer.left(end));
}

void CContentServer::answer(QTcpSocket* socket, const QByteArray& head)
{
    const HttpRequest request = parseRequestHead(head);
    const QString line = QString::fromLatin1(head.left(head.indexOf('\n')).trimmed());
    QByteArray type = "text/html", body;
    int status = request.status;
    if (status == 0)
        status = route(request, type, body);
    if (status != 200 && body.isEmpty())
        body = statusText(status) + '\n';
    const CFaultPlan::Fault fault =
        request.status == 0 ? m_faults->pick(request.path) : CFaultPlan::None;
    QByteArray reply = httpReply(status, type, body);
    if (request.method == QLatin1String("HEAD"))
        reply.truncate(reply.indexOf("\r\n\r\n") + 4);
    log(socket, line, fault == CFaultPlan::Error ? 500 : status, reply.size(), fault);
    send(socket, reply, fault);
}

int CContentServer::route(const HttpRequest& r, QByteArray& type, QByteArray& body)
{
    const QString& path = r.path;
    if (path == QLatin1String("/test/zorbel-thing3.html")) {
        if (r.hasArgument(QStringLiteral("id")) && !isNumber(r.argument(QStringLiteral("id"))))
            return 400;
        body = "<html><body><pre>" + m_data->categoryFile() + "</pre></body></html>\n";
        return 200;
    }
    if (path == QLatin1String("/test/vuln_categories.html")) {
        type = "text/plain";
        body = m_data->vulnCategoryFile();
        return 200;
    }
    if (path == QLatin1String("/pagerv3/abstract.html")) {
        int what = 0, item = 0;
        if (!isNumber(r.argument(QStringLiteral("what")), &what) ||
            !isNumber(r.argument(QStringLiteral("item")), &item))
            return 400;
        bool found = false;
        body = m_data->abstractReply(what, item, &found);
        return found ? 200 : 404;
    }
    if (path == QLatin1String("/pagerv3/pager_info.html")) {
        int version = 0, entries = 0;
        QList<ContentWish> wishes;
        if (!isNumber(r.argument(QStringLiteral("version")), &version) ||
            !isNumber(r.argument(QStringLiteral("nentries")), &entries) ||
            !parseContentList(r.argument(QStringLiteral("Content")), wishes))
            return 400;
        body = m_data->contentReply(version, qBound(1, entries, 100), wishes);
        return 200;
    }
    if (path == QLatin1String("/pagerv3/vuln_info.html")) {
        int version = 0;
        const QString after = r.argument(QStringLiteral("timestamp"));
        if (!isNumber(r.argument(QStringLiteral("version")), &version) ||
            !QRegularExpression(QStringLiteral("^[0-9]{1,14}$")).match(after).hasMatch())
            return 400;
        body = m_data->vulnReply(after, version);
        return 200;
    }
    if (path == QLatin1String("/frames/ad.html")) {
        body = m_data->adPage();
        return 200;
    }
    if (path.startsWith(QLatin1String("/images/"))) {
        bool found = false;
        body = m_data->bannerImage(path.mid(8), &found);
        if (!found)
            return 404;
        type = "image/gif";
        return 200;
    }
    return 404;
}

void CContentServer::send(QTcpSocket* socket, const QByteArray& reply, CFaultPlan::Fault fault)
{
    switch (fault) {
    case CFaultPlan::Hang: {
        // Held open and silent until the client gives up (or five minutes).
        auto* limit = new QTimer(socket);
        connect(limit, &QTimer::timeout, socket, &QTcpSocket::abort);
        limit->start(5 * 60 * 1000);
        return;
    }
    case CFaultPlan::Cut:
        socket->write(reply.left(reply.size() / 2));
        break;
    case CFaultPlan::Garbage: {
        QByteArray noise(4096, '\0');
        for (char& c : noise)
            c = char(QRandomGenerator::global()->bounded(256));
        socket->write(noise);
        break;
    }
    case CFaultPlan::Error:
        socket->write(httpReply(500, "text/plain", "Injected failure\n"));
        break;
    case CFaultPlan::Huge:
        sendHuge(socket);
        return;
    case CFaultPlan::None:
        socket->write(reply);
        break;
    }
    socket->disconnectFromHost();
}

void CContentServer::sendHuge(QTcpSocket* socket)
{
    // Written as the client reads, so the server never holds 20 MB at once.
    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                  QByteArray::number(hugeSize) + "\r\n\r\n");
    auto* left = new qint64(hugeSize);
    const QByteArray chunk =
        QByteArray("<p>filler filler filler filler filler</p>\n").repeated(1560);
    auto refill = [socket, left, chunk] {
        while (*left > 0 && socket->bytesToWrite() < 4 * chunk.size()) {
            const qint64 n = qMin<qint64>(*left, chunk.size());
            socket->write(chunk.constData(), n);
            *left -= n;
        }
        if (*left == 0) {
            *left = -1;
            socket->disconnectFromHost();
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, refill);
    connect(socket, &QObject::destroyed, [left] { delete left; });
    refill();
}

void CContentServer::log(QTcpSocket* socket, const QString& line, int status, qsizetype bytes,
                         CFaultPlan::Fault fault)
{
    const QString when = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    // The request line is the client's text: joined, never formatted.
    QString entry = socket->peerAddress().toString() + QStringLiteral(" [") + when +
                    QStringLiteral("] \"") + line + QStringLiteral("\" ") +
                    QString::number(status) + u' ' + QString::number(bytes);
    if (fault != CFaultPlan::None)
        entry += QStringLiteral(" fault=") + CFaultPlan::name(fault);
    std::fprintf(stdout, "%s\n", qPrintable(entry));
    std::fflush(stdout);
}
