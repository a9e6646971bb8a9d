#include "net/core/cwwwserver.h"
#include "pager/core/globals.h"
#include "tests/common/httpstandin.h"
#include "tests/common/testfiles.h"
#include "tests/common/testgif.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QByteArray userAgent = "\r\nUser-Agent: OVPagerV3.0(Linux)\r\n\r\n";
const QByteArray ok = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
const QString contentLine = QStringLiteral("GET /pagerv3/pager_info.html?tail HTTP/1.0");

class RecordingUi : public CLinkUi
{
public:
    int set = 0;
    int restored = 0;
    QStringList messages;
    std::function<void()> onFirstRestore;

    void setWaitCursor() override { ++set; }
    void restoreCursor() override
    {
        ++restored;
        if (onFirstRestore)
            std::exchange(onFirstRestore, nullptr)();
    }
    void critical(const QString& caption, const QString& text) override
    {
        messages << caption + u'|' + text;
    }
};

// A link wired to a loopback server, recording every handler signal.
struct Harness
{
    HttpStandIn server;
    RecordingUi ui;
    std::unique_ptr<CWWWServer> link;
    QStringList log;   // handler signals in order
    QString text;      // the buffer newContent or newAbstract passed on
    QList<int> seenAt; // requests the server had seen when each signal came

    Harness()
    {
        server.listen();
        link = std::make_unique<CWWWServer>(QStringLiteral("127.0.0.1"), server.port());
        link->setUi(&ui);
        CWWWServer* l = link.get();
        auto note = [this](const QString& what) {
            log << what;
            seenAt << int(server.requests.size());
        };
        QObject::connect(l, &CWWWServer::categoryUpdateDone, l,
                         [=] { note("categoryUpdateDone"); });
        QObject::connect(l, &CWWWServer::vulnCategoryUpdateDone, l,
                         [=] { note("vulnCategoryUpdateDone"); });
        QObject::connect(l, &CWWWServer::newVulns, l, [=] { note("newVulns"); });
        QObject::connect(l, &CWWWServer::newAdImage, l, [=] { note("newAdImage"); });
        QObject::connect(l, &CWWWServer::newAbstract, l, [=](QString& r) {
            text = r;
            note("newAbstract");
        });
        QObject::connect(l, &CWWWServer::newContent, l, [=](QString& r) {
            text = r;
            note("newContent");
        });
        QObject::connect(l, &CWWWServer::newAd, l, [=](QString& image, QString& link) {
            note("newAd " + image + ' ' + link);
        });
    }
    bool idle() const { return link->state() == CWWWServer::Idle && link->waitingCount() == 0; }
};

QByteArray readFile(const QString& name)
{
    return testfiles::readAll(dataDirPath + name);
}

void writeFile(const QString& name, const QByteArray& data)
{
    QVERIFY(testfiles::writeAll(dataDirPath + name, data));
}

// A valid image of n bytes that include zero bytes.
const auto gif = testgif::ofSize;

// Status line and a padding header such that the blank line's "\r\n" starts at `markerAt`.
QByteArray paddedHead(int markerAt)
{
    return "HTTP/1.0 200 OK\r\nX-Pad: " + QByteArray(markerAt - 26, 'x') + "\r\n\r\n";
}

const QByteArray category = "VERSION=5\nNUMENTRIES=2\n20001,0,20001,\"announcements\",1\n"
                            "100,0,100,\"Unix\",1\n";

} // namespace

#define WAIT_IDLE(h) QTRY_VERIFY_WITH_TIMEOUT((h).idle(), 8000)

class TestCWWWServer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void requestText_data();
    void requestText();
    void queueOrder();
    void replyBuffer_data();
    void replyBuffer();
    void adImage_data();
    void adImage();
    void failures_data();
    void failures();
    void handlers_data();
    void handlers();
    void writeFailure_data();
    void writeFailure();
    void destroyedMidExchange();
    void replyCaps_data();
    void replyCaps();
    void exchangeDeadline();
    void dataRearmsIdleTimer();
    void pollsNotPiledUp();

private:
    std::unique_ptr<TempDataDir> m_dir;
};

void TestCWWWServer::init()
{
    m_dir = std::make_unique<TempDataDir>();
    QVERIFY(m_dir->isValid());
}

