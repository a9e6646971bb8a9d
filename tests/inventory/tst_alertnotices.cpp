// Vulnerability alerts as desktop notices, against a stand-in notification
// service on a private session bus: notice, box or both, and the box when
// no service answers.
#include "config/cconfig.h"
#include "config/cdesktopnotifier.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "inventory/netinventory.h"
#include "tests/common/notificationstandin.h"
#include "tests/common/privatebus.h"
#include "tests/common/testfiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include <memory>

class TestAlertNotices : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void alertsAnnounced_data();
    void alertsAnnounced();
};

void TestAlertNotices::initTestCase()
{
    if (!privatebus::available())
        QSKIP("no private session bus (dbus-run-session is missing)");
}

void TestAlertNotices::alertsAnnounced_data()
{
    QTest::addColumn<bool>("withService");

    QTest::newRow("instead: the notice alone") << true;
    QTest::newRow("instead without a service: the box") << false;
}

void TestAlertNotices::alertsAnnounced()
{
    QFETCH(bool, withService);

    std::unique_ptr<NotificationStandIn> service;
    if (withService) {
        service = std::make_unique<NotificationStandIn>();
        QVERIFY(service->start());
    }
    TempDataDir dir;
    QVERIFY(dir.write(QStringLiteral("vulncategory.dat"), "VERSION=3\n0,10,\"Acme\"\n"
                                                          "10,1001,\"Anvil\"\n"));
    CConfig config;
    auto* page = new CNetInventory(nullptr, &config);
    config.setPages(new QWidget, page);
    CDesktopNotifier notifier;
    page->setDesktopNotifier(&notifier);
    config.optionsPage()->setDesktopNotices(DesktopNotices::Instead);
    config.inventoryOptionsPage()->setValues(QString(), QString(), QString(), true, false, false);
    CInventory& model = page->model();
    model.profiles()[model.newEntity(QStringLiteral("Office"))].addProduct(
        QStringLiteral("Acme"), 10, QStringLiteral("Anvil"), 1001);
    QVERIFY(
        dir.write(QStringLiteral("vulnpoll.dat"),
                  "<vuln>\n\t<qid>11</qid>\n\t<title>Anvil drops</title>\n\t<object>o</object>\n"
                  "\t<class>Design Error</class>\n\t<remote>Yes</remote>\n\t<local>No</local>\n"
                  "\t<published>2026-01-01</published>\n\t<updated>2026-03-01</updated>\n"
                  "\t<vulnerable>10:1001</vulnerable>\n\t<notvulnerable></notvulnerable>\n"
                  "\t<discussion>Text.</discussion>\n\t<exploit>None.</exploit>\n"
                  "\t<solution>Upgrade.</solution>\n\t<credit>A reader.</credit>\n</vuln>\n"));

    page->processVulns();
    if (withService) {
        QTRY_COMPARE(service->notices().size(), 1);
        QVERIFY(service->notices().first().body.endsWith(QLatin1String("[11] : Anvil drops")));
    }
    QTest::qWait(300); // time for what should not come
    int shown = 0;
    for (QMessageBox* box : page->findChildren<QMessageBox*>())
        shown += box->isVisible() ? 1 : 0;
    QCOMPARE(shown, withService ? 0 : 1);
    QCOMPARE(service ? service->notices().size() : 0, withService ? 1 : 0);
}

int main(int argc, char** argv)
{
    privatebus::enter(argv);
    QApplication app(argc, argv);
    TestAlertNotices test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_alertnotices.moc"
