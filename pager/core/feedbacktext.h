#pragma once

// Texts that tell the user how things stand: a headline's tooltip and the
// line under the version text while polls fail.

#include <QDateTime>
#include <QString>

enum class PollFailure
{
    Unreachable, // no connection, or it broke before a reply
    ErrorReply   // the server answered, but with an error
};

// Rich-text tooltip of a headline: the whole title, then its time. A
// timestamp of the form yyyyMMddHHmm[ss] (UTC) is shown as a date and time;
// any other is shown as it came. Server text is escaped, never markup.
QString headlineToolTip(const QString& title, const QString& timestamp);

// One plain-text line saying that a poll failed and when the last good one
// was (an invalid `lastGood` means none yet this run). `detail` is what went
// wrong; it may come from the server, so it is cut short and made one line.
QString pollFailureLine(PollFailure failure, const QString& detail, const QDateTime& lastGood,
                        const QDateTime& now);
