// The main window on a real X server: the skins' shape, places and
// window-manager hint read back from the server, the fallbacks, the tray
// icon that a stand-in tray manager makes possible, and the keys.
#include "app/cmain.h"
#include "app/core/cskin.h"
#include "app/cpagerbutton.h"
#include "config/cconfig.h"
#include "config/coptions.h"
#include "pager/ccategoryitem.h"
#include "pager/ccategorytree.h"
#include "pager/cpager.h"
#include "pager/x11hints.h"

#include "config/core/settingsfile.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/privatebus.h"
#include "tests/common/replies.h"
#include "tests/common/standinprogram.h"
#include "tests/common/testfiles.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <X11/Xlib.h>

#include <memory>

namespace {

const QString skinsSource = QStringLiteral(OVPAGER_SKINS_SOURCE);

// The five values of "_MOTIF_WM_HINTS" as the X server holds them.
QList<long> motifHints(QWidget* window)
{
    Display* display = x11Display();
    const Atom atom = XInternAtom(display, "_MOTIF_WM_HINTS", True);
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    XSync(display, False);
    XGetWindowProperty(display, window->winId(), atom, 0, 5, False, atom, &type, &format, &count,
                       &after, &data);
    const long* longs = reinterpret_cast<const long*>(data);
    const QList<long> values(longs, longs + (data ? count : 0));
    XFree(data);
    return values;
}

} // namespace

class TestCMain : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init()
    {
        QVERIFY(QDir(home.dataDir()).removeRecursively() && QDir().mkdir(home.dataDir()));
    }
    void cleanup() { window.reset(); }
    void looks();
    void brokenSkinFallsBack();
    void trayAndKeys();

private:
    void startWith(const QString& skinName);
    void expectPlainLook();

    TempHome home;
    StandInProgram browser;
    HttpStandIn contentServer;
    std::unique_ptr<CMain> window;
};

void TestCMain::initTestCase()
{
    // What a Motif-compatible window manager does at its start.
    XInternAtom(x11Display(), "_MOTIF_WM_HINTS", False);
    contentServer.silent = true; // the look does not depend on the polls
    QVERIFY(contentServer.listen());
    childprocess::setPagerEnvironment(home.path(), contentServer.address());
    const QString skins = home.path() + QStringLiteral("/nolib/pagerskins/");
    QVERIFY(QDir().mkpath(skins + QStringLiteral("holey")));
    QVERIFY(QFile::link(skinsSource + QStringLiteral("/max"), skins + QStringLiteral("max")));
    QVERIFY(QFile::link(skinsSource + QStringLiteral("/slate"), skins + QStringLiteral("slate")));
    // A complete description whose last picture is gone.
    QVERIFY(testfiles::writeAll(skins + QStringLiteral("holey/skin.ini"),
                                testfiles::readAll(skinsSource + QStringLiteral("/slate/skin.ini"))
                                    .replace("=Slate", "=Holey")));
    for (const QString& file : CSkin::imageNames().mid(0, 13))
        QVERIFY(QFile::link(skinsSource + QStringLiteral("/slate/") + file,
                            skins + QStringLiteral("holey/") + file));
}