void TestCWWWServer::requestText_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("category update ignores argument")
        << 0 << "id=1" << QByteArray("GET /test/zorbel-thing3.html?id=31337 HTTP/1.0");
    QTest::newRow("vuln category update ignores argument")
        << 1 << "x" << QByteArray("GET /test/vuln_categories.html HTTP/1.0");
    QTest::newRow("abstract fetch")
        << 2 << "what=3&item=77"
        << QByteArray("GET /pagerv3/abstract.html?what=3&item=77 HTTP/1.0");
    QTest::newRow("content poll")
        << 3 << "version=4&nentries=10&Content=,101,102"
        << QByteArray(
               "GET /pagerv3/pager_info.html?version=4&nentries=10&Content=,101,102 HTTP/1.0");
    QTest::newRow("vuln poll") << 4 << "timestamp=0&version=2"
                               << QByteArray(
                                      "GET /pagerv3/vuln_info.html?timestamp=0&version=2 HTTP/1.0");
    QTest::newRow("ad page ignores argument")
        << 5 << "group=other" << QByteArray("GET /frames/ad.html?group=pager HTTP/1.0");
    QTest::newRow("ad image") << 6 << "/images/ad17.gif"
                              << QByteArray("GET /images/ad17.gif HTTP/1.0");
    QTest::newRow("unknown kind dropped") << 9 << "x" << QByteArray();
    QTest::newRow("CR LF in image path")
        << int(AdImage) << "/images/a.gif HTTP/1.0\r\nX-Evil: 1\r\n"
        << QByteArray("GET /images/a.gif%20HTTP/1.0%0D%0AX-Evil:%201%0D%0A HTTP/1.0");
    QTest::newRow("blank and tab in abstract argument")
        << int(AbstractFetch) << "what=1 &item=\t2"
        << QByteArray("GET /pagerv3/abstract.html?what=1%20&item=%092 HTTP/1.0");
    QTest::newRow("control and DEL in vuln argument")
        << int(VulnPoll) << QString("timestamp=\x01\x7f&version=2")
        << QByteArray("GET /pagerv3/vuln_info.html?timestamp=%01%7F&version=2 HTTP/1.0");
    QTest::newRow("non-ASCII image path as UTF-8")
        << int(AdImage) << QString::fromUtf8("/images/caf\xc3\xa9.gif")
        << QByteArray("GET /images/caf%C3%A9.gif HTTP/1.0");
    QTest::newRow("percent in argument kept")
        << int(AbstractFetch) << "what=3&item=77%41"
        << QByteArray("GET /pagerv3/abstract.html?what=3&item=77%41 HTTP/1.0");
}

void TestCWWWServer::requestText()
{
    QFETCH(int, kind);
    QFETCH(QString, argument);
    QFETCH(QByteArray, line);

    Harness h;
    h.link->enqueue(kind, argument);
    h.link->enqueue(ContentPoll, "tail");
    WAIT_IDLE(h);
    QList<QByteArray> expected;
    if (!line.isEmpty())
        expected << line + userAgent;
    expected << contentLine.toLatin1() + userAgent;
    QCOMPARE(h.server.requests, expected);
    QCOMPARE(h.ui.set, int(expected.size()));
    QCOMPARE(h.ui.restored, int(expected.size()));
}

void TestCWWWServer::queueOrder()
{
    Harness h;
    // Every reply pauses midway, so a request sent while busy would reach the server early.
    for (int i = 0; i < 5; ++i)
        h.server.answers << Answer{ok + "<topnews>\n</topnews>\n", 20};
    h.link->enqueue(ContentPoll, "tail");
    QCOMPARE(h.link->state(), ContentPoll + 1);
    h.link->enqueue(VulnPoll, "v");
    h.link->enqueue(AbstractFetch, "a1");
    h.link->enqueue(AdPage, QString());
    h.link->enqueue(AbstractFetch, "a2");
    h.link->enqueue(ContentPoll, "tail");
    QCOMPARE(h.ui.set, 1);
    WAIT_IDLE(h);

    QCOMPARE(h.server.requestLines(),
             QStringList({contentLine, "GET /pagerv3/abstract.html?a2 HTTP/1.0",
                          "GET /pagerv3/vuln_info.html?v HTTP/1.0",
                          "GET /frames/ad.html?group=pager HTTP/1.0", contentLine}));
    // Each handler ran before the next request went out; the vuln and ad replies hold
    // no element of theirs and signal nothing.
    QCOMPARE(h.log, QStringList({"newContent", "newAbstract", "newContent"}));
    QCOMPARE(h.seenAt, QList<int>({1, 2, 5}));
    QCOMPARE(h.ui.set, 5);
    QCOMPARE(h.ui.restored, 5);
}

