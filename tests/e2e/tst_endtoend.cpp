// The real pager under Xvfb against the real bundled server, in a temporary
// HOME: the main job (news and a vulnerability alert mailed through a
// stand-in mailer) and the server's faults.
#include "config/core/settingsfile.h"
#include "inventory/core/cinventory.h"
#include "pager/core/categoryfile.h"
#include "pager/core/headlinelist.h"
#include "pager/core/taggedtext.h"
#include "tests/common/childprocess.h"
#include "tests/common/replies.h"
#include "tests/common/standinprogram.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QScreen>
#include <QTest>

#include <csignal>

class TestEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void mainJob();
    void faults_data();
    void faults();

private:
    bool startServer(const QStringList& extra = {})
    {
        return server.start(QStringLiteral(OVPAGER_SERVER_BINARY), data->path(), extra);
    }
    bool startPager()
    {
        return pager.start(QStringLiteral(OVPAGER_BINARY), home->path(), server.address()) &&
               pager.waitForLog("window drawn");
    }

    std::unique_ptr<TempHome> home;
    std::unique_ptr<QTemporaryDir> data;
    ServerProcess server;
    PagerProcess pager;
    StandInProgram mailer;
};

namespace {

using testfiles::readAll;

// The store, read and written back, gives the same bytes when it is whole
// and in its exact layout.
bool isCompleteStore(const QByteArray& bytes)
{
    QString again = QStringLiteral("<topnews>\n");
    for (const Headline& h : parseContentReply(QString::fromLatin1(bytes)).records)
        again += formatHeadlineRecord(h);
    return (again + QStringLiteral("</topnews>\n")).toLatin1() == bytes;
}

} // namespace

void TestEndToEnd::init()
{
    home = std::make_unique<TempHome>();
    // Pop-ups on, so that new content opens its box; the brief alert mailed,
    // the verbose one to recipients that must be refused.
    PagerSettings settings;
    settings.skin = QStringLiteral("No Skin");
    settings.briefNotify = settings.verboseNotify = true;
    settings.briefEmail = QStringLiteral("ops@example.org");
    settings.verboseEmail = QStringLiteral("a@example.org; touch owned");
    settings.mailer = mailer.path();
    QVERIFY(home->write(QStringLiteral("ovpager.cfg"), formatSettings(settings)));
    data = std::make_unique<QTemporaryDir>();
    const QDir source(QStringLiteral(OVPAGER_SERVER_DATA));
    for (const QString& name : source.entryList(QDir::Files))
        QVERIFY(QFile::copy(source.filePath(name), data->filePath(name)));
}

void TestEndToEnd::cleanup()
{
    pager.kill();
    server.kill();
}

void TestEndToEnd::mainJob()
{
    CInventory inventory; // holds a product of the server's first vulnerability
    inventory.profiles()[inventory.newEntity(QStringLiteral("Office"))].addProduct(
        QStringLiteral("Halden"), 10, QStringLiteral("Halden OS"), 1001);
    QVERIFY(inventory.save(home->dataFile(QStringLiteral("netinventory.dat"))));
    QVERIFY(startServer());
    QVERIFY(startPager());
    // No category file yet: fetched, then the refused first poll is repeated.
    QVERIFY(server.waitForLog("GET /pagerv3/pager_info.html?version=3"));
    QVERIFY(pager.waitForLog("content received", 2));
    QVERIFY(pager.waitForLog("New Content"));
    pager.signal(SIGUSR1); // one more poll, with the box up, brings the vulnerability feed
    QVERIFY(pager.waitForLog("content received", 3));

    // A blank screen has a colour or two; the pager's windows have many.
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    QVERIFY2(screen.convertToFormat(QImage::Format_Indexed8).colorCount() > 20, "blank screen");

    // The feed needs the vulnerability tree the first poll found missing.
    QTRY_VERIFY_WITH_TIMEOUT(mailer.hasInput(1), 20000);
    QVERIFY2(mailer.input(1).startsWith("Orvelle Pager Profile [Office] is vulnerable to QID [OV-"),
             mailer.input(1).constData());

    QVERIFY(pager.stop());
    QVERIFY(
        pager.process.readAllStandardError().contains("Recipients for the verbose mail refused"));
    const QByteArray store = readAll(home->dataFile("article.dat"));
    QVERIFY2(isCompleteStore(store), store.left(400).constData());
    QVERIFY(parseContentReply(QString::fromLatin1(store)).records.size() >= 5);
    QVERIFY(QImageReader(home->dataFile("ad.gif")).imageCount() > 1);
}

// Replies only the whole program can be shown to survive: each fault must
// be seen in the server's log, and the state files must stay whole.
void TestEndToEnd::faults_data()
{
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QByteArray>("fired"); // the server's log mark of the fault
    QTest::newRow("content garbage")
        << "garbage:/pagerv3/pager_info.html" << QByteArray("fault=garbage");
    QTest::newRow("content huge") << "huge:/pagerv3/pager_info.html" << QByteArray("fault=huge");
    QTest::newRow("anything, now and then")
        << "cut:0.3,garbage:0.2,error:0.2" << QByteArray(" fault=");
}

void TestEndToEnd::faults()
{
    QFETCH(QString, plan);
    QFETCH(QByteArray, fired);
    QVERIFY(startServer({"--faults", plan, "--seed", "7"}));
    QVERIFY(startPager());
    for (int i = 0; i < 3; ++i) {
        QVERIFY(pager.waitForLog("Sending content request", i + 1, 20000));
        pager.signal(SIGUSR1);
    }
    // Still alive and still talking: the polls after the fault are served.
    QVERIFY(pager.waitForLog("Sending content request", 4, 20000));
    QVERIFY(server.waitForLog("GET /pagerv3/pager_info.html", 3, 20000));
    QVERIFY2(server.log.contains(fired), server.log.right(2000).constData());
    QVERIFY(pager.stop());

    QVERIFY(isCompleteStore(readAll(home->dataFile("article.dat"))));
    QVERIFY(
        parseCategoryFile(QString::fromLatin1(readAll(home->dataFile("category.dat")))).isValid());
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
