#include "app/core/cskin.h"

#include "pager/core/globals.h"

#include <QFile>

namespace {

int number(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

QPoint point(const QString& value)
{
    const qsizetype comma = value.indexOf(u',');
    if (comma < 0)
        return QPoint(0, 0);
    return QPoint(number(value.left(comma)), number(value.mid(comma + 1)));
}

} // namespace

const QStringList& CSkin::imageNames()
{
    static const QStringList names = {
        "pager.bmp",    "pager-mask.bmp",  "help.bmp",      "helpclick.bmp",  "min.bmp",
        "minclick.bmp", "exit.bmp",        "exitclick.bmp", "config.bmp",     "configclick.bmp",
        "search.bmp",   "searchclick.bmp", "update.bmp",    "updateclick.bmp"};
    return names;
}

QStringList CSkin::imagePaths() const
{
    QStringList paths;
    for (const QString& file : imageNames())
        paths << path + u'/' + file;
    return paths;
}

CSkin::CSkin(const QString& skinPath) : path(skinPath)
{
    QFile file(path + QStringLiteral("/skin.ini"));
    if (!file.open(QIODevice::ReadOnly)) {
        debugLine(QStringLiteral("Cannot open ") + path + QStringLiteral("/skin.ini"));
        return;
    }
    QPoint main;
    int width = 0, height = 0;
    while (!file.atEnd()) {
        const QByteArray raw = file.readLine(1025);
        if (raw.isEmpty() && file.error() != QFile::NoError) {
            debugLine(QStringLiteral("error reading from skin file"));
            break;
        }
        readLine(QString::fromLatin1(raw).simplified(), main, width, height);
    }
    if (name.isEmpty() || main.isNull() || width == 0 || height == 0)
        return;
    for (const QPoint& p : {banner, exit, help, min, search, update, config})
        if (p.isNull())
            return;
    debugLine(QStringLiteral("Skin initialized successfully"));
    paneRect = QRect(main.x(), main.y(), width, height);
    valid = true;
}

void CSkin::readLine(const QString& line, QPoint& main, int& width, int& height)
{
    if (line.isEmpty() || line.startsWith(u';') ||
        line.compare(QLatin1String("[skin]"), Qt::CaseInsensitive) == 0)
        return;
    auto key = [&line](const char* k) {
        return line.startsWith(QLatin1String(k), Qt::CaseInsensitive);
    };
    auto value = [&line](const char* k) { return line.mid(qsizetype(qstrlen(k))); };
    if (key("name="))
        name = value("name=").trimmed();
    else if (key("main="))
        main = point(value("main="));
    else if (key("mainwidth="))
        width = number(value("mainwidth="));
    else if (key("mainheight="))
        height = number(value("mainheight="));
    else if (key("logo="))
        logo = point(value("logo="));
    else if (key("banner="))
        banner = point(value("banner="));
    else if (key("help="))
        help = point(value("help="));
    else if (key("min="))
        min = point(value("min="));
    else if (key("exit="))
        exit = point(value("exit="));
    else if (key("search="))
        search = point(value("search="));
    else if (key("update="))
        update = point(value("update="));
    else if (key("config="))
        config = point(value("config="));
    else
        debugLine(QStringLiteral("Could not parse line from skin configuration file"));
}
