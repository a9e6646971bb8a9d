#include "pager/core/categoryfile.h"

#include <QRegularExpression>
#include <QTest>

class TestCategoryFile : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void roundTrip();
    void deepChains_data();
    void deepChains();
    void oldTicks_data();
    void oldTicks();
    void requestArgument();
};

namespace {

const char header[] = "VERSION=7\nNUMENTRIES=%1\n20001,0,20001,\"announcements\",1\n";

QString withHeader(int entries, const QString& rows)
{
    return QString::fromLatin1(header).arg(entries) + rows;
}

QString describe(const QList<CategoryNode>& nodes)
{
    QStringList parts;
    for (const CategoryNode& n : nodes) {
        QString part = QStringLiteral("%1:%2%3").arg(n.id).arg(n.name, n.on ? "+" : "");
        if (!n.children.isEmpty())
            part += u'(' + describe(n.children) + u')';
        parts << part;
    }
    return parts.join(u' ');
}

} // namespace

void TestCategoryFile::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("counted");
    QTest::addColumn<QString>("tree");

    QTest::newRow("tree with ticks")
        << withHeader(4,
                      "100,0,100,\"Unix\",1\n100,100,101,\"Linux\",0\n100,101,102,\"Kernel\",1\n")
        << true << 4 << "100:Unix+(101:Linux(102:Kernel+))";
    QTest::newRow("version zero") << QStringLiteral(
                                         "VERSION=0\nNUMENTRIES=1\n20001,0,20001,\"a\",1\n")
                                  << false << 1 << QString();
    QTest::newRow("child before parent")
        << withHeader(3, "100,100,101,\"Linux\",0\n100,0,100,\"Unix\",1\n") << false << 2
        << "100:Unix+";
    QTest::newRow("name with commas and quotes")
        << withHeader(2, "5,0,5,\"Say \"hi\", world\",1\n") << true << 2 << "5:Say \"hi\", world+";
    QTest::newRow("tick not exactly one")
        << withHeader(4, "2,0,2,\"b\",x\n4,0,4,\"d\",2\n5,0,5,\"e\",1\n") << true << 4
        << "2:b 4:d 5:e+";
    QTest::newRow("lines that are not rows are ignored")
        << withHeader(2, "garbage\n1,2\n\n   \n1,0,1,no quote\n9,0,9,\"ok\",1\n") << true << 2
        << "9:ok+";
    QTest::newRow("blanks around lines and header order")
        << QStringLiteral("  NUMENTRIES=2 \n 20001,0,20001,\"announcements\",1\nVERSION=3\n  "
                          "4,0,4,\"x\",1  \n")
        << true << 2 << "4:x+";
    QTest::newRow("cut-off file") << QStringLiteral("VERSION=3\nNUMENTRIES=5\n20001,0,20001,\"ann")
                                  << false << 1 << QString();
    QTest::newRow("huge numbers do not overflow")
        << withHeader(2, "99999999999999,0,99999999999999,\"big\",1\n") << true << 2
        << "2147483647:big+";
}

void TestCategoryFile::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, counted);
    QFETCH(QString, tree);
    const CategoryFile file = parseCategoryFile(text);
    QCOMPARE(file.isValid(), valid);
    QCOMPARE(file.counted, counted);
    QCOMPARE(describe(file.topLevel), tree);
}

void TestCategoryFile::roundTrip()
{
    const QByteArray text = "VERSION=12\nNUMENTRIES=5\n20001,0,20001,\"announcements\",1\n"
                            "100,0,100,\"Unix\",1\n100,100,101,\"Linux\",0\n"
                            "100,101,103,\"Kernel, \"core\"\",1\n200,0,200,\"Deals 50%4 off\",1\n";
    const CategoryFile file = parseCategoryFile(QString::fromLatin1(text));
    QVERIFY(file.isValid());
    QCOMPARE(formatCategoryFile(file), text);
    // The stated count is kept even when the tree would count otherwise.
    CategoryFile changed = file;
    changed.topLevel.removeLast();
    QVERIFY(formatCategoryFile(changed).startsWith("VERSION=12\nNUMENTRIES=5\n"));
}

