// The built ovpager-server as a real process on a free loopback port, its
// replies read back with the pager's own readers.

#include "net/core/replyparse.h"
#include "pager/core/categoryfile.h"
#include "pager/core/headlinelist.h"
#include "pager/core/taggedtext.h"
#include "tests/common/childprocess.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QtTest>

#include <csignal>
#include <memory>
#include <vector>

namespace {

struct Reply
{
    int status = 0;      // 0: no status line
    QByteArray head;     // status line and headers
    QByteArray body;     // bytes after the blank line
    QByteArray raw;      // everything received
    bool closed = false; // the server closed the connection
};

} // namespace

class TestServer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyKindReadsBack();
    void contentPolls_data();
    void contentPolls();
    void newContentOverTime();
    void categoryVersionBump();
    void malformed_data();
    void malformed();
    void idleClients();
    void faults_data();
    void faults();
    void badOptions_data();
    void badOptions();
    void listensOnLocalhost();
    void crowdConnectingAtOnce();
    void textsAsWritten();

private:
    bool start(const QStringList& extra = {})
    {
        return server.start(QStringLiteral(OVPAGER_SERVER_BINARY), dataDir.path(), extra);
    }
    Reply get(const QByteArray& request, int ms = 10000);
    Reply get(const QString& target)
    {
        return get("GET " + target.toLatin1() + " HTTP/1.0\r\n\r\n");
    }
    ContentReply poll(const QString& argument)
    {
        return parseContentReply(
            QString::fromUtf8(get(QStringLiteral("/pagerv3/pager_info.html?") + argument).body));
    }

    QTemporaryDir dataDir;
    ServerProcess server;
};

void TestServer::init()
{
    QVERIFY(dataDir.isValid());
    const QDir source(QStringLiteral(OVPAGER_SERVER_DATA));
    for (const QString& name : source.entryList(QDir::Files)) {
        QFile::remove(dataDir.filePath(name));
        QVERIFY(QFile::copy(source.filePath(name), dataDir.filePath(name)));
        QFile::setPermissions(dataDir.filePath(name), QFile::ReadOwner | QFile::WriteOwner);
    }
}

void TestServer::cleanup()
{
    server.kill();
}

Reply TestServer::get(const QByteArray& request, int ms)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port);
    if (!socket.waitForConnected(3000))
        return {};
    socket.write(request);
    Reply r;
    QDeadlineTimer deadline(ms);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(100);
        r.raw += socket.readAll();
    }
    r.raw += socket.readAll();
    r.closed = socket.state() != QAbstractSocket::ConnectedState;
    const qsizetype end = r.raw.indexOf("\r\n\r\n");
    r.head = end < 0 ? r.raw : r.raw.left(end);
    r.body = end < 0 ? QByteArray() : r.raw.mid(end + 4);
    if (r.raw.startsWith("HTTP/1.0 "))
        r.status = r.raw.mid(9, 3).toInt();
    return r;
}

