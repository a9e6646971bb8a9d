#include "inventory/core/cvulntree.h"

#include "pager/core/textencoding.h"

#include <limits>

namespace {

bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads an optionally signed decimal int after optional blanks, as "%d"
// would; a number that does not fit in an int is no number at all.
bool scanInt(const QByteArray& line, qsizetype& pos, int& value)
{
    qsizetype i = pos;
    while (i < line.size() && isCSpace(line.at(i)))
        ++i;
    bool negative = false;
    if (i < line.size() && (line.at(i) == '+' || line.at(i) == '-')) {
        negative = line.at(i) == '-';
        ++i;
    }
    const qsizetype digitsFrom = i;
    qint64 n = 0;
    while (i < line.size() && line.at(i) >= '0' && line.at(i) <= '9') {
        n = n * 10 + (line.at(i) - '0');
        if (n > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
        ++i;
    }
    if (i == digitsFrom)
        return false;
    if (negative)
        n = -n;
    if (n > std::numeric_limits<int>::max() || n < std::numeric_limits<int>::min())
        return false;
    value = int(n);
    pos = i;
    return true;
}

QString rowName(const QByteArray& line)
{
    const qsizetype open = line.indexOf('"');
    if (open < 0)
        return decodeText(line);
    const qsizetype close = line.lastIndexOf('"');
    if (close <= open)
        return decodeText(line.mid(open + 1));
    return decodeText(line.mid(open + 1, close - open - 1));
}

} // namespace

void CVulnTree::clear()
{
    m_vendors.clear();
    m_vendorById.clear();
    m_productsById.clear();
    m_firstProduct.clear();
    m_rows = 0;
    m_version = 0;
}

void CVulnTree::addVendor(int id, const QString& name)
{
    // A repeated id keeps pointing at the first vendor that had it.
    if (!m_vendorById.contains(id))
        m_vendorById.insert(id, int(m_vendors.size()));
    m_vendors.append({id, name, {}});
    ++m_rows;
}

bool CVulnTree::addProduct(int vendorId, int id, const QString& name)
{
    const auto it = m_vendorById.constFind(vendorId);
    if (it == m_vendorById.constEnd())
        return false;
    CVulnVendor& vendor = m_vendors[*it];
    const CVulnHit hit{*it, int(vendor.products.size())};
    vendor.products.append({id, name});
    ++m_rows;
    // Rows of an earlier vendor may arrive later in the file, so the new
    // row goes where tree order puts it, not simply last.
    QList<CVulnHit>& rows = m_productsById[id];
    qsizetype at = rows.size();
    while (at > 0 && rows.at(at - 1).vendor > hit.vendor)
        --at;
    rows.insert(at, hit);
    if (at == 0)
        m_firstProduct.insert(id, hit);
    return true;
}

CVulnHit CVulnTree::findVulnItem(int id, bool product) const
{
    if (!product) {
        const auto it = m_vendorById.constFind(id);
        return it == m_vendorById.constEnd() ? CVulnHit{} : CVulnHit{*it, -1};
    }
    const auto it = m_firstProduct.constFind(id);
    return it == m_firstProduct.constEnd() ? CVulnHit{} : *it;
}

QList<CVulnHit> CVulnTree::productRows(int id) const
{
    return m_productsById.value(id);
}

VulnTreeRead readVulnCategoryFile(const QByteArray& data)
{
    VulnTreeRead read;
    qsizetype from = 0;
    int lineNumber = 0;
    while (from < data.size()) {
        qsizetype end = data.indexOf('\n', from);
        if (end < 0)
            end = data.size();
        QByteArray line = data.mid(from, end - from);
        from = end + 1;
        ++lineNumber;
        if (line.endsWith('\r'))
            line.chop(1);

        if (line.startsWith("VERSION=")) {
            qsizetype pos = 8;
            int version = 0;
            if (scanInt(line, pos, version) && version > 0)
                read.tree.setVersion(version);
        }
        qsizetype pos = 0;
        int parent = 0, id = 0;
        if (!scanInt(line, pos, parent) || pos >= line.size() || line.at(pos) != ',')
            continue;
        ++pos;
        if (!scanInt(line, pos, id))
            continue;
        ++read.rowLines;
        const QString name = rowName(line);
        if (parent == 0) {
            read.tree.addVendor(id, name);
        } else if (!read.tree.addProduct(parent, id, name)) {
            read.skipped << QStringLiteral("vulncategory.dat line ") + QString::number(lineNumber) +
                                QStringLiteral(": product ") + QString::number(id) +
                                QStringLiteral(" has no vendor ") + QString::number(parent) +
                                QStringLiteral(" above it; skipped");
        }
    }
    return read;
}

bool isUsableVulnCategoryFile(const QByteArray& data)
{
    const VulnTreeRead read = readVulnCategoryFile(data);
    return read.tree.version() > 0 && read.tree.rowCount() > 0;
}
