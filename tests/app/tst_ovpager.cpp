// The built program as a child process, in a temporary HOME.
#include "tests/common/childprocess.h"
#include "tests/common/replies.h"
#include "tests/common/testfiles.h"
#include "tests/common/xdotool.h"

#include <QTest>

#include <sys/stat.h>

class TestOvpager : public QObject
{
    Q_OBJECT
private slots:
    void earlyExit_data();
    void earlyExit();
    void badCategoryFile();
    void secondStartRefusedFailedSaveReported();
};

namespace {

const QString binary = QStringLiteral(OVPAGER_BINARY);
// A label past 63 bytes cannot be put in a query: the lookup fails without
// asking any name server, so the test stays on this machine.
const QByteArray unresolvable = QByteArray(64, 'x') + ".invalid";

// True when `pager` ends by itself with `status` and `message` in its error output.
bool endsWith(QProcess& pager, int status, const QByteArray& message)
{
    return pager.waitForFinished(20000) && pager.exitStatus() == QProcess::NormalExit &&
           pager.exitCode() == status && pager.readAllStandardError().contains(message);
}

} // namespace

void TestOvpager::earlyExit_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("home"); // fresh: no display, and HOME must stay empty
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("text"); // the start of standard output on success, else in errors
    QTest::newRow("help") << QStringList("--help") << "fresh" << 0 << QByteArray("Usage: ovpager ");
    QTest::newRow("unknown option")
        << QStringList("--frobnicate") << "fresh" << 2
        << QByteArray("ovpager: unknown option --frobnicate\nTry 'ovpager --help'");
    QTest::newRow("HOME unset") << QStringList() << "unset" << 1
                                << QByteArray("Please set HOME environment variable\n");
    QTest::newRow("HOME is a file") << QStringList() << "file" << 1
                                    << QByteArray("Please set HOME environment variable correctly");
    QTest::newRow("host does not resolve")
        << QStringList() << "dir" << 1 << "Failed to resolve address for server: " + unresolvable;
}

void TestOvpager::earlyExit()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, home);
    QFETCH(int, status);
    QFETCH(QByteArray, text);
    const TempHome tmp(home == QLatin1String("dir"));
    QString path = home == QLatin1String("unset") ? QString() : tmp.path();
    if (home == QLatin1String("file"))
        QVERIFY(testfiles::writeAll(path += QStringLiteral("/plain"), QByteArray()));
    // Were the name looked up before the HOME checks, it would never resolve.
    QProcessEnvironment env = childprocess::pagerEnvironment(path, unresolvable);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (home == QLatin1String("fresh"))
            env.remove(QString::fromLatin1(name));
    QProcess pager;
    pager.setProcessEnvironment(env);
    pager.start(binary, arguments);
    QVERIFY(pager.waitForFinished(20000));
    QCOMPARE(pager.exitCode(), status);
    if (status == 0)
        QVERIFY(pager.readAllStandardOutput().startsWith(text));
    else
        QVERIFY(pager.readAllStandardError().contains(text));
    if (home == QLatin1String("fresh"))
        QCOMPARE(QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
}

// A category file whose row count is short: its box, the counts in the
// warning, exit 1, and the file left for the user to look at.
void TestOvpager::badCategoryFile()
{
    const QByteArray content = "VERSION=3\nNUMENTRIES=5\n20001,0,20001,\"announcements\",1\n";
    const TempHome tmp;
    QVERIFY(tmp.write("category.dat", content));
    PagerProcess pager;
    QVERIFY(pager.start(binary, tmp.path(), QStringLiteral("127.0.0.1:1"), {}));
    QVERIFY(xdotool::pressKey(QStringLiteral("Uh-Oh")));
    QVERIFY(endsWith(pager.process, 1, "VERSION = 3, NUMENTRIES = 5, Counted 1 entries"));
    QCOMPARE(tmp.read("category.dat"), content);
}

// A second start while one runs is refused and touches nothing; the
// running one then cannot save its headlines at TERM and says so, and saves
// the rest.
void TestOvpager::secondStartRefusedFailedSaveReported()
{
    const TempHome tmp;
    QVERIFY(QFile::setPermissions(tmp.dataDir(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadGroup |
                                                     QFile::ExeGroup));
    QVERIFY(tmp.write(QStringLiteral("category.dat"), replies::categories));
    // Nothing can be renamed over a directory, not even by root.
    QVERIFY(QDir().mkdir(tmp.dataFile(QStringLiteral("article.dat"))));
    PagerProcess first, second;
    QVERIFY(first.start(binary, tmp.path(), QStringLiteral("127.0.0.1:1")));
    QVERIFY(first.waitForLog("content request", 1, 20000));
    // What the running pager has on disk, to the byte and to the second.
    auto snapshot = [&] {
        QStringList state;
        for (const QFileInfo& f : QDir(tmp.dataDir()).entryInfoList(QDir::Files | QDir::Hidden))
            state << f.lastModified().toString(Qt::ISODateWithMs) + f.fileName() +
                         testfiles::readAll(f.filePath()).toHex();
        return state;
    };
    const QStringList before = snapshot();
    QVERIFY(second.start(binary, tmp.path(), QStringLiteral("127.0.0.1:1"), {}));
    QVERIFY(endsWith(second.process, 1, "already running"));
    QCOMPARE(snapshot(), before);

    first.process.terminate();
    QVERIFY(endsWith(first.process, 1,
                     "Could not save " + QFile::encodeName(tmp.dataFile("article.dat"))));
    QVERIFY(QFileInfo(tmp.dataFile("ovpager.cfg")).isFile());
    struct stat st;
    QVERIFY(::stat(QFile::encodeName(tmp.dataDir()).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, 0750u); // an existing directory is used as it is
}

QTEST_GUILESS_MAIN(TestOvpager)
#include "tst_ovpager.moc"
