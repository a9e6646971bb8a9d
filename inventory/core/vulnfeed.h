#pragma once

// "vulnpoll.dat": the "vulns" element of the last vulnerability poll as the
// link stored it, a run of records with text between them ignored:
//   <vuln>
//   	<qid>..</qid> <title>..</title> <object>..</object> <class>..</class>
//   	<remote>..</remote> <local>..</local> <published>..</published>
//   	<updated>..</updated> <vulnerable>V:P,V:P</vulnerable>
//   	<notvulnerable>V:P</notvulnerable> <discussion>..</discussion>
//   	<exploit>..</exploit> <solution>..</solution> <credit>..</credit>
//   </vuln>
// The fields may come in any order; a record lacking one is dropped.
//
// Everything here is plain computation: which profiles a record concerns
// and the texts of the pop-up and the two mails. Showing and sending is the
// inventory page's job.

#include <QList>
#include <QString>
#include <QStringList>

class CInventory;
class CVulnTree;

struct VulnRecord
{
    QString qid;
    QString title;
    QString object;
    QString vulnClass;
    QString remote;
    QString local;
    QString published;
    QString updated;
    QString vulnerable;
    QString notvulnerable;
    QString discussion;
    QString exploit;
    QString solution;
    QString credit;
};

// The complete records of a feed text, in file order.
QList<VulnRecord> readVulnFeed(const QString& text);

enum class IdSide
{
    Vendor,
    Product
};

// The ids of a "V:P,V:P" list on one side of each element's first colon,
// in order. Elements without a colon are skipped; a part that is not a
// number (blanks around it allowed) gives 0.
QList<int> productIdList(const QString& list, IdSide side);

// "vendor product\n" for each element whose vendor and product rows the
// tree has; the others are left out.
QString describeProducts(const QString& list, const CVulnTree& tree);

// Names of the profiles the record concerns, in profile order. A profile
// is tested by product ids, then vendor ids, then its custom categories'
// keywords; the notices join the names with ", ".
QStringList matchingProfiles(const VulnRecord& record, const CInventory& inventory,
                             const CVulnTree& tree);

QString verboseSection(const VulnRecord& record, const QString& names, const CVulnTree& tree);
QString briefMailLine(const VulnRecord& record, const QString& names);
QString popupText(const VulnRecord& record, const QString& names);

struct VulnNotice
{
    VulnRecord record;
    QString names;
};

struct VulnFeedResult
{
    QList<VulnNotice> notices; // records that concern a profile, in file order
    QString verboseText;       // their sections, in the same order
    QString timestamp;         // the greatest of the old one and every "updated"
};

// One feed against the inventory. "updated" values and the inventory's
// timestamp compare as plain text, code unit by code unit.
VulnFeedResult processVulnFeed(const QString& text, const CInventory& inventory,
                               const CVulnTree& tree);
