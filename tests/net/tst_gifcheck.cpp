#include "net/core/gifcheck.h"
#include "tests/common/testgif.h"

#include <QTest>

class TestGifCheck : public QObject
{
    Q_OBJECT
private slots:
    void check_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("frames"); // 0: refused

        const QByteArray banner = testgif::banner(4);
        QByteArray wide = banner;
        wide[7] = char(4); // the screen's width past 1024
        QByteArray wideFrame = testgif::banner(1, 1025, 2);
        wideFrame[7] = char(0); // a small screen around a frame past the limit
        QTest::newRow("largest allowed screen") << testgif::banner(1, 1024, 1024) << 1;
        QTest::newRow("200 frames") << testgif::banner(200, 40, 8) << 200;
        QTest::newRow("201 frames") << testgif::banner(201, 40, 8) << 0;
        QTest::newRow("wide screen") << wide << 0;
        QTest::newRow("frame past the screen limit") << wideFrame << 0;
        QTest::newRow("cut short") << banner.left(banner.size() / 2) << 0;
        QTest::newRow("not a GIF") << QByteArray("<html>busy</html>") << 0;
        QTest::newRow("no frame") << banner.left(13 + 6) + QByteArray(1, ';') << 0;
    }

    void check()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, frames);

        const GifCheck result = checkGif(data);
        QCOMPARE(result.ok, frames > 0);
        QCOMPARE(result.ok ? result.frames : 0, frames);
    }
};

QTEST_GUILESS_MAIN(TestGifCheck)
#include "tst_gifcheck.moc"
