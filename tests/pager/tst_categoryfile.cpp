#include "pager/core/categoryfile.h"

#include <QTest>

namespace {

QString withHeader(int entries, const QString& rows)
{
    return "VERSION=7\nNUMENTRIES=" + QString::number(entries) +
           "\n20001,0,20001,\"announcements\",1\n" + rows;
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

// One top level and a chain of `depth - 1` rows, each the child of the one
// before; the deepest is ticked.
QString chain(int depth)
{
    QString rows = QStringLiteral("1,0,1,\"top\",0\n");
    for (int i = 2; i <= depth; ++i)
        rows += QStringLiteral("1,%1,%2,\"c\",%3\n").arg(i - 1).arg(i).arg(i == depth ? 1 : 0);
    return withHeader(depth + 1, rows);
}

} // namespace

class TestCategoryFile : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tree");    // "-": too deep to spell out
        QTest::addColumn<QString>("request"); // the content request at count 5; empty: not valid
        auto row =
            [](const char* what, const QString& text, const char* tree, const QString& asked) {
                QTest::newRow(what)
                    << text << QString(tree)
                    << (asked.isEmpty() ? asked : "version=7&nentries=5&Content=T20001" + asked);
            };
        row("unticked top asked for its ticked grandchild, a tick other than 1 is none",
            withHeader(6,
                       "100,0,100,\"Unix\",0\n100,100,101,\"Linux\",2\n100,101,102,\"Kernel\",1\n"
                       "4,0,4,\"d\",x\n5,0,5,\"e\",1\n"),
            "100:Unix(101:Linux(102:Kernel+)) 4:d 5:e+", ",T100,102,T5");
        row("version zero", "VERSION=0\nNUMENTRIES=1\n20001,0,20001,\"a\",1\n", "", "");
        row("child before parent", withHeader(3, "100,100,101,\"Linux\",0\n100,0,100,\"Unix\",1\n"),
            "100:Unix+", "");
        row("blanks around lines, header order, lines that are not rows",
            "  NUMENTRIES=2 \n 20001,0,20001,\"announcements\",1\nVERSION=7\ngarbage\n1,2\n\n   \n"
            "1,0,1,no quote\n  4,0,4,\"x\",1  \n",
            "4:x+", ",T4");
        row("huge numbers do not overflow",
            withHeader(2, "99999999999999,0,99999999999999,\"big\",1\n"), "2147483647:big+",
            ",T2147483647");
        row("as deep as allowed", chain(maxCategoryDepth), "-",
            ",T1," + QString::number(maxCategoryDepth));
        row("one level too deep", chain(maxCategoryDepth + 1), "-", "");
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, tree);
        QFETCH(QString, request);
        const CategoryFile file = parseCategoryFile(text);
        QCOMPARE(file.isValid(), !request.isEmpty());
        if (tree != "-")
            QCOMPARE(describe(file.topLevel), tree);
        if (file.isValid())
            QCOMPARE(contentRequestArgument(file, 5), request);
    }

    void writeBack()
    {
        // The stated count is kept even where the rows do not make it up.
        const QByteArray text =
            "VERSION=12\nNUMENTRIES=9\n20001,0,20001,\"announcements\",1\n"
            "100,0,100,\"Unix\",1\n100,100,101,\"Linux\",0\n"
            "100,101,103,\"Kernel, \"core\"\",1\n200,0,200,\"Deals 50%4 off\",1\n";
        QCOMPARE(formatCategoryFile(parseCategoryFile(QString::fromLatin1(text))), text);
    }
};

QTEST_GUILESS_MAIN(TestCategoryFile)
#include "tst_categoryfile.moc"
