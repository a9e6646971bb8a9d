// The built ovpager-server as a real process on a free loopback port, its
// replies read back with the pager's own readers.

#include "net/core/replyparse.h"
#include "pager/core/categoryfile.h"
#include "pager/core/headlinelist.h"
#include "pager/core/taggedtext.h"
#include "tests/common/childprocess.h"
#include "tests/common/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
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

Reply parse(const QByteArray& raw, bool closed)
{
    Reply r;
    r.raw = raw;
    r.closed = closed;
    const qsizetype end = raw.indexOf("\r\n\r\n");
    r.head = end < 0 ? raw : raw.left(end);
    r.body = end < 0 ? QByteArray() : raw.mid(end + 4);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^HTTP/1\\.[01] (\\d{3}) "))
                                          .match(QString::fromLatin1(r.head));
    if (m.hasMatch())
        r.status = m.captured(1).toInt();
    return r;
}

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
    void slowClientTimesOut();
    void silentClientBlocksNoOne();
    void faults_data();
    void faults();
    void badOptions_data();
    void badOptions();
    void versionAndLocalhost();
    void crowdConnectingAtOnce();
    void textsAsWritten();

private:
    bool start(const QStringList& extra = {});
    Reply get(const QByteArray& request, int ms = 10000);
    Reply get(const QString& target)
    {
        return get("GET " + target.toLatin1() + " HTTP/1.0\r\n\r\n");
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

bool TestServer::start(const QStringList& extra)
{
    return server.start(QStringLiteral(OVPAGER_SERVER_BINARY), dataDir.path(), extra);
}

Reply TestServer::get(const QByteArray& request, int ms)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port);
    if (!socket.waitForConnected(3000))
        return {};
    socket.write(request);
    QByteArray raw;
    QElapsedTimer clock;
    clock.start();
    while (socket.state() == QAbstractSocket::ConnectedState && clock.elapsed() < ms) {
        socket.waitForReadyRead(100);
        raw += socket.readAll();
    }
    raw += socket.readAll();
    return parse(raw, socket.state() != QAbstractSocket::ConnectedState);
}

