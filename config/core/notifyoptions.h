#pragma once

// "notify.cfg": whether news and vulnerability alerts also go to the
// desktop's notification service. One "key=value" line a setting; today only
//   desktopnotices=off|instead|beside
// "instead" sends a notice where the box would have opened (the box stays
// the fallback), "beside" sends it and opens the box too. Unknown keys,
// bad values and damaged lines are passed over, leaving the default (off).

#include <QByteArray>
#include <QString>

enum class DesktopNotices
{
    Off,
    Instead,
    Beside
};

struct NotifyOptions
{
    DesktopNotices mode = DesktopNotices::Off;
};

// A file larger than this is not ours: it is read as the defaults.
constexpr qint64 maxNotifyFileSize = 4096;

NotifyOptions parseNotifyOptions(const QByteArray& text);
QByteArray formatNotifyOptions(const NotifyOptions& options);

// A missing, unreadable or oversized file gives the defaults; the last two
// are reported on standard error naming the file.
NotifyOptions loadNotifyOptions(const QString& path);
// Through the atomic writer: on failure the old file stays and false is returned.
bool saveNotifyOptions(const QString& path, const NotifyOptions& options);
