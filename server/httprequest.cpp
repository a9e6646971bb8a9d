#include "server/httprequest.h"

QString HttpRequest::argument(const QString& name) const
{
    for (const auto& a : arguments)
        if (a.first == name)
            return a.second;
    return QString();
}

bool HttpRequest::hasArgument(const QString& name) const
{
    for (const auto& a : arguments)
        if (a.first == name)
            return true;
    return false;
}

qsizetype requestHeadEnd(const QByteArray& data)
{
    const qsizetype crlf = data.indexOf("\r\n\r\n");
    const qsizetype lf = data.indexOf("\n\n");
    if (crlf >= 0 && (lf < 0 || crlf + 2 <= lf))
        return crlf + 4;
    return lf >= 0 ? lf + 2 : -1;
}

HttpRequest parseRequestHead(const QByteArray& head)
{
    HttpRequest r;
    qsizetype end = head.indexOf('\n');
    if (end < 0)
        end = head.size();
    const QByteArray line = head.left(end).trimmed();
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || !parts.at(2).startsWith("HTTP/1.") || parts.at(2).size() != 8 ||
        !parts.at(1).startsWith('/')) {
        r.status = 400;
        return r;
    }
    for (char c : line)
        if (uchar(c) < 0x20 || uchar(c) > 0x7e) {
            r.status = 400;
            return r;
        }
    r.method = QString::fromLatin1(parts.at(0));
    if (r.method != QLatin1String("GET") && r.method != QLatin1String("HEAD")) {
        r.status = 405;
        return r;
    }
    const QString target = QString::fromLatin1(parts.at(1));
    const qsizetype mark = target.indexOf(u'?');
    r.path = mark < 0 ? target : target.left(mark);
    r.query = mark < 0 ? QString() : target.mid(mark + 1);
    if (r.path.contains(QLatin1String(".."))) {
        r.status = 400;
        return r;
    }
    for (const QString& pair : r.query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        r.arguments.append({eq < 0 ? pair : pair.left(eq), eq < 0 ? QString() : pair.mid(eq + 1)});
    }
    return r;
}

QByteArray statusText(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 413:
        return "Request Entity Too Large";
    default:
        return "Internal Server Error";
    }
}

QByteArray httpReply(int status, const QByteArray& type, const QByteArray& body)
{
    return "HTTP/1.0 " + QByteArray::number(status) + ' ' + statusText(status) +
           "\r\nServer: ovpager-server\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}
