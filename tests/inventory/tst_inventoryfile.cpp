#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestInventoryFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTripIsByteForByte();
    void parse_data();
    void parse();
    void namesFollowTheTree();
    void customEditAndRemoveReachProfiles();
    void saveAndLoadFiles();
};

namespace {

CVulnTree sampleTree()
{
    return readVulnCategoryFile("VERSION=3\n0,10,\"Acme\"\n10,1001,\"Anvil\"\n10,1002,\"Rocket\"\n"
                                "0,20,\"Globex\"\n20,2001,\"Dome\"\n20,1001,\"Anvil Clone\"\n")
        .tree;
}

// "timestamp | id:name:keywords ... | profile[index]=vendor/product(vid,pid),..."
QString describe(const CInventory& inventory)
{
    QStringList customs;
    for (const CCustomCategory& c : inventory.customs())
        customs << QString::number(c.id) + u':' + c.name + u':' + c.keywords;
    QStringList profiles;
    for (const CNetworkEntity& p : inventory.profiles()) {
        QStringList entries;
        for (const CProductItem& e : p.entries)
            entries << e.vendorName + u'/' + e.productName + u'(' + QString::number(e.vid) + u',' +
                           QString::number(e.pid) + u')';
        profiles << p.name + u'[' + QString::number(p.index) + QStringLiteral("]=") +
                        entries.join(u',');
    }
    return inventory.timestamp() + QStringLiteral(" | ") + customs.join(u' ') +
           QStringLiteral(" | ") + profiles.join(u' ');
}

QString custom(const QString& name, const QString& keywords, const QString& id)
{
    return QStringLiteral("\t<custom>\n\t\t<name>") + name +
           QStringLiteral("</name>\n\t\t<keywords>") + keywords +
           QStringLiteral("</keywords>\n\t\t<id>") + id + QStringLiteral("</id>\n\t</custom>\n");
}

QString product(int vid, int pid)
{
    return QStringLiteral("\t\t<product>\n\t\t\t<vid>") + QString::number(vid) +
           QStringLiteral("</vid>\n\t\t\t<pid>") + QString::number(pid) +
           QStringLiteral("</pid>\n\t\t</product>\n");
}

QString entity(const QString& nameLine, const QString& products)
{
    return QStringLiteral("\t<entity>\n") + nameLine + products + QStringLiteral("\t</entity>\n");
}

QString named(const QString& name)
{
    return QStringLiteral("\t\t<name>") + name + QStringLiteral("</name>\n");
}

QString file(const QString& customs, const QString& entities,
             const QString& stamp = QStringLiteral("<timestamp>20261201</timestamp>\n"))
{
    return stamp + QStringLiteral("<customitems>\n") + customs +
           QStringLiteral("</customitems>\n<netinventory>\n") + entities +
           QStringLiteral("</netinventory>\n");
}

} // namespace

void TestInventoryFile::roundTripIsByteForByte()
{
    const CVulnTree tree = sampleTree();
    const QString text =
        file(custom(QStringLiteral("Mail"), QStringLiteral("smtp, imap"), QStringLiteral("1")) +
                 custom(QStringLiteral("  "), QStringLiteral("a,,b"), QStringLiteral("4")),
             entity(named(QStringLiteral("Office")),
                    product(10, 1001) + product(20, 0) + product(0, 4)) +
                 entity(named(QStringLiteral("Lab")), QString()) +
                 entity(named(QStringLiteral("Unknown ids")),
                        product(77, 0) + product(88, 8801) + product(10, 9999)));
    CInventory inventory;
    inventory.parseInventory(text, tree);
    QCOMPARE(inventory.fileText(), text);

    QCOMPARE(describe(inventory),
             QStringLiteral("20261201 | 1:Mail:smtp, imap 4:  :a,,b | "
                            "Office[2]=Acme/Anvil(10,1001),Globex/ALL Products(20,0),"
                            "CUSTOM/  (0,4) Lab[3]= Unknown ids[4]=vendor 77/ALL Products(77,0),"
                            "vendor 88/product 8801(88,8801),Acme/product 9999(10,9999)"));
}

