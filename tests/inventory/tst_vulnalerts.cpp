#include "config/cconfig.h"
#include "config/cinventoryoptions.h"
#include "inventory/core/cmailerrunner.h"
#include "inventory/core/vulnfeed.h"
#include "inventory/netinventory.h"
#include "tests/common/standinprogram.h"
#include "tests/common/testfiles.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

const QByteArray treeFile = "VERSION=3\n0,10,\"Acme\"\n10,1001,\"Anvil\"\n10,1002,\"Rocket\"\n"
                            "0,20,\"Globex\"\n20,2001,\"Dome\"\n";

QByteArray vuln(const char* qid, const char* updated, const char* vulnerable, const char* title)
{
    return QByteArray("<vuln>\n\t<qid>") + qid + "</qid>\n\t<title>" + title +
           "</title>\n\t<object>o</object>\n\t<class>Design Error</class>\n"
           "\t<remote>Yes</remote>\n\t<local>No</local>\n\t<published>2026-01-01</published>\n"
           "\t<updated>" +
           updated + "</updated>\n\t<vulnerable>" + vulnerable +
           "</vulnerable>\n\t<notvulnerable>10:1002</notvulnerable>\n"
           "\t<discussion>Text.</discussion>\n\t<exploit>None.</exploit>\n"
           "\t<solution>Upgrade.</solution>\n\t<credit>A reader.</credit>\n</vuln>\n";
}

const QByteArray twoMatches = vuln("11", "2026-03-01", "10:1001", "Anvil drops") +
                              vuln("12", "2026-02-01", "99:9", "Elsewhere") +
                              vuln("13", "2026-02-15", "20:2001,10:1001", "Dome and anvil");

} // namespace

class TestVulnAlerts : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void mailsAndPopups();
    void feedsWaitTheirTurnWhileMailerHangs();
    void allBoxesUnticked();

private:
    void setOptions(const QString& mailer, bool popup, bool verbose, bool brief);
    QList<QMessageBox*> openBoxes() const;
    QString savedTimestamp() const;

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<CConfig> m_config;
    CNetInventory* m_page = nullptr;
};

void TestVulnAlerts::init()
{
    m_dir = std::make_unique<TempDataDir>();
    QVERIFY(m_dir->write(QStringLiteral("vulncategory.dat"), treeFile));
    m_config = std::make_unique<CConfig>();
    m_page = new CNetInventory(nullptr, m_config.get());
    m_config->setPages(new QWidget, m_page);
    CInventory& model = m_page->model();
    model.profiles()[model.newEntity(QStringLiteral("Office"))].addProduct(
        QStringLiteral("Acme"), 10, QStringLiteral("Anvil"), 1001);
    model.profiles()[model.newEntity(QStringLiteral("Lab"))].addProduct(
        QStringLiteral("Globex"), 20, QStringLiteral("ALL Products"), 0);
}

void TestVulnAlerts::cleanup()
{
    m_config.reset();
    m_page = nullptr;
    m_dir.reset();
}

void TestVulnAlerts::setOptions(const QString& mailer, bool popup, bool verbose, bool brief)
{
    m_config->inventoryOptionsPage()->setValues(QStringLiteral("v@x.org"),
                                                QStringLiteral("a@x.org, b@y.org"), mailer, popup,
                                                verbose, brief);
}

QList<QMessageBox*> TestVulnAlerts::openBoxes() const
{
    QList<QMessageBox*> boxes;
    for (QMessageBox* box : m_page->findChildren<QMessageBox*>()) {
        if (box->isVisible())
            boxes << box;
    }
    return boxes;
}

QString TestVulnAlerts::savedTimestamp() const
{
    CInventory saved;
    return saved.load(m_dir->file(QStringLiteral("netinventory.dat")), CVulnTree())
               ? saved.timestamp()
               : QString();
}

void TestVulnAlerts::mailsAndPopups()
{
    StandInProgram mailer;
    setOptions(mailer.path() + QStringLiteral(" -s 'Orvelle Alert'"), true, true, true);
    QVERIFY(m_dir->write(QStringLiteral("vulnpoll.dat"), twoMatches));
    const VulnFeedResult expected = processVulnFeed(
        QString::fromLatin1(twoMatches), m_page->model(), readVulnCategoryFile(treeFile).tree);
    m_page->processVulns();
    for (const char* end : {"[11] : Anvil drops", "[13] : Dome and anvil"}) {
        QTRY_COMPARE(openBoxes().size(), 1);
        QVERIFY(openBoxes().at(0)->text().endsWith(QLatin1String(end)));
        openBoxes().at(0)->defaultButton()->click();
    }
    QTRY_VERIFY(!m_page->popupOpen());

    QTRY_VERIFY_WITH_TIMEOUT(m_page->mailerRunner()->isIdle(), 10000);
    QCOMPARE(mailer.runs(), 3);
    for (int run : {1, 2}) {
        QCOMPARE(mailer.arguments(run), QStringList({"-s", "Orvelle Alert", "a@x.org", "b@y.org"}));
        const VulnNotice& notice = expected.notices.at(run - 1);
        QCOMPARE(mailer.input(run), briefMailLine(notice.record, notice.names).toUtf8());
    }
    QCOMPARE(mailer.arguments(3), (QStringList{"-s", "Orvelle Alert", "v@x.org"}));
    QCOMPARE(mailer.input(3), expected.verboseText.toUtf8());
}

void TestVulnAlerts::feedsWaitTheirTurnWhileMailerHangs()
{
    StandInProgram mailer("sleep 1000 & wait");
    setOptions(mailer.path(), true, false, true);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_dir->write(QStringLiteral("vulnpoll.dat"), vuln("1", "a", "10:1001", "First")));
    m_page->processVulns();
    QVERIFY(m_dir->write(QStringLiteral("vulnpoll.dat"), vuln("2", "b", "10:1001", "Second")));
    m_page->processVulns();
    QVERIFY(clock.elapsed() < 1000);
    // Saved at once, one box at a time, and the boxes answer while the mailer hangs.
    QCOMPARE(savedTimestamp(), QStringLiteral("b"));
    QTRY_COMPARE(mailer.runs(), 1);
    QCOMPARE(openBoxes().size(), 1);
    QVERIFY(openBoxes().at(0)->text().endsWith(QStringLiteral("[1] : First")));
    openBoxes().at(0)->defaultButton()->click();
    QTRY_COMPARE(openBoxes().size(), 1);
    QVERIFY(openBoxes().at(0)->text().endsWith(QStringLiteral("[2] : Second")));
    QVERIFY(!m_page->mailerRunner()->isIdle());
}

void TestVulnAlerts::allBoxesUnticked()
{
    StandInProgram mailer;
    setOptions(mailer.path(), false, false, false);
    QVERIFY(m_dir->write(QStringLiteral("vulnpoll.dat"), twoMatches));
    m_page->processVulns();
    QCOMPARE(savedTimestamp(), QStringLiteral("2026-03-01"));
    QTest::qWait(200);
    QCOMPARE(openBoxes().size() + mailer.runs(), 0);

    // No feed file: the saved file stays as it was.
    QFile::remove(m_dir->file(QStringLiteral("vulnpoll.dat")));
    m_page->model().setTimestamp(QStringLiteral("9999"));
    m_page->processVulns();
    QCOMPARE(savedTimestamp(), QStringLiteral("2026-03-01"));
}

QTEST_MAIN(TestVulnAlerts)
#include "tst_vulnalerts.moc"
