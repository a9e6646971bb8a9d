#include "inventory/core/cinventory.h"

#include "inventory/core/cvulntree.h"
#include "pager/core/atomicfile.h"
#include "pager/core/ctaggedwalker.h"
#include "pager/core/taggedtext.h"
#include "pager/core/textencoding.h"

#include <QFile>
#include <QHash>
#include <QSet>

namespace {

int readId(QStringView text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

QString takeField(const QString& name, QString& record)
{
    QString value;
    takeTaggedValue(name, record, value);
    return value;
}

// The ids of a product record exactly as taking "vid" and then "pid" would
// read them, without copying the record in the usual case of two separate
// elements; anything odder goes the copying way.
void readProductIds(const QString& record, int& vid, int& pid)
{
    TaggedSpan v, p;
    const bool hasVid = findTaggedValue(QStringLiteral("vid"), record, v);
    const bool hasPid = findTaggedValue(QStringLiteral("pid"), record, p);
    // Taking "vid" joins the text around it; a "<" just before might start a new tag.
    const QStringView before = QStringView(record).first(hasVid ? v.elementFrom : 0).right(16);
    const bool plain =
        !hasVid || (hasPid && (p.elementTo <= v.elementFrom || p.elementFrom >= v.elementTo) &&
                    before.lastIndexOf(u'<') <= before.lastIndexOf(u'>'));
    if (plain) {
        vid = hasVid ? readId(QStringView(record).sliced(v.valueFrom, v.valueTo - v.valueFrom)) : 0;
        pid = hasPid ? readId(QStringView(record).sliced(p.valueFrom, p.valueTo - p.valueFrom)) : 0;
        return;
    }
    QString rest = record;
    vid = readId(takeField(QStringLiteral("vid"), rest));
    pid = readId(takeField(QStringLiteral("pid"), rest));
}

} // namespace

bool fitsInventoryFile(const QString& text)
{
    return !text.contains(QLatin1String("</"));
}

bool CInventory::setTimestamp(const QString& timestamp)
{
    if (!fitsInventoryFile(timestamp))
        return false;
    m_timestamp = timestamp.isEmpty() ? QStringLiteral("0") : timestamp;
    return true;
}

void CInventory::clear()
{
    m_customs.clear();
    m_profiles.clear();
    m_timestamp = QStringLiteral("0");
}

int CInventory::nextCustomId() const
{
    QSet<int> used;
    used.reserve(m_customs.size());
    for (const CCustomCategory& category : m_customs)
        used.insert(category.id);
    int candidate = 1;
    while (used.contains(candidate))
        ++candidate;
    return candidate;
}

int CInventory::findCustomItem(int id) const
{
    for (qsizetype i = 0; i < m_customs.size(); ++i) {
        if (m_customs.at(i).id == id)
            return int(i);
    }
    return -1;
}

int CInventory::addCustom(const QString& name, const QString& keywords)
{
    const int id = nextCustomId();
    m_customs.append({name, keywords, id});
    return id;
}

void CInventory::editCustom(int position, const QString& name, const QString& keywords)
{
    if (position < 0 || position >= m_customs.size())
        return;
    CCustomCategory& category = m_customs[position];
    if (category.name != name) {
        for (CNetworkEntity& profile : m_profiles)
            profile.renameCustom(category.id, name);
    }
    category.name = name;
    category.keywords = keywords;
}

bool CInventory::customInUse(int id) const
{
    for (const CNetworkEntity& profile : m_profiles) {
        if (profile.contains(0, id))
            return true;
    }
    return false;
}

void CInventory::removeCustom(int position)
{
    if (position < 0 || position >= m_customs.size())
        return;
    const int id = m_customs.at(position).id;
    for (CNetworkEntity& profile : m_profiles)
        profile.removeEntry(0, id);
    m_customs.removeAt(position);
}

bool CInventory::entityExists(const QString& name) const
{
    return findEntity(name) >= 0;
}

int CInventory::findEntity(const QString& name) const
{
    for (qsizetype i = 0; i < m_profiles.size(); ++i) {
        if (m_profiles.at(i).name == name)
            return int(i);
    }
    return -1;
}

int CInventory::findEntityByIndex(int index) const
{
    for (qsizetype i = 0; i < m_profiles.size(); ++i) {
        if (m_profiles.at(i).index == index)
            return int(i);
    }
    return -1;
}

int CInventory::newEntity(const QString& name)
{
    if (name.isEmpty())
        return -1;
    CNetworkEntity profile;
    profile.name = name;
    profile.index = int(m_profiles.size()) + 2;
    m_profiles.append(profile);
    return int(m_profiles.size()) - 1;
}

void CInventory::removeEntity(int position)
{
    if (position < 0 || position >= m_profiles.size())
        return;
    m_profiles.removeAt(position);
    for (qsizetype i = 0; i < m_profiles.size(); ++i)
        m_profiles[i].index = int(i) + 2;
}

bool CInventory::addStoredEntry(CNetworkEntity& profile, int vid, int pid, const CVulnTree& tree,
                                const CProductItem* previous) const
{
    if (vid == 0) {
        const int at = pid == 0 ? -1 : findCustomItem(pid);
        if (at < 0)
            return false;
        return profile.addProduct(QString::fromLatin1(customVendorName), 0, m_customs.at(at).name,
                                  pid);
    }
    const CVulnHit vendor = tree.findVulnItem(vid, false);
    const QString vendorName = vendor.isValid() ? tree.vendorAt(vendor).name
                               : previous       ? previous->vendorName
                                                : QStringLiteral("vendor ") + QString::number(vid);
    if (pid == 0)
        return profile.addProduct(vendorName, vid, QString::fromLatin1(allProductsName), 0);

    // The tree decides which vendor a product belongs to.
    const CVulnHit product = tree.findVulnItem(pid, true);
    if (product.isValid()) {
        const CVulnVendor& owner = tree.vendorAt(product);
        return profile.addProduct(owner.name, owner.id, tree.productAt(product).name, pid);
    }
    const QString productName =
        previous ? previous->productName : QStringLiteral("product ") + QString::number(pid);
    return profile.addProduct(vendorName, vid, productName, pid);
}

void CInventory::resolveNames(const CVulnTree& tree)
{
    for (CNetworkEntity& profile : m_profiles) {
        const QList<CProductItem> old = profile.entries;
        profile.entries.clear();
        for (const CProductItem& entry : old)
            addStoredEntry(profile, entry.vid, entry.pid, tree, &entry);
    }
}

QString CInventory::fileText() const
{
    QString out;
    out += QStringLiteral("<timestamp>") + m_timestamp + QStringLiteral("</timestamp>\n");
    out += QStringLiteral("<customitems>\n");
    for (const CCustomCategory& category : m_customs) {
        out += QStringLiteral("\t<custom>\n\t\t<name>") + category.name +
               QStringLiteral("</name>\n\t\t<keywords>") + category.keywords +
               QStringLiteral("</keywords>\n\t\t<id>") + QString::number(category.id) +
               QStringLiteral("</id>\n\t</custom>\n");
    }
    out += QStringLiteral("</customitems>\n<netinventory>\n");
    for (const CNetworkEntity& profile : m_profiles)
        profile.write(out);
    out += QStringLiteral("</netinventory>\n");
    return out;
}

namespace {

bool disjoint(const TaggedSpan& a, const TaggedSpan& b)
{
    return a.elementTo <= b.elementFrom || b.elementTo <= a.elementFrom;
}

// Taking an element joins the text around it; a "<" just before it might
// then start a tag that was not there.
bool joinIsPlain(QStringView text, const TaggedSpan& taken)
{
    const QStringView before = text.first(taken.elementFrom).right(16);
    return before.lastIndexOf(u'<') <= before.lastIndexOf(u'>');
}

} // namespace

void CInventory::parseInventory(const QString& fileText, const CVulnTree& tree)
{
    clear();
    // The three elements are taken in turn; in a file as written here they
    // stand apart, so they are read in place instead of copying the text
    // three times. Any other arrangement takes them the copying way.
    TaggedSpan stamp, customs, profiles;
    const bool hasStamp = findTaggedValue(QStringLiteral("timestamp"), fileText, stamp);
    const bool hasCustoms = findTaggedValue(QStringLiteral("customitems"), fileText, customs);
    const bool hasProfiles = findTaggedValue(QStringLiteral("netinventory"), fileText, profiles);
    const bool inPlace =
        (!hasStamp || (joinIsPlain(fileText, stamp) && (!hasCustoms || disjoint(stamp, customs)) &&
                       (!hasProfiles || disjoint(stamp, profiles)))) &&
        (!hasCustoms ||
         (joinIsPlain(fileText, customs) && (!hasProfiles || disjoint(customs, profiles))));
    if (inPlace) {
        if (hasStamp)
            setTimestamp(fileText.mid(stamp.valueFrom, stamp.valueTo - stamp.valueFrom));
        if (hasCustoms)
            readCustoms(fileText, customs.valueFrom, customs.valueTo);
        if (hasProfiles)
            readProfiles(fileText, profiles.valueFrom, profiles.valueTo, tree);
        return;
    }
    QString text = fileText;
    setTimestamp(takeField(QStringLiteral("timestamp"), text));
    QString value;
    if (takeTaggedValue(QStringLiteral("customitems"), text, value))
        readCustoms(value, 0, value.size());
    if (takeTaggedValue(QStringLiteral("netinventory"), text, value))
        readProfiles(value, 0, value.size(), tree);
}

void CInventory::readCustoms(const QString& text, qsizetype from, qsizetype to)
{
    CTaggedWalker walker(QStringLiteral("custom"), text, from, to);
    QString record;
    while (walker.take(record)) {
        // Every field is read afresh, so a record lacking one never
        // borrows it from the record before.
        const QString name = takeField(QStringLiteral("name"), record);
        const QString keywords = takeField(QStringLiteral("keywords"), record);
        int id = readId(takeField(QStringLiteral("id"), record));
        if (name.isEmpty() || keywords.isEmpty() || id <= 0)
            continue;
        if (findCustomItem(id) >= 0)
            id = nextCustomId();
        m_customs.append({name, keywords, id});
    }
}

void CInventory::readProfiles(const QString& text, qsizetype from, qsizetype to,
                              const CVulnTree& tree)
{
    CTaggedWalker entities(QStringLiteral("entity"), text, from, to);
    QHash<QString, int> byName; // a repeated name joins its profile without a walk
    QString record;
    int current = -1;
    while (entities.take(record)) {
        const QString name = takeField(QStringLiteral("name"), record);
        if (!name.isEmpty()) {
            current = byName.value(name, -1);
            if (current < 0) {
                current = newEntity(name);
                byName.insert(name, current);
            }
        }
        // An unnamed record adds to the profile before it; first in the
        // file, it has none and is passed over.
        if (current < 0)
            continue;
        CNetworkEntity& profile = m_profiles[current];
        CTaggedWalker products(QStringLiteral("product"), record);
        QString product;
        while (products.take(product)) {
            int vid = 0, pid = 0;
            readProductIds(product, vid, pid);
            addStoredEntry(profile, vid, pid, tree);
        }
    }
}

bool CInventory::save(const QString& path, QString* error) const
{
    return writeFileAtomically(path, fileText().toUtf8(), error);
}

bool CInventory::load(const QString& path, const CVulnTree& tree)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    parseInventory(decodeText(file.readAll()), tree);
    return true;
}
