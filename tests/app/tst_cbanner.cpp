// The sponsor banner: stored advertisements play, a missing one changes
// nothing, an outsized one is refused.
#include "app/cbanner.h"
#include "tests/common/testfiles.h"
#include "tests/common/testgif.h"

#include <QFile>
#include <QMovie>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

class TestBanner : public QObject
{
    Q_OBJECT
private slots:
    void playsKeepsAndRefuses();
};

void TestBanner::playsKeepsAndRefuses()
{
    TempDataDir dir;
    CBanner banner;
    banner.slotChangeBanner(); // first run: nothing stored yet
    QVERIFY(!banner.currentMovie());

    QVERIFY(dir.write("ad.gif", testgif::banner(5)));
    banner.slotChangeBanner();
    QMovie* movie = banner.currentMovie();
    QVERIFY(movie && movie->isValid());
    QTRY_VERIFY(movie->currentFrameNumber() > 0); // it animates

    // The last advertisement stays when the file is gone, or when it would
    // decode to gigabytes (a few kilobytes left by an older run).
    QVERIFY(QFile::remove(dir.file("ad.gif")));
    banner.slotChangeBanner();
    QCOMPARE(banner.currentMovie(), movie);
    QByteArray huge = testgif::banner(3);
    huge[6] = huge[7] = huge[8] = huge[9] = char(0x10);
    QVERIFY(dir.write("ad.gif", huge));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ad.gif refused: screen of 4112x4112"));
    banner.slotChangeBanner();
    QCOMPARE(banner.currentMovie(), movie);

    QSignalSpy clicked(&banner, &CBanner::bannerClicked);
    QTest::mouseDClick(&banner, Qt::LeftButton);
    QCOMPARE(clicked.size(), 1);
}

QTEST_MAIN(TestBanner)
#include "tst_cbanner.moc"
