#pragma once

// One profile of the inventory and the rules its entries keep: no two
// entries with the same (vid, pid), and never a vendor-wide entry beside a
// product entry of the same vendor. Entries are plain values; views find
// them by position, never by a pointer.

#include "inventory/core/ccustomcategory.h"

#include <QList>
#include <QString>
#include <QStringList>

class CVulnTree;

inline constexpr const char allProductsName[] = "ALL Products";
inline constexpr const char customVendorName[] = "CUSTOM";

// vid != 0, pid != 0: a product; vid != 0, pid 0: every product of the
// vendor; vid 0: the custom category whose id is pid.
class CProductItem
{
public:
    QString vendorName;
    int vid = 0;
    QString productName;
    int pid = 0;

    bool isCustom() const { return vid == 0; }
    bool isVendorWide() const { return vid != 0 && pid == 0; }
    bool isProduct() const { return vid != 0 && pid != 0; }
};

class CNetworkEntity
{
public:
    QString name;
    int index = 0;               // position in the page's profile selector (2 and up)
    QList<CProductItem> entries; // in order of addition

    // False, changing nothing, when an entry of the same vendor is
    // vendor-wide or has this pid. A vendor-wide entry (pid 0) first drops
    // the vendor's product entries; their former positions, ascending, go
    // to `removedAt` so a view can drop the same rows.
    bool addProduct(const QString& vendorName, int vid, const QString& productName, int pid,
                    QList<int>* removedAt = nullptr);
    void removeProductAt(qsizetype position);
    void clearProducts() { entries.clear(); }
    bool contains(int vid, int pid) const;
    // Removes every entry with both ids; returns how many went.
    int removeEntry(int vid, int pid);
    void renameCustom(int id, const QString& newName);

    // Appends this profile's record of "netinventory.dat" to `out`.
    void write(QString& out) const;

    bool matchesProduct(const QList<int>& pids) const;
    bool matchesVendor(const QList<int>& vids) const;
    // A custom entry matches when one of its category's keywords is in the
    // name of a tree row whose product id is in `pids` (or of its vendor),
    // or in `text`, case ignored. Entries whose category is gone never match.
    bool matchesCustom(const QList<int>& pids, const CVulnTree& tree,
                       const QList<CCustomCategory>& customs, const QString& text) const;
};

// The keywords of a category: split at ",", pieces kept as they are
// (blanks included) but empty or all-blank pieces dropped, since every
// text contains the empty keyword.
QStringList splitKeywords(const QString& keywords);

// True when a product row with an id in `pids`, or the vendor row above
// it, has `keyword` in its name, case ignored.
bool keywordMatches(const QString& keyword, const QList<int>& pids, const CVulnTree& tree);
