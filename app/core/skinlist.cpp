#include "app/core/skinlist.h"

#include <QFile>

#include <dirent.h>

QString skinDisplayName(const QString& skinIniPath)
{
    QFile file(skinIniPath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine(1024)).trimmed();
        if (line.contains(QLatin1String("name=")))
            return line.mid(5).trimmed();
    }
    return QString();
}

SkinListing listInstalledSkins(const QString& root)
{
    SkinListing listing;
    DIR* dir = ::opendir(QFile::encodeName(root).constData());
    if (!dir)
        return listing;
    listing.opened = true;
    while (const dirent* entry = ::readdir(dir)) {
        const QString file = QFile::decodeName(entry->d_name);
        if (file == QLatin1String(".") || file == QLatin1String(".."))
            continue;
        const QString path = root + u'/' + file;
        const QString name = skinDisplayName(path + QStringLiteral("/skin.ini"));
        if (!name.isEmpty())
            listing.skins.append(InstalledSkin{name, path});
    }
    ::closedir(dir);
    return listing;
}