void TestServer::everyKindReadsBack()
{
    QVERIFY(start());

    // Category file, in a page, as the pager unwraps it.
    Reply r = get(QStringLiteral("/test/zorbel-thing3.html?id=31337"));
    QCOMPARE(r.status, 200);
    QVERIFY(r.closed);
    QString page = QString::fromLatin1(r.body), pre;
    QVERIFY(takeTaggedValue(QStringLiteral("pre"), page, pre));
    const CategoryFile categories = parseCategoryFile(pre);
    QVERIFY(categories.isValid());
    QVERIFY(categories.topLevel.size() > 3);

    // Content poll for everything the file ticks.
    const QString poll =
        QStringLiteral("/pagerv3/pager_info.html?") + contentRequestArgument(categories, 5);
    r = get(poll);
    QCOMPARE(r.status, 200);
    const ContentReply content = parseContentReply(QString::fromUtf8(r.body));
    QVERIFY(!content.oldCategoryFile);
    QVERIFY2(content.records.size() >= 5, r.body.constData());
    QRegularExpression fixedStamp(QStringLiteral("^\\d{14}$"));
    for (const Headline& h : content.records) {
        QVERIFY2(fixedStamp.match(h.timestamp).hasMatch(), qPrintable(h.timestamp));
        QVERIFY(h.link.startsWith(QLatin1String("http://")));
        QVERIFY(!h.title.isEmpty());
    }

    // The abstract of a headline just sent, and one never sent.
    const Headline& first = content.records.first();
    r = get(
        QStringLiteral("/pagerv3/abstract.html?what=%1&item=%2").arg(first.topId).arg(first.id));
    QCOMPARE(r.status, 200);
    QVERIFY(QString::fromUtf8(r.body).contains(first.title));
    QCOMPARE(get(QStringLiteral("/pagerv3/abstract.html?what=1&item=999999")).status, 404);

    // Banner page, then the image it names: an animated 230x33 GIF.
    r = get(QStringLiteral("/frames/ad.html?group=pager"));
    QCOMPARE(r.status, 200);
    const AdPageInfo ad = parseAdPage(QString::fromLatin1(r.raw));
    QVERIFY(ad.ok);
    QVERIFY(ad.link.startsWith(QLatin1String("http")));
    r = get(ad.imagePath);
    QCOMPARE(r.status, 200);
    QCOMPARE(declaredBodyLength(QString::fromLatin1(r.head + "\r\n\r\n")), qint64(r.body.size()));
    QBuffer gif(&r.body);
    QImageReader reader(&gif, "gif");
    QVERIFY(reader.canRead());
    QCOMPARE(reader.size(), QSize(230, 33));
    QVERIFY(reader.imageCount() > 1);

    // Vulnerability categories, then the whole feed, then nothing newer.
    r = get(QStringLiteral("/test/vuln_categories.html"));
    QCOMPARE(r.status, 200);
    const QStringList rows = QString::fromLatin1(r.body).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(rows.value(0).startsWith(QLatin1String("VERSION=")));
    const int vulnVersion = rows.value(0).mid(8).toInt();
    QVERIFY(vulnVersion > 0);
    for (const QString& row : rows.mid(1))
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d+,\\d+,\"[^\"]+\"$")).match(row).hasMatch(),
                 qPrintable(row));
    r = get(QStringLiteral("/pagerv3/vuln_info.html?timestamp=0&version=%1").arg(vulnVersion));
    QCOMPARE(r.status, 200);
    QString feed = QString::fromUtf8(r.body), vulns, one, updated, newest;
    QVERIFY(takeTaggedValue(QStringLiteral("vulns"), feed, vulns));
    int count = 0;
    while (takeTaggedValue(QStringLiteral("vuln"), vulns, one)) {
        QVERIFY(takeTaggedValue(QStringLiteral("updated"), one, updated));
        QVERIFY(fixedStamp.match(updated).hasMatch());
        newest = qMax(newest, updated);
        ++count;
    }
    QVERIFY(count > 0);
    r = get(QStringLiteral("/pagerv3/vuln_info.html?timestamp=%1&version=%2")
                .arg(newest)
                .arg(vulnVersion));
    feed = QString::fromUtf8(r.body);
    QVERIFY(takeTaggedValue(QStringLiteral("vulns"), feed, vulns));
    // One released per poll, and only what is newer than asked for.
    QCOMPARE(vulns.count(QLatin1String("<vuln>")), 1);

    // Old category versions are told so.
    r = get(QStringLiteral("/pagerv3/vuln_info.html?timestamp=0&version=%1").arg(vulnVersion - 1));
    QVERIFY(r.body.contains("<!-- error old category file"));

    // One access line per request, with status and path.
    QVERIFY(server.waitForLog("127.0.0.1 [", 10, 5000));
    const QByteArray lines = server.log;
    QVERIFY(lines.contains("\"GET /test/zorbel-thing3.html?id=31337 HTTP/1.0\" 200"));
    QVERIFY(lines.contains("\"GET /pagerv3/abstract.html?what=1&item=999999 HTTP/1.0\" 404"));
    QCOMPARE(lines.count("127.0.0.1 ["), 10);
}

void TestServer::contentPolls_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("old");
    QTest::addColumn<int>("atMost");
    QTest::addColumn<QString>("subs"); // sub-categories allowed besides 0; empty: any
    QTest::newRow("old version") << "version=2&nentries=5&Content=T20001,T1" << true << 0 << "";
    QTest::newRow("current, one top") << "version=3&nentries=2&Content=T1" << false << 2 << "";
    QTest::newRow("newer than the server's")
        << "version=9&nentries=3&Content=T2" << false << 3 << "";
    QTest::newRow("subcategories")
        << "version=3&nentries=5&Content=T1,101,102" << false << 5 << "101,102";
    QTest::newRow("nothing chosen") << "version=3&nentries=5&Content=" << false << 0 << "";
}

void TestServer::contentPolls()
{
    QFETCH(QString, argument);
    QFETCH(bool, old);
    QFETCH(int, atMost);
    QFETCH(QString, subs);
    QVERIFY(start());
    const Reply r = get(QStringLiteral("/pagerv3/pager_info.html?") + argument);
    QCOMPARE(r.status, 200);
    const ContentReply content = parseContentReply(QString::fromUtf8(r.body));
    QCOMPARE(content.oldCategoryFile, old);
    QVERIFY(content.records.size() <= atMost);
    if (atMost > 0)
        QVERIFY(!content.records.isEmpty());
    // Only the top categories asked for.
    QSet<int> asked;
    auto tops = QRegularExpression(QStringLiteral("T(\\d+)")).globalMatch(argument);
    while (tops.hasNext())
        asked.insert(tops.next().captured(1).toInt());
    for (const Headline& h : content.records)
        QVERIFY2(asked.contains(h.topId), qPrintable(QString::number(h.topId)));
    // Only the sub-categories asked for, when some are named.
    const QStringList allowed = subs.split(u',', Qt::SkipEmptyParts) << QStringLiteral("0");
    auto categories = QRegularExpression(QStringLiteral("<category>(\\d+)</category>"))
                          .globalMatch(QString::fromUtf8(r.body));
    while (categories.hasNext() && !subs.isEmpty()) {
        const QString sub = categories.next().captured(1);
        QVERIFY2(allowed.contains(sub), qPrintable(sub));
    }
}