void TestCWWWServer::replyBuffer_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("pauseAt");

    const QByteArray news = ok + "<topnews>\n<headline>\n\t<id>4</id>\n</headline>\n</topnews>";
    QTest::newRow("last fragment without line end") << 3 << news << -1;
    QTest::newRow("fragment split across reads") << 3 << news << int(news.size() - 4);
    QTest::newRow("LF-only line ends")
        << 3 << QByteArray("HTTP/1.0 200 OK\n\n<topnews>\n</topnews>\n") << -1;
    QTest::newRow("8-bit bytes as Latin-1") << 3 << ok + "caf\xe9 \xff\n" << -1;
    QTest::newRow("UTF-8 text") << 3
                                << ok + "Gr\xc3\xbc\xc3\x9f"
                                        "e \xe2\x80\x93\n"
                                << -1;
    QTest::newRow("nothing before close") << 3 << QByteArray() << -1;
    QTest::newRow("abstract reply") << 2 << ok + "<body>\n<b>Bold</b> text\n</body>" << -1;
}

void TestCWWWServer::replyBuffer()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, data);
    QFETCH(int, pauseAt);

    Harness h;
    h.server.answers << Answer{data, pauseAt};
    h.link->enqueue(kind, "x");
    WAIT_IDLE(h);
    QCOMPARE(h.log, QStringList(kind == ContentPoll ? "newContent" : "newAbstract"));
    // Text is UTF-8; bytes that are not (older servers) are Latin-1.
    QCOMPARE(h.text, QString(QTest::currentDataTag()).contains("UTF-8")
                         ? QString::fromUtf8(data)
                         : QString::fromLatin1(data));
}

void TestCWWWServer::adImage_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("pauseAt");
    QTest::addColumn<QByteArray>("image"); // empty: the old ad.gif stays

    const QByteArray head = "HTTP/1.0 200 OK\r\nContent-Type: image/gif\r\n\r\n";
    QTest::newRow("image after headers") << head + gif(300) << -1 << gif(300);
    QTest::newRow("big image in pieces") << head + gif(5000) << 2000 << gif(5000);
    QTest::newRow("marker split across reads") << paddedHead(1021) + gif(400) << 1024 << gif(400);
    QTest::newRow("marker split after its fourth byte")
        << paddedHead(1020) + gif(400) << 1024 << gif(400);
    QTest::newRow("image begins a later read")
        << "HTTP/1.0 200 OK\n\n" + gif(500) << 17 << gif(500);
    QTest::newRow("no status line, image only") << gif(700) << -1 << gif(700);
    QTest::newRow("error status") << "HTTP/1.0 404 Not Found\r\n\r\n" + gif(300) << -1
                                  << QByteArray();
    QTest::newRow("cut transfer") << "HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + gif(3000)
                                  << -1 << QByteArray();
    QTest::newRow("no image in reply") << ok + "<html>gone</html>\n" << -1 << QByteArray();
    QByteArray huge = testgif::banner(2);
    huge[6] = huge[7] = huge[8] = huge[9] = char(0x10); // a 4112x4112 screen
    QTest::newRow("tiny image with a huge screen") << head + huge << -1 << QByteArray();
}

void TestCWWWServer::adImage()
{
    QFETCH(QByteArray, data);
    QFETCH(int, pauseAt);
    QFETCH(QByteArray, image);

    writeFile("ad.gif", "OLDIMAGE");
    Harness h;
    h.server.answers << Answer{data, pauseAt};
    if (QByteArray(QTest::currentDataTag()).contains("screen")) // the rest in the check's table
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("banner image refused"));
    h.link->enqueue(AdImage, "/images/b.gif");
    WAIT_IDLE(h);
    QCOMPARE(readFile("ad.gif"), image.isEmpty() ? QByteArray("OLDIMAGE") : image);
    QCOMPARE(h.log, image.isEmpty() ? QStringList() : QStringList("newAdImage"));
    // No temporary is left behind, whatever the outcome.
    QCOMPARE(QDir(dataDirPath).entryList(QDir::Files | QDir::Hidden), QStringList("ad.gif"));
}

