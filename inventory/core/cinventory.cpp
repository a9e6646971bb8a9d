#include "inventory/core/cinventory.h"

#include "inventory/core/cvulntree.h"
#include "pager/core/atomicfile.h"
#include "pager/core/ctaggedwalker.h"
#include "pager/core/taggedtext.h"
#include "pager/core/textencoding.h"

#include <QFile>
#include <QSet>

namespace {

int readId(const QString& text)
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

void CInventory::parseInventory(const QString& fileText, const CVulnTree& tree)
{
    clear();
    QString text = fileText;
    setTimestamp(takeField(QStringLiteral("timestamp"), text));

    QString customs;
    if (takeTaggedValue(QStringLiteral("customitems"), text, customs)) {
        CTaggedWalker walker(QStringLiteral("custom"), customs);
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

    QString profiles;
    if (!takeTaggedValue(QStringLiteral("netinventory"), text, profiles))
        return;
    CTaggedWalker entities(QStringLiteral("entity"), profiles);
    QString record;
    int current = -1;
    while (entities.take(record)) {
        const QString name = takeField(QStringLiteral("name"), record);
        if (!name.isEmpty()) {
            current = findEntity(name);
            if (current < 0)
                current = newEntity(name);
        }
        // An unnamed record adds to the profile before it; first in the
        // file, it has none and is passed over.
        if (current < 0)
            continue;
        CNetworkEntity& profile = m_profiles[current];
        CTaggedWalker products(QStringLiteral("product"), record);
        QString product;
        while (products.take(product)) {
            const int vid = readId(takeField(QStringLiteral("vid"), product));
            const int pid = readId(takeField(QStringLiteral("pid"), product));
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