namespace {

// One top level and a chain of `depth - 1` rows, each the child of the one before.
QString chain(int depth, bool ticked = false)
{
    QString rows = QStringLiteral("1,0,1,\"top\",0\n");
    for (int i = 2; i <= depth; ++i)
        rows += QStringLiteral("1,") + QString::number(i - 1) + u',' + QString::number(i) +
                QStringLiteral(",\"c\",") + (ticked && i == depth ? u'1' : u'0') + u'\n';
    return withHeader(depth + 1, rows);
}

} // namespace

void TestCategoryFile::deepChains_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("valid");
    QTest::newRow("as deep as allowed") << maxCategoryDepth << true;
    QTest::newRow("one level too deep") << maxCategoryDepth + 1 << false;
    QTest::newRow("a chain 40,000 deep") << 40000 << false;
}

void TestCategoryFile::deepChains()
{
    QFETCH(int, depth);
    QFETCH(bool, valid);

    const QString text = chain(depth, true);
    if (!valid)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("nested too deeply"));
    const CategoryFile file = parseCategoryFile(text);
    QCOMPARE(file.isValid(), valid);
    QCOMPARE(file.counted, qMin(depth, maxCategoryDepth) + 1);
    if (!valid)
        return;
    QCOMPARE(QString::fromLatin1(formatCategoryFile(file)), text);
    QCOMPARE(contentRequestArgument(file, 5),
             QStringLiteral("version=7&nentries=5&Content=T20001,T1,") + QString::number(depth));
    CategoryFile untick = parseCategoryFile(chain(depth));
    applyOldTicks(untick, text);
    QCOMPARE(formatCategoryFile(untick), formatCategoryFile(file));
}

void TestCategoryFile::oldTicks_data()
{
    QTest::addColumn<QString>("oldText");
    QTest::addColumn<QString>("tree");
    QTest::newRow("ticks carried over by id")
        << withHeader(4, "100,0,100,\"Unix\",0\n100,100,101,\"Linux\",1\n200,0,200,\"Win\",1\n")
        << "100:Unix(101:Linux+ 102:BSD) 200:Win+";
    QTest::newRow("ids the new file lacks are dropped")
        << withHeader(2, "300,0,300,\"Gone\",1\n100,100,999,\"Gone too\",1\n")
        << "100:Unix(101:Linux 102:BSD) 200:Win";
    QTest::newRow("same id under another top level is not the same")
        << withHeader(2, "200,200,101,\"Moved\",1\n") << "100:Unix(101:Linux 102:BSD) 200:Win";
}

void TestCategoryFile::oldTicks()
{
    QFETCH(QString, oldText);
    QFETCH(QString, tree);
    CategoryFile file = parseCategoryFile(
        withHeader(5, "100,0,100,\"Unix\",0\n100,100,101,\"Linux\",0\n100,100,102,\"BSD\",0\n"
                      "200,0,200,\"Win\",0\n"));
    QVERIFY(file.isValid());
    applyOldTicks(file, oldText);
    QCOMPARE(describe(file.topLevel), tree);
}

void TestCategoryFile::requestArgument()
{
    // An unticked top level with a ticked grandchild (X) is still asked for.
    const CategoryFile file = parseCategoryFile(QStringLiteral(
        "VERSION=7\nNUMENTRIES=10\n20001,0,20001,\"announcements\",1\n100,0,100,\"A\",1\n"
        "100,100,101,\"B\",1\n100,100,102,\"C\",0\n100,102,103,\"D\",1\n200,0,200,\"E\",0\n"
        "200,200,201,\"F\",0\n300,0,300,\"X\",0\n300,300,301,\"Y\",0\n300,301,302,\"Z\",1\n"));
    QVERIFY(file.isValid());
    QCOMPARE(contentRequestArgument(file, 40),
             QStringLiteral("version=7&nentries=40&Content=T20001,T100,101,103,T300,302"));
    QCOMPARE(contentRequestArgument(CategoryFile(), 5),
             QStringLiteral("version=0&nentries=5&Content=T20001"));
}

QTEST_GUILESS_MAIN(TestCategoryFile)
#include "tst_categoryfile.moc"