void TestCWWWServer::failures_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("kind");

    QTest::newRow("connection refused") << "refused" << int(AbstractFetch);
    QTest::newRow("server never answers") << "silent" << int(AbstractFetch);
    QTest::newRow("server stalls mid-reply") << "stall" << int(VulnPoll);
    QTest::newRow("stalled image keeps old ad.gif") << "stall" << int(AdImage);
    QTest::newRow("ad.gif cannot be written") << "adgif" << int(AdImage);
}

void TestCWWWServer::failures()
{
    QFETCH(QString, mode);
    QFETCH(int, kind);

    writeFile("vulnpoll.dat", "old");
    Harness h;
    h.link->setTimeouts(2000, 300);
    if (mode == "refused") {
        // Nothing listens for the first attempt; the port opens once it has failed.
        h.server.keepPort();
        h.server.close();
        h.ui.onFirstRestore = [&h] { QVERIFY(h.server.listen(h.server.port())); };
    } else if (mode == "silent") {
        h.server.answers << Answer{{}, -1, false};
    } else if (mode == "stall") {
        h.server.answers << Answer{"HTTP/1.0 200 OK\r\nContent-Type: te", -1, false};
        if (kind == AdImage)
            h.server.answers.first().data = "HTTP/1.0 200 OK\r\n\r\n" + gif(200);
    } else {
        QVERIFY(QDir(dataDirPath).mkdir("ad.gif"));
    }
    if (kind == AdImage && mode != "adgif")
        writeFile("ad.gif", "OLDIMAGE");

    if (mode == "adgif") {
        h.server.answers << Answer{"HTTP/1.0 200 OK\r\n\r\n" + gif(200)};
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Could not save .*ad.gif"));
    } else {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("abandoned"));
    }
    h.link->enqueue(kind, kind == AdImage ? "/images/b.gif" : "what=1&item=2");
    h.link->enqueue(ContentPoll, "tail");
    WAIT_IDLE(h);

    QCOMPARE(h.log, QStringList("newContent"));
    QCOMPARE(h.server.requestLines().last(), contentLine);
    QCOMPARE(h.ui.set, 2);
    QCOMPARE(h.ui.restored, 2);
    QCOMPARE(readFile("vulnpoll.dat"), QByteArray("old"));
    if (mode == "adgif")
        QVERIFY(QFileInfo(dataDirPath + "ad.gif").isDir());
    else if (kind == AdImage)
        QCOMPARE(readFile("ad.gif"), QByteArray("OLDIMAGE"));
}

void TestCWWWServer::handlers_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("before"); // null: absent
    QTest::addColumn<QByteArray>("after");  // null: as before
    QTest::addColumn<QString>("emitted");   // empty: nothing
    QTest::addColumn<bool>("refetch");      // the vulnerability categories asked for next

    const QByteArray oldCat = "VERSION=4\nNUMENTRIES=1\n20001,0,20001,\"announcements\",1\n";
    auto row = [](const char* tag, int kind, const QByteArray& data, const QByteArray& before,
                  const QByteArray& after = {}, const QString& emitted = {}, bool refetch = false) {
        QTest::newRow(tag) << kind << data << before << after << emitted << refetch;
    };
    const QByteArray pre = "<html><pre>" + category + "</pre></html>\n";
    row("category stored, old copied", 0, ok + pre, oldCat, category, "categoryUpdateDone");
    row("first category file", 0, ok + pre, QByteArray(), category, "categoryUpdateDone");
    row("category reply without pre", 0, ok + "<html>busy</html>", oldCat);
    row("category error status", 0, "HTTP/1.0 404 Not Found\r\n\r\n" + pre, oldCat);
    row("category count mismatch", 0,
        ok + "<pre>VERSION=5\nNUMENTRIES=3\n20001,0,20001,\"a\",1\n</pre>", oldCat);

    const QByteArray vcat = "HTTP/1.0 200 OK\r\nServer: t\r\n\r\nVERSION=3\n0,10,\"Acme\"\n";
    row("vuln categories stored whole", 1, vcat, "old", vcat, "vulnCategoryUpdateDone");
    row("vuln categories without a version", 1, ok + "0,10,\"Acme\"\n", "old");
    row("vuln categories error status", 1, "HTTP/1.0 503 Busy\r\n\r\n<vulncategory>\n", "old");
    row("vuln categories cut short", 1,
        "HTTP/1.0 200 OK\r\nContent-Length: 500\r\n\r\n<vulncategory>\n", "old");

    const QByteArray records = "\n<vuln>\n\t<id>7</id>\n</vuln>\n";
    const QByteArray marker = "<!-- ERROR OLD CATEGORY FILE -->";
    row("vulns stored", 4, ok + "<vulns>" + records + "</vulns>\n", "old", records, "newVulns");
    // The same reply answers the category request, which refuses it.
    row("old category marker wins over records", 4,
        ok + "<vulns>" + marker.toLower() + records + "</vulns>", "old", {}, {}, true);
    row("marker in other letter case", 4, ok + "<vulns>" + marker + records + "</vulns>", "old",
        marker + records, "newVulns");
    row("no new vulnerabilities", 4, ok + "<vulns>\n</vulns>\n", "old");
    row("no vulns element", 4, ok + "<html>" + records, "old");
    row("vulns error status", 4, "HTTP/1.0 500 Oops\r\n\r\n<vulns>" + records + "</vulns>", "old");

    row("banner page", 5,
        ok + "<A HREF=\"http&#58;//127.0.0.1/go?a=1&amp;b=2\">\n"
             "<IMG SRC=\"http&#58;//127.0.0.1/images/b7.gif\" WIDTH=468></A>\n",
        {}, {}, "newAd /images/b7.gif http://127.0.0.1/go?a=1&b=2");
    row("banner without /images", 5, ok + "<A HREF=\"/go\"><IMG SRC=\"/pics/b7.gif\"></A>", {});
    row("banner error status", 5,
        "HTTP/1.0 404 No\r\n\r\n<A HREF=\"/go\"><IMG SRC=\"/images/b.gif\"></A>", {});
}

