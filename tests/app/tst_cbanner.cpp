// The sponsor banner: stored advertisements play, a missing one changes
// nothing, an outsized one is refused.
#include "app/cbanner.h"
#include "pager/core/globals.h"
#include "tests/common/testfiles.h"
#include "tests/common/testgif.h"

#include <QApplication>
#include <QFile>
#include <QMovie>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

class TestBanner : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void playsAndKeeps();
    void refusesOutsized();

private:
    std::unique_ptr<TempDataDir> dir;
};

void TestBanner::init()
{
    dir = std::make_unique<TempDataDir>();
}

void TestBanner::playsAndKeeps()
{
    CBanner banner;
    banner.resize(230, 33);
    banner.slotChangeBanner(); // first run: nothing stored yet
    QVERIFY(!banner.currentMovie());

    QVERIFY(dir->write("ad.gif", testgif::banner(5)));
    banner.slotChangeBanner();
    QMovie* movie = banner.currentMovie();
    QVERIFY(movie && movie->isValid());
    QTRY_VERIFY(movie->currentFrameNumber() > 0); // it animates

    QVERIFY(QFile::remove(dir->file("ad.gif")));
    banner.slotChangeBanner();
    QCOMPARE(banner.currentMovie(), movie); // the last advertisement stays

    QSignalSpy clicked(&banner, &CBanner::bannerClicked);
    QTest::mouseDClick(&banner, Qt::LeftButton);
    QCOMPARE(clicked.size(), 1);
}

void TestBanner::refusesOutsized()
{
    CBanner banner;
    QVERIFY(dir->write("ad.gif", testgif::banner(2)));
    banner.slotChangeBanner();
    QMovie* shown = banner.currentMovie();
    QVERIFY(shown);

    // A few kilobytes that would decode to gigabytes, left by an older run.
    QByteArray huge = testgif::banner(3);
    huge[6] = huge[7] = huge[8] = huge[9] = char(0x10);
    QVERIFY(dir->write("ad.gif", huge));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ad.gif refused: screen of 4112x4112"));
    banner.slotChangeBanner();
    QCOMPARE(banner.currentMovie(), shown);
}

QTEST_MAIN(TestBanner)
#include "tst_cbanner.moc"
