#include "feedrecords.h"

#include <QDir>
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

} // namespace

class TestInventoryFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTripAndNames()
    {
        const QString text =
            file(custom("Mail", "smtp, imap", "1") + custom("  ", "a,,b", "4"),
                 entity("Office", product(10, 1001) + product(20, 0) + product(0, 4)) +
                     entity("Lab", QString()) +
                     entity("Unknown ids", product(77, 0) + product(88, 8801)));
        CInventory inventory;
        inventory.parseInventory(text, CVulnTree());
        QCOMPARE(inventory.fileText(), text);
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

    void saveAndLoadFiles()
    {
        QTemporaryDir dir;
        CInventory inventory, loaded;
        inventory.addCustom(QStringLiteral("Caf\u00e9"), QStringLiteral("k"));
        QVERIFY(inventory.setTimestamp(QStringLiteral("42")));
        QVERIFY(!inventory.setTimestamp(QStringLiteral("1</timestamp>")));
        QVERIFY(inventory.save(dir.filePath("netinventory.dat")));
        QVERIFY(loaded.load(dir.filePath("netinventory.dat"), CVulnTree()));
        QVERIFY(!loaded.load(dir.filePath("missing.dat"), CVulnTree()));
        QCOMPARE(describe(loaded), QStringLiteral("42 | 1:Caf\u00e9:k | "));

        // A directory in the file's place stays; the failure is named.
        const QString taken = dir.filePath("taken");
        QVERIFY(QDir().mkdir(taken));
        QString error;
        QVERIFY(!inventory.save(taken, &error) && !error.isEmpty() && QFileInfo(taken).isDir());
    }
};

QTEST_GUILESS_MAIN(TestInventoryFile)
#include "tst_inventoryfile.moc"
