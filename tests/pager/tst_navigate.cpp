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

namespace {

// A frame, as a window manager makes it (here the toolkit's own window),
// around a client that may carry the remote-control property.
class FakeBrowserWindow : public QWidget
{
public:
    explicit FakeBrowserWindow(bool marked)
    {
        Display* d = x11Display();
        const Window client = XCreateSimpleWindow(d, winId(), 2, 2, 40, 40, 0, 0, 0);
        const Atom wmState = XInternAtom(d, "WM_STATE", False);
        const long state[2] = {1, 0};
        XChangeProperty(d, client, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(state), 2);
        if (marked) {
            const Atom version = XInternAtom(d, "_MOZILLA_VERSION", False);
            XChangeProperty(d, client, version, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>("4.8"), 3);
        }
        XSync(d, False);
    }
};

} // namespace

class TestNavigate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(x11Display());
        // The stand-in reads its input to the end; ours must not keep it waiting.
        QVERIFY(std::freopen("/dev/null", "r", stdin));
    }

    void navigate_data()
    {
        // Relative to the stand-in's directory; empty: none configured.
        QTest::addColumn<QString>("browser");
        QTest::addColumn<QString>("window"); // on the desktop: "", "marked" or "unmarked"
        QTest::addColumn<bool>("allowRemote");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("args"); // empty: not started
        QTest::addColumn<QString>("box");

        const QString url = QStringLiteral("http://news.example/story?id=7&x=(1)");
        const QStringList plain{url};
        const QString ns = QStringLiteral("netscape/../standin");
        const QString bad =
            "Bad Browser|The browser that you have configured is not a valid executable";
        auto row = [](const char* what, const QString& browser, const char* window, bool remote,
                      const QString& url, const QStringList& args, const QString& box = {}) {
            QTest::newRow(what) << browser << QString(window) << remote << url << args << box;
        };
        row("netscape in a directory name, running in a frame", ns, "marked", true, url,
            {"-remote", "openURL(http://news.example/story?id=7&x=%281%29)"});
        row("netscape, a frame whose client lacks the mark", ns, "unmarked", true, url, plain);
        row("netscape, caller forbids remote", ns, "marked", false, url, plain);
        row("plain mode passes the URL as one argument", "standin", "marked", true,
            "http://x/a b;c", {"http://x/a b;c"});
        row("option refused", "standin", "", true, "-new-instance", {});
        row("none configured", "", "", true, url, {},
            "No Browser Specified|You must configure the path to your web browser to navigate "
            "to content");
        row("not executable", "/etc/passwd", "", true, url, {}, bad);
    }

    void navigate()
    {
        QFETCH(QString, browser);
        QFETCH(QString, window);
        QFETCH(bool, allowRemote);
        QFETCH(QString, url);
        QFETCH(QStringList, args);
        QFETCH(QString, box);

        StandInProgram standIn;
        if (browser.contains(QLatin1String("/../")))
            QVERIFY(QDir(standIn.dir()).mkdir(browser.section(u'/', 0, 0)));
        browserPath = browser.isEmpty() || browser.startsWith(u'/')
                          ? browser
                          : standIn.dir() + u'/' + browser;
        std::unique_ptr<FakeBrowserWindow> shown;
        if (!window.isEmpty())
            shown = std::make_unique<FakeBrowserWindow>(window == "marked");
        BoxWatcher boxes;
        if (url.startsWith(u'-'))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Not opening"));
        navigateTo(url, allowRemote);
        QTRY_COMPARE(boxes.boxes, box.isEmpty() ? QStringList() : QStringList{box});
        if (!args.isEmpty()) {
            QTRY_VERIFY(standIn.hasInput(1));
            QCOMPARE(standIn.arguments(1), args);
        }
        QTest::qWait(300); // time for a browser that should not start, or for it to end
        QCOMPARE(standIn.runs(), int(!args.isEmpty()));
        // Neither the browser nor the processes between are left for us to reap.
        QCOMPARE(::waitpid(-1, nullptr, WNOHANG), -1);
    }
};

QTEST_MAIN(TestNavigate)
#include "tst_navigate.moc"
