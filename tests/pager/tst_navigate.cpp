// Opening addresses in the browser: a stand-in browser script records its
// argv; a window of the test plays a running remote-controllable browser.
#include "pager/core/globals.h"
#include "pager/navigate.h"
#include "pager/x11hints.h"
#include "tests/common/boxwatcher.h"
#include "tests/common/standinprogram.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <cstdio>
#include <sys/wait.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

class TestNavigate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void browserFound_data();
    void browserFound();
    void commandLine_data();
    void commandLine();
    void badBrowser_data();
    void badBrowser();
    void noZombieLeft();
};

namespace {

// A top-level window, optionally carrying the remote-control property, or a
// frame around such a client as a window manager would make it.
class FakeBrowserWindow
{
public:
    FakeBrowserWindow(bool framed, bool property)
    {
        Display* d = x11Display();
        const Window root = DefaultRootWindow(d);
        top = XCreateSimpleWindow(d, root, 0, 0, 50, 50, 0, 0, 0);
        Window client = top;
        if (framed) {
            client = XCreateSimpleWindow(d, top, 2, 2, 40, 40, 0, 0, 0);
            const Atom wmState = XInternAtom(d, "WM_STATE", False);
            const long state[2] = {1, 0};
            XChangeProperty(d, client, wmState, wmState, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(state), 2);
        }
        if (property) {
            const Atom version = XInternAtom(d, "_MOZILLA_VERSION", False);
            const char text[] = "4.8";
            XChangeProperty(d, client, version, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text), 3);
        }
        XSync(d, False);
    }
    ~FakeBrowserWindow()
    {
        XDestroyWindow(x11Display(), top);
        XSync(x11Display(), False);
    }

private:
    Window top;
};

} // namespace

void TestNavigate::initTestCase()
{
    QVERIFY(x11Display());
    // The stand-in reads its input to the end; ours must not keep it waiting.
    QVERIFY(std::freopen("/dev/null", "r", stdin));
}

void TestNavigate::browserFound_data()
{
    QTest::addColumn<bool>("framed");
    QTest::addColumn<bool>("property");
    QTest::addColumn<bool>("running");

    QTest::newRow("top-level window with the property") << false << true << true;
    QTest::newRow("client inside a frame") << true << true << true;
    QTest::newRow("frame whose client lacks it") << true << false << false;
}

void TestNavigate::browserFound()
{
    QFETCH(bool, framed);
    QFETCH(bool, property);
    QFETCH(bool, running);
    QVERIFY(!netscapeRunning());
    {
        FakeBrowserWindow window(framed, property);
        QCOMPARE(netscapeRunning(), running);
    }
    QVERIFY(!netscapeRunning());
}

void TestNavigate::commandLine_data()
{
    QTest::addColumn<QString>("browser"); // beside the stand-in, reaching it
    QTest::addColumn<bool>("remoteRunning");
    QTest::addColumn<bool>("allowRemote");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("args"); // empty: not started

    const QString url = QStringLiteral("http://news.example/story?id=7&x=1");
    const QStringList remote{"-remote", "openURL(" + url + ")"};
    QTest::newRow("netscape in a directory name, running")
        << "netscape/../standin" << true << true << url << remote;
    QTest::newRow("netscape, none running")
        << "netscape/../standin" << false << true << url << QStringList{url};
    QTest::newRow("netscape, caller forbids remote")
        << "netscape/../standin" << true << false << url << QStringList{url};
    QTest::newRow("capital N is not it")
        << "Netscape/../standin" << true << true << url << QStringList{url};
    QTest::newRow("plain mode passes the URL as one argument")
        << "standin" << false << true << "http://x/a b;c" << QStringList{"http://x/a b;c"};
    QTest::newRow("option refused")
        << "standin" << false << true << "-new-instance" << QStringList();
}

void TestNavigate::commandLine()
{
    QFETCH(QString, browser);
    QFETCH(bool, remoteRunning);
    QFETCH(bool, allowRemote);
    QFETCH(QString, url);
    QFETCH(QStringList, args);

    StandInProgram standIn;
    if (browser.contains(u'/'))
        QVERIFY(QDir(standIn.dir()).mkdir(browser.section(u'/', 0, 0)));
    browserPath = standIn.dir() + u'/' + browser;
    std::unique_ptr<FakeBrowserWindow> window;
    if (remoteRunning)
        window = std::make_unique<FakeBrowserWindow>(false, true);
    BoxWatcher boxes;
    if (args.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Not opening"));
    navigateTo(url, allowRemote);
    if (args.isEmpty()) {
        QTest::qWait(300);
        QCOMPARE(standIn.runs(), 0);
    } else {
        QTRY_VERIFY(standIn.hasInput(1));
        QCOMPARE(standIn.arguments(1), args);
    }
    QVERIFY(boxes.boxes.isEmpty());
}

void TestNavigate::badBrowser_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("box");

    const QString bad =
        "Bad Browser|The browser that you have configured is not a valid executable";
    QTest::newRow("none configured") << "empty"
                                     << "No Browser Specified|You must configure the path to "
                                        "your web browser to navigate to content";
    QTest::newRow("not executable") << "plainfile" << bad;
    QTest::newRow("a directory") << "directory" << bad;
}

void TestNavigate::badBrowser()
{
    QFETCH(QString, kind);
    QFETCH(QString, box);

    StandInProgram standIn;
    browserPath = kind == "empty" ? QString() : standIn.path();
    if (kind == "plainfile")
        QVERIFY(QFile::setPermissions(browserPath, QFile::ReadOwner | QFile::WriteOwner));
    if (kind == "directory")
        browserPath = standIn.dir();
    BoxWatcher boxes;
    navigateTo(QStringLiteral("http://news.example/"), true);
    QTRY_COMPARE(boxes.boxes, QStringList{box});
    QTest::qWait(200);
    QCOMPARE(standIn.runs(), 0);
}

void TestNavigate::noZombieLeft()
{
    StandInProgram standIn;
    browserPath = standIn.path();
    for (int i = 1; i <= 3; ++i) {
        navigateTo("http://news.example/" + QString::number(i), true);
        QTRY_VERIFY(standIn.hasInput(i));
    }
    QTest::qWait(300); // the stand-ins have ended by now
    // Neither the browsers nor the processes between are left for us to reap.
    QCOMPARE(::waitpid(-1, nullptr, WNOHANG), -1);
}

QTEST_MAIN(TestNavigate)
#include "tst_navigate.moc"
