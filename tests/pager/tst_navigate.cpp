// Opening addresses in the browser: a stand-in browser script records its
// argv; a window of the test plays a running remote-controllable browser.
#include "pager/core/browserurl.h"
#include "pager/core/globals.h"
#include "pager/navigate.h"
#include "pager/x11hints.h"
#include "tests/common/boxwatcher.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

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

private:
    QString makeBrowser(const QString& relativePath);
    QStringList waitForArgv();

    QTemporaryDir dir;
    QString argvFile;
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

bool hasZombieChild()
{
    const QString me = QString::number(::getpid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString line = QString::fromLatin1(stat.readAll());
        // "pid (name) state ppid ...": the name may hold blanks, so split after ")".
        const QStringList rest = line.mid(line.lastIndexOf(u')') + 2).split(u' ');
        if (rest.size() > 1 && rest.at(1) == me && rest.at(0) == QLatin1String("Z"))
            return true;
    }
    return false;
}

} // namespace

void TestNavigate::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(x11Display());
    argvFile = dir.filePath(QStringLiteral("argv.txt"));
    qputenv("ARGV_FILE", QFile::encodeName(argvFile));
}

QString TestNavigate::makeBrowser(const QString& relativePath)
{
    const QString path = dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return QString();
    script.write(
        "#!/bin/sh\nfor a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\"; done > \"$ARGV_FILE.part\"\n"
        "mv \"$ARGV_FILE.part\" \"$ARGV_FILE\"\n");
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList TestNavigate::waitForArgv()
{
    for (int i = 0; i < 200 && !QFile::exists(argvFile); ++i)
        QTest::qWait(25);
    QFile f(argvFile);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    lines.removeLast();
    return lines;
}

void TestNavigate::browserFound_data()
{
    QTest::addColumn<bool>("framed");
    QTest::addColumn<bool>("property");
    QTest::addColumn<bool>("running");

    QTest::newRow("top-level window with the property") << false << true << true;
    QTest::newRow("client inside a frame") << true << true << true;
    QTest::newRow("window without it") << false << false << false;
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
    QTest::addColumn<QString>("browser");
    QTest::addColumn<bool>("remoteRunning");
    QTest::addColumn<bool>("allowRemote");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("args"); // after argv[0]
    QTest::addColumn<bool>("started");

    const QString url = QStringLiteral("http://news.example/story?id=7&x=1");
    const QStringList plain{url};
    const QStringList remote{"-remote", "openURL(" + url + ")"};
    QTest::newRow("plain browser") << "bin/browser" << false << true << url << plain << true;
    QTest::newRow("netscape in a directory name, running")
        << "opt/netscape/bin/run" << true << true << url << remote << true;
    QTest::newRow("netscape, none running")
        << "opt/netscape/bin/run" << false << true << url << plain << true;
    QTest::newRow("netscape, caller forbids remote")
        << "opt/netscape/bin/run" << true << false << url << plain << true;
    QTest::newRow("capital N is not it")
        << "opt/Netscape/bin/run" << true << true << url << plain << true;
    QTest::newRow("plain mode passes the URL as one argument")
        << "bin/browser" << false << true << "http://x/a b;c" << QStringList{"http://x/a b;c"}
        << true;
    QTest::newRow("option refused")
        << "bin/browser" << false << true << "-new-instance" << QStringList() << false;
}

void TestNavigate::commandLine()
{
    QFETCH(QString, browser);
    QFETCH(bool, remoteRunning);
    QFETCH(bool, allowRemote);
    QFETCH(QString, url);
    QFETCH(QStringList, args);
    QFETCH(bool, started);

    QFile::remove(argvFile);
    browserPath = makeBrowser(browser);
    QVERIFY(!browserPath.isEmpty());
    std::unique_ptr<FakeBrowserWindow> window;
    if (remoteRunning)
        window = std::make_unique<FakeBrowserWindow>(false, true);
    BoxWatcher boxes;
    if (!started)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Not opening"));
    navigateTo(url, allowRemote);
    if (started) {
        QCOMPARE(waitForArgv(), QStringList{browserPath} + args);
    } else {
        QTest::qWait(300);
        QVERIFY(!QFile::exists(argvFile));
    }
    QVERIFY(boxes.boxes.isEmpty());
}

void TestNavigate::badBrowser_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("box");

    const QString none = "No Browser Specified|You must configure the path to your web "
                         "browser to navigate to content";
    const QString bad =
        "Bad Browser|The browser that you have configured is not a valid executable";
    QTest::newRow("none configured") << "empty" << none;
    QTest::newRow("missing file") << "missing" << bad;
    QTest::newRow("not executable") << "plainfile" << bad;
    QTest::newRow("a directory") << "directory" << bad;
}

void TestNavigate::badBrowser()
{
    QFETCH(QString, kind);
    QFETCH(QString, box);

    QFile::remove(argvFile);
    if (kind == "empty") {
        browserPath.clear();
    } else if (kind == "missing") {
        browserPath = dir.filePath("nowhere/browser");
    } else if (kind == "plainfile") {
        browserPath = makeBrowser("noexec/browser");
        QFile::setPermissions(browserPath, QFile::ReadOwner | QFile::WriteOwner);
    } else {
        browserPath = dir.filePath("adir");
        QDir().mkpath(browserPath);
    }
    BoxWatcher boxes;
    navigateTo(QStringLiteral("http://news.example/"), true);
    QTRY_COMPARE(boxes.boxes, QStringList{box});
    QTest::qWait(200);
    QVERIFY(!QFile::exists(argvFile));
}

void TestNavigate::noZombieLeft()
{
    browserPath = makeBrowser("bin/browser");
    for (int i = 0; i < 3; ++i) {
        QFile::remove(argvFile);
        navigateTo(QStringLiteral("http://news.example/%1").arg(i), true);
        QCOMPARE(waitForArgv().value(1), QStringLiteral("http://news.example/%1").arg(i));
    }
    QTest::qWait(300); // the scripts have ended by now
    QVERIFY(!hasZombieChild());
}

QTEST_MAIN(TestNavigate)
#include "tst_navigate.moc"
