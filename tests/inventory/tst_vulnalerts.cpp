// Vulnerability alerts from the inventory page: mails through a stand-in
// mailer, boxes, and desktop notices through a stand-in notification
// service on a private session bus.
#include "config/cconfig.h"
#include "config/cdesktopnotifier.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "feedrecords.h"
#include "inventory/core/cmailerrunner.h"
#include "inventory/core/vulnfeed.h"
#include "inventory/netinventory.h"
#include "tests/common/notificationstandin.h"
#include "tests/common/privatebus.h"
#include "tests/common/standinprogram.h"
#include "tests/common/testfiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

using feedrecords::vuln;

namespace {

const QString twoMatches = vuln("11", "2026-03-01", "10:1001", "Anvil drops") +
                           vuln("13", "2026-02-15", "20:2001,10:1001", "Dome and anvil");

} // namespace

class TestVulnAlerts : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_config.reset(); // the last test's page goes before its folder
        m_dir = std::make_unique<TempDataDir>();
        QVERIFY(m_dir->write(QStringLiteral("vulncategory.dat"), feedrecords::tree));
        m_config = std::make_unique<CConfig>();
        m_page = new CNetInventory(nullptr, m_config.get());
        m_config->setPages(new QWidget, m_page);
        feedrecords::addProfiles(m_page->model());
    }

    void mails()
    {
        // Nothing ticked: nothing told, the timestamp saved all the same.
        StandInProgram mailer;
        setOptions(mailer.path() + QStringLiteral(" -s 'Orvelle Alert'"), false, false, false);
        feed(twoMatches);
        QVERIFY(saved().startsWith("<timestamp>2026-03-01</timestamp>"));
        QVERIFY(m_page->mailerRunner()->isIdle());
        QCOMPARE(openBoxes().size(), 0);

        // A brief mail for each notice, one verbose mail for them all.
        setOptions(mailer.path() + QStringLiteral(" -s 'Orvelle Alert'"), false, true, true);
        const VulnFeedResult expected =
            processVulnFeed(twoMatches, m_page->model(), feedrecords::vulnTree());
        feed(twoMatches);
        QTRY_VERIFY_WITH_TIMEOUT(m_page->mailerRunner()->isIdle(), 10000);
        QCOMPARE(mailer.runs(), 3);
        // The brief mail's form and recipients are tst_ovpager's alertMailed; here, the second.
        const VulnNotice& second = expected.notices.at(1);
        QCOMPARE(mailer.input(2), briefMailLine(second.record, second.names).toUtf8());
        QCOMPARE(mailer.arguments(3), (QStringList{"-s", "Orvelle Alert", "v@x.org"}));
        QCOMPARE(mailer.input(3), expected.verboseText.toUtf8());
    }

    void feedsWaitTheirTurnWhileMailerHangs()
    {
        StandInProgram mailer("sleep 1000 & wait");
        setOptions(mailer.path(), true, false, true);
        QElapsedTimer clock;
        clock.start();
        feed(vuln("1", "a", "10:1001", "First"));
        feed(vuln("2", "b", "10:1001", "Second"));
        QVERIFY(clock.elapsed() < 1000);
        // Saved at once, one box at a time, and the boxes answer while the mailer hangs.
        QVERIFY(saved().startsWith("<timestamp>b</timestamp>"));
        QTRY_COMPARE(mailer.runs(), 1);
        QCOMPARE(openBoxes().size(), 1);
        QVERIFY(openBoxes().at(0)->text().endsWith(QStringLiteral("[1] : First")));
        openBoxes().at(0)->defaultButton()->click();
        QTRY_COMPARE(openBoxes().size(), 1);
        QVERIFY(openBoxes().at(0)->text().endsWith(QStringLiteral("[2] : Second")));
        QVERIFY(!m_page->mailerRunner()->isIdle());
    }

    void desktopNotices()
    {
        if (!privatebus::available())
            QSKIP("no private session bus (dbus-run-session is missing)");
        NotificationStandIn service;
        QVERIFY(service.start());
        CDesktopNotifier notifier;
        m_page->setDesktopNotifier(&notifier);
        m_config->optionsPage()->setDesktopNotices(DesktopNotices::Instead);
        setOptions(QString(), true, false, false);
        feed(vuln("11", "2026-03-01", "10:1001", "Anvil drops"));
        QTRY_COMPARE(service.notices().size(), 1);
        QVERIFY(service.notices().first().body.endsWith(QLatin1String("[11] : Anvil drops")));
        QCOMPARE(openBoxes().size(), 0); // instead of a box, which would be open by now

        // A notice the desktop refuses comes as the box after all, and only once.
        service.failWith(QStringLiteral("org.freedesktop.DBus.Error.Failed"));
        feed(vuln("12", "2026-03-02", "10:1001", "Anvil again"));
        QTRY_COMPARE(openBoxes().size(), 1);
        QVERIFY(openBoxes().at(0)->text().endsWith(QLatin1String("[12] : Anvil again")));
        QCOMPARE(service.notices().size(), 1);
    }

private:
    void setOptions(const QString& mailer, bool popup, bool verbose, bool brief)
    {
        m_config->inventoryOptionsPage()->setValues("v@x.org", "a@x.org, b@y.org", mailer, popup,
                                                    verbose, brief);
    }
    void feed(const QString& text)
    {
        QVERIFY(m_dir->write(QStringLiteral("vulnpoll.dat"), text.toUtf8()));
        m_page->processVulns();
    }
    QList<QMessageBox*> openBoxes() const
    {
        QList<QMessageBox*> boxes = m_page->findChildren<QMessageBox*>();
        boxes.removeIf([](QMessageBox* box) { return !box->isVisible(); });
        return boxes;
    }
    QByteArray saved() const { return m_dir->read(QStringLiteral("netinventory.dat")); }

    std::unique_ptr<CConfig> m_config;
    std::unique_ptr<TempDataDir> m_dir;
    CNetInventory* m_page = nullptr;
};

int main(int argc, char** argv)
{
    privatebus::enter(argv);
    QApplication app(argc, argv);
    TestVulnAlerts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vulnalerts.moc"
