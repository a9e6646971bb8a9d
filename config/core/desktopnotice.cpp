#include "config/core/desktopnotice.h"

#include <QStringList>

namespace {

// Longest body sent at all, whatever the lines add up to.
constexpr int maxNoticeBody = 2000;

QString cleanLine(const QString& text)
{
    QString line;
    line.reserve(qMin(text.size(), maxNoticeLine));
    for (const QChar c : text) {
        if (line.size() >= maxNoticeLine)
            break;
        line += (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                 c == QChar::ParagraphSeparator)
                    ? QChar(u' ')
                    : c;
    }
    return line.trimmed();
}

QString cleanText(const QString& text)
{
    QStringList lines;
    int size = 0;
    for (const QString& raw : text.left(maxNoticeBody * 2).split(u'\n')) {
        const QString line = cleanLine(raw);
        size += line.size() + 1;
        if (size > maxNoticeBody)
            break;
        lines << line;
    }
    return lines.join(u'\n');
}

} // namespace

DesktopNotice headlineNotice(const QList<QPair<QString, QString>>& headlines)
{
    if (headlines.size() == 1)
        return {cleanLine(headlines.first().first), cleanLine(headlines.first().second)};
    QStringList lines;
    for (const auto& h : headlines) {
        if (lines.size() == maxNoticeHeadlines)
            break;
        lines << cleanLine(h.first) + QStringLiteral(": ") + cleanLine(h.second);
    }
    if (headlines.size() > maxNoticeHeadlines)
        lines << QStringLiteral("and ") + QString::number(headlines.size() - maxNoticeHeadlines) +
                     QStringLiteral(" more");
    return {QStringLiteral("New Orvelle Pager content"), lines.join(u'\n')};
}

DesktopNotice alertNotice(const QString& caption, const QString& text)
{
    return {cleanLine(caption), cleanText(text)};
}

QString noticeBodyForService(const QString& body, bool serviceReadsMarkup)
{
    return serviceReadsMarkup ? body.toHtmlEscaped() : body;
}
