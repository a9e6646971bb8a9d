// The built program as a child process, in a temporary HOME.
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
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
    void headlinesSurviveRestart();
    void failedSaveOnTerm();
};

namespace {

QProcessEnvironment environment(const QString& home, const QString& server)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("HOME"));
    if (!home.isNull())
        env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("OVPAGER_SERVER"), server);
    env.insert(QStringLiteral("OVPAGER_LIBDIR"), home + QStringLiteral("/nolib"));
    return env;
}

// Closes the modal box with this caption the way a user would: focus, Return.
bool answerBox(const QString& caption)
{
    QProcess find;
    find.start(QStringLiteral("xdotool"), {"search", "--sync", "--name", caption});
    if (!find.waitForFinished(20000) || find.exitCode() != 0)
        return false;
    const QByteArray id = find.readAllStandardOutput().split('\n').value(0);
    return QProcess::execute(QStringLiteral("xdotool"),
                             {"windowfocus", "--sync", QString::fromLatin1(id), "key", "Return"}) ==
           0;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

const QByteArray categories = "VERSION=7\nNUMENTRIES=4\n"
                              "20001,0,20001,\"announcements\",1\n"
                              "1,0,1,\"Vulnerabilities\",1\n"
                              "2,0,2,\"Viruses\",0\n"
                              "1,1,11,\"Linux\",1\n";

QByteArray record(int top, int id, const char* stamp, int isNew)
{
    return QStringLiteral("<headline>\n\t<category>0</category>\n"
                          "\t<link>http://news.example/a%2</link>\n"
                          "\t<title>Item %2 of %1</title>\n\t<id>%2</id>\n"
                          "\t<timestamp>%3</timestamp>\n\t<topcategory>%1</topcategory>\n"
                          "\t<newflag>%4</newflag>\n</headline>\n")
        .arg(top)
        .arg(id)
        .arg(QLatin1String(stamp))
        .arg(isNew)
        .toLatin1();
}

int modeOf(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

void TestOvpager::fatalStart_data()
{
    QTest::addColumn<QString>("homeKind");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("dirMade");

    QTest::newRow("host does not resolve")
        << "dir"
        << "nonexistent.invalid"
        << "Failed to resolve address for server: nonexistent.invalid" << true;
    QTest::newRow("HOME unset") << "unset"
                                << "127.0.0.1:1"
                                << "Please set HOME environment variable" << false;
    QTest::newRow("HOME is a file") << "file"
                                    << "127.0.0.1:1"
                                    << "Please set HOME environment variable correctly" << false;
    QTest::newRow("bad port") << "dir"
                              << "127.0.0.1:99999"
                              << "Bad port in OVPAGER_SERVER: 127.0.0.1:99999" << true;
}

void TestOvpager::fatalStart()
{
    QFETCH(QString, homeKind);
    QFETCH(QString, server);
    QFETCH(QString, message);
    QFETCH(bool, dirMade);

    QTemporaryDir tmp;
    QString home = tmp.path();
    if (homeKind == QLatin1String("unset"))
        home = QString();
    if (homeKind == QLatin1String("file")) {
        home = tmp.filePath(QStringLiteral("plain"));
        QFile f(home);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QProcess pager;
    pager.setProcessEnvironment(environment(home, server));
    pager.start(QStringLiteral(OVPAGER_BINARY), {});
    QVERIFY(pager.waitForFinished(30000));
    QCOMPARE(pager.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pager.exitCode(), 1);
    QVERIFY2(pager.readAllStandardError().contains(message.toLatin1()), qPrintable(message));
    const QString dataDir = tmp.filePath(QStringLiteral(".ovpager"));
    QCOMPARE(QFileInfo(dataDir).isDir(), dirMade);
    if (dirMade)
        QCOMPARE(modeOf(dataDir), 0700);
}

void TestOvpager::firstRequestsAndOrderlyEnd()
{
    QTemporaryDir tmp;
    const QString dataDir = tmp.filePath(QStringLiteral(".ovpager"));
    QVERIFY(QDir().mkdir(dataDir));
    QFile::setPermissions(dataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                       QFile::ReadGroup | QFile::ExeGroup);
    QFile keep(dataDir + QStringLiteral("/keep.txt"));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.write("mine");
    keep.close();

    // The server answers nothing useful and closes: the pager must go on.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QStringList requests;
    connect(&server, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket* s = server.nextPendingConnection()) {
            connect(s, &QTcpSocket::readyRead, s, [s, &requests] {
                if (!s->canReadLine())
                    return;
                requests << QString::fromLatin1(s->readLine()).trimmed();
                s->write("HTTP/1.0 404 Not Found\r\n\r\n");
                s->disconnectFromHost();
            });
        }
    });

    QProcess pager;
    pager.setProcessEnvironment(
        environment(tmp.path(), QStringLiteral("127.0.0.1:%1").arg(server.serverPort())));
    pager.start(QStringLiteral(OVPAGER_BINARY), {QStringLiteral("-debug")});
    QVERIFY(pager.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 3, 20000);
    QCOMPARE(requests,
             (QStringList{
                 "GET /test/zorbel-thing3.html?id=31337 HTTP/1.0",
                 "GET /frames/ad.html?group=pager HTTP/1.0",
                 "GET /pagerv3/pager_info.html?version=0&nentries=5&Content=T20001 HTTP/1.0",
             }));

    // A logout's SIGTERM ends the pager in order, saving its state.
    pager.terminate();
    QVERIFY(pager.waitForFinished(10000));
    QCOMPARE(pager.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pager.exitCode(), 0);
    QVERIFY(QFile::exists(dataDir + QStringLiteral("/ovpager.cfg")));
    QVERIFY(QFile::exists(dataDir + QStringLiteral("/article.dat")));
    QVERIFY(keep.open(QIODevice::ReadOnly));
    QCOMPARE(keep.readAll(), QByteArray("mine"));
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
    QTest::newRow("no version") << QByteArray("NUMENTRIES=1\n20001,0,20001,\"announcements\",1\n")
                                << "Uh-Oh"
                                << "VERSION = 0, NUMENTRIES = 1, Counted 1 entries";
    QTest::newRow("child before parent")
        << QByteArray("VERSION=2\nNUMENTRIES=3\n20001,0,20001,\"announcements\",1\n"
                      "1,1,11,\"Linux\",1\n1,0,1,\"Vulnerabilities\",1\n")
        << "Uh-Oh"
        << "Counted 2 entries";
    QTest::newRow("unreadable") << QByteArray() << "Oh-No" << QString();
}

void TestOvpager::badCategoryFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, caption);
    QFETCH(QString, warning);

    QTemporaryDir tmp;
    const QString dataDir = tmp.filePath(QStringLiteral(".ovpager"));
    QVERIFY(QDir().mkdir(dataDir));
    const QString file = dataDir + QStringLiteral("/category.dat");
    if (content.isEmpty())
        QVERIFY(QDir().mkdir(file)); // even root cannot read a directory as a file
    else
        writeAll(file, content);

    QProcess pager;
    pager.setProcessEnvironment(environment(tmp.path(), QStringLiteral("127.0.0.1:1")));
    pager.start(QStringLiteral(OVPAGER_BINARY), {});
    QVERIFY(pager.waitForStarted());
    QVERIFY2(answerBox(caption), qPrintable(caption));
    QVERIFY(pager.waitForFinished(20000));
    QCOMPARE(pager.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pager.exitCode(), 1);
    QVERIFY(pager.readAllStandardError().contains(warning.toLatin1()));
    if (!content.isEmpty())
        QCOMPARE(readAll(file), content); // left for the user to look at
}