void TestServer::everyKindReadsBack()
{
    QVERIFY(start());

    // Category file, in a page, as the pager unwraps it.
    Reply r = get(QStringLiteral("/test/zorbel-thing3.html?id=31337"));
    QCOMPARE(r.status, 200);
    QString page = QString::fromLatin1(r.body), pre;
    QVERIFY(takeTaggedValue(QStringLiteral("pre"), page, pre));
    const CategoryFile categories = parseCategoryFile(pre);
    QVERIFY(categories.isValid());
    QVERIFY(categories.topLevel.size() > 3);

    // Content poll for everything the file ticks.
    const ContentReply content = poll(contentRequestArgument(categories, 5));
    QVERIFY(!content.oldCategoryFile);
    QVERIFY(content.records.size() >= 5);
    const QRegularExpression fixedStamp(QStringLiteral("^\\d{14}$"));
    for (const Headline& h : content.records)
        QVERIFY(fixedStamp.match(h.timestamp).hasMatch());

    // The abstract of a headline just sent, and one never sent.
    const Headline& first = content.records.first();
    r = get(QStringLiteral("/pagerv3/abstract.html?what=") + QString::number(first.topId) +
            QStringLiteral("&item=") + QString::number(first.id));
    QCOMPARE(r.status, 200);
    QVERIFY(QString::fromUtf8(r.body).contains(first.title));
    QCOMPARE(get(QStringLiteral("/pagerv3/abstract.html?what=1&item=999999")).status, 404);

    // Banner page, then the image it names, whole.
    const AdPageInfo ad =
        parseAdPage(QString::fromLatin1(get(QStringLiteral("/frames/ad.html?group=pager")).raw));
    QVERIFY(ad.ok);
    r = get(ad.imagePath);
    QCOMPARE(declaredBodyLength(QString::fromLatin1(r.head + "\r\n\r\n")), qint64(r.body.size()));
    QVERIFY(r.body.startsWith("GIF89a"));

    // Vulnerability categories, then the whole feed, then nothing newer.
    r = get(QStringLiteral("/test/vuln_categories.html"));
    QVERIFY(r.body.startsWith("VERSION="));
    const QString version = QString::fromLatin1(r.body.mid(8, r.body.indexOf('\n') - 8));
    QVERIFY(version.toInt() > 0);
    const QString vulnPoll = QStringLiteral("/pagerv3/vuln_info.html?version=") + version +
                             QStringLiteral("&timestamp=");
    QString feed = QString::fromUtf8(get(vulnPoll + u'0').body), vulns, one, updated, newest;
    QVERIFY(takeTaggedValue(QStringLiteral("vulns"), feed, vulns));
    while (takeTaggedValue(QStringLiteral("vuln"), vulns, one)) {
        QVERIFY(takeTaggedValue(QStringLiteral("updated"), one, updated));
        newest = qMax(newest, updated);
    }
    QVERIFY(fixedStamp.match(newest).hasMatch());
    // One released per poll, and only what is newer than asked for.
    QCOMPARE(get(vulnPoll + newest).body.count("<vuln>"), 1);

    // Old category versions are told so.
    r = get(QStringLiteral("/pagerv3/vuln_info.html?timestamp=0&version=") +
            QString::number(version.toInt() - 1));
    QVERIFY(r.body.contains("<!-- error old category file"));

    // One access line per request, with status and path.
    QVERIFY(server.waitForLog("127.0.0.1 [", 10, 5000));
    QVERIFY(server.log.contains("\"GET /test/zorbel-thing3.html?id=31337 HTTP/1.0\" 200"));
    QVERIFY(server.log.contains("\"GET /pagerv3/abstract.html?what=1&item=999999 HTTP/1.0\" 404"));
    QCOMPARE(server.log.count("127.0.0.1 ["), 10);
}

void TestServer::contentPolls_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("atMost");
    QTest::addColumn<QString>("subs"); // sub-categories allowed besides 0; empty: any
    QTest::newRow("one top") << "version=3&nentries=2&Content=T1" << 2 << "";
    QTest::newRow("subcategories") << "version=3&nentries=5&Content=T1,101,102" << 5 << "101,102";
    QTest::newRow("nothing chosen") << "version=3&nentries=5&Content=" << 0 << "";
}

void TestServer::contentPolls()
{
    QFETCH(QString, argument);
    QFETCH(int, atMost);
    QFETCH(QString, subs);
    QVERIFY(start());
    const QString body =
        QString::fromUtf8(get(QStringLiteral("/pagerv3/pager_info.html?") + argument).body);
    const ContentReply content = parseContentReply(body);
    QVERIFY(!content.oldCategoryFile);
    QVERIFY(content.records.size() <= atMost);
    QCOMPARE(content.records.isEmpty(), atMost == 0);
    // Only the top categories asked for, and the sub-categories when some are named.
    for (const Headline& h : content.records)
        QVERIFY(argument.contains(QStringLiteral("T") + QString::number(h.topId)));
    const QStringList allowed = subs.split(u',', Qt::SkipEmptyParts) << QStringLiteral("0");
    auto categories =
        QRegularExpression(QStringLiteral("<category>(\\d+)</category>")).globalMatch(body);
    while (categories.hasNext() && !subs.isEmpty()) {
        const QString sub = categories.next().captured(1);
        QVERIFY2(allowed.contains(sub), qPrintable(sub));
    }
}

void TestServer::newContentOverTime()
{
    QVERIFY(start({QStringLiteral("--initial"), QStringLiteral("0")}));
    QString lastStamp;
    QSet<int> ids;
    for (int i = 1; i <= 6; ++i) {
        const ContentReply content =
            poll(QStringLiteral("version=3&nentries=100&Content=T20001,T1,T2,T3,T4,T5,T6,T7"));
        // A fresh server releases one headline a poll; the set only grows.
        QCOMPARE(content.records.size(), i);
        QString newest;
        for (const Headline& h : content.records) {
            ids.insert(h.id);
            newest = qMax(newest, h.timestamp);
        }
        QCOMPARE(ids.size(), i);
        QVERIFY(newest > lastStamp);
        lastStamp = newest;
    }
}

