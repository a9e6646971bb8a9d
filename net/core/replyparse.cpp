#include "net/core/replyparse.h"

#include <QRegularExpression>

namespace {

// Replaces `from` by `to` without regard to case, as if searching again
// from the start after each change, in one pass: a new match can only end
// in what a replacement left, so that is fed through the scan once more.
// `to` must be shorter than `from`, which bounds the work by the text's size.
void replaceFromStart(QString& text, const QString& from, const QString& to)
{
    if (!text.contains(from, Qt::CaseInsensitive))
        return;
    QString out;
    out.reserve(text.size());
    QString pending; // replacement text still to be scanned, last char first
    qsizetype next = 0;
    while (next < text.size() || !pending.isEmpty()) {
        if (!pending.isEmpty()) {
            out += pending.back();
            pending.chop(1);
        } else {
            out += text.at(next++);
        }
        if (out.size() >= from.size() &&
            QStringView(out).right(from.size()).compare(from, Qt::CaseInsensitive) == 0) {
            out.chop(from.size());
            for (qsizetype i = to.size() - 1; i >= 0; --i)
                pending += to.at(i);
        }
    }
    text = out;
}

QString textBetween(const QString& text, const QString& marker, qsizetype from = 0)
{
    const qsizetype at = text.indexOf(marker, from);
    if (at < 0)
        return QString();
    const qsizetype start = at + marker.size();
    const qsizetype end = text.indexOf(u'"', start);
    if (end < 0)
        return QString();
    return text.mid(start, end - start);
}

} // namespace

bool isSuccessStatus(const QString& reply)
{
    if (!reply.startsWith(QLatin1String("HTTP/"), Qt::CaseInsensitive))
        return true;
    const qsizetype lineEnd = reply.indexOf(u'\n');
    const QString line = reply.left(lineEnd < 0 ? reply.size() : lineEnd);
    static const QRegularExpression status(QStringLiteral("^HTTP/\\S+\\s+(\\d{3})"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = status.match(line);
    return m.hasMatch() && m.captured(1).startsWith(u'2');
}

qint64 declaredBodyLength(const QString& head)
{
    static const QRegularExpression header(
        QStringLiteral("^content-length:[ \\t]*(\\d{1,15})[ \\t]*\\r?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    qsizetype headEnd = head.indexOf(QLatin1String("\r\n\r\n"));
    if (headEnd < 0)
        headEnd = head.indexOf(QLatin1String("\n\n"));
    const QRegularExpressionMatch m = header.match(headEnd < 0 ? head : head.left(headEnd + 1));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

qint64 receivedBodyLength(const QString& reply)
{
    qsizetype at = reply.indexOf(QLatin1String("\r\n\r\n"));
    if (at >= 0)
        return reply.size() - at - 4;
    at = reply.indexOf(QLatin1String("\n\n"));
    return at < 0 ? -1 : reply.size() - at - 2;
}

bool isCutShort(const QString& reply)
{
    if (!reply.startsWith(QLatin1String("HTTP/"), Qt::CaseInsensitive))
        return false;
    const qint64 declared = declaredBodyLength(reply);
    if (declared < 0)
        return false;
    const qint64 received = receivedBodyLength(reply);
    return received < declared;
}

AdPageInfo parseAdPage(QString page)
{
    AdPageInfo info;
    replaceFromStart(page, QStringLiteral("&#58;"), QStringLiteral(":"));
    replaceFromStart(page, QStringLiteral("&amp;"), QStringLiteral("&"));

    const QString image = textBetween(page, QStringLiteral("<IMG SRC=\""));
    const qsizetype images = image.indexOf(QLatin1String("/images"));
    if (images < 0)
        return info;
    const QString marker = QStringLiteral("<A HREF=\"");
    if (page.indexOf(marker) < 0 || page.indexOf(u'"', page.indexOf(marker) + marker.size()) < 0)
        return info;
    info.imagePath = image.mid(images);
    info.link = textBetween(page, marker);
    info.ok = true;
    return info;
}
