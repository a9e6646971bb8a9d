#pragma once

// "category.dat", one record a line:
//   VERSION=<n>
//   NUMENTRIES=<rows, the reserved row included>
//   20001,0,20001,"announcements",1        (reserved, never an item)
//   <top id>,<parent id>,<id>,"<name>",<1 ticked | 0>
// Parents come before their children; the writer goes depth first. Rows
// nested deeper than maxCategoryDepth (the top level is depth 1) do not count,
// so such a file never passes as valid and every walk of a tree stays shallow.

#include <QByteArray>
#include <QList>
#include <QString>

inline constexpr int announcementsId = 20001;
inline constexpr int maxCategoryDepth = 32;

struct CategoryNode
{
    int topId = 0;
    int parentId = 0;
    int id = 0;
    QString name;
    bool on = false;
    QList<CategoryNode> children;
};

struct CategoryFile
{
    int version = 0;    // 0 until a positive "VERSION=" was read
    int numEntries = 0; // as stated by "NUMENTRIES="
    int counted = 0;    // rows that counted, the reserved row included
    QList<CategoryNode> topLevel;

    bool isValid() const { return version > 0 && counted == numEntries; }
};

// Reads the whole file text in time linear in its size. Rows whose parent
// has not been read yet, or that nest too deeply, do not count (with a
// warning), so a corrupt file shows as !isValid().
CategoryFile parseCategoryFile(const QString& text);

QByteArray formatCategoryFile(const CategoryFile& file);

// Ticks the rows that were ticked in the previous file, by id under the same
// top-level category; ids the new file lacks are dropped.
void applyOldTicks(CategoryFile& file, const QString& oldText);

// First top-level node with id `topId`, then depth first below it for `id`.
CategoryNode* findCategory(QList<CategoryNode>& topLevel, int id, int topId);

bool hasTickedDescendant(const CategoryNode& node);

// The content poll argument: version, entry count and the followed ids.
QString contentRequestArgument(const CategoryFile& file, int entries);
