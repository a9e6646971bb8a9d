#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"
#include "inventory/core/vulnfeed.h"
#include "inventory/core/vulnpollargument.h"

#include <QTest>

namespace {

const QByteArray treeFile = "VERSION=3\n0,10,\"Acme\"\n10,1001,\"Anvil\"\n10,1002,\"Rocket\"\n"
                            "0,20,\"Globex\"\n20,2001,\"Dome\"\n0,30,\"Initech\"\n"
                            "30,3001,\"Stapler Server\"\n";

struct Fields
{
    QString qid = QStringLiteral("77");
    QString title = QStringLiteral("Overflow in a daemon");
    QString updated = QStringLiteral("2026-01-01");
    QString vulnerable;
    QString notvulnerable;
};

QString vuln(const Fields& f, const QString& drop = QString())
{
    const QStringList tags = QStringLiteral("qid title object class remote local published updated "
                                            "vulnerable notvulnerable discussion exploit solution "
                                            "credit")
                                 .split(u' ');
    const QStringList values =
        QStringList{f.qid, f.title} +
        QStringLiteral("obj|Boundary Condition Error|Yes|No|2025-12-30").split(u'|') +
        QStringList{f.updated, f.vulnerable, f.notvulnerable} +
        QStringLiteral("A long field.\nOver two lines.|None known.|Upgrade.|A reader.").split(u'|');
    QString text = QStringLiteral("<vuln>\n");
    for (qsizetype i = 0; i < tags.size(); ++i) {
        if (tags.at(i) != drop)
            text += "\t<" + tags.at(i) + u'>' + values.at(i) + "</" + tags.at(i) + ">\n";
    }
    return text + QStringLiteral("</vuln>\n");
}

Fields rec(const QString& qid, const QString& updated, const QString& vulnerable,
           const QString& title = QStringLiteral("Overflow in a daemon"))
{
    return {qid, title, updated, vulnerable, QString()};
}

CVulnTree makeTree()
{
    return readVulnCategoryFile(treeFile).tree;
}

// Office: the Anvil; Lab: all of Globex; Print: the custom "Printers"
// category ("stapler, toner"); Spare: nothing.
CInventory makeInventory()
{
    CInventory inv;
    const int printers =
        inv.addCustom(QStringLiteral("Printers"), QStringLiteral("stapler, TONER"));
    inv.profiles()[inv.newEntity(QStringLiteral("Office"))].addProduct(
        QStringLiteral("Acme"), 10, QStringLiteral("Anvil"), 1001);
    inv.profiles()[inv.newEntity(QStringLiteral("Lab"))].addProduct(
        QStringLiteral("Globex"), 20, QStringLiteral("ALL Products"), 0);
    inv.profiles()[inv.newEntity(QStringLiteral("Print"))].addProduct(
        QStringLiteral("CUSTOM"), 0, QStringLiteral("Printers"), printers);
    inv.newEntity(QStringLiteral("Spare"));
    return inv;
}

} // namespace

class TestVulnFeed : public QObject
{
    Q_OBJECT
private slots:
    void productIds_data();
    void productIds();
    void describe_data();
    void describe();
    void reading_data();
    void reading();
    void processing_data();
    void processing();
    void verboseLayout();
    void threeSectionsInFileOrder();
    void briefAndPopupTexts();
    void customIndexAgreesWithEntityRule();
    void pollArgument_data();
    void pollArgument();
};

void TestVulnFeed::productIds_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QList<int>>("vendors");
    QTest::addColumn<QList<int>>("products");
    QTest::newRow("two elements") << "10:1001,20:2001" << QList<int>{10, 20}
                                  << QList<int>{1001, 2001};
    QTest::newRow("element without colon skipped")
        << "10:1001,2001,20:2002" << QList<int>{10, 20} << QList<int>{1001, 2002};
    QTest::newRow("not a number gives 0")
        << "x:1001,10:y" << QList<int>{0, 10} << QList<int>{1001, 0};
    QTest::newRow("blanks around ids")
        << " 10 : 1001 , 20:2001 " << QList<int>{10, 20} << QList<int>{1001, 2001};
    QTest::newRow("split at the first colon") << "10:1001:5" << QList<int>{10} << QList<int>{0};
    QTest::newRow("empty text") << "" << QList<int>{} << QList<int>{};
}

