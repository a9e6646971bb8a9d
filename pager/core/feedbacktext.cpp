#include "pager/core/feedbacktext.h"

#include <QTimeZone>

namespace {

// Server text shown in one line: controls become blanks, runs of blanks one,
// and a long text ends in an ellipsis.
QString oneLine(const QString& text, qsizetype most)
{
    QString line;
    line.reserve(qMin(text.size(), most + 1));
    for (const QChar c : text) {
        if (line.size() > most)
            break;
        const bool blank = !c.isPrint() || c.isSpace();
        if (!blank)
            line += c;
        else if (!line.isEmpty() && !line.endsWith(u' '))
            line += u' ';
    }
    if (line.endsWith(u' '))
        line.chop(1);
    if (line.size() > most)
        line = line.left(most - 3) + QStringLiteral("...");
    return line;
}

QDateTime parseStamp(const QString& timestamp)
{
    const QString digits = timestamp.trimmed();
    for (const QChar c : digits)
        if (!c.isDigit() || c.unicode() > 0x7f)
            return {};
    if (digits.size() != 12 && digits.size() != 14)
        return {};
    // Fields apart, in UTC: no local clock change can make a valid stamp invalid.
    const QDate date = QDate::fromString(digits.left(8), QStringLiteral("yyyyMMdd"));
    const QTime time = QTime::fromString(
        digits.mid(8), digits.size() == 14 ? QStringLiteral("HHmmss") : QStringLiteral("HHmm"));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

QString headlineToolTip(const QString& title, const QString& timestamp)
{
    const QDateTime when = parseStamp(timestamp);
    const QString time =
        when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral(" UTC")
                       : oneLine(timestamp, 60);
    // Titles are short in practice; a runaway one must not make a tooltip
    // the size of the screen.
    return QStringLiteral("<qt>") + oneLine(title, 1000).toHtmlEscaped() + QStringLiteral("<br/>") +
           time.toHtmlEscaped() + QStringLiteral("</qt>");
}

QString pollFailureLine(PollFailure failure, const QString& detail, const QDateTime& lastGood,
                        const QDateTime& now)
{
    QString line = failure == PollFailure::Unreachable
                       ? QStringLiteral("The server cannot be reached")
                       : QStringLiteral("The server answered with an error");
    const QString why = oneLine(detail, 80);
    if (!why.isEmpty())
        line += QStringLiteral(" (") + why + u')';
    line += QStringLiteral(". ");
    if (!lastGood.isValid())
        return line + QStringLiteral("No poll has succeeded since the pager started.");
    const QDateTime at = lastGood.toTimeZone(now.timeZone());
    const QString format =
        at.date() == now.date() ? QStringLiteral("HH:mm") : QStringLiteral("yyyy-MM-dd HH:mm");
    return line + QStringLiteral("Last good poll: ") + at.toString(format) + u'.';
}
