#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"
#include "inventory/core/vulnfeed.h"
#include "inventory/core/vulnpollargument.h"

#include <QTest>

namespace {

const QByteArray treeFile = "VERSION=3\n0,10,\"Acme\"\n10,1001,\"Anvil\"\n10,1002,\"Rocket\"\n"
                            "0,20,\"Globex\"\n20,2001,\"Dome\"\n0,30,\"Initech\"\n"
                            "30,3001,\"Stapler Server\"\n";

const QString defaultTitle = QStringLiteral("Overflow in a daemon");

// One feed record; `drop` names a field left out.
QString vuln(const QString& qid, const QString& updated, const QString& vulnerable,
             const QString& title = defaultTitle, const QString& drop = QString())
{
    const QStringList tags = QStringLiteral("qid title object class remote local published updated "
                                            "vulnerable notvulnerable discussion exploit solution "
                                            "credit")
                                 .split(u' ');
    const QStringList values =
        QStringList{qid, title} +
        QStringLiteral("obj|Boundary Condition Error|Yes|No|2025-12-30").split(u'|') +
        QStringList{updated, vulnerable, QStringLiteral("10:1002")} +
        QStringLiteral("A long field.\nOver two lines.|None known.|Upgrade.|A reader.").split(u'|');
    QString text = QStringLiteral("<vuln>\n");
    for (qsizetype i = 0; i < tags.size(); ++i) {
        if (tags.at(i) != drop)
            text += "\t<" + tags.at(i) + u'>' + values.at(i) + "</" + tags.at(i) + ">\n";
    }
    return text + QStringLiteral("</vuln>\n");
}

CVulnTree makeTree()
{
    return readVulnCategoryFile(treeFile).tree;
}

// Office: the Anvil; Lab: all of Globex.
CInventory makeInventory()
{
    CInventory inv;
    inv.profiles()[inv.newEntity(QStringLiteral("Office"))].addProduct(
        QStringLiteral("Acme"), 10, QStringLiteral("Anvil"), 1001);
    inv.profiles()[inv.newEntity(QStringLiteral("Lab"))].addProduct(
        QStringLiteral("Globex"), 20, QStringLiteral("ALL Products"), 0);
    return inv;
}

} // namespace

class TestVulnFeed : public QObject
{
    Q_OBJECT
private slots:
    void productIds_data();
    void productIds();
    void reading_data();
    void reading();
    void processing_data();
    void processing();
    void texts();
    void customIndexAgreesWithEntityRule();
    void pollArgument_data();
    void pollArgument();
};

void TestVulnFeed::productIds_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QList<int>>("vendors");
    QTest::addColumn<QList<int>>("products");
    QTest::newRow("element without colon skipped")
        << "10:1001,2001,20:2002" << QList<int>{10, 20} << QList<int>{1001, 2002};
    QTest::newRow("not a number gives 0")
        << "x:1001,10:y" << QList<int>{0, 10} << QList<int>{1001, 0};
    QTest::newRow("split at the first colon") << "10:1001:5" << QList<int>{10} << QList<int>{0};
}

void TestVulnFeed::productIds()
{
    QFETCH(QString, list);
    QFETCH(QList<int>, vendors);
    QFETCH(QList<int>, products);
    QCOMPARE(productIdList(list, IdSide::Vendor), vendors);
    QCOMPARE(productIdList(list, IdSide::Product), products);
}

void TestVulnFeed::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("qids");
    const QString a = vuln(QStringLiteral("1"), QStringLiteral("d"), QStringLiteral("10:1001"));
    const QString b = vuln(QStringLiteral("2"), QStringLiteral("d"), QStringLiteral("10:1001"));
    QTest::newRow("text between records ignored")
        << "junk <x>y</x>\n" + a + "more junk\n" + b << QStringList{"1", "2"};
    for (const char* field : {"qid", "vulnerable", "credit"})
        QTest::newRow(qPrintable(QStringLiteral("record without ") + QLatin1String(field)))
            << vuln("1", "d", "10:1001", defaultTitle, QLatin1String(field)) + b
            << QStringList{"2"};
    QString reordered = a;
    reordered.replace(QStringLiteral("<qid>1</qid>"), QString());
    reordered.replace(QStringLiteral("</vuln>"), QStringLiteral("<qid>1</qid></vuln>"));
    QTest::newRow("fields in any order") << reordered << QStringList{"1"};
    QTest::newRow("cut off in the last record") << a + b.chopped(12) << QStringList{"1"};
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
    QTest::addColumn<QStringList>("notices"); // "qid:names", in file order
    QTest::addColumn<QString>("timestamp");
    const QString t0 = QStringLiteral("2026-01-01");
    QTest::newRow("vendor-wide entry matches any product of the vendor")
        << vuln("1", t0, "20:2777") << "0" << QStringList{"1:Lab"} << t0;
    QTest::newRow("two profiles in one record, profile order")
        << vuln("1", t0, "20:2001,10:1001") << "0" << QStringList{"1:Office, Lab"} << t0;
    QTest::newRow("no match still advances the timestamp")
        << vuln("1", "2026-03-01", "10:1002") + vuln("2", "2026-02-01", "99:9") << "0"
        << QStringList{} << "2026-03-01";
    QTest::newRow("older record does not lower the timestamp")
        << vuln("3", "2026-05-01", "10:1001") + vuln("1", "2026-04-01", "20:2001") +
               vuln("2", "2026-04-01", "10:1001,20:1")
        << "2026-01-01" << QStringList{"3:Office", "1:Lab", "2:Office, Lab"} << "2026-05-01";
    QTest::newRow("compared by character, not by date")
        << vuln("1", "9", "") << "10" << QStringList{} << "9";
    QTest::newRow("incomplete record neither advances nor notifies")
        << vuln("1", "2030", "10:1001", defaultTitle, "credit") << "2026" << QStringList{}
        << "2026";
}