void TestVulnFeed::productIds()
{
    QFETCH(QString, list);
    QFETCH(QList<int>, vendors);
    QFETCH(QList<int>, products);
    QCOMPARE(productIdList(list, IdSide::Vendor), vendors);
    QCOMPARE(productIdList(list, IdSide::Product), products);
}

void TestVulnFeed::describe_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("lines");
    QTest::newRow("known pairs in order") << "20:2001,10:1001"
                                          << "Globex Dome\nAcme Anvil\n";
    QTest::newRow("last element after the final comma") << "10:1001,30:3001"
                                                        << "Acme Anvil\nInitech Stapler Server\n";
    QTest::newRow("unknown product left out") << "10:9999,10:1002"
                                              << "Acme Rocket\n";
}

void TestVulnFeed::describe()
{
    QFETCH(QString, list);
    QFETCH(QString, lines);
    QCOMPARE(describeProducts(list, makeTree()), lines);
}

void TestVulnFeed::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("qids");
    const Fields a = rec(QStringLiteral("1"), QStringLiteral("d"), QStringLiteral("10:1001"));
    const Fields b = rec(QStringLiteral("2"), QStringLiteral("d"), QStringLiteral("10:1001"));
    QTest::newRow("two records") << vuln(a) + vuln(b) << QStringList{"1", "2"};
    QTest::newRow("text between records ignored")
        << "junk <x>y</x>\n" + vuln(a) + "more junk\n" + vuln(b) << QStringList{"1", "2"};
    for (const char* field : {"qid", "vulnerable", "credit"})
        QTest::newRow(qPrintable(QStringLiteral("record without ") + QLatin1String(field)))
            << vuln(a, QLatin1String(field)) + vuln(b) << QStringList{"2"};
    QString reordered = vuln(a);
    reordered.replace(QStringLiteral("<qid>1</qid>"), QString());
    reordered.replace(QStringLiteral("</vuln>"), QStringLiteral("<qid>1</qid></vuln>"));
    QTest::newRow("fields in any order") << reordered << QStringList{"1"};
    QString cut = vuln(a) + vuln(b);
    cut.chop(12);
    QTest::newRow("cut off in the last record") << cut << QStringList{"1"};
    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("garbage") << QStringLiteral("<vuln><<<>>></vuln></vuln><vuln>") << QStringList{};
}

void TestVulnFeed::reading()
{
    QFETCH(QString, text);
    QFETCH(QStringList, qids);
    QStringList got;
    for (const VulnRecord& r : readVulnFeed(text))
        got << r.qid;
    QCOMPARE(got, qids);
}

void TestVulnFeed::processing_data()
{
    QTest::addColumn<QString>("feed");
    QTest::addColumn<QString>("oldTimestamp");
    QTest::addColumn<QStringList>("notices"); // "qid:names"
    QTest::addColumn<QString>("timestamp");
    const QString t0 = QStringLiteral("2026-01-01");
    QTest::newRow("vendor-wide entry matches any product of the vendor")
        << vuln(rec("1", t0, "20:2777")) << "0" << QStringList{"1:Lab"} << t0;
    QTest::newRow("two profiles in one record, profile order")
        << vuln(rec("1", t0, "20:2001,10:1001")) << "0" << QStringList{"1:Office, Lab"} << t0;
    QTest::newRow("keyword in a product name")
        << vuln(rec("1", t0, "30:3001")) << "0" << QStringList{"1:Print"} << t0;
    QTest::newRow("empty list matches by keyword in the title, case ignored")
        << vuln(rec("1", t0, "", "Cheap toner overflow")) << "0" << QStringList{"1:Print"} << t0;
    QTest::newRow("element without colon ignored for matching")
        << vuln(rec("1", t0, "1001")) << "0" << QStringList{} << t0;
    QTest::newRow("no match still advances the timestamp")
        << vuln(rec("1", "2026-03-01", "10:1002")) + vuln(rec("2", "2026-02-01", "99:9")) << "0"
        << QStringList{} << "2026-03-01";
    QTest::newRow("older record does not lower the timestamp")
        << vuln(rec("1", "2026-05-01", "10:1001")) + vuln(rec("2", "2026-04-01", "10:1001"))
        << "2026-01-01" << QStringList{"1:Office", "2:Office"} << "2026-05-01";
    QTest::newRow("longer text with the same start is greater")
        << vuln(rec("1", "2026-05-01 10", "")) << "2026-05-01" << QStringList{} << "2026-05-01 10";
    QTest::newRow("compared by character, not by date")
        << vuln(rec("1", "9", "")) << "10" << QStringList{} << "9";
    Fields incomplete = rec("1", "2030", "10:1001");
    QTest::newRow("incomplete record neither advances nor notifies")
        << vuln(incomplete, QStringLiteral("credit")) << "2026" << QStringList{} << "2026";
}

