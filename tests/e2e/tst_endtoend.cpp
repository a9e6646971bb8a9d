// The real pager under Xvfb against the real bundled server, in a temporary
// HOME: the main job, a category update round, and the server's faults.
#include "pager/core/categoryfile.h"
#include "pager/core/headlinelist.h"
#include "pager/core/taggedtext.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void mainJob();
    void categoryUpdateRound();
    void faults_data();
    void faults();

private:
    bool startServer(const QStringList& extra = {});
    bool startPager();
    bool stopPager();
    bool waitForLog(QProcess* p, QByteArray& log, const QByteArray& what, int count = 1,
                    int ms = 30000);
    QString dataFile(const QString& name) const { return home->path() + "/.ovpager/" + name; }

    std::unique_ptr<QTemporaryDir> home, data;
    QProcess server, pager;
    QByteArray serverLog, pagerLog;
    quint16 port = 0;
};

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The store, read and written back, gives the same bytes when it is whole
// and in its exact layout.
bool isCompleteStore(const QByteArray& bytes, int* records = nullptr)
{
    const ContentReply parsed = parseContentReply(QString::fromLatin1(bytes));
    QString again = QStringLiteral("<topnews>\n");
    for (const Headline& h : parsed.records)
        again += formatHeadlineRecord(h);
    again += QStringLiteral("</topnews>\n");
    if (records)
        *records = int(parsed.records.size());
    return again.toLatin1() == bytes;
}

int colourCount(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

} // namespace

void TestEndToEnd::initTestCase()
{
    connect(&server, &QProcess::readyReadStandardOutput, this,
            [this] { serverLog += server.readAllStandardOutput(); });
    connect(&pager, &QProcess::readyReadStandardOutput, this,
            [this] { pagerLog += pager.readAllStandardOutput(); });
}

void TestEndToEnd::init()
{
    home = std::make_unique<QTemporaryDir>();
    data = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkdir(home->path() + "/.ovpager"));
    const QDir source(QStringLiteral(OVPAGER_SERVER_DATA));
    for (const QString& name : source.entryList(QDir::Files))
        QVERIFY(QFile::copy(source.filePath(name), data->filePath(name)));
    serverLog.clear();
    pagerLog.clear();
}

void TestEndToEnd::cleanup()
{
    for (QProcess* p : {&pager, &server})
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
}

bool TestEndToEnd::startServer(const QStringList& extra)
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return false;
    port = probe.serverPort();
    probe.close();
    server.start(
        QStringLiteral(OVPAGER_SERVER_BINARY),
        QStringList{"--listen", QStringLiteral("127.0.0.1:%1").arg(port), "--data", data->path()} +
            extra);
    return waitForLog(&server, serverLog, "listening on");
}

bool TestEndToEnd::startPager()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home->path());
    env.insert("OVPAGER_SERVER", QStringLiteral("127.0.0.1:%1").arg(port));
    env.insert("OVPAGER_LIBDIR", home->path() + "/nolib");
    pager.setProcessEnvironment(env);
    pager.start(QStringLiteral(OVPAGER_BINARY), {"-debug"});
    return waitForLog(&pager, pagerLog, "window drawn");
}

bool TestEndToEnd::stopPager()
{
    pager.terminate();
    const bool ended = pager.waitForFinished(15000);
    if (!ended || pager.exitStatus() != QProcess::NormalExit || pager.exitCode() != 0) {
        qWarning("pager did not end in order (exit %d):\n%s", pager.exitCode(),
                 (pagerLog.right(2000) + pager.readAllStandardError().right(2000)).constData());
        return false;
    }
    return true;
}

bool TestEndToEnd::waitForLog(QProcess* p, QByteArray& log, const QByteArray& what, int count,
                              int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (log.count(what) < count) {
        if (clock.elapsed() > ms || p->state() == QProcess::NotRunning) {
            qWarning("waiting for %d x \"%s\"; log so far:\n%s", count, what.constData(),
                     log.right(3000).constData());
            return false;
        }
        QTest::qWait(50);
    }
    return true;
}

