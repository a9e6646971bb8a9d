#pragma once

// "vulncategory.dat": the vendors and products the service tracks, as the
// link stored the reply (status and header lines come first and mean
// nothing). Two kinds of line count, everything else is passed over:
//   VERSION=<n>                     taken only when n > 0
//   0,<vendor id>,"<vendor name>"   a vendor row
//   <vendor id>,<id>,"<name>"       a product row under that vendor
// The name runs from the first double quote to the last one after it, or to
// the end of the line when it has no closing quote. A product whose vendor
// has not been read yet is skipped.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct CVulnProduct
{
    int id = 0;
    QString name;
};

struct CVulnVendor
{
    int id = 0;
    QString name;
    QList<CVulnProduct> products; // in file order
};

// Where a row stands: vendors()[vendor], and products[product] when the
// row is a product (product is -1 for a vendor row).
struct CVulnHit
{
    int vendor = -1;
    int product = -1;
    bool isValid() const { return vendor >= 0; }
};

// The two-level tree, in file order. Lookups by id are hashed, so resolving
// every entry of a large inventory stays linear.
class CVulnTree
{
public:
    const QList<CVulnVendor>& vendors() const { return m_vendors; }
    qsizetype rowCount() const { return m_rows; }
    bool isEmpty() const { return m_vendors.isEmpty(); }
    void clear();

    // Version read from the file; 0 when it had no positive one.
    int version() const { return m_version; }
    void setVersion(int version) { m_version = version; }

    void addVendor(int id, const QString& name);
    // Adds under the first vendor of that id; false (nothing added) when
    // there is no such vendor.
    bool addProduct(int vendorId, int id, const QString& name);

    // product false: the first vendor row with `id`; true: the first
    // product row with `id` under any vendor, vendors taken in tree order.
    CVulnHit findVulnItem(int id, bool product) const;
    // Every product row with `id`, in tree order.
    QList<CVulnHit> productRows(int id) const;

    const CVulnVendor& vendorAt(const CVulnHit& hit) const { return m_vendors.at(hit.vendor); }
    const CVulnProduct& productAt(const CVulnHit& hit) const
    {
        return m_vendors.at(hit.vendor).products.at(hit.product);
    }

private:
    QList<CVulnVendor> m_vendors;
    QHash<int, int> m_vendorById;               // first vendor with the id
    QHash<int, QList<CVulnHit>> m_productsById; // kept in tree order
    QHash<int, CVulnHit> m_firstProduct;        // the head of each list, one lookup away
    qsizetype m_rows = 0;
    int m_version = 0;
};

struct VulnTreeRead
{
    CVulnTree tree;
    int rowLines = 0;    // lines that read as rows, skipped products included
    QStringList skipped; // one note per row line that could not be placed
};

// Reads the file's bytes (8-bit, taken as Latin-1). Whole lines are read;
// the line end ("\n" or "\r\n") is stripped before the name is cut.
VulnTreeRead readVulnCategoryFile(const QByteArray& data);

// A reply worth storing: a positive version and at least one row placed.
bool isUsableVulnCategoryFile(const QByteArray& data);