void TestVulnFeed::processing()
{
    QFETCH(QString, feed);
    QFETCH(QString, oldTimestamp);
    QFETCH(QStringList, notices);
    QFETCH(QString, timestamp);
    CInventory inv = makeInventory();
    QVERIFY(inv.setTimestamp(oldTimestamp));
    const VulnFeedResult result = processVulnFeed(feed, inv, makeTree());
    QStringList got;
    for (const VulnNotice& n : result.notices)
        got << n.record.qid + u':' + n.names;
    QCOMPARE(got, notices);
    QCOMPARE(result.timestamp, timestamp);
    QCOMPARE(result.verboseText.isEmpty(), notices.isEmpty());
}

void TestVulnFeed::verboseLayout()
{
    Fields f = rec("4242", "2026-02-02", "10:1001,1002,99:1,20:2001", "Rocket overflow");
    f.notvulnerable = QStringLiteral("10:1002");
    const VulnRecord r = readVulnFeed(vuln(f)).value(0);
    const QString expected =
        "\nThe profile(s) [Office, Lab] in your network inventory was found to be vulnerable to "
        "the following issue:\n\nRocket overflow\n\n"
        "Published: 2025-12-30\nUpdated: 2026-02-02\n\n"
        "Vulnerable:\nAcme Anvil\nGlobex Dome\n\nNot Vulnerable:\nAcme Rocket\n\n"
        "PellBrook ID: 4242\nClass: Boundary Condition Error\nRemote: Yes\nLocal: No\n"
        "Discussion\nA long field.\nOver two lines.\n\n"
        "Exploit:\n\nNone known.\n\nSolution:\n\nUpgrade.\n\nCredit:\n\nA reader.\n\n\n" +
        QString(74, u'-') + "\n\n";
    QCOMPARE(verboseSection(r, QStringLiteral("Office, Lab"), makeTree()), expected);

    // Nothing the tree knows: the two lists are empty, their blank lines stay.
    f.vulnerable = QStringLiteral("5:5");
    f.notvulnerable.clear();
    const QString empty = verboseSection(readVulnFeed(vuln(f)).value(0), "P", makeTree());
    QVERIFY(empty.contains(QStringLiteral("\nVulnerable:\n\nNot Vulnerable:\n\nPellBrook ID: ")));
    QCOMPARE(empty.count(u'\n'), 34 + 1); // the discussion spans two lines
}

void TestVulnFeed::threeSectionsInFileOrder()
{
    const QString feed = vuln(rec("3", "a", "10:1001")) + vuln(rec("1", "a", "20:2001")) +
                         vuln(rec("9", "a", "10:1002")) + vuln(rec("2", "a", "30:3001"));
    const CVulnTree tree = makeTree();
    const VulnFeedResult result = processVulnFeed(feed, makeInventory(), tree);
    QString expected;
    for (const VulnNotice& n : result.notices)
        expected += verboseSection(n.record, n.names, tree);
    QCOMPARE(result.notices.size(), 3);
    QCOMPARE(result.verboseText, expected);
    QVERIFY(expected.indexOf(QStringLiteral("PellBrook ID: 3\n")) <
            expected.indexOf(QStringLiteral("PellBrook ID: 1\n")));
    QVERIFY(expected.indexOf(QStringLiteral("PellBrook ID: 1\n")) <
            expected.indexOf(QStringLiteral("PellBrook ID: 2\n")));
}