void TestOvpager::headlinesSurviveRestart()
{
    QTemporaryDir tmp;
    const QString dataDir = tmp.filePath(QStringLiteral(".ovpager"));
    QVERIFY(QDir().mkdir(dataDir));
    writeAll(dataDir + QStringLiteral("/category.dat"), categories);
    // Seen before this run: must stay seen.
    writeAll(dataDir + QStringLiteral("/article.dat"),
             "<topnews>\n" + record(1, 5, "20261201000000", 0) + "</topnews>\n");

    QByteArray reply; // what the content poll gets
    QStringList polls;
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket* s = server.nextPendingConnection()) {
            connect(s, &QTcpSocket::readyRead, s, [s, &reply, &polls] {
                if (!s->canReadLine())
                    return;
                const QString line = QString::fromLatin1(s->readLine()).trimmed();
                if (line.startsWith(QLatin1String("GET /pagerv3/pager_info.html"))) {
                    polls << line;
                    s->write("HTTP/1.0 200 OK\r\n\r\n" + reply);
                } else {
                    s->write("HTTP/1.0 404 Not Found\r\n\r\n");
                }
                s->disconnectFromHost();
            });
        }
    });
    const auto env =
        environment(tmp.path(), QStringLiteral("127.0.0.1:%1").arg(server.serverPort()));

    // First run: headlines of a selected, a deselected and the reserved category.
    reply = "<topnews>\n" + record(1, 6, "20261206101500", 1) + record(2, 7, "20261206101600", 1) +
            record(20001, 8, "20261206101700", 1) + record(1, 6, "20261206999999", 1) +
            "</topnews>";
    QProcess pager;
    pager.setProcessEnvironment(env);
    pager.start(QStringLiteral(OVPAGER_BINARY), {});
    QTRY_COMPARE_WITH_TIMEOUT(polls.size(), 1, 20000);
    QCOMPARE(polls.first(), QStringLiteral("GET /pagerv3/pager_info.html?"
                                           "version=7&nentries=5&Content=T20001,T1,11 HTTP/1.0"));
    QTest::qWait(500); // let the reply be merged
    pager.terminate();
    QVERIFY(pager.waitForFinished(10000));
    QCOMPARE(pager.exitCode(), 0);
    const QByteArray stored = "<topnews>\n" + record(20001, 8, "20261206101700", 1) +
                              record(1, 6, "20261206101500", 1) +
                              record(1, 5, "20261201000000", 0) + "</topnews>\n";
    QCOMPARE(readAll(dataDir + QStringLiteral("/article.dat")), stored);

    // Second run: nothing new arrives; the store comes back as it was.
    reply = "<topnews>\n</topnews>\n";
    pager.start(QStringLiteral(OVPAGER_BINARY), {});
    QTRY_COMPARE_WITH_TIMEOUT(polls.size(), 2, 20000);
    QTest::qWait(300);
    pager.terminate();
    QVERIFY(pager.waitForFinished(10000));
    QCOMPARE(readAll(dataDir + QStringLiteral("/article.dat")), stored);
}

