#include "inventory/core/cnetworkentity.h"
#include "inventory/core/cvulntree.h"
#include "inventory/core/vulnfeed.h"

#include <QTest>

namespace {

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

class TestNetworkEntity : public QObject
{
    Q_OBJECT
private slots:
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

    void matches_data()
    {
        // Rows: entries | the record's ids (vid:pid,...) | its text | matched by (p)roduct,
        // (v)endor, (c)ustom. Categories: 1 "acme, web", 2 "apache,".
        QTest::addColumn<QString>("row");
        QTest::newRow("product entry by pid") << "10/1001|0:1001||p";
        QTest::newRow("vendor-wide entry by vid") << "10/0|10:1001||v";
        QTest::newRow("vendor-wide entry is no product match") << "10/0|0:0||";
        QTest::newRow("keyword in vendor name, case ignored") << "0/1|0:1001||c";
        QTest::newRow("second keyword keeps its blank") << "0/1||webserver|";
        QTest::newRow("second keyword with its blank in the text") << "0/1||the web server|c";
        QTest::newRow("trailing comma does not match everything") << "0/2|0:2001|unrelated|";
        QTest::newRow("category gone never matches") << "0/9|0:1001|acme web dome|";
    }

    void matches()
    {
        QFETCH(QString, row);
        const QStringList f = row.split(u'|');
        const QList<int> vids = productIdList(f.at(1), IdSide::Vendor);
        const QList<int> pids = productIdList(f.at(1), IdSide::Product);
        const CNetworkEntity entity = entityOf(f.at(0));
        const CVulnTree tree = readVulnCategoryFile("0,10,\"Acme Corp\"\n10,1001,\"Anvil Server\"\n"
                                                    "0,20,\"Globex\"\n20,2001,\"Dome\"\n")
                                   .tree;
        const QList<CCustomCategory> customs = {{"c1", "acme, web", 1}, {"c2", "apache,", 2}};
        QString got;
        if (entity.matchesProduct(pids))
            got += u'p';
        if (entity.matchesVendor(vids))
            got += u'v';
        if (entity.matchesCustom(pids, tree, customs, f.at(2)))
            got += u'c';
        QCOMPARE(got, f.at(3));
    }
};

QTEST_GUILESS_MAIN(TestNetworkEntity)
#include "tst_networkentity.moc"
