#include "inventory/core/vulnfeed.h"

#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"
#include "pager/core/ctaggedwalker.h"
#include "pager/core/taggedtext.h"

#include <QHash>

#include <array>

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

// The custom-category test of CNetworkEntity::matchesCustom() for a whole
// feed at once: each category's keywords are folded once, each record's
// names (title, and the tree rows of its product ids) once, and a
// category's answer is kept for the other profiles holding it.
class CustomMatcher
{
public:
    explicit CustomMatcher(const QList<CCustomCategory>& customs)
    {
        for (const CCustomCategory& category : customs) {
            QList<Keyword>& folded = m_keywords[category.id];
            for (const QString& keyword : splitKeywords(category.keywords)) {
                const QString text = keyword.toCaseFolded();
                folded.append({text, charMask(text), pairMask(text)});
            }
        }
    }

    void setRecord(const QList<int>& pids, const CVulnTree& tree, const QString& title)
    {
        m_names.clear();
        m_answers.clear();
        for (int pid : pids) {
            for (const CVulnHit& hit : tree.productRows(pid)) {
                m_names.append(tree.vendorAt(hit).name.toCaseFolded());
                m_names.append(tree.productAt(hit).name.toCaseFolded());
            }
        }
        m_names.append(title.toCaseFolded());
        m_joined = m_names.join(separator);
        m_mask = charMask(m_joined);
        m_pairs = pairMask(m_joined);
    }

    bool matchesProfile(const CNetworkEntity& profile)
    {
        for (const CProductItem& entry : profile.entries) {
            if (entry.isCustom() && matches(entry.pid))
                return true;
        }
        return false;
    }

private:
    static constexpr QChar separator = QChar(0);

    using PairMask = std::array<quint64, 4>;

    struct Keyword
    {
        QString text;
        quint64 mask;
        PairMask pairs;
    };

    // One bit per character class (code modulo 64): a keyword holding a
    // character, or a pair of neighbours, that the names lack cannot be in
    // them, and most keywords are passed over by these tests alone.
    static quint64 charMask(const QString& text)
    {
        quint64 mask = 0;
        for (QChar c : text)
            mask |= quint64(1) << (c.unicode() & 63);
        return mask;
    }

    // The same for neighbouring pairs of characters, 256 classes.
    static PairMask pairMask(const QString& text)
    {
        PairMask mask = {0, 0, 0, 0};
        for (qsizetype i = 1; i < text.size(); ++i) {
            const unsigned bit = (text.at(i - 1).unicode() * 31u + text.at(i).unicode()) & 255u;
            mask[bit >> 6] |= quint64(1) << (bit & 63);
        }
        return mask;
    }

    bool mayHold(const Keyword& keyword) const
    {
        if (keyword.mask & ~m_mask)
            return false;
        for (int i = 0; i < 4; ++i) {
            if (keyword.pairs[i] & ~m_pairs[i])
                return false;
        }
        return true;
    }

    bool matches(int id)
    {
        const auto known = m_answers.constFind(id);
        if (known != m_answers.cend())
            return *known;
        bool found = false;
        for (const Keyword& candidate : m_keywords.value(id)) {
            if (found)
                break;
            if (!mayHold(candidate))
                continue;
            const QString& keyword = candidate.text;
            // Within one name, unless the keyword could span two of them.
            if (!keyword.contains(separator)) {
                found = m_joined.contains(keyword);
                continue;
            }
            for (const QString& name : m_names)
                found = found || name.contains(keyword);
        }
        m_answers.insert(id, found);
        return found;
    }

    QHash<int, QList<Keyword>> m_keywords;
    QStringList m_names;
    QString m_joined;
    quint64 m_mask = 0;
    PairMask m_pairs = {0, 0, 0, 0};
    QHash<int, bool> m_answers;
};

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

namespace {

QStringList matchingProfiles(const VulnRecord& record, const CInventory& inventory,
                             const CVulnTree& tree, CustomMatcher& customs)
{
    const QList<int> pids = productIdList(record.vulnerable, IdSide::Product);
    const QList<int> vids = productIdList(record.vulnerable, IdSide::Vendor);
    customs.setRecord(pids, tree, record.title);
    QStringList names;
    for (const CNetworkEntity& profile : inventory.profiles()) {
        if (profile.matchesProduct(pids) || profile.matchesVendor(vids) ||
            customs.matchesProfile(profile))
            names.append(profile.name);
    }
    return names;
}

} // namespace

QStringList matchingProfiles(const VulnRecord& record, const CInventory& inventory,
                             const CVulnTree& tree)
{
    CustomMatcher customs(inventory.customs());
    return matchingProfiles(record, inventory, tree, customs);
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
    CustomMatcher customs(inventory.customs());
    for (const VulnRecord& record : readVulnFeed(text)) {
        if (record.updated > result.timestamp)
            result.timestamp = record.updated;
        const QStringList matched = matchingProfiles(record, inventory, tree, customs);
        if (matched.isEmpty())
            continue;
        const QString names = matched.join(QStringLiteral(", "));
        result.verboseText += verboseSection(record, names, tree);
        result.notices.append({record, names});
    }
    return result;
}
