#include "inventory/core/cnetworkentity.h"
#include "inventory/core/cvulntree.h"

#include <QTest>

class TestNetworkEntity : public QObject
{
    Q_OBJECT
private slots:
    void addProduct_data();
    void addProduct();
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
    QTest::addColumn<QList<int>>("removed"); // positions of the entries replaced

    QTest::newRow("second product of the vendor")
        << "10/1001" << 10 << 1002 << true << "10/1001 10/1002" << QList<int>{};
    QTest::newRow("exact repeat refused")
        << "10/1001" << 10 << 1001 << false << "10/1001" << QList<int>{};
    QTest::newRow("product under vendor-wide refused")
        << "10/0" << 10 << 1001 << false << "10/0" << QList<int>{};
    QTest::newRow("vendor-wide replaces both products, others stay")
        << "10/1001 20/2001 10/1002" << 10 << 0 << true << "20/2001 10/0" << QList<int>{0, 2};
    QTest::newRow("same pid under another vendor is another entry")
        << "10/1001" << 20 << 1001 << true << "10/1001 20/1001" << QList<int>{};
}

void TestNetworkEntity::addProduct()
{
    QFETCH(QString, before);
    CNetworkEntity entity = entityOf(before);
    QFETCH(int, vid);
    QFETCH(int, pid);
    QList<int> gone;
    QFETCH(bool, added);
    QCOMPARE(entity.addProduct(QStringLiteral("v"), vid, QStringLiteral("p"), pid, &gone), added);
    QFETCH(QString, after);
    QCOMPARE(describe(entity), after);
    QFETCH(QList<int>, removed);
    QCOMPARE(gone, removed);
}

void TestNetworkEntity::splitKeywords_data()
{
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QStringList>("pieces");

    QTest::newRow("blank after comma kept") << "mail, web" << QStringList{"mail", " web"};
    QTest::newRow("blank-only piece") << "a,  ,b" << QStringList{"a", "b"};
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
    // Categories: 1 "acme, web", 2 "apache,".
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
    QTest::newRow("category gone never matches")
        << "0/9" << none << QList<int>{1001} << "acme web dome" << false << false << false;
}

void TestNetworkEntity::matches()
{
    QFETCH(QString, entries);
    const CNetworkEntity entity = entityOf(entries);
    const CVulnTree tree = sampleTree();
    const QList<CCustomCategory> customs = {{QStringLiteral("c1"), QStringLiteral("acme, web"), 1},
                                            {QStringLiteral("c2"), QStringLiteral("apache,"), 2}};
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
