#include "inventory/core/vulnfeed.h"

#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"
#include "pager/core/ctaggedwalker.h"
#include "pager/core/taggedtext.h"

namespace {

bool takeField(const char* name, QString& source, QString& value)
{
    return takeTaggedValue(QString::fromLatin1(name), source, value);
}

bool readRecord(QString element, VulnRecord& r)
{
    return takeField("qid", element, r.qid) && takeField("title", element, r.title) &&
           takeField("object", element, r.object) && takeField("class", element, r.vulnClass) &&
           takeField("remote", element, r.remote) && takeField("local", element, r.local) &&
           takeField("published", element, r.published) &&
           takeField("updated", element, r.updated) &&
           takeField("vulnerable", element, r.vulnerable) &&
           takeField("notvulnerable", element, r.notvulnerable) &&
           takeField("discussion", element, r.discussion) &&
           takeField("exploit", element, r.exploit) && takeField("solution", element, r.solution) &&
           takeField("credit", element, r.credit);
}

int idOf(QStringView part)
{
    bool ok = false;
    const int id = part.trimmed().toInt(&ok);
    return ok ? id : 0;
}

} // namespace

QList<VulnRecord> readVulnFeed(const QString& text)
{
    QList<VulnRecord> records;
    CTaggedWalker walker(QStringLiteral("vuln"), text);
    QString element;
    while (walker.take(element)) {
        VulnRecord record;
        if (readRecord(element, record))
            records.append(record);
    }
    return records;
}

QList<int> productIdList(const QString& list, IdSide side)
{
    QList<int> ids;
    for (QStringView element : QStringView(list).split(u',')) {
        const qsizetype colon = element.indexOf(u':');
        if (colon < 0)
            continue;
        ids.append(idOf(side == IdSide::Vendor ? element.left(colon) : element.mid(colon + 1)));
    }
    return ids;
}

QString describeProducts(const QString& list, const CVulnTree& tree)
{
    QString lines;
    for (QStringView element : QStringView(list).split(u',')) {
        const qsizetype colon = element.indexOf(u':');
        if (colon < 0)
            continue;
        const CVulnHit product = tree.findVulnItem(idOf(element.mid(colon + 1)), true);
        const CVulnHit vendor = tree.findVulnItem(idOf(element.left(colon)), false);
        if (!product.isValid() || !vendor.isValid())
            continue;
        lines += tree.vendorAt(vendor).name + u' ' + tree.productAt(product).name + u'\n';
    }
    return lines;
}

QStringList matchingProfiles(const VulnRecord& record, const CInventory& inventory,
                             const CVulnTree& tree)
{
    const QList<int> pids = productIdList(record.vulnerable, IdSide::Product);
    const QList<int> vids = productIdList(record.vulnerable, IdSide::Vendor);
    QStringList names;
    for (const CNetworkEntity& profile : inventory.profiles()) {
        if (profile.matchesProduct(pids) || profile.matchesVendor(vids) ||
            profile.matchesCustom(pids, tree, inventory.customs(), record.title))
            names.append(profile.name);
    }
    return names;
}

QString verboseSection(const VulnRecord& r, const QString& names, const CVulnTree& tree)
{
    const QChar nl = u'\n';
    QString s;
    s += nl;
    s += QStringLiteral("The profile(s) [") + names +
         QStringLiteral("] in your network inventory was found to be vulnerable to the "
                        "following issue:\n");
    s += nl;
    s += r.title + nl;
    s += nl;
    s += QStringLiteral("Published: ") + r.published + nl;
    s += QStringLiteral("Updated: ") + r.updated + nl;
    s += nl;
    s += QStringLiteral("Vulnerable:\n");
    s += describeProducts(r.vulnerable, tree) + nl;
    s += QStringLiteral("Not Vulnerable:\n");
    s += describeProducts(r.notvulnerable, tree) + nl;
    s += QStringLiteral("PellBrook ID: ") + r.qid + nl;
    s += QStringLiteral("Class: ") + r.vulnClass + nl;
    s += QStringLiteral("Remote: ") + r.remote + nl;
    s += QStringLiteral("Local: ") + r.local + nl;
    s += QStringLiteral("Discussion\n");
    s += r.discussion + nl;
    s += nl;
    s += QStringLiteral("Exploit:\n\n") + r.exploit + nl;
    s += nl;
    s += QStringLiteral("Solution:\n\n") + r.solution + nl;
    s += nl;
    s += QStringLiteral("Credit:\n\n") + r.credit + nl;
    s += nl;
    s += nl;
    s += QString(74, u'-') + nl;
    s += nl;
    return s;
}

QString briefMailLine(const VulnRecord& record, const QString& names)
{
    return QStringLiteral("Orvelle Pager Profile [") + names +
           QStringLiteral("] is vulnerable to QID [") + record.qid + QStringLiteral("] : ") +
           record.title + u'\n';
}

QString popupText(const VulnRecord& record, const QString& names)
{
    return QStringLiteral("The network profile(s) [") + names +
           QStringLiteral("] was found to be vulnerable to the following issue:\n\n") +
           QStringLiteral("Pellbrook ID [") + record.qid + QStringLiteral("] : ") + record.title;
}

VulnFeedResult processVulnFeed(const QString& text, const CInventory& inventory,
                               const CVulnTree& tree)
{
    VulnFeedResult result;
    result.timestamp = inventory.timestamp();
    for (const VulnRecord& record : readVulnFeed(text)) {
        if (record.updated > result.timestamp)
            result.timestamp = record.updated;
        const QStringList matched = matchingProfiles(record, inventory, tree);
        if (matched.isEmpty())
            continue;
        const QString names = matched.join(QStringLiteral(", "));
        result.verboseText += verboseSection(record, names, tree);
        result.notices.append({record, names});
    }
    return result;
}