void TestServer::newContentOverTime()
{
    QVERIFY(start({QStringLiteral("--initial"), QStringLiteral("0")}));
    const QString poll = QStringLiteral(
        "/pagerv3/pager_info.html?version=3&nentries=100&Content=T20001,T1,T2,T3,T4,T5,T6,T7");
    QString lastStamp;
    QSet<int> ids;
    for (int i = 1; i <= 6; ++i) {
        const ContentReply content = parseContentReply(QString::fromUtf8(get(poll).body));
        // A fresh server releases one headline a poll; the set only grows.
        QCOMPARE(content.records.size(), i);
        for (const Headline& h : content.records)
            ids.insert(h.id);
        QCOMPARE(ids.size(), i);
        QString newest;
        for (const Headline& h : content.records)
            newest = qMax(newest, h.timestamp);
        QVERIFY2(newest > lastStamp, qPrintable(newest + u' ' + lastStamp));
        lastStamp = newest;
    }
}

void TestServer::categoryVersionBump()
{
    QVERIFY(start());
    const QString poll = QStringLiteral("/pagerv3/pager_info.html?version=3&nentries=5&Content=T1");
    QVERIFY(!parseContentReply(QString::fromUtf8(get(poll).body)).oldCategoryFile);

    const QString file = dataDir.filePath(QStringLiteral("categories.dat"));
    QVERIFY(testfiles::writeAll(file, testfiles::readAll(file).replace("VERSION=3", "VERSION=4")));

    // Read again for every request: the running server now refuses version 3.
    QVERIFY(parseContentReply(QString::fromUtf8(get(poll).body)).oldCategoryFile);
    QString page =
        QString::fromLatin1(get(QStringLiteral("/test/zorbel-thing3.html?id=31337")).body);
    QString pre;
    QVERIFY(takeTaggedValue(QStringLiteral("pre"), page, pre));
    QCOMPARE(parseCategoryFile(pre).version, 4);
}

void TestServer::malformed_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    QTest::newRow("not a request line") << QByteArray("hello there\r\n\r\n") << 400;
    QTest::newRow("unknown path") << QByteArray("GET /etc/passwd HTTP/1.0\r\n\r\n") << 404;
    QTest::newRow("climbing out") << QByteArray("GET /images/../data/vulns.txt HTTP/1.0\r\n\r\n")
                                  << 400;
    QTest::newRow("post") << QByteArray("POST /frames/ad.html HTTP/1.0\r\n\r\n") << 405;
    QTest::newRow("letters for version")
        << QByteArray(
               "GET /pagerv3/pager_info.html?version=x&nentries=5&Content=T1 HTTP/1.0\r\n\r\n")
        << 400;
    QTest::newRow("bad content list")
        << QByteArray(
               "GET /pagerv3/pager_info.html?version=3&nentries=5&Content=T1,rm HTTP/1.0\r\n\r\n")
        << 400;
    QTest::newRow("oversized head")
        << QByteArray("GET /frames/ad.html HTTP/1.0\r\nX-Filler: " + QByteArray(9000, 'a') +
                      "\r\n\r\n")
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
    QCOMPARE(server.process.state(), QProcess::Running);
}

void TestServer::slowClientTimesOut()
{
    QVERIFY(start({QStringLiteral("--request-timeout"), QStringLiteral("300")}));
    const Reply r = get(QByteArray("GET /frames/ad.html HTTP/1.0\r\n"), 5000);
    QCOMPARE(r.status, 408);
    QVERIFY(r.closed);
}

