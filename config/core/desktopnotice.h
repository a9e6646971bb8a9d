#pragma once

// The texts of a desktop notice. Everything in them comes from the server,
// so they are cleaned here for the notification service: control
// characters become blanks, each line and the whole body are cut to a
// bounded length, and where the service reads markup it is escaped.

#include <QList>
#include <QPair>
#include <QString>

struct DesktopNotice
{
    QString summary;
    QString body;
};

// Longest headline or alert line kept, and most headlines listed, in a notice.
constexpr int maxNoticeLine = 200;
constexpr int maxNoticeHeadlines = 5;

// New headlines as (category, title) pairs, in the order they came. One headline
// gives its category as the summary and its title as the body; more give
// one "category: title" line each, the rest counted in a last line.
DesktopNotice headlineNotice(const QList<QPair<QString, QString>>& headlines);

// A vulnerability alert: the alert box's caption and text.
DesktopNotice alertNotice(const QString& caption, const QString& text);

// The body as sent: escaped for a service that reads markup.
QString noticeBodyForService(const QString& body, bool serviceReadsMarkup);
