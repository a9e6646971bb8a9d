#include "config/core/settingsfile.h"
#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"
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

namespace {

const QByteArray treeFile = "VERSION=3\n0,10,\"Acme\"\n10,1001,\"Anvil\"\n";

QByteArray vuln(const char* qid, const char* updated, const char* title)
{
    return QByteArray("<vuln>\n\t<qid>") + qid + "</qid>\n\t<title>" + title +
           "</title>\n\t<object>o</object>\n\t<class>c</class>\n\t<remote>Yes</remote>\n"
           "\t<local>No</local>\n\t<published>p</published>\n\t<updated>" +
           updated +
           "</updated>\n\t<vulnerable>10:1001</vulnerable>\n\t<notvulnerable></notvulnerable>\n"
           "\t<discussion>d</discussion>\n\t<exploit>e</exploit>\n\t<solution>s</solution>\n"
           "\t<credit>c</credit>\n</vuln>\n";
}

} // namespace

void TestVulnMail::feedMailedByTheProgram()
{
    const TempHome tmp;
    StandInProgram mailer;
    PagerSettings settings;
    settings.briefNotify = true;
    settings.verboseNotify = true;
    settings.briefEmail = QStringLiteral("ops@example.org sec@example.org");
    settings.verboseEmail = QStringLiteral("a@example.org; touch owned");
    settings.mailer = mailer.path() + QStringLiteral(" -s 'Orvelle Alert'");
    QVERIFY(tmp.write(QStringLiteral("ovpager.cfg"), formatSettings(settings)));
    QVERIFY(tmp.write(QStringLiteral("category.dat"), replies::categories));
    QVERIFY(tmp.write(QStringLiteral("vulncategory.dat"), treeFile));
    CInventory inventory;
    inventory.profiles()[inventory.newEntity(QStringLiteral("Office"))].addProduct(
        QStringLiteral("Acme"), 10, QStringLiteral("Anvil"), 1001);
    QVERIFY(inventory.save(tmp.dataFile(QStringLiteral("netinventory.dat"))));

    HttpStandIn server(replies::notFound);
    QVERIFY(server.listen());
    const QByteArray poll = "GET /pagerv3/vuln_info.html";
    server.route(poll,
                 replies::ok("<vulns>\n" + vuln("7", "2026-06-01", "Anvil melts") + "</vulns>\n"));
    PagerProcess child;
    QVERIFY(child.start(QStringLiteral(OVPAGER_BINARY), tmp.path(), server.address(), {}));
    QTRY_COMPARE_WITH_TIMEOUT(mailer.runs(), 1, 20000);
    QTRY_VERIFY(mailer.hasInput(1));
    QCOMPARE(server.linesStartingWith(QString::fromLatin1(poll)).value(0),
             QStringLiteral("GET /pagerv3/vuln_info.html?timestamp=0&version=3 HTTP/1.0"));
    QCOMPARE(mailer.arguments(1),
             QStringList({"-s", "Orvelle Alert", "ops@example.org", "sec@example.org"}));
    QCOMPARE(mailer.input(1),
             QByteArray("Orvelle Pager Profile [Office] is vulnerable to QID [7] : Anvil melts\n"));
    CInventory saved;
    QTRY_VERIFY(saved.load(tmp.dataFile(QStringLiteral("netinventory.dat")), CVulnTree()) &&
                saved.timestamp() == QStringLiteral("2026-06-01"));
    // The verbose recipients are refused (the runner's test shows they never reach a shell).
    QVERIFY(child.stop());
    QVERIFY(
        child.process.readAllStandardError().contains("Recipients for the verbose mail refused"));
}

QTEST_GUILESS_MAIN(TestVulnMail)
#include "tst_vulnmail.moc"
