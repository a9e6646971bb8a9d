#pragma once

#include <QList>
#include <QString>

struct InstalledSkin
{
    QString name;
    QString path;
};

struct SkinListing
{
    bool opened = false; // the skin root could be read
    QList<InstalledSkin> skins;
};

// A skin's display name: the first line of its "skin.ini" that contains
// "name=", trimmed, without its first five characters, trimmed again.
QString skinDisplayName(const QString& skinIniPath);

// The skins under `root` in directory order; entries without a name are left out.
SkinListing listInstalledSkins(const QString& root);
