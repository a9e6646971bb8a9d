#pragma once

// The whole network inventory: custom categories, profiles, the timestamp
// of the last vulnerability update processed and the tree version, with
// the file "netinventory.dat" (UTF-8, "\n" line ends, one element a line):
//   <timestamp>T</timestamp>
//   <customitems>
//   \t<custom>
//   \t\t<name>N</name>
//   \t\t<keywords>K</keywords>
//   \t\t<id>I</id>
//   \t</custom>                   (one record per category)
//   </customitems>
//   <netinventory>
//   \t<entity>
//   \t\t<name>P</name>
//   \t\t<product>
//   \t\t\t<vid>V</vid>
//   \t\t\t<pid>I</pid>
//   \t\t</product>                (one record per entry)
//   \t</entity>                   (one record per profile)
//   </netinventory>
// Only ids are stored; names come from the vulnerability tree on reading.
// Entries whose ids the tree does not know (it may not have arrived yet)
// are kept with the placeholder names "vendor V" / "product I" and written
// back unchanged; resolveNames() puts the real names in once it is there.

#include "inventory/core/ccustomcategory.h"
#include "inventory/core/cnetworkentity.h"

#include <QByteArray>
#include <QList>
#include <QString>

class CVulnTree;

// Values are stored unescaped, so text holding "</" would not read back.
bool fitsInventoryFile(const QString& text);

class CInventory
{
public:
    QList<CCustomCategory>& customs() { return m_customs; }
    const QList<CCustomCategory>& customs() const { return m_customs; }
    QList<CNetworkEntity>& profiles() { return m_profiles; }
    const QList<CNetworkEntity>& profiles() const { return m_profiles; }

    // "0" until a vulnerability update has been processed.
    QString timestamp() const { return m_timestamp; }
    // Refuses (false, unchanged) a value that would not read back.
    bool setTimestamp(const QString& timestamp);
    int version() const { return m_version; }
    void setVersion(int version) { m_version = version; }

    void clear();

    // Custom categories. Positions are indices into customs(); -1 is none.
    int nextCustomId() const; // smallest positive id no category uses
    int findCustomItem(int id) const;
    int addCustom(const QString& name, const QString& keywords); // returns the new id
    // Renames the category and every custom entry of it in every profile.
    void editCustom(int position, const QString& name, const QString& keywords);
    bool customInUse(int id) const;
    // Drops the category and its custom entries from every profile.
    void removeCustom(int position);

    // Profiles. Names compare exactly; a profile's index is its position + 2.
    bool entityExists(const QString& name) const;
    int findEntity(const QString& name) const;
    int findEntityByIndex(int index) const;
    // Appends an empty profile and returns its position; -1 for an empty name.
    int newEntity(const QString& name);
    void removeEntity(int position);

    // Adds the stored entry (vid, pid) to `profile` through the duplicate
    // rules, names taken from the tree or the categories. Unknown tree ids
    // keep `previous`'s names when given, else placeholders; a custom entry
    // whose category is gone is dropped. False when nothing was added.
    bool addStoredEntry(CNetworkEntity& profile, int vid, int pid, const CVulnTree& tree,
                        const CProductItem* previous = nullptr) const;
    // Takes names (and a product's vendor) from a newly loaded tree.
    void resolveNames(const CVulnTree& tree);

    QString fileText() const;
    // Replaces the whole inventory (version excepted) with the file's text.
    void parseInventory(const QString& text, const CVulnTree& tree);

    // Through the atomic writer: on failure the old file stays and `error` says why.
    bool save(const QString& path, QString* error = nullptr) const;
    // False, leaving the inventory as it was, when the file cannot be read.
    bool load(const QString& path, const CVulnTree& tree);

private:
    void readCustoms(const QString& text, qsizetype from, qsizetype to);
    void readProfiles(const QString& text, qsizetype from, qsizetype to, const CVulnTree& tree);

    QList<CCustomCategory> m_customs;
    QList<CNetworkEntity> m_profiles;
    QString m_timestamp = QStringLiteral("0");
    int m_version = 0;
};
