#include "feedrecords.h"
#include "inventory/core/cvulntree.h"
#include "inventory/core/vulnfeed.h"
#include "inventory/core/vulnpollargument.h"

#include <QTest>

using feedrecords::vuln;
using feedrecords::vulnTree;

class TestVulnFeed : public QObject
{
    Q_OBJECT
private slots:
    void reading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("qids");
        const QString a = vuln("1", "d", "10:1001"), b = vuln("2", "d", "10:1001");
        QTest::newRow("record lacking a field")
            << QString(a).remove(QStringLiteral("\t<credit>A reader.</credit>\n")) + b
            << QStringList{"2"};
        QTest::newRow("cut off in the last record") << a + b.chopped(12) << QStringList{"1"};
        QTest::newRow("garbage") << QStringLiteral("<vuln><<<>>></vuln></vuln><vuln>")
                                 << QStringList{};
    }

    void reading()
    {
        QFETCH(QString, text);
        QStringList got;
        for (const VulnRecord& r : readVulnFeed(text))
            got << r.qid;
        QTEST(got, "qids");
    }

    void processing_data()
    {
        QTest::addColumn<QString>("feed");
        QTest::addColumn<QString>("oldTimestamp");
        QTest::addColumn<QStringList>("notices"); // "qid:names", in file order
        QTest::addColumn<QString>("timestamp");
        QTest::newRow("unmatched record advances, older ones do not lower")
            << vuln("1", "2026-03-01", "10:1002") + vuln("2", "2026-02-01", "20:1") +
                   vuln("3", "2026-02-15", "10:1001")
            << "2026-01-01" << QStringList{"2:Lab", "3:Office"} << "2026-03-01";
        QTest::newRow("no number, no colon, a second colon: no product, no vendor-wide match")
            << vuln("1", "2026", "99:x,1001,99:1001:5") << "0" << QStringList{} << "2026";
        QTest::newRow("compared by character, not by date")
            << vuln("1", "9", "") << "10" << QStringList{} << "9";
    }

    void processing()
    {
        QFETCH(QString, feed);
        QFETCH(QString, oldTimestamp);
        CInventory inv;
        feedrecords::addProfiles(inv);
        QVERIFY(inv.setTimestamp(oldTimestamp));
        const VulnFeedResult result = processVulnFeed(feed, inv, vulnTree());
        QStringList got;
        QString verbose;
        for (const VulnNotice& n : result.notices) {
            got << n.record.qid + u':' + n.names;
            verbose += verboseSection(n.record, n.names, vulnTree());
        }
        QTEST(got, "notices");
        QTEST(result.timestamp, "timestamp");
        QCOMPARE(result.verboseText, verbose);
    }

    void texts()
    {
        // Unknown ids and an element without colon are left out of the lists;
        // place markers in the record stay as they are.
        const VulnRecord r =
            readVulnFeed(vuln("%1", "2026-02-02", "10:1001,1002,99:1,20:2001", "Rocket %2"))
                .value(0);
        const QString expected =
            "\nThe profile(s) [Office, Lab] in your network inventory was found to be vulnerable "
            "to "
            "the following issue:\n\nRocket %2\n\n"
            "Published: 2025-12-30\nUpdated: 2026-02-02\n\n"
            "Vulnerable:\nAcme Anvil\nGlobex Dome\n\nNot Vulnerable:\nAcme Rocket\n\n"
            "PellBrook ID: %1\nClass: Boundary Condition Error\nRemote: Yes\nLocal: No\n"
            "Discussion\nA long field.\nOver two lines.\n\n"
            "Exploit:\n\nNone known.\n\nSolution:\n\nUpgrade.\n\nCredit:\n\nA reader.\n\n\n" +
            QString(74, u'-') + "\n\n";
        QCOMPARE(verboseSection(r, QStringLiteral("Office, Lab"), vulnTree()), expected);
        QCOMPARE(
            briefMailLine(r, QStringLiteral("A, B")),
            QStringLiteral("Orvelle Pager Profile [A, B] is vulnerable to QID [%1] : Rocket %2\n"));
        QCOMPARE(popupText(r, QStringLiteral("A")),
                 QStringLiteral("The network profile(s) [A] was found to be vulnerable to the "
                                "following issue:\n\nPellbrook ID [%1] : Rocket %2"));
    }

    void customIndexAgreesWithEntityRule()
    {
        // Keywords with odd case, blanks and letters outside ASCII, against
        // titles and tree names, decided both ways, in one feed so that no
        // answer is carried from one record to the next.
        const QString ete = QString::fromUtf8("\xc3\x89t\xc3\xa9");
        const CVulnTree tree = vulnTree();
        CInventory inv;
        for (const QString& keywords :
             {QStringLiteral("anvil,me"), QStringLiteral("ROCK,globex"), QStringLiteral(" dome,ob"),
              QStringLiteral("Stapler ,er s"), "x," + ete}) {
            const int id = inv.addCustom(keywords, keywords);
            inv.profiles()[inv.newEntity(keywords)].addProduct("CUSTOM", 0, "c", id);
        }
        inv.profiles()[0].addProduct("CUSTOM", 0, "c", 5); // a second one, held twice
        inv.profiles()[1].addProduct("CUSTOM", 0, "c", 9); // one since removed
        QString feed;
        QStringList expected;
        int qid = 0, matches = 0;
        for (const char* list : {"", "10:1001", "30:3001", "20:2001,10:9", "10:3001"}) {
            for (const QString& title :
                 {QStringLiteral("plain"), "\u00e9T" + ete, QStringLiteral("MeOw")}) {
                feed += vuln(QString::number(++qid), "d", list, title);
                QStringList names;
                for (const CNetworkEntity& p : inv.profiles())
                    if (p.matchesCustom(productIdList(list, IdSide::Product), tree, inv.customs(),
                                        title))
                        names << p.name;
                matches += int(names.size());
                if (!names.isEmpty())
                    expected << QString::number(qid) + u':' + names.join(QStringLiteral(", "));
            }
        }
        QStringList got;
        for (const VulnNotice& n : processVulnFeed(feed, inv, tree).notices)
            got << n.record.qid + u':' + n.names;
        QCOMPARE(got, expected);
        QVERIFY(matches > 5 && matches < 5 * 15); // both outcomes were seen
    }

    void pollArgument()
    {
        // No line break can add a header, no "&" an argument; other bytes as UTF-8.
        QCOMPARE(vulnPollArgument(QString::fromUtf8("1\r\nHost: a-b.c_d&v=9\xc3\xa9"), 3, false),
                 QStringLiteral("timestamp=1%0D%0AHost:%20a-b.c_d%26v%3D9%C3%A9&version=3"));
        QCOMPARE(vulnPollArgument("2026 x", 3, true), QStringLiteral("timestamp=0&version=3"));
    }
};

QTEST_GUILESS_MAIN(TestVulnFeed)
#include "tst_vulnfeed.moc"
