// The built ovpager-server as a real process on a free loopback port, its
// replies read back with the pager's own readers.

#include "net/core/replyparse.h"
#include "pager/core/headlinelist.h"
#include "pager/core/taggedtext.h"
#include "tests/common/childprocess.h"
#include "tests/common/testfiles.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QtTest>

#include <csignal>
#include <utility>

struct Reply
{
    QByteArray body; // what follows the head
    int status = 0;  // 0: no status line
    // Status, whether the server closed, whether the body is as long as
    // declared, and "huge" past 20 MB: "200 closed whole".
    QByteArray shape;
};

class TestServer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { server.kill(); }
    void everyKindReadsBack();
    void contentPolls_data();
    void contentPolls();
    void newContentOverTime();
    void exchanges_data();
    void exchanges();
    void clientsAtOnce();

private:
    bool start(const QStringList& extra = {})
    {
        return server.start(QStringLiteral(OVPAGER_SERVER_BINARY), dataDir.path(), extra);
    }
    // A whole request, or a path to GET.
    Reply get(QByteArray request, int ms = 20000);
    QString pollText(const QString& argument)
    {
        return QString::fromUtf8(get("/pagerv3/pager_info.html?" + argument.toLatin1()).body);
    }
    ContentReply poll(const QString& argument) { return parseContentReply(pollText(argument)); }

    QTemporaryDir dataDir;
    ServerProcess server;
};

void TestServer::init()
{
    for (const QFileInfo& f : QDir(QStringLiteral(OVPAGER_SERVER_DATA)).entryInfoList(QDir::Files))
        QVERIFY(
            testfiles::writeAll(dataDir.filePath(f.fileName()), testfiles::readAll(f.filePath())));
}

Reply TestServer::get(QByteArray request, int ms)
{
    if (request.startsWith('/'))
        request = "GET " + request + " HTTP/1.0\r\n\r\n";
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port);
    socket.waitForConnected(3000);
    socket.write(request);
    const bool closed = socket.waitForDisconnected(ms);
    const QByteArray raw = socket.readAll();
    Reply r{raw.mid(raw.indexOf("\r\n\r\n") + 4),
            raw.startsWith("HTTP/1.0 ") ? raw.mid(9, 3).toInt() : 0,
            {}};
    const bool whole = declaredBodyLength(QString::fromLatin1(raw)) == r.body.size();
    r.shape = QByteArray::number(r.status) + (closed ? " closed" : " open") +
              (whole ? " whole" : " short") + (r.body.size() > 20000000 ? " huge" : "");
    return r;
}

void TestServer::everyKindReadsBack()
{
    QVERIFY(start());
    // A content poll, then a headline's abstract.
    const ContentReply content = poll(QStringLiteral("version=3&nentries=5&Content=T1,T2,T3"));
    QVERIFY(!content.oldCategoryFile && content.records.size() >= 5);
    const QRegularExpression fixedStamp(QStringLiteral("^\\d{14}$"));
    QVERIFY(fixedStamp.match(content.records.first().timestamp).hasMatch());
    const Headline& first = content.records.first();
    Reply r = get("/pagerv3/abstract.html?what=" + QByteArray::number(first.topId) +
                  "&item=" + QByteArray::number(first.id));
    QVERIFY(r.status == 200 && QString::fromUtf8(r.body).contains(first.title));

    // Vulnerability categories, then the whole feed, then nothing newer.
    r = get("/test/vuln_categories.html");
    const QByteArray version = r.body.mid(8, r.body.indexOf('\n') - 8);
    QVERIFY(r.body.startsWith("VERSION=") && version.toInt() > 0);
    const QByteArray vulnPoll = "/pagerv3/vuln_info.html?version=" + version + "&timestamp=";
    QString feed = QString::fromUtf8(get(vulnPoll + '0').body), vulns, one, updated, newest;
    QVERIFY(takeTaggedValue(QStringLiteral("vulns"), feed, vulns));
    while (takeTaggedValue(QStringLiteral("vuln"), vulns, one)) {
        QVERIFY(takeTaggedValue(QStringLiteral("updated"), one, updated));
        newest = qMax(newest, updated);
    }
    QVERIFY(fixedStamp.match(newest).hasMatch());
    // One released per poll, and only what is newer than asked for.
    QCOMPARE(get(vulnPoll + newest.toLatin1()).body.count("<vuln>"), 1);
    QVERIFY(get("/pagerv3/vuln_info.html?timestamp=0&version=" +
                QByteArray::number(version.toInt() - 1))
                .body.contains("<!-- error old category file"));
}