void TestVulnFeed::briefAndPopupTexts()
{
    VulnRecord r;
    r.qid = QStringLiteral("%1");
    r.title = QStringLiteral("Title with %2");
    QCOMPARE(briefMailLine(r, QStringLiteral("A, B")),
             QStringLiteral("Orvelle Pager Profile [A, B] is vulnerable to QID [%1] : Title with "
                            "%2\n"));
    QCOMPARE(popupText(r, QStringLiteral("A")),
             QStringLiteral("The network profile(s) [A] was found to be vulnerable to the "
                            "following issue:\n\nPellbrook ID [%1] : Title with %2"));
}

void TestVulnFeed::customIndexAgreesWithEntityRule()
{
    // Keywords with odd case, blanks and letters outside ASCII, against
    // titles and tree names, decided both ways.
    const QStringList words = {
        "anvil", "ROCK", " dome",  "Stapler ", "x", QString::fromUtf8("\xc3\x89t\xc3\xa9"),
        "er s",  "ob",   "globex", "me"};
    const CVulnTree tree = makeTree();
    CInventory inv;
    QList<int> ids;
    for (int c = 0; c < 6; ++c)
        ids << inv.addCustom("c" + QString::number(c), words.at(c) + u',' + words.at(9 - c));
    for (int p = 0; p < 6; ++p) {
        CNetworkEntity& profile = inv.profiles()[inv.newEntity("p" + QString::number(p))];
        profile.addProduct("CUSTOM", 0, "c", ids.at(p));
        profile.addProduct("CUSTOM", 0, "c", ids.at((p * 5 + 1) % 6));
    }
    const QStringList lists = {"", "10:1001", "30:3001", "20:2001,10:1002", "1:1", "10:3001"};
    const QStringList titles = {"plain", QString::fromUtf8("\xc3\xa9T\xc3\x89 bug"), "MeOw", "x"};
    int matches = 0;
    for (const QString& list : lists) {
        for (const QString& title : titles) {
            VulnRecord r;
            r.vulnerable = list;
            r.title = title;
            const QList<int> pids = productIdList(list, IdSide::Product);
            QStringList expected;
            for (const CNetworkEntity& profile : inv.profiles()) {
                if (profile.matchesCustom(pids, tree, inv.customs(), title))
                    expected << profile.name;
            }
            QCOMPARE(matchingProfiles(r, inv, tree), expected);
            matches += int(expected.size());
        }
    }
    QVERIFY(matches > 10 && matches < 6 * 24); // both outcomes were seen
}

void TestVulnFeed::pollArgument_data()
{
    QTest::addColumn<QString>("timestamp");
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("testPoll");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blank encoded")
        << "2026-12-07 11:00" << 3 << false << "timestamp=2026-12-07%2011:00&version=3";
    QTest::newRow("line break cannot add a header")
        << "1\r\nHost: evil" << 3 << false << "timestamp=1%0D%0AHost:%20evil&version=3";
    QTest::newRow("own arguments cannot be added")
        << "1&version=99" << 3 << false << "timestamp=1%26version%3D99&version=3";
    QTest::newRow("place markers stay as they are")
        << "%1%2" << 5 << false << "timestamp=%251%252&version=5";
    QTest::newRow("non-ASCII as UTF-8 bytes")
        << QString::fromUtf8("d\xc3\xa9") << 1 << false << "timestamp=d%C3%A9&version=1";
    QTest::newRow("test poll asks from 0") << "2026 x" << 9 << true << "timestamp=0&version=9";
}

void TestVulnFeed::pollArgument()
{
    QFETCH(QString, timestamp);
    QFETCH(int, version);
    QFETCH(bool, testPoll);
    QFETCH(QString, expected);
    QCOMPARE(vulnPollArgument(timestamp, version, testPoll), expected);
}

QTEST_GUILESS_MAIN(TestVulnFeed)
#include "tst_vulnfeed.moc"
