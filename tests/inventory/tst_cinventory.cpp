// The inventory model: the vendor tree file, the profiles and the inventory file.
#include "feedrecords.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// "timestamp | id:name:keywords ... | profile[index]=vendor/product(vid,pid),..."
QString describe(const CInventory& inventory)
{
    QStringList customs, profiles;
    for (const CCustomCategory& c : inventory.customs())
        customs << QString::number(c.id) + u':' + c.name + u':' + c.keywords;
    for (const CNetworkEntity& p : inventory.profiles()) {
        QStringList entries;
        for (const CProductItem& e : p.entries)
            entries << e.vendorName + u'/' + e.productName +
                           QString::asprintf("(%d,%d)", e.vid, e.pid);
        profiles << QStringLiteral("%1[%2]=").arg(p.name).arg(p.index) + entries.join(u',');
    }
    return inventory.timestamp() + " | " + customs.join(u' ') + " | " + profiles.join(u' ');
}

QString custom(const QString& name, const QString& keywords, const QString& id)
{
    return QStringLiteral("\t<custom>\n\t\t<name>%1</name>\n\t\t<keywords>%2</keywords>\n"
                          "\t\t<id>%3</id>\n\t</custom>\n")
        .arg(name, keywords, id);
}

QString product(int vid, int pid)
{
    return QString::asprintf(
        "\t\t<product>\n\t\t\t<vid>%d</vid>\n\t\t\t<pid>%d</pid>\n\t\t</product>\n", vid, pid);
}

// An empty name leaves the name element out.
QString entity(const QString& name, const QString& products)
{
    return "\t<entity>\n" + (name.isEmpty() ? QString() : "\t\t<name>" + name + "</name>\n") +
           products + "\t</entity>\n";
}

QString file(const QString& customs, const QString& entities,
             const QString& stamp = QStringLiteral("<timestamp>20261201</timestamp>\n"))
{
    return stamp + "<customitems>\n" + customs + "</customitems>\n<netinventory>\n" + entities +
           "</netinventory>\n";
}

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

// Entries written as "vid/pid" separated by blanks.
CNetworkEntity entityOf(const QString& entries)
{
    CNetworkEntity entity;
    for (const QString& pair : entries.split(u' ', Qt::SkipEmptyParts))
        entity.entries.append(
            {"v", pair.section(u'/', 0, 0).toInt(), "p", pair.section(u'/', 1).toInt()});
    return entity;
}

QString describe(const CNetworkEntity& entity)
{
    QStringList parts;
    for (const CProductItem& entry : entity.entries)
        parts << QString::asprintf("%d/%d", entry.vid, entry.pid);
    return parts.join(u' ');
}

} // namespace

class TestInventoryFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTripAndNames()
    {
        const QString text =
            file(custom("Caf\u00e9 \u20ac", "smtp, imap", "1") + custom("  ", "a,,b", "4"),
                 entity("Office", product(10, 1001) + product(20, 0) + product(0, 4)) +
                     entity("Lab", QString()) +
                     entity("Unknown ids", product(77, 0) + product(88, 8801)));
        CInventory inventory;
        inventory.parseInventory(text, CVulnTree());
        QCOMPARE(inventory.fileText(), text);
        // Through a file and back; a timestamp that could not be read back is refused.
        QTemporaryDir dir;
        CInventory loaded;
        QVERIFY(inventory.save(dir.filePath("netinventory.dat")));
        QVERIFY(loaded.load(dir.filePath("netinventory.dat"), CVulnTree()));
        QVERIFY(!loaded.setTimestamp(QStringLiteral("1</timestamp>")));
        QCOMPARE(loaded.fileText(), text);
        // Names come with the tree; a later tree that lost an id keeps the name.
        inventory.resolveNames(feedrecords::vulnTree());
        inventory.resolveNames(readVulnCategoryFile("0,20,\"Globex\"\n").tree);
        QCOMPARE(inventory.fileText(), text);
        QCOMPARE(describe(inventory).section(u'|', 2).section(u' ', 1, 1),
                 QStringLiteral("Office[2]=Acme/Anvil(10,1001),Globex/ALL"));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("model");

        const QString a = entity("A", product(10, 1001));
        QTest::newRow("custom without name, keywords or a positive number id skipped")
            << file(custom("", "k", "1") + custom("a", "", "2") + custom("c", "k", "-2") +
                        custom("e", "k", "5"),
                    QString())
            << "20261201 | 5:e:k | ";
        QTest::newRow("repeated custom id gets a fresh one")
            << file(custom("a", "k", "1") + custom("b", "k", "1") + custom("c", "k", "2"),
                    QString())
            << "20261201 | 1:a:k 2:b:k 3:c:k | ";
        QTest::newRow("no timestamp; unnamed first entity skipped, later ones join the one before")
            << file(QString(), entity("", product(20, 2001)) + a + entity("", product(20, 2001)),
                    QString())
            << "0 |  | A[2]=Acme/Anvil(10,1001),Globex/Dome(20,2001)";
        QTest::newRow("repeated profile name joins the earlier profile under the rules")
            << file(QString(), a + entity("B", QString()) + entity("A", product(10, 0)))
            << "20261201 |  | A[2]=Acme/ALL Products(10,0) B[3]=";
        QTest::newRow("product record takes its vendor from the tree")
            << file(QString(), entity("A", product(20, 1002)))
            << "20261201 |  | A[2]=Acme/Rocket(10,1002)";
        QTest::newRow("custom entry of a missing category and zero ids dropped")
            << file(custom("a", "k", "1"),
                    entity("A", product(0, 2) + product(0, 1) + product(0, 0)))
            << "20261201 | 1:a:k | A[2]=CUSTOM/a(0,1)";
        QTest::newRow("timestamp inside a category name is taken out first")
            << "<customitems>" + custom("<timestamp>5</timestamp>a", "k", "1") + "</customitems>"
            << "5 | 1:a:k | ";
    }

    void parse()
    {
        CInventory inventory;
        QFETCH(QString, text);
        inventory.parseInventory(text, feedrecords::vulnTree());
        QTEST(describe(inventory), "model");
    }

    void customEditAndRemoveReachProfiles()
    {
        CInventory inventory;
        const int id = inventory.addCustom(QStringLiteral("Mail"), QStringLiteral("smtp"));
        inventory.addCustom(QStringLiteral("Web"), QStringLiteral("http"));
        for (const char* name : {"a", "b"}) {
            const int at = inventory.newEntity(QString::fromLatin1(name));
            inventory.addStoredEntry(inventory.profiles()[at], 10, id,
                                     feedrecords::vulnTree()); // same pid
            inventory.addStoredEntry(inventory.profiles()[at], 0, id, CVulnTree());
        }
        inventory.editCustom(0, QStringLiteral("Post"), QStringLiteral("pop3"));
        QCOMPARE(describe(inventory),
                 QStringLiteral("0 | 1:Post:pop3 2:Web:http | a[2]=Acme/product 1(10,1),"
                                "CUSTOM/Post(0,1) b[3]=Acme/product 1(10,1),CUSTOM/Post(0,1)"));
        inventory.removeCustom(0);
        QCOMPARE(inventory.nextCustomId(), 1); // the freed id is the first taken again
        inventory.removeEntity(0);             // the later profiles move up
        QCOMPARE(describe(inventory), QStringLiteral("0 | 2:Web:http | b[2]=Acme/product 1(10,1)"));
    }

    void readTree_data()
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
        QTest::newRow("no quote at all gives the whole line but its CR, no final line end")
            << QByteArray("0,3,plain\r") << "0|3:0,3,plain|0|";
        QTest::newRow("blanks and signs before numbers, past int range no row")
            << QByteArray("  0, +5,\"A\"\n 5,-6,\"B\"\n0,99999999999,\"Huge\"\n")
            << "0|5:A(-6:B)|0|";
        QTest::newRow("product before its vendor is skipped")
            << QByteArray("10,1001,\"Early\"\n0,10,\"Acme\"\n10,1002,\"Late\"\n")
            << "0|10:Acme(1002:Late)|1|";
    }

    void readTree()
    {
        QFETCH(QByteArray, data);
        const VulnTreeRead read = readVulnCategoryFile(data);
        QTEST(QString::number(read.tree.version()) + u'|' + describe(read.tree) + u'|' +
                  QString::number(read.skipped.size()) + u'|' +
                  (isUsableVulnCategoryFile(data) ? "usable" : ""),
              "read");
    }

    void findVulnItem()
    {
        // B's row with 50 comes first in the file, A's first in the tree; vendor 3 comes twice.
        const CVulnTree tree = readVulnCategoryFile("0,1,\"A\"\n0,2,\"B\"\n2,50,\"shared-b\"\n"
                                                    "1,50,\"shared-a\"\n0,3,\"C1\"\n0,3,\"C2\"\n")
                                   .tree;
        QCOMPARE(tree.vendorAt(tree.findVulnItem(3, false)).name, QStringLiteral("C1"));
        const CVulnHit shared = tree.findVulnItem(50, true);
        QCOMPARE(tree.vendorAt(shared).name + u'/' + tree.productAt(shared).name,
                 QStringLiteral("A/shared-a"));
    }

    void addProduct_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("after");      // unchanged: refused
        QTest::addColumn<QList<int>>("removed"); // positions of the entries replaced

        QTest::newRow("second product of the vendor")
            << "10/1001" << 10 << 1002 << "10/1001 10/1002" << QList<int>{};
        QTest::newRow("exact repeat refused")
            << "10/1001" << 10 << 1001 << "10/1001" << QList<int>{};
        QTest::newRow("product under vendor-wide refused")
            << "10/0" << 10 << 1001 << "10/0" << QList<int>{};
        QTest::newRow("vendor-wide replaces both products, others stay")
            << "10/1001 20/2001 10/1002" << 10 << 0 << "20/2001 10/0" << QList<int>{0, 2};
        QTest::newRow("same pid under another vendor is another entry")
            << "10/1001" << 20 << 1001 << "10/1001 20/1001" << QList<int>{};
    }

    void addProduct()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, vid);
        QFETCH(int, pid);
        CNetworkEntity entity = entityOf(before);
        QList<int> gone;
        QCOMPARE(entity.addProduct("v", vid, "p", pid, &gone), after != before);
        QCOMPARE(describe(entity), after);
        QTEST(gone, "removed");
    }

    void splitKeywords()
    {
        // Pieces keep their blanks; blank-only pieces go.
        QCOMPARE(::splitKeywords("mail, web,  ,b,"), QStringList({"mail", " web", "b"}));
    }
};

QTEST_GUILESS_MAIN(TestInventoryFile)
#include "tst_cinventory.moc"
