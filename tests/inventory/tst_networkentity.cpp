#include "inventory/core/cnetworkentity.h"

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
};

QTEST_GUILESS_MAIN(TestNetworkEntity)
#include "tst_networkentity.moc"