void TestServer::categoryVersionBump()
{
    QVERIFY(start());
    const QString argument = QStringLiteral("version=3&nentries=5&Content=T1");
    QVERIFY(!poll(argument).oldCategoryFile);
    const QString file = dataDir.filePath(QStringLiteral("categories.dat"));
    QVERIFY(testfiles::writeAll(file, testfiles::readAll(file).replace("VERSION=3", "VERSION=4")));
    // Read again for every request: the running server now refuses version 3.
    QVERIFY(poll(argument).oldCategoryFile);
}

void TestServer::malformed_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    const QByteArray poll = "GET /pagerv3/pager_info.html?version=";
    QTest::newRow("not a request line") << QByteArray("hello there\r\n\r\n") << 400;
    QTest::newRow("unknown path") << QByteArray("GET /etc/passwd HTTP/1.0\r\n\r\n") << 404;
    QTest::newRow("climbing out") << QByteArray("GET /images/../data/vulns.txt HTTP/1.0\r\n\r\n")
                                  << 400;
    QTest::newRow("post") << QByteArray("POST /frames/ad.html HTTP/1.0\r\n\r\n") << 405;
    QTest::newRow("letters for version") << poll + "x&nentries=5&Content=T1 HTTP/1.0\r\n\r\n"
                                         << 400;
    QTest::newRow("bad content list") << poll + "3&nentries=5&Content=T1,rm HTTP/1.0\r\n\r\n"
                                      << 400;
    QTest::newRow("oversized head")
        << "GET /frames/ad.html HTTP/1.0\r\nX-Filler: " + QByteArray(9000, 'a') + "\r\n\r\n"
        << 413;
}

void TestServer::malformed()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QVERIFY(start());
    const Reply r = get(request);
    QCOMPARE(r.status, status);
    QVERIFY(r.closed);
    // Still up and answering.
    QCOMPARE(get(QStringLiteral("/frames/ad.html?group=pager")).status, 200);
}

void TestServer::idleClients()
{
    // Clients that say nothing, or half a request, hold up no one else and
    // are sent away once the request time-out has passed.
    QVERIFY(start({QStringLiteral("--request-timeout"), QStringLiteral("3000")}));
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 4; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QHostAddress::LocalHost, server.port);
        QVERIFY(idle.back()->waitForConnected(3000));
        if (i % 2)
            idle.back()->write("GET /pagerv3/pager_info.html?ver");
    }
    for (int i = 0; i < 3; ++i)
        QCOMPARE(get(QByteArray("GET /frames/ad.html?group=pager HTTP/1.0\r\n\r\n"), 1500).status,
                 200);
    for (auto& s : idle) {
        QTRY_COMPARE_WITH_TIMEOUT(s->state(), QAbstractSocket::UnconnectedState, 10000);
        QVERIFY(s->readAll().startsWith("HTTP/1.0 408"));
    }
}

void TestServer::faults_data()
{
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("check");
    QTest::newRow("cut") << "cut:/frames/ad.html"
                         << "cut";
    QTest::newRow("garbage") << "garbage:/frames/ad.html"
                             << "garbage";
    QTest::newRow("error") << "error:*"
                           << "error";
    QTest::newRow("huge") << "huge:/frames/ad.html"
                          << "huge";
    QTest::newRow("hang") << "hang:/frames/ad.html"
                          << "hang";
    QTest::newRow("never by chance") << "error:0"
                                     << "none";
    QTest::newRow("other path untouched") << "cut:/pagerv3/vuln_info.html"
                                          << "none";
}

