#include "inventory/core/vulnpollargument.h"

QString percentEncodedTimestamp(const QString& timestamp)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    for (const char c : timestamp.toUtf8()) {
        const auto byte = uchar(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_' || byte == ':';
        if (plain) {
            out += QLatin1Char(c);
        } else {
            out += u'%';
            out += QLatin1Char(hex[byte >> 4]);
            out += QLatin1Char(hex[byte & 15]);
        }
    }
    return out;
}

QString vulnPollArgument(const QString& timestamp, int version, bool testPoll)
{
    const QString stamp = testPoll ? QStringLiteral("0") : percentEncodedTimestamp(timestamp);
    return QStringLiteral("timestamp=") + stamp + QStringLiteral("&version=") +
           QString::number(version);
}
