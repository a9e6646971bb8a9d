#include "net/core/cwwwserver.h"
#include "pager/core/globals.h"
#include "tests/common/httpstandin.h"
#include "tests/common/testfiles.h"
#include "tests/common/testgif.h"

#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace {

const QByteArray userAgent = "\r\nUser-Agent: OVPagerV3.0(Linux)\r\n\r\n";
const QByteArray ok = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
const QString contentLine = QStringLiteral("GET /pagerv3/pager_info.html?tail HTTP/1.0");

class RecordingUi : public CLinkUi
{
public:
    int restored = 0;

    void restoreCursor() override { ++restored; }
};

// A link wired to a loopback server, recording every handler signal.
struct Harness
{
    TempDataDir dir; // first, so the link is made with it in place
    HttpStandIn server;
    RecordingUi ui;
    std::unique_ptr<CWWWServer> link;
    QStringList log; // handler signals in order
    QString text;    // the buffer newContent passed on

    Harness()
    {
        server.listen();
        link = std::make_unique<CWWWServer>(QStringLiteral("127.0.0.1"), server.port());
        link->setUi(&ui);
        CWWWServer* l = link.get();
        auto note = [this](const QString& what) { log << what; };
        for (auto [signal, name] :
             {std::pair{&CWWWServer::categoryUpdateDone, "categoryUpdateDone"},
              {&CWWWServer::vulnCategoryUpdateDone, "vulnCategoryUpdateDone"},
              {&CWWWServer::newVulns, "newVulns"},
              {&CWWWServer::newAdImage, "newAdImage"}})
            QObject::connect(l, signal, l, [=, name = QString(name)] { note(name); });
        QObject::connect(l, &CWWWServer::newAbstract, l, [=] { note("newAbstract"); });
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

// A valid image of n bytes that include zero bytes.
const auto gif = testgif::ofSize;

const QByteArray category = "VERSION=5\nNUMENTRIES=2\n20001,0,20001,\"announcements\",1\n"
                            "100,0,100,\"Unix\",1\n";

} // namespace

Q_DECLARE_METATYPE(Answer)

#define WAIT_IDLE(h) QTRY_VERIFY_WITH_TIMEOUT((h).idle(), 8000)

class TestCWWWServer : public QObject
{
    Q_OBJECT
private slots:
    void queue()
    {
        Harness h;
        // Every reply pauses midway, so a request sent while busy would reach the server early.
        for (int i = 0; i < 8; ++i)
            h.server.answers << Answer{ok + "<topnews>\n</topnews>\n", 20};
        h.link->enqueue(ContentPoll, "tail");
        h.link->enqueue(AbstractFetch, "a1");
        // Polls of a kind wait once, in their first place, with the newest argument.
        for (int i = 0; i < 50; ++i) {
            h.link->enqueue(VulnPoll, QStringLiteral("timestamp=") + QString::number(i));
            h.link->enqueue(ContentPoll, "tail");
        }
        h.link->enqueue(AdPage, QString());
        h.link->enqueue(AdPage, QString());
        h.link->enqueue(AbstractFetch, "a2");
        h.link->enqueue(9, "unknown kinds are dropped");
        h.link->enqueue(CategoryUpdate, "id=1"); // its own fixed target
        // No argument can end the request line early or add a header of its own.
        h.link->enqueue(AdImage,
                        QString::fromUtf8("/images/caf\xc3\xa9.gif HTTP/1.0\r\nX-Evil: 1"));
        WAIT_IDLE(h);

        // The newest abstract goes first, the others in order.
        QCOMPARE(h.server.requestLines(),
                 QStringList({contentLine, "GET /pagerv3/abstract.html?a2 HTTP/1.0",
                              "GET /pagerv3/vuln_info.html?timestamp=49 HTTP/1.0", contentLine,
                              "GET /frames/ad.html?group=pager HTTP/1.0",
                              "GET /frames/ad.html?group=pager HTTP/1.0",
                              "GET /test/zorbel-thing3.html?id=31337 HTTP/1.0",
                              "GET /images/caf%C3%A9.gif%20HTTP/1.0%0D%0AX-Evil:%201 HTTP/1.0"}));
        QCOMPARE(h.server.requests.first(), contentLine.toLatin1() + userAgent);
        // The vuln and ad replies hold no element of theirs and signal nothing.
        QCOMPARE(h.log, QStringList({"newContent", "newAbstract", "newContent"}));
    }

    // Exchanges that fail or cannot be stored: a warning, no handler signal, the
    // cursor restored, and the next exchange served with its own reply.
    void badReplies_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("warning");

        auto row = [](const char* tag, int kind, const Answer& answer, const char* warning) {
            QTest::newRow(tag) << kind << answer << QString(warning);
        };
        row("server stalls mid-reply", VulnPoll, {"HTTP/1.0 200 OK\r\nContent-Type: te", -1, false},
            "abandoned: the server stopped answering");
        // Every byte comes well within the idle limit, the whole never ends.
        row("trickle past the deadline", AbstractFetch, {ok + QByteArray(1000, 'x'), -1, true, 25},
            "abandoned: .*too long");
        row("one endless line", AbstractFetch, {ok + QByteArray(17 * 1024 * 1024, 'a')},
            "larger than");
        row("banner page over 256 KB", AdPage,
            {ok + "<A HREF=\"/go\"><IMG SRC=\"/images/b.gif\"></A>" + QByteArray(256 * 1024, ' ')},
            "larger than");
        row("image over 2 MB", AdImage, {"HTTP/1.0 200 OK\r\n\r\n" + gif(2 * 1024 * 1024 + 10)},
            "larger than");
        // No data directory: the new category file cannot be written, and the
        // user is told so; the old one is not loaded again.
        row("category file unwritable", CategoryUpdate, {ok + "<pre>" + category + "</pre>\n"},
            "^Error Updating Categories: Cannot open category file for writing$");
    }

