// The tray icon where a tray exists: a stand-in tray manager owns the
// tray selection on the X server before the program starts.
#include "app/cmain.h"
#include "pager/cpager.h"
#include "pager/icons.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/privatebus.h"
#include "tests/common/replies.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTreeWidget>

#include <X11/Xlib.h>

#include <memory>

class TestTrayIcon : public QObject
{
    Q_OBJECT
private slots:
    void countAndMenu();
};

void TestTrayIcon::countAndMenu()
{
    TempHome home;
    HttpStandIn server(replies::notFound);
    QVERIFY(server.listen());
    QVERIFY(home.write("category.dat", replies::categories) &&
            home.write("ovpager.cfg", replies::settings(false)));
    const QByteArray poll = "GET /pagerv3/pager_info.html";
    server.route(poll, replies::ok(replies::topnews(replies::headline(1, 10, "202612061010", 1) +
                                                    replies::headline(1, 11, "202612061011", 1))));
    childprocess::setPagerEnvironment(home.path(), server.address());

    CMain window;
    QSystemTrayIcon* tray = window.trayIcon();
    QVERIFY(tray);
    QTRY_COMPARE(tray->toolTip(), QStringLiteral("Orvelle Pager: 2 new headlines"));
    QTreeWidgetItem* category = window.pager->headlines()->topLevelItem(1);
    QVERIFY(category && category->childCount() == 2);
    window.pager->headlines()->setCurrentItem(category->child(0));
    QCOMPARE(tray->toolTip(), QStringLiteral("Orvelle Pager: 1 new headline"));

    // The window's icon follows the pager's flashing.
    emit window.pager->newIcon(false);
    QVERIFY(window.windowIcon().pixmap(16).toImage() == alternateWindowIcon().toImage());
    emit window.pager->newIcon(true);
    QVERIFY(window.windowIcon().pixmap(16).toImage() == normalWindowIcon().toImage());

    // Show, Update, Quit.
    const int polls = int(server.linesStartingWith(poll).size());
    tray->contextMenu()->actions().at(1)->trigger();
    QTRY_COMPARE(server.linesStartingWith(poll).size(), polls + 1);
    QVERIFY(!window.isVisible());
    tray->contextMenu()->actions().at(0)->trigger();
    QVERIFY(window.isVisible());
}

int main(int argc, char** argv)
{
    privatebus::enter(argv);
    // The stand-in tray manager: the owner of the tray selection of screen 0.
    Display* display = XOpenDisplay(nullptr); // there is one: the test is run under X
    const Window manager =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, XInternAtom(display, "_NET_SYSTEM_TRAY_S0", False), manager,
                       CurrentTime);
    XSync(display, False);
    QApplication app(argc, argv);
    TestTrayIcon test;
    const int status = QTest::qExec(&test, argc, argv);
    XCloseDisplay(display);
    return status;
}

#include "tst_trayicon.moc"