void TestCWWWServer::handlers()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, emitted);
    QFETCH(bool, refetch);

    const QString file =
        QStringList{"category.dat", "vulncategory.dat", "", "", "vulnpoll.dat", ""}.at(kind);
    if (!before.isNull())
        writeFile(file, before);
    Harness h;
    h.server.answers << Answer{data};
    h.link->enqueue(kind, "t");
    WAIT_IDLE(h);

    QCOMPARE(h.log, emitted.isEmpty() ? QStringList() : QStringList(emitted));
    QCOMPARE(h.server.requestLines().size(), refetch ? 2 : 1);
    if (refetch)
        QCOMPARE(h.server.requestLines().last(), "GET /test/vuln_categories.html HTTP/1.0");
    if (!file.isEmpty())
        QCOMPARE(readFile(file), after.isNull() ? before : after);
    if (kind == CategoryUpdate) {
        const bool copied = !emitted.isEmpty() && !before.isNull();
        QCOMPARE(readFile("category.old"), copied ? before : QByteArray());
    }
    QVERIFY(h.ui.messages.isEmpty());
}

void TestCWWWServer::writeFailure_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");

    QTest::newRow("category file")
        << 0 << ok + "<pre>" + category + "</pre>"
        << "category.dat"
        << "Error Updating Categories|Cannot open category file for writing";
    QTest::newRow("vuln category file")
        << 1 << ok + "VERSION=3\n0,10,\"Acme\"\n"
        << "vulncategory.dat"
        << "Error Updating Vulnerability Categories|Cannot open category file for writing";
    QTest::newRow("vuln feed file")
        << 4 << ok + "<vulns><vuln>1</vuln></vulns>"
        << "vulnpoll.dat"
        << "Error Saving Temporary|Could not open temporary file from writing";
}

void TestCWWWServer::writeFailure()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, data);
    QFETCH(QString, file);
    QFETCH(QString, message);

    // A directory in the file's place cannot be written, even by a privileged user.
    QVERIFY(QDir(dataDirPath).mkdir(file));
    Harness h;
    h.server.answers << Answer{data};
    h.link->enqueue(kind, "t");
    h.link->enqueue(ContentPoll, "tail");
    WAIT_IDLE(h);
    QCOMPARE(h.ui.messages, QStringList(message));
    QCOMPARE(h.log, QStringList("newContent"));
    QVERIFY(QFileInfo(dataDirPath + file).isDir());
}

void TestCWWWServer::destroyedMidExchange()
{
    // A pager that quits while a reply is half in: the cut reply must reach
    // no handler, since their receivers are being torn down.
    Harness h;
    h.server.answers << Answer{ok + "<topnews>\n<headline>\n", -1, false};
    h.link->enqueue(ContentPoll, "tail");
    QTRY_VERIFY(!h.server.requests.value(0).isEmpty());
    QTest::qWait(100);
    h.link.reset();
    QCOMPARE(h.log, QStringList());
}