void TestServer::contentPolls_data()
{
    // Patterns for every top and sub-category the reply may hold.
    QTest::addColumn<QString>("tops");
    QTest::addColumn<QString>("subs");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("argument");
    QTest::newRow("subcategories") << "1"
                                   << "0|101|102" << 5 << "version=3&nentries=5&Content=T1,101,102";
    QTest::newRow("nothing chosen") << ""
                                    << "" << 0 << "version=3&nentries=5&Content=";
}

void TestServer::contentPolls()
{
    QFETCH(QString, tops);
    QFETCH(QString, subs);
    QFETCH(int, count);
    QFETCH(QString, argument);
    QVERIFY(start());
    const QString body = pollText(argument);
    QCOMPARE(parseContentReply(body).records.size(), count);
    for (const QString& refused : {"<topcategory>(?!(" + tops, "<category>(?!(" + subs})
        QVERIFY2(!body.contains(QRegularExpression(refused + ")<)")), qPrintable(body));
}

void TestServer::newContentOverTime()
{
    // The first headline holds percent signs: they are never read as a format.
    const QString file = dataDir.filePath(QStringLiteral("headlines.txt"));
    const QByteArray title = "Deals 50%4 off %1", abstract = "Save %2 today, %1 only";
    QVERIFY(testfiles::writeAll(file, "1\t101\t" + title + '\t' + abstract + '\n' +
                                          testfiles::readAll(file)));
    // Also started on "localhost", which is the loopback address.
    QVERIFY(start({"--initial", "0", "--listen", "localhost:0"}));
    const QString argument = QStringLiteral("version=3&nentries=100&Content=T20001,T1,T2,T3,T4");
    QSet<int> ids;
    QString lastStamp;
    for (int i = 1; i <= 6; ++i) {
        // A fresh server releases one headline a poll; the set only grows.
        const ContentReply content = poll(argument);
        QString newest;
        for (const Headline& h : content.records) {
            ids.insert(h.id);
            newest = qMax(newest, h.timestamp);
        }
        QVERIFY(content.records.size() == i && ids.size() == i);
        QVERIFY(newest > std::exchange(lastStamp, newest));
    }
    QVERIFY(pollText(argument).contains("<title>" + title + "</title>"));
    QVERIFY(get("/pagerv3/abstract.html?what=1&item=1").body.contains("<p>" + abstract + "</p>"));

    // The category file is read again for every request: version 3 is now old.
    const QString categories = dataDir.filePath(QStringLiteral("categories.dat"));
    QVERIFY(testfiles::writeAll(categories,
                                testfiles::readAll(categories).replace("VERSION=3", "VERSION=4")));
    QVERIFY(poll(argument).oldCategoryFile);
}

