#pragma once

// Pure helpers over a raw HTTP/1.0 reply as the link gathered it (status
// line and headers included).

#include <QByteArray>
#include <QString>

// True unless the reply starts with an HTTP status line whose code is not
// 2xx. A reply without any status line is taken as it is.
bool isSuccessStatus(const QString& reply);

// Declared body length from a "Content-Length" header, or -1 when absent or
// unreadable. `head` is the reply text up to (at least) the blank line.
qint64 declaredBodyLength(const QString& head);

// Body length actually received: bytes after the first blank line, -1 when
// the headers never ended.
qint64 receivedBodyLength(const QString& reply);

// True when a length was declared and fewer bytes arrived: a cut reply.
bool isCutShort(const QString& reply);

struct AdPageInfo
{
    bool ok = false;
    QString imagePath; // from "/images" on
    QString link;
};

// Finds the banner's image path and target link in an advertisement page.
AdPageInfo parseAdPage(QString page);