void TestCMain::startWith(const QString& skinName)
{
    PagerSettings settings;
    settings.popup = false;
    settings.skin = skinName;
    settings.browserPath = browser.path();
    QVERIFY(home.write(QStringLiteral("ovpager.cfg"), formatSettings(settings)));
    window = std::make_unique<CMain>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestCMain::expectPlainLook()
{
    QVERIFY(window->mask().isEmpty());
    QVERIFY(window->plainButtonBar->isVisible());
    QVERIFY(!window->updateButton->isVisible());
    QCOMPARE(motifHints(window.get()), (QList<long>{2, 0, 1, 0, 0}));
}

void TestCMain::looks()
{
    startWith(QStringLiteral("Max"));
    CMain& w = *window;
    const QSize size = QImage(skinsSource + QStringLiteral("/max/pager.bmp")).size();
    QCOMPARE(w.size(), size);
    // The rounded corner is cut away, the middle is there.
    QVERIFY(!w.mask().contains(QPoint(0, 0)) &&
            w.mask().contains(QPoint(size.width() / 2, size.height() / 2)));
    QCOMPARE(w.pager->geometry(), CSkin(skinsSource + QStringLiteral("/max")).getPaneRect());
    QVERIFY(!w.plainButtonBar->isVisible());
    QCOMPARE(motifHints(&w), (QList<long>{2, 0, 0, 0, 0}));

    // In the dialog a broken choice keeps the look; then to the plain look and back to a skin.
    const QRegion maxMask = w.mask();
    CConfig* dialog = w.pager->configDialog;
    auto choose = [&](const QString& name) {
        QTimer::singleShot(0, dialog, [dialog, name] {
            dialog->optionsPage()->selectSkin(name);
            dialog->accept();
        });
        w.pager->slotDoConfig();
    };
    choose(QStringLiteral("Holey"));
    QVERIFY(w.size() == size && w.mask() == maxMask && !w.plainButtonBar->isVisible());
    // The choice shown (and saved) is the look the user has.
    QCOMPARE(dialog->optionsPage()->skinName(), QStringLiteral("Max"));

    choose(QStringLiteral("No Skin"));
    expectPlainLook();
    choose(QStringLiteral("Slate"));
    QCOMPARE(w.pager->skin->getName(), QStringLiteral("Slate"));
    QVERIFY(w.helpButton->isVisible() && !w.plainButtonBar->isVisible());
    // A late resize from the window manager must not undo the skin's places.
    QTest::qWait(100);
    QCOMPARE(w.pager->geometry(), CSkin(skinsSource + QStringLiteral("/slate")).getPaneRect());
}

// A skin whose description is complete but whose last picture is gone
// (an incomplete description is the skin reader's test).
void TestCMain::brokenSkinFallsBack()
{
    startWith(QStringLiteral("Holey"));
    QVERIFY(window->pager->skin == nullptr);
    expectPlainLook();
}

// The tray with news in the list, then the keys: Return opens the selected
// headline, Space ticks a category, F5 polls, Ctrl+Q quits and saves.
void TestCMain::trayAndKeys()
{
    const QByteArray poll = "GET /pagerv3/pager_info.html";
    contentServer.silent = false;
    contentServer.route(poll,
                        replies::ok(replies::topnews(replies::headline(1, 10, "202612061010", 1) +
                                                     replies::headline(1, 11, "202612061011", 1))));
    QVERIFY(home.write("category.dat", replies::categories));
    startWith(QStringLiteral("No Skin"));
    CMain& w = *window;
    QSystemTrayIcon* tray = w.trayIcon();
    QVERIFY(tray);
    QTRY_COMPARE(tray->toolTip(), QStringLiteral("Orvelle Pager: 2 new headlines"));
    QTreeWidget* list = w.pager->headlines();
    QTreeWidgetItem* category = list->topLevelItem(1);
    QVERIFY(category && category->childCount() == 2);
    list->setCurrentItem(category->child(0));
    QCOMPARE(tray->toolTip(), QStringLiteral("Orvelle Pager: 1 new headline"));
    // The tray's Show brings the window back.
    w.hide();
    tray->contextMenu()->actions().at(0)->trigger();
    QVERIFY(w.isVisible());

    w.activateWindow(); // the window's shortcuts work in the active window
    QVERIFY(QTest::qWaitForWindowActive(&w));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_COMPARE(browser.arguments(1), QStringList("http://news.example/a11"));

    CCategoryTree* page = w.pager->categoryPage();
    auto* viruses = dynamic_cast<CCategoryItem*>(page->findItems("Viruses", {}).value(0));
    QVERIFY(viruses && !viruses->isOn());
    page->setCurrentItem(viruses);
    QTest::keyClick(page, Qt::Key_Space);
    QVERIFY(viruses->isOn());

    // The tray's Update and F5 poll.
    const int polls = int(contentServer.linesStartingWith(poll).size());
    tray->contextMenu()->actions().at(1)->trigger();
    QTRY_COMPARE(contentServer.linesStartingWith(poll).size(), polls + 1);
    QTest::keyClick(&w, Qt::Key_F5);
    QTRY_COMPARE(contentServer.linesStartingWith(poll).size(), polls + 2);

    QFile::remove(home.dataFile("article.dat"));
    QTimer::singleShot(0, this, [&] { QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier); });
    QTimer::singleShot(5000, this, [] { QCoreApplication::exit(7); }); // Ctrl+Q did nothing
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(home.read("article.dat").contains("<title>Item 11 of 1</title>"));
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
    TestCMain test;
    const int status = QTest::qExec(&test, argc, argv);
    XCloseDisplay(display);
    return status;
}

#include "tst_cmain.moc"