    void badReplies()
    {
        QFETCH(int, kind);
        QFETCH(Answer, answer);
        QFETCH(QString, warning);

        Harness h;
        if (kind == CategoryUpdate)
            dataDirPath = h.dir.file(QStringLiteral("missing/"));
        // The idle limit is long only for a big reply, which is slow to take in.
        const bool big = answer.close && answer.trickleMs == 0;
        h.link->setTimeouts(2000, big ? 5000 : 300, answer.trickleMs > 0 ? 1200 : 30000);
        h.server.answers << answer;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        h.link->enqueue(kind, kind == AdImage ? "/images/b.gif" : "t");
        h.link->enqueue(ContentPoll, "tail");
        WAIT_IDLE(h);

        QCOMPARE(h.log, QStringList("newContent"));
        QCOMPARE(h.text, "HTTP/1.0 200 OK\r\n\r\n");
        QCOMPARE(h.ui.restored, 2);
    }

    void handlers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QByteArray>("before"); // null: absent
        QTest::addColumn<QByteArray>("after");  // null: as before
        QTest::addColumn<QString>("emitted");   // empty: nothing
        QTest::addColumn<bool>("refetch");      // the vulnerability categories asked for next

        auto row = [](const char* tag, int kind, const Answer& answer, const QByteArray& before,
                      const QByteArray& after = {}, const QString& emitted = {},
                      bool refetch = false) {
            QTest::newRow(tag) << kind << answer << before << after << emitted << refetch;
        };
        const QByteArray oldCat = "VERSION=4\nNUMENTRIES=1\n20001,0,20001,\"announcements\",1\n";
        const QByteArray pre = "<html><pre>" + category + "</pre></html>\n";
        row("category stored, old copied", 0, {ok + pre}, oldCat, category, "categoryUpdateDone");
        row("category count mismatch", 0,
            {ok + "<pre>VERSION=5\nNUMENTRIES=3\n20001,0,20001,\"a\",1\n</pre>"}, oldCat);

        const QByteArray vrows = "VERSION=3\n0,10,\"Acme\"\n";
        const QByteArray vcat = "HTTP/1.0 200 OK\r\nServer: t\r\n\r\n" + vrows;
        row("vuln categories stored whole", 1, {vcat}, "old", vcat, "vulnCategoryUpdateDone");
        row("vuln categories without a version", 1, {ok + "0,10,\"Acme\"\n"}, "old");

        const QByteArray records = "\n<vuln>\n\t<id>7</id>\n</vuln>\n";
        // The same reply answers the category request, which refuses it.
        row("old category marker wins over records", 4,
            {ok + "<vulns><!-- error old category file -->" + records + "</vulns>"}, "old", {}, {},
            true);
        row("vulns error status", 4, {"HTTP/1.0 500 Oops\r\n\r\n<vulns>" + records + "</vulns>"},
            "old");

        const QByteArray banner = "<A HREF=\"/go\"><IMG SRC=\"/images/b7.gif\"></A>\n";
        row("banner page", 5, {ok + banner}, {}, {}, "newAd /images/b7.gif /go");
        // The blank line's "\r\n" ends the first 1024-byte read, "GIF" begins the next.
        const QByteArray padded = "HTTP/1.0 200 OK\r\nX-Pad: " + QByteArray(994, 'x') + "\r\n\r\n";
        row("marker split after its fourth byte", 6, {padded + gif(400), 1024}, "old", gif(400),
            "newAdImage");
        row("cut image", 6, {"HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + gif(3000)}, "old");
    }

    void handlers()
    {
        QFETCH(int, kind);
        QFETCH(Answer, answer);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, emitted);
        QFETCH(bool, refetch);

        const QString file =
            QStringList{"category.dat", "vulncategory.dat", "", "", "vulnpoll.dat", "", "ad.gif"}
                .at(kind);
        Harness h;
        if (!before.isNull())
            QVERIFY(h.dir.write(file, before));
        h.server.answers << answer;
        h.link->enqueue(kind, "t");
        WAIT_IDLE(h);

        QCOMPARE(h.log, emitted.isEmpty() ? QStringList() : QStringList(emitted));
        QCOMPARE(h.server.requestLines().mid(1),
                 refetch ? QStringList("GET /test/vuln_categories.html HTTP/1.0") : QStringList());
        if (!file.isEmpty())
            QCOMPARE(h.dir.read(file), after.isNull() ? before : after);
        if (kind == CategoryUpdate)
            QCOMPARE(h.dir.read("category.old"), emitted.isEmpty() ? QByteArray() : before);
    }

    void quitMidReply()
    {
        // A pager that quits while a reply is half in: the cut reply must reach
        // no handler, since their receivers are being torn down.
        Harness h;
        h.server.answers << Answer{ok + "<topnews>\n<headline>\n", -1, false};
        h.link->enqueue(ContentPoll, "tail");
        QTRY_VERIFY(!h.server.requests.value(0).isEmpty());
        QTest::qWait(100);
        h.link.reset();
        QVERIFY(h.log.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCWWWServer)
#include "tst_cwwwserver.moc"