void TestOvpager::failedSaveOnTerm()
{
    QTemporaryDir tmp;
    const QString dataDir = tmp.filePath(QStringLiteral(".ovpager"));
    QVERIFY(QDir().mkdir(dataDir));
    writeAll(dataDir + QStringLiteral("/category.dat"), categories);
    // Nothing can be renamed over a directory, not even by root.
    QVERIFY(QDir().mkdir(dataDir + QStringLiteral("/article.dat")));

    QProcess pager;
    pager.setProcessEnvironment(environment(tmp.path(), QStringLiteral("127.0.0.1:1")));
    pager.start(QStringLiteral(OVPAGER_BINARY), {QStringLiteral("-debug")});
    QVERIFY(pager.waitForStarted());
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += pager.readAllStandardOutput()).contains("content request"),
                             20000);
    pager.terminate();
    QVERIFY(pager.waitForFinished(10000));
    QCOMPARE(pager.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pager.exitCode(), 1);
    const QByteArray errors = pager.readAllStandardError();
    QVERIFY2(errors.contains("Could not save " + QFile::encodeName(dataDir) + "/article.dat"),
             errors.constData());
    QVERIFY(QFileInfo(dataDir + QStringLiteral("/ovpager.cfg")).isFile()); // the rest was saved
}

QTEST_GUILESS_MAIN(TestOvpager)
#include "tst_ovpager.moc"
