// The controller in process against a loopback stand-in: what a selected
// headline asks and shows, the new-content box with the configured count,
// the guard against a server that keeps calling the category file old, and
// what the abstract pane says while polls fail. News as desktop notices go to
// a stand-in notification service on a private session bus.
#include "config/cconfig.h"
#include "config/coptions.h"
#include "config/core/settingsfile.h"
#include "pager/cpager.h"
#include "pager/x11hints.h"
#include "tests/common/boxwatcher.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/notificationstandin.h"
#include "tests/common/privatebus.h"
#include "tests/common/replies.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include <memory>

namespace {

QByteArray headlines(int count)
{
    QByteArray records;
    for (int i = 0; i < count; ++i)
        records += replies::headline(1, 10 + i, "2026120610" + QByteArray::number(10 + i), 1);
    return replies::ok(replies::topnews(records));
}

QTreeWidgetItem* category(QTreeWidget* list, const QString& name)
{
    return list->findItems(name, Qt::MatchExactly).value(0);
}

} // namespace

class TestCPager : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        home = std::make_unique<TempHome>();
        server = std::make_unique<HttpStandIn>(replies::notFound);
        QVERIFY(server->listen());
        QVERIFY(home->write(QStringLiteral("category.dat"), replies::categories));
        childprocess::setPagerEnvironment(home->path(), server->address());
    }

    void cleanup()
    {
        for (QMessageBox* b : shownMessageBoxes())
            b->accept();
        pager.reset(); // before the server and home it uses, which init() replaces
    }

    // One pager run: a selected headline, the banner's timer and the notice option.
    void oneSession()
    {
        server->route(poll.toLatin1(), headlines(2));
        server->route("GET /pagerv3/abstract.html",
                      replies::ok("<body><b>Worm</b> in the <i>mail</i> relay</body>\n"));
        CPager* p = start();
        QTreeWidget* list = p->headlines();
        QTRY_VERIFY(category(list, "Vulnerabilities") &&
                    category(list, "Vulnerabilities")->childCount() == 2);
        list->setCurrentItem(category(list, "Vulnerabilities")->child(1));
        QCOMPARE(p->abstractPane()->toPlainText(), QStringLiteral("Loading..."));
        QTRY_COMPARE(server->linesStartingWith("GET /pagerv3/abstract.html"),
                     QStringList("GET /pagerv3/abstract.html?what=1&item=10 HTTP/1.0"));
        QTRY_COMPARE(p->abstractPane()->toPlainText(), QStringLiteral("Worm in the mail relay"));
        // The server's markup is gone.
        QVERIFY(!p->abstractPane()->toHtml().contains("font-weight:700"));

        // The banner's timer asks for a new advertisement only while the window is
        // the active one (the start asked once regardless).
        auto ads = [&] { return server->linesStartingWith("GET /frames/ad.html").size(); };
        QTRY_COMPARE(ads(), 1);
        p->active = false;
        p->slotGetAd();
        QTest::qWait(300);
        QCOMPARE(ads(), 1);
        p->active = true;
        p->slotGetAd();
        QTRY_COMPARE(ads(), 2);

        p->configDialog->optionsPage()->setDesktopNotices(DesktopNotices::Beside);
        QVERIFY(p->saveConfig(QStringLiteral("ovpager.cfg")));
        QCOMPARE(home->read(QStringLiteral("notify.cfg")), QByteArray("desktopnotices=beside\n"));
    }

    void newContentBox()
    {
        // Notices instead of the box, but no notification service: the box still comes.
        server->route(poll.toLatin1(), headlines(8));
        QVERIFY(home->write(QStringLiteral("notify.cfg"), "desktopnotices=instead\n"));
        CPager* p = start(6, true); // a count other than the default 5
        p->show();
        QVERIFY(QTest::qWaitForWindowExposed(p));
        QList<bool> icons;
        connect(p, &CPager::newIcon, this, [&](bool normal) { icons << normal; });
        QTRY_COMPARE(shownMessageBoxes().size(), 1);
        QVERIFY(shownMessageBoxes().first()->text().endsWith("\n\nVulnerabilities"));
        QVERIFY(polls().first().contains("&nentries=6&"));
        QCOMPARE(category(p->headlines(), "Vulnerabilities")->childCount(), 6);
        QTRY_VERIFY(icons.count(false) >= 2 && icons.count(true) >= 2); // the icon flashes
        QVERIFY(hasUrgencyHint(p->winId()));

        // Later news joins the open box instead of opening another.
        server->route(poll.toLatin1(), replies::ok(replies::topnews(
                                           replies::headline(20001, 30, "202612061100", 1))));
        p->slotUpdateContent();
        QTRY_VERIFY(
            shownMessageBoxes().first()->text().endsWith("\n\nVulnerabilities, announcements"));
        QCOMPARE(shownMessageBoxes().size(), 1);

        shownMessageBoxes().first()->accept();
        QTRY_VERIFY(!hasUrgencyHint(p->winId())); // the flash ends with the box
        QTRY_COMPARE(icons.last(), true);         // on the normal icon
    }

    void oldCategoryRepollGuard()
    {
        // Every poll is refused, whatever category file the pager holds; one of
        // the same version as the pager's own brings no poll again. (A newer
        // one's repoll is what the end-to-end run's first content needs.)
        server->route(poll.toLatin1(),
                      replies::ok(replies::topnews("<!-- error old category file -->\n")));
        server->route("GET /test/zorbel-thing3.html",
                      replies::ok("<pre>" + replies::categories + "</pre>\n"));
        start();
        QTRY_VERIFY(!server->linesStartingWith("GET /test/zorbel-thing3.html").isEmpty());
        QTest::qWait(500);
        QCOMPARE(polls().size(), 1);
    }

    void storeKeptWhileCategoriesAreAwaited()
    {
        // The category file has not arrived yet, so the store was never read.
        QVERIFY(QFile::remove(home->dataDir() + QStringLiteral("/category.dat")));
        const QByteArray store = replies::headline(1, 10, "202612061010", 0);
        QVERIFY(home->write(QStringLiteral("article.dat"), store));
        CPager* p = start();
        p->quit();
        QCOMPARE(home->read(QStringLiteral("article.dat")), store);
    }

    void pollFailuresShown()
    {
        const QString version = QStringLiteral("Orvelle Pager\nVersion 3.0");
        const QString never = QStringLiteral(" No poll has succeeded since the pager started.");
        server->keepPort();
        server->close(); // refuses connections to begin with
        CPager* p = start();
        QTextBrowser* pane = p->abstractPane();
        QTRY_COMPARE(pane->toPlainText(),
                     version + "\nThe server cannot be reached (Connection refused)." + never);

        QVERIFY(server->listen(server->port()));
        server->route(poll.toLatin1(), "HTTP/1.0 500 Oops\r\n\r\n");
        p->slotUpdateContent();
        QTRY_COMPARE(pane->toPlainText(),
                     version + "\nThe server answered with an error (HTTP/1.0 500 Oops)." + never);

        server->route(poll.toLatin1(), headlines(1));
        p->slotUpdateContent();
        QTRY_COMPARE(pane->toPlainText(), version); // a good poll ends the error line

        // While the server is away, an abstract never comes: the pane says why.
        server->close();
        p->headlines()->setCurrentItem(category(p->headlines(), "Vulnerabilities")->child(0));
        QTRY_VERIFY(pane->toPlainText().startsWith(
            version + "\nThe server cannot be reached (Connection refused). Last good poll: "));
    }

    void newsAnnounced_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("box");
        QTest::newRow("instead: the notice alone, a click shows the list")
            << QByteArray("instead") << false;
        QTest::newRow("beside: notice and box") << QByteArray("beside") << true;
    }

    void newsAnnounced()
    {
        QFETCH(QByteArray, mode);
        QFETCH(bool, box);

        if (!privatebus::available())
            QSKIP("no private session bus (dbus-run-session is missing)");
        NotificationStandIn service;
        QVERIFY(service.start());
        server->route(poll.toLatin1(), headlines(1));
        QVERIFY(home->write(QStringLiteral("notify.cfg"), "desktopnotices=" + mode + "\n"));
        CPager* p = start(5, true);
        QTRY_COMPARE(service.notices().size(), 1);
        QCOMPARE(service.notices().first().body, QStringLiteral("Item 10 of 1"));
        QTest::qWait(300); // time for what should not come
        QCOMPARE(shownMessageBoxes().size(), int(box));
        QCOMPARE(service.notices().size(), 1);
        if (!box) {
            QVERIFY(!p->isVisible());
            service.invokeAction(service.notices().first().id, QStringLiteral("default"));
            QTRY_VERIFY(p->isVisible());
        }
    }

private:
    CPager* start(int numItems = 5, bool popupAndFlash = false)
    {
        PagerSettings settings;
        settings.numItems = numItems;
        settings.popup = settings.flashIcon = popupAndFlash;
        settings.skin = QStringLiteral("No Skin");
        home->write(QStringLiteral("ovpager.cfg"), formatSettings(settings));
        pager = std::make_unique<CPager>();
        return pager.get();
    }

    QStringList polls() const { return server->linesStartingWith(poll); }

    const QString poll = QStringLiteral("GET /pagerv3/pager_info.html");
    std::unique_ptr<TempHome> home;
    std::unique_ptr<HttpStandIn> server;
    std::unique_ptr<CPager> pager;
};

PRIVATEBUS_TEST_MAIN(TestCPager, QApplication)

#include "tst_cpager.moc"
