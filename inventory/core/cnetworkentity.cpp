#include "inventory/core/cnetworkentity.h"

#include "inventory/core/cvulntree.h"

bool CNetworkEntity::addProduct(const QString& vendorName, int vid, const QString& productName,
                                int pid, QList<int>* removedAt)
{
    for (const CProductItem& entry : std::as_const(entries)) {
        if (entry.vid == vid && (entry.pid == 0 || entry.pid == pid))
            return false;
    }
    if (pid == 0) {
        QList<CProductItem> kept;
        kept.reserve(entries.size());
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (entries.at(i).vid == vid && entries.at(i).pid != 0) {
                if (removedAt)
                    removedAt->append(int(i));
            } else {
                kept.append(entries.at(i));
            }
        }
        entries = kept;
    }
    entries.append({vendorName, vid, productName, pid});
    return true;
}

void CNetworkEntity::removeProductAt(qsizetype position)
{
    if (position >= 0 && position < entries.size())
        entries.removeAt(position);
}

bool CNetworkEntity::contains(int vid, int pid) const
{
    for (const CProductItem& entry : entries) {
        if (entry.vid == vid && entry.pid == pid)
            return true;
    }
    return false;
}

int CNetworkEntity::removeEntry(int vid, int pid)
{
    return int(entries.removeIf(
        [&](const CProductItem& entry) { return entry.vid == vid && entry.pid == pid; }));
}

void CNetworkEntity::renameCustom(int id, const QString& newName)
{
    for (CProductItem& entry : entries) {
        if (entry.vid == 0 && entry.pid == id)
            entry.productName = newName;
    }
}

void CNetworkEntity::write(QString& out) const
{
    out += QStringLiteral("\t<entity>\n\t\t<name>") + name + QStringLiteral("</name>\n");
    for (const CProductItem& entry : entries) {
        out += QStringLiteral("\t\t<product>\n\t\t\t<vid>") + QString::number(entry.vid) +
               QStringLiteral("</vid>\n\t\t\t<pid>") + QString::number(entry.pid) +
               QStringLiteral("</pid>\n\t\t</product>\n");
    }
    out += QStringLiteral("\t</entity>\n");
}

bool CNetworkEntity::matchesProduct(const QList<int>& pids) const
{
    for (const CProductItem& entry : entries) {
        if (entry.isProduct() && pids.contains(entry.pid))
            return true;
    }
    return false;
}

bool CNetworkEntity::matchesVendor(const QList<int>& vids) const
{
    for (const CProductItem& entry : entries) {
        if (entry.isVendorWide() && vids.contains(entry.vid))
            return true;
    }
    return false;
}

bool CNetworkEntity::matchesCustom(const QList<int>& pids, const CVulnTree& tree,
                                   const QList<CCustomCategory>& customs, const QString& text) const
{
    for (const CProductItem& entry : entries) {
        if (!entry.isCustom())
            continue;
        for (const CCustomCategory& category : customs) {
            if (category.id != entry.pid)
                continue;
            for (const QString& keyword : splitKeywords(category.keywords)) {
                if (keywordMatches(keyword, pids, tree) ||
                    text.contains(keyword, Qt::CaseInsensitive))
                    return true;
            }
        }
    }
    return false;
}

QStringList splitKeywords(const QString& keywords)
{
    QStringList pieces = keywords.split(u',');
    pieces.removeIf([](const QString& piece) { return piece.trimmed().isEmpty(); });
    return pieces;
}

bool keywordMatches(const QString& keyword, const QList<int>& pids, const CVulnTree& tree)
{
    if (keyword.trimmed().isEmpty())
        return false;
    for (int pid : pids) {
        for (const CVulnHit& hit : tree.productRows(pid)) {
            if (tree.vendorAt(hit).name.contains(keyword, Qt::CaseInsensitive) ||
                tree.productAt(hit).name.contains(keyword, Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}
