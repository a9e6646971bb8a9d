#include "config/core/notifyoptions.h"

#include "pager/core/atomicfile.h"

#include <QFile>
#include <QList>

#include <cstdio>

namespace {

const char modeKey[] = "desktopnotices";

struct ModeName
{
    DesktopNotices mode;
    const char* name;
};
const ModeName modeNames[] = {{DesktopNotices::Off, "off"},
                              {DesktopNotices::Instead, "instead"},
                              {DesktopNotices::Beside, "beside"}};

} // namespace

NotifyOptions parseNotifyOptions(const QByteArray& text)
{
    NotifyOptions options;
    for (const QByteArray& rawLine : text.split('\n')) {
        const int equals = rawLine.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = rawLine.left(equals).trimmed();
        const QByteArray value = rawLine.mid(equals + 1).trimmed().toLower();
        if (key != modeKey)
            continue;
        for (const ModeName& m : modeNames)
            if (value == m.name)
                options.mode = m.mode;
    }
    return options;
}

QByteArray formatNotifyOptions(const NotifyOptions& options)
{
    QByteArray name = "off";
    for (const ModeName& m : modeNames)
        if (m.mode == options.mode)
            name = m.name;
    return QByteArray(modeKey) + '=' + name + '\n';
}

NotifyOptions loadNotifyOptions(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Could not read %s; desktop notices stay off\n", qPrintable(path));
        return {};
    }
    // Read one byte past the limit, so an oversized file shows as such
    // without being taken into memory whole.
    const QByteArray text = file.read(maxNotifyFileSize + 1);
    if (text.size() > maxNotifyFileSize) {
        std::fprintf(stderr, "%s is too large to be a notice setting; desktop notices stay off\n",
                     qPrintable(path));
        return {};
    }
    return parseNotifyOptions(text);
}

bool saveNotifyOptions(const QString& path, const NotifyOptions& options)
{
    return writeFileAtomically(path, formatNotifyOptions(options));
}