void TestServer::exchanges_data()
{
    // Server options, one request, the reply's shape (or the server's exit
    // status) and what the server must log for it.
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("shape");
    QTest::addColumn<QByteArray>("logged");
    const QByteArray ad = "/frames/ad.html?group=pager", poll = "/pagerv3/pager_info.html?version=";
    const auto row = [](const char* name, const QStringList& options, const QByteArray& request,
                        const char* shape, const char* logged = "") {
        QTest::newRow(name) << options << request << QByteArray(shape) << QByteArray(logged);
    };
    // Refused requests; the server stays up.
    row("not a request line", {}, "hello there\r\n\r\n", "400 closed whole", "\"hello there\" 400");
    row("unknown path", {}, "/etc/passwd", "404 closed whole", "\"GET /etc/passwd HTTP/1.0\" 404");
    row("article never sent", {}, "/pagerv3/abstract.html?what=1&item=999999", "404 closed whole");
    row("climbing out", {}, "/images/../data/vulns.txt", "400 closed whole");
    row("post", {}, "POST /frames/ad.html HTTP/1.0\r\n\r\n", "405 closed whole");
    row("letters for version", {}, poll + "x&nentries=5&Content=T1", "400 closed whole");
    row("bad content list", {}, poll + "3&nentries=5&Content=T1,rm", "400 closed whole");
    row("oversized head", {},
        "GET /frames/ad.html HTTP/1.0\r\nX-Filler: " + QByteArray(9000, 'a') + "\r\n\r\n",
        "413 closed whole", "(oversized request)");
    // Injected faults, each logged.
    row("cut", {"--faults", "cut:/frames/ad.html"}, ad, "200 closed short", "fault=cut");
    row("garbage", {"--faults", "garbage:/frames/ad.html"}, ad, "0 closed short", "fault=garbage");
    row("error", {"--faults", "error:*"}, ad, "500 closed whole", "fault=error");
    row("huge", {"--faults", "huge:/frames/ad.html"}, ad, "200 closed whole huge", "fault=huge");
    row("hang", {"--faults", "hang:/frames/ad.html"}, ad, "0 open short", "fault=hang");
    row("never by chance", {"--faults", "error:0"}, ad, "200 closed whole");
    row("other path untouched", {"--faults", "cut:/pagerv3/vuln_info.html"}, ad,
        "200 closed whole");
    // Refused options: the server does not start.
    row("unknown fault", {"--faults", "explode:*"}, {}, "exit 2");
    row("listen on a name", {"--listen", "nowhere.invalid:80"}, {}, "exit 2");
    row("port too big", {"--listen", "127.0.0.1:70000"}, {}, "exit 2");
    row("missing data", {"--data", "/nonexistent/ovpager-data"}, {}, "exit 2");
    row("unknown option", {"--frobnicate"}, {}, "exit 2");
    row("stray argument", {"extra"}, {}, "exit 2");
    row("seed not a number", {"--seed", "seven"}, {}, "exit 2");
    row("timeout too short", {"--request-timeout", "99"}, {}, "exit 2");
}

void TestServer::exchanges()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, shape);
    QFETCH(QByteArray, logged);
    // Later options win, so a row's own --listen or --data replaces the usual.
    if (!start(options)) {
        QCOMPARE("exit " + QByteArray::number(server.process.exitCode()), shape);
        QVERIFY(server.process.readAllStandardError().startsWith("ovpager-server: "));
        return;
    }
    QCOMPARE(get(request, shape.contains("open") ? 1500 : 20000).shape, shape);
    // Whatever happened to that one, the next request elsewhere is served.
    QCOMPARE(get("/test/vuln_categories.html").status, options.contains("error:*") ? 500 : 200);
    QVERIFY(server.waitForLog(logged, 1, 5000));
}

void TestServer::clientsAtOnce()
{
    // While the server is stopped only the kernel's backlog takes connections:
    // every one of a crowd must find room there, none may wait for a retry.
    // The first two, silent and half a request, hold up no one and are sent
    // away once the request time-out has passed.
    QVERIFY(start({QStringLiteral("--request-timeout"), QStringLiteral("5000")}));
    server.signal(SIGSTOP);
    QObject owner;
    QList<QTcpSocket*> clients;
    for (int i = 0; i < 202; ++i) {
        clients << new QTcpSocket(&owner);
        clients.last()->connectToHost(QHostAddress::LocalHost, server.port);
    }
    for (QTcpSocket* s : clients) {
        QTRY_COMPARE_WITH_TIMEOUT(s->state(), QAbstractSocket::ConnectedState, 5000);
        s->write(clients.indexOf(s) < 2 ? QByteArray(clients.indexOf(s), 'G')
                                        : "GET /frames/ad.html?group=pager HTTP/1.0\r\n\r\n");
    }
    server.signal(SIGCONT);
    for (QTcpSocket* s : clients.mid(2) + clients.mid(0, 2)) {
        QTRY_COMPARE_WITH_TIMEOUT(s->state(), QAbstractSocket::UnconnectedState, 10000);
        QCOMPARE(s->readAll().left(12), clients.indexOf(s) < 2 ? "HTTP/1.0 408" : "HTTP/1.0 200");
        // The crowd is served before the idle two are given up.
        QVERIFY(clients.indexOf(s) < 2 || clients[0]->state() == QAbstractSocket::ConnectedState);
    }
}

QTEST_MAIN(TestServer)
#include "tst_contentserver.moc"
