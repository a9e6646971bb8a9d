// The built program as a child process, in a temporary HOME.
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"
#include "tests/common/testfiles.h"
#include "tests/common/xdotool.h"

#include <QTest>

#include <sys/stat.h>

class TestOvpager : public QObject
{
    Q_OBJECT
private slots:
    void fatalStart_data();
    void fatalStart();
    void firstRequestsAndOrderlyEnd();
    void badCategoryFile_data();
    void badCategoryFile();
    void failedSaveOnTerm();
    void secondStartRefused();
};

namespace {

using testfiles::readAll;

int modeOf(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// True when `pager` ends by itself with `status` and `message` in its error output.
bool endsWith(QProcess& pager, int status, const QByteArray& message)
{
    return pager.waitForFinished(20000) && pager.exitStatus() == QProcess::NormalExit &&
           pager.exitCode() == status && pager.readAllStandardError().contains(message);
}

} // namespace

void TestOvpager::fatalStart_data()
{
    QTest::addColumn<QString>("homeKind");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("message");

    QTest::newRow("host does not resolve")
        << "dir"
        << "nonexistent.invalid"
        << "Failed to resolve address for server: nonexistent.invalid";
    QTest::newRow("HOME unset") << "unset"
                                << "127.0.0.1:1"
                                << "Please set HOME environment variable";
    QTest::newRow("HOME is a file") << "file"
                                    << "127.0.0.1:1"
                                    << "Please set HOME environment variable correctly";
}

void TestOvpager::fatalStart()
{
    QFETCH(QString, homeKind);
    QFETCH(QString, server);
    QFETCH(QString, message);

    const TempHome tmp(homeKind == QLatin1String("dir"));
    QString home = tmp.path();
    if (homeKind == QLatin1String("unset"))
        home = QString();
    if (homeKind == QLatin1String("file")) {
        home = tmp.path() + QStringLiteral("/plain");
        QVERIFY(testfiles::writeAll(home, QByteArray()));
    }
    QProcess pager;
    pager.setProcessEnvironment(childprocess::pagerEnvironment(home, server));
    pager.start(QStringLiteral(OVPAGER_BINARY), {});
    QVERIFY(endsWith(pager, 1, message.toLatin1()));
}

void TestOvpager::firstRequestsAndOrderlyEnd()
{
    const TempHome tmp;
    const QString dataDir = tmp.dataDir();
    QFile::setPermissions(dataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                       QFile::ReadGroup | QFile::ExeGroup);

    // The server answers nothing useful and closes: the pager must go on.
    HttpStandIn server(replies::notFound);
    QVERIFY(server.listen());

    PagerProcess child;
    QProcess& pager = child.process;
    QVERIFY(child.start(QStringLiteral(OVPAGER_BINARY), tmp.path(), server.address()));
    // The inventory page's own fetch of its tree is left to its tests.
    auto pagerRequests = [&] {
        QStringList lines = server.requestLines();
        lines.removeIf([](const QString& l) { return l.startsWith("GET /test/vuln_categories"); });
        return lines;
    };
    QTRY_VERIFY_WITH_TIMEOUT(pagerRequests().size() >= 3, 20000);
    QCOMPARE(pagerRequests().mid(0, 3),
             (QStringList{
                 "GET /test/zorbel-thing3.html?id=31337 HTTP/1.0",
                 "GET /frames/ad.html?group=pager HTTP/1.0",
                 "GET /pagerv3/pager_info.html?version=0&nentries=5&Content=T20001 HTTP/1.0",
             }));

    // A logout's SIGTERM ends the pager in order, saving its state.
    pager.terminate();
    QVERIFY(endsWith(pager, 0, QByteArray()));
    QVERIFY(QFile::exists(dataDir + QStringLiteral("/ovpager.cfg")));
    QVERIFY(QFile::exists(dataDir + QStringLiteral("/article.dat")));
    QCOMPARE(modeOf(dataDir), 0750); // an existing directory is used as it is
}

void TestOvpager::badCategoryFile_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: a directory in its place
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("warning");

    QTest::newRow("row count short") << QByteArray("VERSION=3\nNUMENTRIES=5\n"
                                                   "20001,0,20001,\"announcements\",1\n")
                                     << "Uh-Oh"
                                     << "VERSION = 3, NUMENTRIES = 5, Counted 1 entries";
    QTest::newRow("unreadable") << QByteArray() << "Oh-No" << QString();
}

void TestOvpager::badCategoryFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, caption);
    QFETCH(QString, warning);

    const TempHome tmp;
    const QString file = tmp.dataFile(QStringLiteral("category.dat"));
    if (content.isEmpty())
        QVERIFY(QDir().mkdir(file)); // even root cannot read a directory as a file
    else
        QVERIFY(tmp.write(QStringLiteral("category.dat"), content));

    PagerProcess child;
    QProcess& pager = child.process;
    QVERIFY(
        child.start(QStringLiteral(OVPAGER_BINARY), tmp.path(), QStringLiteral("127.0.0.1:1"), {}));
    QVERIFY(xdotool::pressKey(caption));
    QVERIFY(endsWith(pager, 1, warning.toLatin1()));
    if (!content.isEmpty())
        QCOMPARE(readAll(file), content); // left for the user to look at
}

void TestOvpager::failedSaveOnTerm()
{
    const TempHome tmp;
    const QString dataDir = tmp.dataDir();
    QVERIFY(tmp.write(QStringLiteral("category.dat"), replies::categories));
    // Nothing can be renamed over a directory, not even by root.
    QVERIFY(QDir().mkdir(tmp.dataFile(QStringLiteral("article.dat"))));

    PagerProcess child;
    QProcess& pager = child.process;
    QVERIFY(child.start(QStringLiteral(OVPAGER_BINARY), tmp.path(), QStringLiteral("127.0.0.1:1")));
    QVERIFY(child.waitForLog("content request", 1, 20000));
    pager.terminate();
    QVERIFY(endsWith(pager, 1, "Could not save " + QFile::encodeName(dataDir) + "/article.dat"));
    QVERIFY(QFileInfo(dataDir + QStringLiteral("/ovpager.cfg")).isFile()); // the rest was saved
}

void TestOvpager::secondStartRefused()
{
    const TempHome tmp;
    QVERIFY(tmp.write(QStringLiteral("category.dat"), replies::categories));
    PagerProcess first;
    QVERIFY(first.start(QStringLiteral(OVPAGER_BINARY), tmp.path(), QStringLiteral("127.0.0.1:1")));
    QVERIFY(first.waitForLog("content request", 1, 20000));

    // What the running pager has on disk, to the byte and to the second.
    const QDir dir(tmp.dataDir());
    auto snapshot = [&] {
        QStringList state;
        for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden))
            state << f.fileName() + u' ' + QString::number(f.lastModified().toMSecsSinceEpoch()) +
                         u' ' + QString::fromLatin1(readAll(f.filePath()).toHex());
        return state;
    };
    const QStringList before = snapshot();
    QProcess second;
    second.setProcessEnvironment(
        childprocess::pagerEnvironment(tmp.path(), QStringLiteral("127.0.0.1:1")));
    second.start(QStringLiteral(OVPAGER_BINARY), {});
    QVERIFY(endsWith(second, 1, "already running"));
    QCOMPARE(snapshot(), before);
    first.kill();
}

QTEST_GUILESS_MAIN(TestOvpager)
#include "tst_ovpager.moc"
