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

QTEST_GUILESS_MAIN(TestOvpager)
#include "tst_ovpager.moc"
