#include "pager/core/browserurl.h"

#include "pager/core/globals.h"

QString providerWebHost()
{
    return QStringLiteral("www.orvelle.example");
}

QString homePageUrl()
{
    return QStringLiteral("http://") + providerWebHost() + u'/';
}

QString helpPageUrl()
{
    return QStringLiteral("file:") + installedDataRoot() + QStringLiteral("/pagerdoc/pager.html");
}

QString searchUrl(const QString& text)
{
    QString words = text.simplified();
    words.replace(u' ', u'+');
    return QStringLiteral("http://") + providerWebHost() +
           QStringLiteral("/search/index.html?base=orvelle&p=%1&start=0").arg(words);
}

bool isNavigableUrl(const QString& url)
{
    if (url == helpPageUrl())
        return true;
    // Headline and banner links come from the server: a leading "-" would
    // reach the browser as an option, other schemes could open local files
    // or run handlers.
    for (const char* scheme : {"http://", "https://", "ftp://"})
        if (url.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return url.size() > qsizetype(qstrlen(scheme));
    return false;
}

QString remoteCommandUrl(const QString& url)
{
    QString out;
    out.reserve(url.size());
    for (QChar c : url) {
        const char16_t u = c.unicode();
        const bool breaksCommand = u == u'(' || u == u')' || u == u',' || u == u'"' || u == u'\'' ||
                                   u == u'`' || c.isSpace() || u < 0x20 || u == 0x7f;
        if (!breaksCommand) {
            out += c;
            continue;
        }
        // An existing "%xx" stays as it is; only what would split the
        // command is encoded, as UTF-8 bytes.
        for (const char byte : QString(c).toUtf8())
            out += QStringLiteral("%%1").arg(uchar(byte), 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}
