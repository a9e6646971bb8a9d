#include "inventory/core/cvulntree.h"

#include <QTest>

namespace {

// "id:name(products)" per vendor, in tree order.
QString describe(const CVulnTree& tree)
{
    QStringList parts;
    for (const CVulnVendor& vendor : tree.vendors()) {
        QStringList products;
        for (const CVulnProduct& product : vendor.products)
            products << QString::number(product.id) + u':' + product.name;
        parts << QString::number(vendor.id) + u':' + vendor.name +
                     (products.isEmpty() ? QString() : u'(' + products.join(u' ') + u')');
    }
    return parts.join(u' ');
}

} // namespace

class TestVulnTree : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("data");
        // version | tree | rows skipped | "usable" when worth storing as the category file
        QTest::addColumn<QString>("read");

        QTest::newRow("stored reply with status and headers")
            << QByteArray(
                   "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nVERSION=7\r\n"
                   "0,10,\"Acme\"\r\n10,1001,\"Anvil\"\r\n0,20,\"Globex\"\r\n20,2001,\"Dome\"\r\n")
            << "7|10:Acme(1001:Anvil) 20:Globex(2001:Dome)|0|usable";
        QTest::newRow("later positive version wins, no rows")
            << QByteArray("VERSION=4\nVERSION=9\nVERSION=0\n") << "9||0|";
        QTest::newRow("inner quote kept")
            << QByteArray("0,1,\"The \"Big\" One\" trailing\n") << "0|1:The \"Big\" One|0|";
        QTest::newRow("missing closing quote loses the line end")
            << QByteArray("0,1,\"Open\n0,2,\"Crlf\r\n") << "0|1:Open 2:Crlf|0|";
        QTest::newRow("no quote at all gives the whole line, no final line end")
            << QByteArray("0,3,plain") << "0|3:0,3,plain|0|";
        QTest::newRow("blanks and signs before numbers, past int range no row")
            << QByteArray("  0, +5,\"A\"\n 5,-6,\"B\"\n0,99999999999,\"Huge\"\n")
            << "0|5:A(-6:B)|0|";
        QTest::newRow("product before its vendor is skipped")
            << QByteArray("10,1001,\"Early\"\n0,10,\"Acme\"\n10,1002,\"Late\"\n")
            << "0|10:Acme(1002:Late)|1|";
    }

    void read()
    {
        QFETCH(QByteArray, data);
        const VulnTreeRead read = readVulnCategoryFile(data);
        QTEST(QString::number(read.tree.version()) + u'|' + describe(read.tree) + u'|' +
                  QString::number(read.skipped.size()) + u'|' +
                  (isUsableVulnCategoryFile(data) ? "usable" : ""),
              "read");
    }

    void findVulnItem_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("product");
        QTest::addColumn<QString>("found"); // vendor name / product name, or empty

        QTest::newRow("first vendor of a repeated id") << 3 << false << "C1/";
        QTest::newRow("product under second vendor") << 21 << true << "B/b1";
        QTest::newRow("shared product id goes to the first vendor in tree order")
            << 50 << true << "A/shared-a";
        QTest::newRow("unknown vendor") << 21 << false << "";
        QTest::newRow("unknown product") << 3 << true << "";
    }

    void findVulnItem()
    {
        // B's row with 50 comes first in the file, A's first in the tree.
        const VulnTreeRead read = readVulnCategoryFile("0,1,\"A\"\n0,2,\"B\"\n2,50,\"shared-b\"\n"
                                                       "2,21,\"b1\"\n1,50,\"shared-a\"\n"
                                                       "0,3,\"C1\"\n0,3,\"C2\"\n");
        QFETCH(int, id);
        QFETCH(bool, product);
        const CVulnHit hit = read.tree.findVulnItem(id, product);
        QString got;
        if (hit.isValid())
            got = read.tree.vendorAt(hit).name + u'/' +
                  (hit.product >= 0 ? read.tree.productAt(hit).name : QString());
        QTEST(got, "found");
    }
};

QTEST_GUILESS_MAIN(TestVulnTree)
#include "tst_vulntree.moc"
