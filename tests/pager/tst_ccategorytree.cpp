// The category page: a click on a tick, and the reload after a category
// update (the link has kept the old file beside the server's new one).
#include "pager/ccategorytree.h"
#include "pager/core/globals.h"
#include "tests/common/testfiles.h"

#include <QApplication>
#include <QFile>
#include <QTest>

class TestCategoryTree : public QObject
{
    Q_OBJECT
private slots:
    void clickTicks_data()
    {
        QTest::addColumn<QByteArray>("tick"); // of A, A1, A11 (under A1) and B alike
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("content");
        QTest::newRow("ticking a category ticks its subtree")
            << QByteArray("0") << QStringLiteral("A") << QStringLiteral("T20001,T1,11,111");
        QTest::newRow("unticking clears its ancestors, not their other trees")
            << QByteArray("1") << QStringLiteral("A11") << QStringLiteral("T20001,T2");
    }

    void clickTicks()
    {
        QFETCH(QByteArray, tick);
        QFETCH(QString, clicked);
        QFETCH(QString, content);
        TempDataDir dir;
        QVERIFY(dir.write("category.dat",
                          QByteArray("VERSION=7\nNUMENTRIES=5\n"
                                     "20001,0,20001,\"announcements\",1\n1,0,1,\"A\",t\n"
                                     "1,1,11,\"A1\",t\n1,11,111,\"A11\",t\n2,0,2,\"B\",t\n")
                              .replace(",t\n", "," + tick + "\n")));
        CCategoryTree tree;
        QVERIFY(tree.load("category.dat"));
        tree.expandAll();
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        const QRect where = tree.visualItemRect(
            tree.findItems(clicked, Qt::MatchExactly | Qt::MatchRecursive).value(0));
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, where.center());
        QCOMPARE(tree.contentRequestArgument(5), "version=7&nentries=5&Content=" + content);
    }

    void updateKeepsTicks()
    {
        // Ticks carry over by top level and id: "Moved" is ticked under
        // another top level than the new file's, "Exploits" not at all.
        TempDataDir dir;
        QVERIFY(dir.write("category.old",
                          "VERSION=7\nNUMENTRIES=5\n20001,0,20001,\"announcements\",1\n"
                          "1,0,1,\"Exploits\",0\n2,0,2,\"Advisories\",1\n2,2,21,\"Kernel\",1\n"
                          "1,1,22,\"Moved\",1\n"));
        // The server's new file: a new category, ticked by default, and the
        // user's choices all off.
        QVERIFY(dir.write("category.dat",
                          "VERSION=8\nNUMENTRIES=6\n20001,0,20001,\"announcements\",1\n"
                          "1,0,1,\"Exploits\",0\n2,0,2,\"Advisories\",0\n"
                          "2,2,21,\"Kernel\",0\n2,21,22,\"Moved\",0\n3,0,3,\"Tools\",1\n"));
        CCategoryTree tree;
        tree.slotLoadCategories();
        QCOMPARE(tree.contentRequestArgument(5), "version=8&nentries=5&Content=T20001,T2,21,T3");
        QVERIFY(!QFile::exists(dataDirPath + "category.old"));
        QCOMPARE(dir.read("category.dat"), formatCategoryFile(tree.snapshot()));
    }
};

QTEST_MAIN(TestCategoryTree)
#include "tst_ccategorytree.moc"
