// The controller's news as desktop notices, against a stand-in notification
// service on a private session bus: which of notice and box the user gets,
// a click bringing the list back, the urgency hint while the icon flashes,
// and the option's own file.
#include "config/cconfig.h"
#include "config/coptions.h"
#include "pager/cpager.h"
#include "pager/x11hints.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/notificationstandin.h"
#include "tests/common/privatebus.h"
#include "tests/common/replies.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include <memory>

class TestDesktopNotices : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void newsAnnounced_data();
    void newsAnnounced();
    void urgentWhileFlashing();
    void optionKeptInItsOwnFile();

private:
    CPager* start(const QByteArray& notifyFile, bool flash = false);

    const QByteArray poll = "GET /pagerv3/pager_info.html";
    std::unique_ptr<TempHome> home;
    std::unique_ptr<HttpStandIn> server;
    std::unique_ptr<NotificationStandIn> service;
    std::unique_ptr<CPager> pager;
};

namespace {

QList<QMessageBox*> shownBoxes()
{
    QList<QMessageBox*> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            shown << box;
    return shown;
}

} // namespace

void TestDesktopNotices::initTestCase()
{
    if (!privatebus::available())
        QSKIP("no private session bus (dbus-run-session is missing)");
}

void TestDesktopNotices::init()
{
    home = std::make_unique<TempHome>();
    server = std::make_unique<HttpStandIn>(replies::notFound);
    QVERIFY(server->listen());
    QVERIFY(home->write(QStringLiteral("category.dat"), replies::categories));
    server->route(poll, replies::ok(replies::topnews(replies::headline(1, 10, "202612061010", 1))));
    childprocess::setPagerEnvironment(home->path(), server->address());
}

void TestDesktopNotices::cleanup()
{
    for (QMessageBox* b : shownBoxes())
        b->accept();
    pager.reset();
    service.reset();
    server.reset();
    home.reset();
}

CPager* TestDesktopNotices::start(const QByteArray& notifyFile, bool flash)
{
    home->write(QStringLiteral("ovpager.cfg"), replies::settings(true, "No Skin", 5, flash));
    if (!notifyFile.isNull())
        home->write(QStringLiteral("notify.cfg"), notifyFile);
    pager = std::make_unique<CPager>();
    return pager.get();
}

void TestDesktopNotices::newsAnnounced_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<bool>("withService");
    QTest::addColumn<bool>("notice");
    QTest::addColumn<bool>("box");
    QTest::newRow("instead: the notice alone, a click shows the list")
        << QByteArray("instead") << true << true << false;
    QTest::newRow("beside: notice and box") << QByteArray("beside") << true << true << true;
    QTest::newRow("instead without a service: the box")
        << QByteArray("instead") << false << false << true;
}

void TestDesktopNotices::newsAnnounced()
{
    QFETCH(QByteArray, mode);
    QFETCH(bool, withService);
    QFETCH(bool, notice);
    QFETCH(bool, box);

    if (withService) {
        service = std::make_unique<NotificationStandIn>();
        QVERIFY(service->start());
    }
    CPager* p = start("desktopnotices=" + mode + "\n");
    QTRY_VERIFY(!server->linesStartingWith(poll).isEmpty());
    if (box)
        QTRY_COMPARE(shownBoxes().size(), 1);
    if (notice) {
        QTRY_COMPARE(service->notices().size(), 1);
        QCOMPARE(service->notices().first().body, QStringLiteral("Item 10 of 1"));
    }
    QTest::qWait(300); // time for what should not come
    QCOMPARE(shownBoxes().size(), box ? 1 : 0);
    QCOMPARE(service ? service->notices().size() : 0, notice ? 1 : 0);
    if (notice && !box) {
        QVERIFY(!p->isVisible());
        service->invokeAction(service->notices().first().id, QStringLiteral("default"));
        QTRY_VERIFY(p->isVisible());
    }
}

void TestDesktopNotices::urgentWhileFlashing()
{
    CPager* p = start(QByteArray(), true);
    p->show();
    QVERIFY(QTest::qWaitForWindowExposed(p));
    QTRY_COMPARE(shownBoxes().size(), 1);
    QVERIFY(hasUrgencyHint(p->winId()));
    shownBoxes().first()->accept();
    QTRY_VERIFY(!hasUrgencyHint(p->winId())); // the flash ended with the box
}

void TestDesktopNotices::optionKeptInItsOwnFile()
{
    CPager* p = start(QByteArray());
    const QByteArray settingsBefore = home->read(QStringLiteral("ovpager.cfg"));
    p->configDialog->optionsPage()->setDesktopNotices(DesktopNotices::Beside);
    QVERIFY(p->saveConfig(QStringLiteral("ovpager.cfg")));
    QCOMPARE(home->read(QStringLiteral("notify.cfg")), QByteArray("desktopnotices=beside\n"));
    QCOMPARE(home->read(QStringLiteral("ovpager.cfg")), settingsBefore);

    // A cancelled dialog puts the option back as it was.
    p->configDialog->show();
    p->configDialog->optionsPage()->setDesktopNotices(DesktopNotices::Instead);
    p->configDialog->reject();
    QCOMPARE(p->configDialog->optionsPage()->desktopNotices(), DesktopNotices::Beside);
}

int main(int argc, char** argv)
{
    privatebus::enter(argv);
    QApplication app(argc, argv);
    TestDesktopNotices test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktopnotices.moc"
