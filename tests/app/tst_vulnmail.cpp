#include "config/core/settingsfile.h"
#include "inventory/core/cinventory.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"
#include "tests/common/standinprogram.h"

#include <QTest>

// The built program against a loopback content server: a vulnerability
// feed arrives on the first poll and is mailed through a stand-in mailer.
class TestVulnMail : public QObject
{
    Q_OBJECT
private slots:
    void feedMailedByTheProgram();
};

void TestVulnMail::feedMailedByTheProgram()
{
    const TempHome tmp;
    StandInProgram mailer;
    PagerSettings settings;
    settings.briefNotify = settings.verboseNotify = true;
    settings.briefEmail = QStringLiteral("ops@example.org sec@example.org");
    settings.verboseEmail = QStringLiteral("a@example.org; touch owned");
    settings.mailer = mailer.path() + QStringLiteral(" -s 'Orvelle Alert'");
    QVERIFY(tmp.write("ovpager.cfg", formatSettings(settings)) &&
            tmp.write("category.dat", replies::categories) &&
            tmp.write("vulncategory.dat", "VERSION=3\n0,10,\"Acme\"\n10,1001,\"Anvil\"\n"));
    CInventory inventory;
    inventory.profiles()[inventory.newEntity(QStringLiteral("Office"))].addProduct(
        QStringLiteral("Acme"), 10, QStringLiteral("Anvil"), 1001);
    QVERIFY(inventory.save(tmp.dataFile(QStringLiteral("netinventory.dat"))));

    HttpStandIn server(replies::notFound);
    QVERIFY(server.listen());
    server.route(
        "GET /pagerv3/vuln_info.html",
        replies::ok("<vulns>\n<vuln><qid>7</qid><title>Anvil melts</title><object>o</object>"
                    "<class>c</class><remote>Yes</remote><local>No</local><published>p"
                    "</published><updated>2026-06-01</updated><vulnerable>10:1001"
                    "</vulnerable><notvulnerable></notvulnerable><discussion>d</discussion>"
                    "<exploit>e</exploit><solution>s</solution><credit>c</credit></vuln>\n"
                    "</vulns>\n"));
    PagerProcess child;
    QVERIFY(child.start(QStringLiteral(OVPAGER_BINARY), tmp.path(), server.address(), {}));
    QTRY_VERIFY_WITH_TIMEOUT(mailer.hasInput(1), 20000);
    QCOMPARE(server.linesStartingWith("GET /pagerv3/vuln_info.html"),
             QStringList("GET /pagerv3/vuln_info.html?timestamp=0&version=3 HTTP/1.0"));
    QCOMPARE(mailer.arguments(1),
             QStringList({"-s", "Orvelle Alert", "ops@example.org", "sec@example.org"}));
    QCOMPARE(mailer.input(1),
             QByteArray("Orvelle Pager Profile [Office] is vulnerable to QID [7] : Anvil melts\n"));
    // The verbose recipients are refused (the runner's test shows they never reach a shell).
    QVERIFY(child.stop());
    QVERIFY(
        child.process.readAllStandardError().contains("Recipients for the verbose mail refused"));
}

QTEST_GUILESS_MAIN(TestVulnMail)
#include "tst_vulnmail.moc"