void TestServer::silentClientBlocksNoOne()
{
    QVERIFY(start());
    // Several clients that connect and say nothing, or half a request.
    QList<QTcpSocket*> idle;
    for (int i = 0; i < 4; ++i) {
        auto* s = new QTcpSocket(this);
        s->connectToHost(QHostAddress::LocalHost, server.port);
        QVERIFY(s->waitForConnected(3000));
        if (i % 2)
            s->write("GET /pagerv3/pager_info.html?ver");
        s->flush();
        idle << s;
    }
    for (int i = 0; i < 3; ++i) {
        const Reply r = get(QByteArray("GET /frames/ad.html?group=pager HTTP/1.0\r\n\r\n"), 3000);
        QCOMPARE(r.status, 200);
        QVERIFY(r.closed);
    }
    qDeleteAll(idle);
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
    QTest::newRow("always by chance") << "error:1"
                                      << "error";
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
    if (check == QLatin1String("none")) {
        QCOMPARE(r.status, 200);
        QVERIFY(parseAdPage(QString::fromLatin1(r.raw)).ok);
    } else if (check == QLatin1String("cut")) {
        QVERIFY(r.closed);
        QVERIFY(isCutShort(QString::fromLatin1(r.raw)));
    } else if (check == QLatin1String("garbage")) {
        QVERIFY(r.closed);
        QVERIFY(r.raw.size() > 0);
        QVERIFY(!isSuccessStatus(r.raw) || r.status == 0);
        QVERIFY(!parseAdPage(QString::fromLatin1(r.raw)).ok);
    } else if (check == QLatin1String("error")) {
        QCOMPARE(r.status, 500);
        QVERIFY(!isSuccessStatus(r.raw));
    } else if (check == QLatin1String("huge")) {
        QVERIFY(r.closed);
        QCOMPARE(r.status, 200);
        QVERIFY(r.body.size() >= 20 * 1000 * 1000);
        QCOMPARE(declaredBodyLength(QString::fromLatin1(r.head + "\r\n\r\n")),
                 qint64(r.body.size()));
    } else if (check == QLatin1String("hang")) {
        QVERIFY(!r.closed);
        QVERIFY(r.raw.isEmpty());
    }
    // Whatever happened to that one, the next request elsewhere is served.
    QCOMPARE(get(QStringLiteral("/test/vuln_categories.html")).status,
             plan == QLatin1String("error:*") || plan == QLatin1String("error:1") ? 500 : 200);
    if (check != QLatin1String("none"))
        QVERIFY(server.waitForLog("fault=" + check.toLatin1(), 1, 5000));
}

void TestServer::badOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown fault") << QStringList{"--faults", "explode:*"};
    QTest::newRow("chance above one") << QStringList{"--faults", "cut:1.5"};
    QTest::newRow("listen without port") << QStringList{"--listen", "127.0.0.1"};
    QTest::newRow("listen on a name") << QStringList{"--listen", "nowhere.invalid:80"};
    QTest::newRow("port too big") << QStringList{"--listen", "127.0.0.1:70000"};
    QTest::newRow("missing data") << QStringList{"--data", "/nonexistent/ovpager-data"};
    QTest::newRow("unknown option") << QStringList{"--frobnicate"};
    QTest::newRow("stray argument") << QStringList{"extra"};
    QTest::newRow("seed not a number") << QStringList{"--seed", "seven"};
    QTest::newRow("initial too many") << QStringList{"--initial", "10001"};
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

void TestServer::versionAndLocalhost()
{
    QProcess p;
    p.start(QStringLiteral(OVPAGER_SERVER_BINARY), {QStringLiteral("--version")});
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardOutput(), QByteArray("ovpager-server 3.0\n"));

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
    int answered = 0;
    for (auto& s : sockets) {
        QTRY_VERIFY_WITH_TIMEOUT(
            s->state() == QAbstractSocket::UnconnectedState || s->bytesAvailable() >= 12, 10000);
        if (s->peek(12) == "HTTP/1.0 200")
            ++answered;
    }
    QCOMPARE(answered, crowd);
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
    const Reply poll =
        get(QStringLiteral("/pagerv3/pager_info.html?version=3&nentries=5&Content=T1"));
    const ContentReply content = parseContentReply(QString::fromUtf8(poll.body));
    QVERIFY(!content.records.isEmpty());
    const Headline first = content.records.first();
    QCOMPARE(first.title, title);
    const Reply page =
        get(QStringLiteral("/pagerv3/abstract.html?what=1&item=") + QString::number(first.id));
    QString text = QString::fromUtf8(page.body), body;
    QVERIFY(takeTaggedValue(QStringLiteral("body"), text, body));
    QVERIFY2(body.contains(abstract), qPrintable(body));
}

QTEST_MAIN(TestServer)
#include "tst_contentserver.moc"