void TestVulnFeed::processing()
{
    QFETCH(QString, feed);
    QFETCH(QString, oldTimestamp);
    CInventory inv = makeInventory();
    QVERIFY(inv.setTimestamp(oldTimestamp));
    const VulnFeedResult result = processVulnFeed(feed, inv, makeTree());
    QStringList got;
    QString verbose;
    for (const VulnNotice& n : result.notices) {
        got << n.record.qid + u':' + n.names;
        verbose += verboseSection(n.record, n.names, makeTree());
    }
    QFETCH(QStringList, notices);
    QCOMPARE(got, notices);
    QFETCH(QString, timestamp);
    QCOMPARE(result.timestamp, timestamp);
    QCOMPARE(result.verboseText, verbose);
}

void TestVulnFeed::texts()
{
    // Unknown ids and an element without colon are left out of the lists;
    // place markers in the record stay as they are.
    const VulnRecord r =
        readVulnFeed(vuln("%1", "2026-02-02", "10:1001,1002,99:1,20:2001", "Rocket %2")).value(0);
    const QString expected =
        "\nThe profile(s) [Office, Lab] in your network inventory was found to be vulnerable to "
        "the following issue:\n\nRocket %2\n\n"
        "Published: 2025-12-30\nUpdated: 2026-02-02\n\n"
        "Vulnerable:\nAcme Anvil\nGlobex Dome\n\nNot Vulnerable:\nAcme Rocket\n\n"
        "PellBrook ID: %1\nClass: Boundary Condition Error\nRemote: Yes\nLocal: No\n"
        "Discussion\nA long field.\nOver two lines.\n\n"
        "Exploit:\n\nNone known.\n\nSolution:\n\nUpgrade.\n\nCredit:\n\nA reader.\n\n\n" +
        QString(74, u'-') + "\n\n";
    QCOMPARE(verboseSection(r, QStringLiteral("Office, Lab"), makeTree()), expected);
    QCOMPARE(
        briefMailLine(r, QStringLiteral("A, B")),
        QStringLiteral("Orvelle Pager Profile [A, B] is vulnerable to QID [%1] : Rocket %2\n"));
    QCOMPARE(popupText(r, QStringLiteral("A")),
             QStringLiteral("The network profile(s) [A] was found to be vulnerable to the "
                            "following issue:\n\nPellbrook ID [%1] : Rocket %2"));
}

void TestVulnFeed::customIndexAgreesWithEntityRule()
{
    // Keywords with odd case, blanks and letters outside ASCII, against
    // titles and tree names, decided both ways.
    const QString ete = QString::fromUtf8("\xc3\x89t\xc3\xa9");
    const QStringList keywords = {"anvil,me",      "ROCK,globex", " dome,ob",
                                  "Stapler ,er s", "x," + ete,    ete + ",x"};
    const CVulnTree tree = makeTree();
    CInventory inv;
    for (int c = 0; c < 6; ++c) {
        const int id = inv.addCustom("c" + QString::number(c), keywords.at(c));
        CNetworkEntity& profile = inv.profiles()[inv.newEntity("p" + QString::number(c))];
        profile.addProduct("CUSTOM", 0, "c", id);
        profile.addProduct("CUSTOM", 0, "c", (c * 5 + 1) % 6 + 1); // made later or before
    }
    int matches = 0;
    for (const char* list : {"", "10:1001", "30:3001", "20:2001,10:1002", "1:1", "10:3001"}) {
        for (const QString& title :
             QStringList{"plain", QString::fromUtf8("\xc3\xa9T\xc3\x89 bug"), "MeOw", "x"}) {
            VulnRecord r;
            r.vulnerable = QString::fromLatin1(list);
            r.title = title;
            QStringList expected;
            for (const CNetworkEntity& profile : inv.profiles()) {
                if (profile.matchesCustom(productIdList(r.vulnerable, IdSide::Product), tree,
                                          inv.customs(), title))
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
    QTest::newRow("line break cannot add a header")
        << "1\r\nHost: evil" << 3 << false << "timestamp=1%0D%0AHost:%20evil&version=3";
    QTest::newRow("own arguments cannot be added")
        << "1&version=99" << 3 << false << "timestamp=1%26version%3D99&version=3";
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