void TestInventoryFile::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("model");

    const QString acme = entity(named(QStringLiteral("A")), product(10, 1001));
    QTest::newRow("no timestamp element reads 0")
        << file(QString(), acme, QString()) << "0 |  | A[2]=Acme/Anvil(10,1001)";
    QTest::newRow("custom without name does not borrow the previous name")
        << file(custom("Mail", "smtp", "1") +
                    QStringLiteral("\t<custom>\n\t\t<keywords>web</keywords>\n\t\t<id>2</id>\n"
                                   "\t</custom>\n"),
                QString())
        << "20261201 | 1:Mail:smtp | ";
    QTest::newRow("custom with empty keywords, zero, negative or bad id skipped")
        << file(custom("a", "", "1") + custom("b", "k", "0") + custom("c", "k", "-2") +
                    custom("d", "k", "x7") + custom("e", "k", "5"),
                QString())
        << "20261201 | 5:e:k | ";
    QTest::newRow("repeated custom id gets a fresh one")
        << file(custom("a", "k", "1") + custom("b", "k", "1") + custom("c", "k", "2"),
                entity(named("P"), product(0, 1)))
        << "20261201 | 1:a:k 2:b:k 3:c:k | P[2]=CUSTOM/a(0,1)";
    QTest::newRow("unnamed entity does not make a second profile of the previous name")
        << file(QString(), acme + entity(QString(), product(20, 2001)))
        << "20261201 |  | A[2]=Acme/Anvil(10,1001),Globex/Dome(20,2001)";
    QTest::newRow("unnamed first entity skipped")
        << file(QString(), entity(QString(), product(20, 2001)) + acme)
        << "20261201 |  | A[2]=Acme/Anvil(10,1001)";
    QTest::newRow("repeated profile name joins the earlier profile under the rules")
        << file(QString(), acme + entity(named("B"), QString()) +
                               entity(named("A"), product(10, 1001) + product(10, 0)))
        << "20261201 |  | A[2]=Acme/ALL Products(10,0) B[3]=";
    QTest::newRow("product record takes its vendor from the tree")
        << file(QString(), entity(named("A"), product(20, 1002)))
        << "20261201 |  | A[2]=Acme/Rocket(10,1002)";
    QTest::newRow("custom entry of a missing category dropped")
        << file(custom("a", "k", "1"), entity(named("A"), product(0, 2) + product(0, 1)))
        << "20261201 | 1:a:k | A[2]=CUSTOM/a(0,1)";
    QTest::newRow("zero ids and bad numbers skipped")
        << file(QString(),
                entity(named("A"),
                       product(0, 0) + QStringLiteral("\t\t<product><vid>x</vid><pid>y</pid>"
                                                      "</product>\n")))
        << "20261201 |  | A[2]=";
    QTest::newRow("timestamp inside a category name is taken out first")
        << QStringLiteral("<customitems>") +
               custom(QStringLiteral("<timestamp>5</timestamp>a"), "k", "1") +
               QStringLiteral("</customitems>")
        << "5 | 1:a:k | ";
}

void TestInventoryFile::parse()
{
    CInventory inventory;
    QFETCH(QString, text);
    inventory.parseInventory(text, sampleTree());
    QFETCH(QString, model);
    QCOMPARE(describe(inventory), model);
}

void TestInventoryFile::namesFollowTheTree()
{
    CInventory inventory;
    inventory.parseInventory(
        file(QString(), entity(named("Office"), product(10, 1001) + product(20, 0))), CVulnTree());
    inventory.resolveNames(sampleTree());
    QCOMPARE(
        describe(inventory),
        QStringLiteral("20261201 |  | Office[2]=Acme/Anvil(10,1001),Globex/ALL Products(20,0)"));
    // A later tree that lost an id keeps the name the entry already has.
    inventory.resolveNames(readVulnCategoryFile("0,20,\"Globex\"\n").tree);
    QCOMPARE(inventory.profiles().at(0).entries.at(0).productName, QStringLiteral("Anvil"));
}

void TestInventoryFile::customEditAndRemoveReachProfiles()
{
    CInventory inventory;
    const int id = inventory.addCustom(QStringLiteral("Mail"), QStringLiteral("smtp"));
    inventory.addCustom(QStringLiteral("Web"), QStringLiteral("http"));
    for (const char* name : {"a", "b"}) {
        const int at = inventory.newEntity(QString::fromLatin1(name));
        inventory.addStoredEntry(inventory.profiles()[at], 10, id, sampleTree()); // same pid
        inventory.addStoredEntry(inventory.profiles()[at], 0, id, CVulnTree());
    }
    QVERIFY(inventory.customInUse(id));
    inventory.editCustom(0, QStringLiteral("Post"), QStringLiteral("pop3"));
    QCOMPARE(describe(inventory),
             QStringLiteral("0 | 1:Post:pop3 2:Web:http | a[2]=Acme/product 1(10,1),"
                            "CUSTOM/Post(0,1) b[3]=Acme/product 1(10,1),"
                            "CUSTOM/Post(0,1)"));
    inventory.removeCustom(0);
    QVERIFY(!inventory.customInUse(id));
    QCOMPARE(inventory.nextCustomId(), 1); // the freed id is the first taken again
    QCOMPARE(describe(inventory),
             QStringLiteral("0 | 2:Web:http | a[2]=Acme/product 1(10,1) b[3]=Acme/"
                            "product 1(10,1)"));
}

void TestInventoryFile::saveAndLoadFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("netinventory.dat"));
    CInventory inventory;
    inventory.addCustom(QStringLiteral("Caf\u00e9"), QStringLiteral("k"));
    inventory.newEntity(QStringLiteral("\u00c9tage"));
    QVERIFY(inventory.setTimestamp(QStringLiteral("42")));
    QVERIFY(!inventory.setTimestamp(QStringLiteral("1</timestamp>")));
    QVERIFY(fitsInventoryFile(QStringLiteral("a<b>c")));
    QVERIFY(inventory.save(path));

    CInventory loaded;
    QVERIFY(loaded.load(path, CVulnTree()));
    QCOMPARE(describe(loaded), describe(inventory));
    QVERIFY(!loaded.load(dir.filePath(QStringLiteral("missing.dat")), CVulnTree()));
    QCOMPARE(describe(loaded), describe(inventory));

    QString error;
    QVERIFY(!inventory.save(dir.filePath(QStringLiteral("no/such/dir/netinventory.dat")), &error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestInventoryFile)
#include "tst_inventoryfile.moc"
