#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// One parsed request head. `status` is 0 when the head is acceptable, else
// the HTTP status to answer with.
struct HttpRequest
{
    int status = 0;
    QString method;
    QString path;
    QString query;
    QList<QPair<QString, QString>> arguments; // in order, not decoded

    QString argument(const QString& name) const;
    bool hasArgument(const QString& name) const;
};

// Largest request head accepted; a longer one is answered 413.
inline constexpr qsizetype maxRequestHead = 8192;

// Where the head ends in what has arrived ("\r\n\r\n" or "\n\n"), -1 if not yet.
qsizetype requestHeadEnd(const QByteArray& data);

HttpRequest parseRequestHead(const QByteArray& head);

// A whole reply with status line, type and length.
QByteArray httpReply(int status, const QByteArray& type, const QByteArray& body);
QByteArray statusText(int status);