void TestEndToEnd::mainJob()
{
    QVERIFY(startServer());
    QVERIFY(startPager());
    // No category file yet: fetched, then the refused first poll is repeated.
    QVERIFY(waitForLog(&server, serverLog, "GET /pagerv3/pager_info.html?version=3", 1));
    QVERIFY(waitForLog(&pager, pagerLog, "content received", 2));
    // More news while the new-content box is up: the link keeps serving and
    // the one box takes it in.
    for (int i = 0; i < 2; ++i) { // one at a time: signals sent together merge
        ::kill(pid_t(pager.processId()), SIGUSR1);
        QVERIFY(waitForLog(&pager, pagerLog, "content received", 3 + i));
    }
    QVERIFY(pagerLog.count("New Content") >= 2);
    QTest::qWait(500);
    QProcess boxes;
    boxes.start("xdotool", {"search", "--onlyvisible", "--name", "^Orvelle Pager$"});
    QVERIFY(boxes.waitForFinished(10000));
    QCOMPARE(boxes.readAllStandardOutput().trimmed().split('\n').size(), 1);

    QProcess shot;
    shot.start("import", {"-window", "root", home->filePath("shot.png")});
    QVERIFY(shot.waitForFinished(20000));
    QImage image(home->filePath("shot.png"));
    QVERIFY(!image.isNull());
    QVERIFY2(colourCount(image) > 20, "the screen looks blank");

    QVERIFY(stopPager());
    const QByteArray store = readAll(dataFile("article.dat"));
    int records = 0;
    QVERIFY2(isCompleteStore(store, &records), store.left(400).constData());
    QVERIFY(records >= 5);
    const QByteArray pool = readAll(data->filePath("headlines.txt"));
    for (const Headline& h : parseContentReply(QString::fromLatin1(store)).records)
        QVERIFY2(pool.contains(h.title.toUtf8()), qPrintable(h.title));
    QVERIFY(parseCategoryFile(QString::fromLatin1(readAll(dataFile("category.dat")))).isValid());
    QVERIFY(QImageReader(dataFile("ad.gif")).imageCount() > 1);

    // Second run, the server now silent on polls: the stored headlines are
    // shown from the store and saved again unchanged.
    server.kill();
    server.waitForFinished();
    serverLog.clear();
    QVERIFY(startServer({"--faults", "hang:/pagerv3/pager_info.html"}));
    pagerLog.clear();
    QVERIFY(startPager());
    QVERIFY(waitForLog(&server, serverLog, "fault=hang"));
    QVERIFY(stopPager());
    QCOMPARE(readAll(dataFile("article.dat")), store);
}

void TestEndToEnd::categoryUpdateRound()
{
    QVERIFY(startServer());
    QVERIFY(startPager());
    QVERIFY(waitForLog(&pager, pagerLog, "content received", 2));

    // The server's tree grows a ticked category under a new version.
    QByteArray categories = readAll(data->filePath("categories.dat"));
    categories.replace("VERSION=3", "VERSION=4");
    categories.replace("NUMENTRIES=13", "NUMENTRIES=14");
    categories += "8,0,8,\"Forensics\",1\n";
    QVERIFY(writeAll(data->filePath("categories.dat"), categories));

    ::kill(pid_t(pager.processId()), SIGUSR1); // poll now
    QVERIFY(waitForLog(&server, serverLog, "GET /test/zorbel-thing3.html", 2));
    QVERIFY(waitForLog(&server, serverLog, "GET /pagerv3/pager_info.html?version=4", 1));
    const qsizetype at = serverLog.lastIndexOf("pager_info.html?version=4");
    QVERIFY(serverLog.indexOf(",T8", at) > at);
    QVERIFY(stopPager());
    const CategoryFile stored =
        parseCategoryFile(QString::fromLatin1(readAll(dataFile("category.dat"))));
    QVERIFY(stored.isValid());
    QCOMPARE(stored.version, 4);
    QVERIFY(!QFile::exists(dataFile("category.old")));
}

void TestEndToEnd::faults_data()
{
    QTest::addColumn<QString>("plan");
    QTest::newRow("content cut") << "cut:/pagerv3/pager_info.html";
    QTest::newRow("content hangs") << "hang:/pagerv3/pager_info.html";
    QTest::newRow("content garbage") << "garbage:/pagerv3/pager_info.html";
    QTest::newRow("content huge") << "huge:/pagerv3/pager_info.html";
    QTest::newRow("category file cut") << "cut:/test/zorbel-thing3.html";
    QTest::newRow("category file error") << "error:/test/zorbel-thing3.html";
    QTest::newRow("banner image cut") << "cut:/images/sponsor1.gif";
    QTest::newRow("banner image garbage") << "garbage:/images/sponsor1.gif";
    QTest::newRow("anything, now and then") << "cut:0.3,garbage:0.2,error:0.2";
}

void TestEndToEnd::faults()
{
    QFETCH(QString, plan);
    // A previous good state, which every fault must leave whole.
    QVERIFY(startServer());
    QVERIFY(startPager());
    QVERIFY(waitForLog(&pager, pagerLog, "content received", 2));
    QVERIFY(waitForLog(&server, serverLog, "GET /images/", 1));
    QTest::qWait(300);
    QVERIFY(stopPager());
    server.kill();
    server.waitForFinished();

    serverLog.clear();
    pagerLog.clear();
    QVERIFY(startServer({"--faults", plan, "--seed", "7"}));
    if (plan.contains("zorbel")) // make the pager ask for the category file again
        QVERIFY(
            writeAll(data->filePath("categories.dat"),
                     readAll(data->filePath("categories.dat")).replace("VERSION=3", "VERSION=5")));
    QVERIFY(startPager());
    for (int i = 0; i < 3; ++i) {
        QVERIFY(waitForLog(&pager, pagerLog, "Sending content request", i + 1, 60000));
        ::kill(pid_t(pager.processId()), SIGUSR1);
    }
    // Still alive and still talking: the polls after the fault are served.
    QVERIFY(waitForLog(&pager, pagerLog, "Sending content request", 4, 60000));
    QVERIFY(waitForLog(&server, serverLog, "GET /pagerv3/pager_info.html", 3, 60000));
    QCOMPARE(pager.state(), QProcess::Running);
    QVERIFY(stopPager());

    QVERIFY(isCompleteStore(readAll(dataFile("article.dat"))));
    QVERIFY(parseCategoryFile(QString::fromLatin1(readAll(dataFile("category.dat")))).isValid());
    QVERIFY(QImageReader(dataFile("ad.gif")).imageCount() > 1);
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