void TestCWWWServer::replyCaps_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("file"); // must keep its old contents

    const QByteArray lines = QByteArray("<p>0123456789</p>\n").repeated(16 * 1024 * 1024 / 18 + 2);
    QTest::newRow("content over 16 MB") << int(ContentPoll) << ok + lines << QString();
    QTest::newRow("one endless line")
        << int(AbstractFetch) << ok + QByteArray(17 * 1024 * 1024, 'a') << QString();
    QTest::newRow("category reply over 16 MB")
        << int(CategoryUpdate) << ok + "<pre>" + category + lines << QString("category.dat");
    QTest::newRow("banner page over 256 KB")
        << int(AdPage)
        << ok + "<A HREF=\"/go\"><IMG SRC=\"/images/b.gif\"></A>" + QByteArray(256 * 1024, ' ')
        << QString();
    QTest::newRow("image over 2 MB")
        << int(AdImage) << "HTTP/1.0 200 OK\r\n\r\n" + gif(2 * 1024 * 1024 + 10)
        << QString("ad.gif");
    QTest::newRow("non-image over 2 MB")
        << int(AdImage) << ok + QByteArray(3 * 1024 * 1024, 'x') << QString("ad.gif");
}

void TestCWWWServer::replyCaps()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, data);
    QFETCH(QString, file);

    if (!file.isEmpty())
        writeFile(file, "old");
    Harness h;
    h.server.answers << Answer{data};
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("abandoned: .*larger than"));
    h.link->enqueue(kind, "/images/b.gif");
    h.link->enqueue(ContentPoll, "tail");
    WAIT_IDLE(h);
    QCOMPARE(h.log, QStringList("newContent")); // only the next, small reply
    QCOMPARE(h.text.size(), 19);                // the default empty reply
    if (!file.isEmpty())
        QCOMPARE(readFile(file), QByteArray("old"));
    QCOMPARE(h.ui.set, h.ui.restored);
}

void TestCWWWServer::exchangeDeadline()
{
    // Every byte comes well within the idle limit, the whole never ends.
    Harness h;
    h.link->setTimeouts(2000, 400, 1200);
    h.server.answers << Answer{ok + QByteArray(1000, 'x'), -1, true, 100};
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("abandoned: .*too long"));
    QElapsedTimer clock;
    clock.start();
    h.link->enqueue(AbstractFetch, "what=1&item=2");
    h.link->enqueue(ContentPoll, "tail");
    WAIT_IDLE(h);
    QCOMPARE(h.log, QStringList("newContent"));
    QVERIFY2(clock.elapsed() < 5000, "the trickle held the link");
}

void TestCWWWServer::dataRearmsIdleTimer()
{
    // The whole reply takes four idle limits, each byte comes well within one.
    Harness h;
    h.link->setTimeouts(2000, 250);
    h.server.answers << Answer{"HTTP/1.0 200 OK\r\n\r\n<topnews>\n</topnews>\n", -1, true, 25};
    h.link->enqueue(ContentPoll, "tail");
    WAIT_IDLE(h);
    QCOMPARE(h.log, QStringList("newContent"));
}

void TestCWWWServer::pollsNotPiledUp()
{
    Harness h;
    h.server.answers << Answer{ok + "<topnews>\n</topnews>\n", 20};
    h.link->enqueue(AbstractFetch, "first");
    for (int i = 0; i < 50; ++i) {
        h.link->enqueue(ContentPoll, "tail");
        h.link->enqueue(VulnPoll, QStringLiteral("timestamp=%1").arg(i));
    }
    h.link->enqueue(AdPage, QString());
    h.link->enqueue(AdPage, QString());
    QCOMPARE(h.link->waitingCount(), 4);
    WAIT_IDLE(h);
    // The waiting vulnerability poll carries the newest timestamp.
    QCOMPARE(h.server.requestLines(),
             QStringList({"GET /pagerv3/abstract.html?first HTTP/1.0", contentLine,
                          "GET /pagerv3/vuln_info.html?timestamp=49 HTTP/1.0",
                          "GET /frames/ad.html?group=pager HTTP/1.0",
                          "GET /frames/ad.html?group=pager HTTP/1.0"}));
}

QTEST_GUILESS_MAIN(TestCWWWServer)
#include "tst_cwwwserver.moc"