void TestServer::faults()
{
    QFETCH(QString, plan);
    QFETCH(QString, check);
    QVERIFY(start({QStringLiteral("--faults"), plan}));
    const QByteArray request = "GET /frames/ad.html?group=pager HTTP/1.0\r\n\r\n";
    const Reply r = get(request, check == QLatin1String("hang") ? 1500 : 20000);
    const bool adPage = parseAdPage(QString::fromLatin1(r.raw)).ok;
    if (check == QLatin1String("none"))
        QVERIFY(r.status == 200 && adPage);
    else if (check == QLatin1String("cut"))
        QVERIFY(r.closed && isCutShort(QString::fromLatin1(r.raw)));
    else if (check == QLatin1String("garbage"))
        QVERIFY(r.closed && !r.raw.isEmpty() && r.status != 200 && !adPage);
    else if (check == QLatin1String("error"))
        QCOMPARE(r.status, 500);
    else if (check == QLatin1String("huge"))
        QVERIFY(r.status == 200 && r.body.size() >= 20 * 1000 * 1000 &&
                declaredBodyLength(QString::fromLatin1(r.head + "\r\n\r\n")) == r.body.size());
    else if (check == QLatin1String("hang"))
        QVERIFY(!r.closed && r.raw.isEmpty());
    // Whatever happened to that one, the next request elsewhere is served.
    QCOMPARE(get(QStringLiteral("/test/vuln_categories.html")).status,
             plan == QLatin1String("error:*") ? 500 : 200);
    if (check != QLatin1String("none"))
        QVERIFY(server.waitForLog("fault=" + check.toLatin1(), 1, 5000));
}

void TestServer::badOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown fault") << QStringList{"--faults", "explode:*"};
    QTest::newRow("listen without port") << QStringList{"--listen", "127.0.0.1"};
    QTest::newRow("listen on a name") << QStringList{"--listen", "nowhere.invalid:80"};
    QTest::newRow("port too big") << QStringList{"--listen", "127.0.0.1:70000"};
    QTest::newRow("missing data") << QStringList{"--data", "/nonexistent/ovpager-data"};
    QTest::newRow("unknown option") << QStringList{"--frobnicate"};
    QTest::newRow("stray argument") << QStringList{"extra"};
    QTest::newRow("seed not a number") << QStringList{"--seed", "seven"};
    QTest::newRow("timeout too short") << QStringList{"--request-timeout", "99"};
}

void TestServer::badOptions()
{
    QFETCH(QStringList, arguments);
    QProcess p;
    // Later options win, so the row's own --listen or --data replaces these.
    p.start(QStringLiteral(OVPAGER_SERVER_BINARY),
            QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                        QStringLiteral("--data"), dataDir.path()} +
                arguments);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("ovpager-server: "));
}

void TestServer::listensOnLocalhost()
{
    QVERIFY(start({QStringLiteral("--listen"), QStringLiteral("localhost:0")}));
    QCOMPARE(get(QStringLiteral("/frames/ad.html?group=pager")).status, 200);
}

void TestServer::crowdConnectingAtOnce()
{
    QVERIFY(start());
    // While the server is stopped only the kernel's backlog takes connections:
    // every one of the crowd must find room there, none may wait for a retry.
    server.signal(SIGSTOP);
    const int crowd = 200;
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    int connected = 0;
    for (int i = 0; i < crowd; ++i) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        QTcpSocket* s = sockets.back().get();
        connect(s, &QTcpSocket::connected, this, [s, &connected] {
            ++connected;
            s->write("GET /frames/ad.html?group=pager HTTP/1.0\r\n\r\n");
        });
        s->connectToHost(QHostAddress::LocalHost, server.port);
    }
    QTRY_COMPARE_WITH_TIMEOUT(connected, crowd, 5000);
    server.signal(SIGCONT);
    for (auto& s : sockets) {
        QTRY_VERIFY_WITH_TIMEOUT(
            s->state() == QAbstractSocket::UnconnectedState || s->bytesAvailable() >= 12, 10000);
        QCOMPARE(s->peek(12), "HTTP/1.0 200");
    }
}

void TestServer::textsAsWritten()
{
    // Percent signs in the data are never read as a format.
    const QString title = QStringLiteral("Deals 50%4 off %1");
    const QString abstract = QStringLiteral("Save %2 today, %1 only");
    QVERIFY(testfiles::writeAll(
        dataDir.filePath(QStringLiteral("headlines.txt")),
        (QStringLiteral("1\t101\t") + title + u'\t' + abstract + u'\n').toUtf8()));
    QVERIFY(start());
    const ContentReply content = poll(QStringLiteral("version=3&nentries=5&Content=T1"));
    QVERIFY(!content.records.isEmpty());
    QCOMPARE(content.records.first().title, title);
    const Reply page = get(QStringLiteral("/pagerv3/abstract.html?what=1&item=") +
                           QString::number(content.records.first().id));
    QVERIFY(QString::fromUtf8(page.body).contains(abstract));
}

QTEST_MAIN(TestServer)
#include "tst_contentserver.moc"
