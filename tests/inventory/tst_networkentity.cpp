#include "inventory/core/cnetworkentity.h"
#include "inventory/core/cvulntree.h"

#include <QTest>

class TestNetworkEntity : public QObject
{
    Q_OBJECT
private slots:
    void addProduct_data();
    void addProduct();
    void vendorWideReportsRemovedPositions();
    void customEntries();
    void splitKeywords_data();
    void splitKeywords();
    void matches_data();
    void matches();
};

namespace {

// Entries written as "vid/pid" separated by blanks.
CNetworkEntity entityOf(const QString& entries)
{
    CNetworkEntity entity;
    for (const QString& pair : entries.split(u' ', Qt::SkipEmptyParts)) {
        const int vid = pair.section(u'/', 0, 0).toInt();
        const int pid = pair.section(u'/', 1, 1).toInt();
        entity.entries.append({QStringLiteral("v"), vid, QStringLiteral("p"), pid});
    }
    return entity;
}

QString describe(const CNetworkEntity& entity)
{
    QStringList parts;
    for (const CProductItem& entry : entity.entries)
        parts << QString::number(entry.vid) + u'/' + QString::number(entry.pid);
    return parts.join(u' ');
}

CVulnTree sampleTree()
{
    return readVulnCategoryFile("0,10,\"Acme Corp\"\n10,1001,\"Anvil Server\"\n"
                                "10,1002,\"Rocket\"\n0,20,\"Globex\"\n20,2001,\"Dome\"\n")
        .tree;
}

} // namespace

void TestNetworkEntity::addProduct_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("vid");
    QTest::addColumn<int>("pid");
    QTest::addColumn<bool>("added");
    QTest::addColumn<QString>("after");

    QTest::newRow("first product") << "" << 10 << 1001 << true << "10/1001";
    QTest::newRow("second product of the vendor")
        << "10/1001" << 10 << 1002 << true << "10/1001 10/1002";
    QTest::newRow("exact repeat refused") << "10/1001" << 10 << 1001 << false << "10/1001";
    QTest::newRow("product under vendor-wide refused") << "10/0" << 10 << 1001 << false << "10/0";
    QTest::newRow("vendor-wide replaces both products, others stay")
        << "10/1001 20/2001 10/1002" << 10 << 0 << true << "20/2001 10/0";
    QTest::newRow("same pid under another vendor is another entry")
        << "10/1001" << 20 << 1001 << true << "10/1001 20/1001";
    QTest::newRow("custom repeat refused") << "0/3" << 0 << 3 << false << "0/3";
}

void TestNetworkEntity::addProduct()
{
    QFETCH(QString, before);
    CNetworkEntity entity = entityOf(before);
    QFETCH(int, vid);
    QFETCH(int, pid);
    QFETCH(bool, added);
    QCOMPARE(entity.addProduct(QStringLiteral("v"), vid, QStringLiteral("p"), pid), added);
    QFETCH(QString, after);
    QCOMPARE(describe(entity), after);
}

void TestNetworkEntity::vendorWideReportsRemovedPositions()
{
    CNetworkEntity entity = entityOf(QStringLiteral("10/1001 20/2001 10/1002"));
    QList<int> removed;
    QVERIFY(entity.addProduct(QStringLiteral("Acme"), 10, QString::fromLatin1(allProductsName), 0,
                              &removed));
    QCOMPARE(removed, QList<int>({0, 2}));
    QCOMPARE(entity.entries.last().productName, QStringLiteral("ALL Products"));
}

void TestNetworkEntity::customEntries()
{
    CNetworkEntity entity = entityOf(QStringLiteral("0/3 10/3 0/4"));
    QVERIFY(entity.contains(0, 3));
    QVERIFY(!entity.contains(0, 5));
    entity.renameCustom(3, QStringLiteral("Mail"));
    QCOMPARE(entity.entries.at(0).productName, QStringLiteral("Mail"));
    QCOMPARE(entity.entries.at(1).productName, QStringLiteral("p")); // a product, not custom
    QCOMPARE(entity.removeEntry(0, 3), 1);
    QCOMPARE(describe(entity), QStringLiteral("10/3 0/4"));
}

void TestNetworkEntity::splitKeywords_data()
{
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QStringList>("pieces");

    QTest::newRow("one") << "apache" << QStringList{"apache"};
    QTest::newRow("blank after comma kept") << "mail, web" << QStringList{"mail", " web"};
    QTest::newRow("trailing comma") << "apache," << QStringList{"apache"};
    QTest::newRow("empty piece in the middle") << "a,,b" << QStringList{"a", "b"};
    QTest::newRow("blank-only piece") << "a,  ,b" << QStringList{"a", "b"};
    QTest::newRow("only commas") << ",,," << QStringList{};
}

void TestNetworkEntity::splitKeywords()
{
    QFETCH(QString, keywords);
    QFETCH(QStringList, pieces);
    QCOMPARE(::splitKeywords(keywords), pieces);
}

void TestNetworkEntity::matches_data()
{
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QList<int>>("vids");
    QTest::addColumn<QList<int>>("pids");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("product");
    QTest::addColumn<bool>("vendor");
    QTest::addColumn<bool>("custom");

    const QList<int> none;
    // Categories: 1 "acme, web", 2 "apache,", 3 "a,,b", 4 "DOME".
    QTest::newRow("product entry by pid")
        << "10/1001" << none << QList<int>{1001} << "" << true << false << false;
    QTest::newRow("vendor-wide entry by vid")
        << "10/0" << QList<int>{10} << QList<int>{1001} << "" << false << true << false;
    QTest::newRow("vendor-wide entry is no product match")
        << "10/0" << none << QList<int>{0} << "" << false << false << false;
    QTest::newRow("keyword in vendor name, case ignored")
        << "0/1" << none << QList<int>{1001} << "" << false << false << true;
    QTest::newRow("second keyword keeps its blank")
        << "0/1" << none << none << "webserver" << false << false << false;
    QTest::newRow("second keyword with its blank in the text")
        << "0/1" << none << none << "the web server" << false << false << true;
    QTest::newRow("trailing comma does not match everything")
        << "0/2" << none << QList<int>{2001} << "unrelated" << false << false << false;
    QTest::newRow("empty middle piece does not match everything")
        << "0/3" << none << none << "xyz" << false << false << false;
    QTest::newRow("pieces around the empty one still match")
        << "0/3" << none << none << "B" << false << false << true;
    QTest::newRow("category gone never matches")
        << "0/9" << none << QList<int>{1001} << "acme web dome" << false << false << false;
}

void TestNetworkEntity::matches()
{
    QFETCH(QString, entries);
    const CNetworkEntity entity = entityOf(entries);
    const CVulnTree tree = sampleTree();
    const QList<CCustomCategory> customs = {{QStringLiteral("c1"), QStringLiteral("acme, web"), 1},
                                            {QStringLiteral("c2"), QStringLiteral("apache,"), 2},
                                            {QStringLiteral("c3"), QStringLiteral("a,,b"), 3},
                                            {QStringLiteral("c4"), QStringLiteral("DOME"), 4}};
    QFETCH(QList<int>, vids);
    QFETCH(QList<int>, pids);
    QFETCH(bool, product);
    QCOMPARE(entity.matchesProduct(pids), product);
    QFETCH(bool, vendor);
    QCOMPARE(entity.matchesVendor(vids), vendor);
    QFETCH(QString, text);
    QFETCH(bool, custom);
    QCOMPARE(entity.matchesCustom(pids, tree, customs, text), custom);
}

QTEST_GUILESS_MAIN(TestNetworkEntity)
#include "tst_networkentity.moc"
