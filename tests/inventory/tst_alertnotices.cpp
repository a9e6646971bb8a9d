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
#include <QPushButton>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(DesktopNotices)

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
    QTest::addColumn<DesktopNotices>("mode");
    QTest::addColumn<bool>("withService");
    QTest::addColumn<int>("notices");
    QTest::addColumn<int>("boxes");

    QTest::newRow("instead: notices alone") << DesktopNotices::Instead << true << 2 << 0;
    QTest::newRow("instead without a service: boxes") << DesktopNotices::Instead << false << 0 << 2;
}

void TestAlertNotices::alertsAnnounced()
{
    QFETCH(DesktopNotices, mode);
    QFETCH(bool, withService);
    QFETCH(int, notices);
    QFETCH(int, boxes);

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
    config.optionsPage()->setDesktopNotices(mode);
    config.inventoryOptionsPage()->setValues(QString(), QString(), QString(), true, false, false);
    CInventory& model = page->model();
    model.profiles()[model.newEntity(QStringLiteral("Office"))].addProduct(
        QStringLiteral("Acme"), 10, QStringLiteral("Anvil"), 1001);
    QByteArray feed;
    for (const char* qid : {"11", "12"})
        feed += QByteArray("<vuln>\n\t<qid>") + qid +
                "</qid>\n\t<title>Anvil & drops</title>\n\t<object>o</object>\n"
                "\t<class>Design Error</class>\n\t<remote>Yes</remote>\n\t<local>No</local>\n"
                "\t<published>2026-01-01</published>\n\t<updated>2026-03-01</updated>\n"
                "\t<vulnerable>10:1001</vulnerable>\n\t<notvulnerable></notvulnerable>\n"
                "\t<discussion>Text.</discussion>\n\t<exploit>None.</exploit>\n"
                "\t<solution>Upgrade.</solution>\n\t<credit>A reader.</credit>\n</vuln>\n";
    QVERIFY(dir.write(QStringLiteral("vulnpoll.dat"), feed));

    page->processVulns();
    int shown = 0;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 500) { // until no box has come for a while
        QTest::qWait(20);
        for (QMessageBox* box : page->findChildren<QMessageBox*>()) {
            if (!box->isVisible())
                continue;
            QVERIFY(box->text().endsWith(QLatin1String(" : Anvil & drops")));
            box->defaultButton()->click();
            ++shown;
            quiet.restart();
        }
    }
    QCOMPARE(shown, boxes);
    QCOMPARE(service ? service->notices().size() : 0, notices);
    if (notices) {
        const RecordedNotice first = service->notices().first();
        QCOMPARE(first.summary, QStringLiteral("Orvelle Pager Vulnerability Notification"));
        QVERIFY(first.body.startsWith(QLatin1String("The network profile(s) [Office] was found")));
        QVERIFY(first.body.endsWith(QLatin1String("[11] : Anvil & drops")));
    }
}

int main(int argc, char** argv)
{
    privatebus::enter(argv);
    QApplication app(argc, argv);
    TestAlertNotices test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_alertnotices.moc"
