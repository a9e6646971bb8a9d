#include "net/core/gifcheck.h"
#include "tests/common/testgif.h"

#include <QTest>

class TestGifCheck : public QObject
{
    Q_OBJECT
private slots:
    void check_data();
    void check();
};

namespace {

QByteArray withScreen(QByteArray gif, int width, int height)
{
    gif[6] = char(width & 255);
    gif[7] = char(width >> 8);
    gif[8] = char(height & 255);
    gif[9] = char(height >> 8);
    return gif;
}

} // namespace

void TestGifCheck::check_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("frames"); // 0: refused

    const QByteArray banner = testgif::banner(4);
    QTest::newRow("banner") << banner << 4;
    QTest::newRow("largest allowed screen") << testgif::banner(1, 1024, 1024) << 1;
    QTest::newRow("200 frames") << testgif::banner(200, 40, 8) << 200;
    QTest::newRow("201 frames") << testgif::banner(201, 40, 8) << 0;
    QTest::newRow("wide screen") << withScreen(banner, 1025, 33) << 0;
    QTest::newRow("frame past the screen limit")
        << withScreen(testgif::banner(1, 1025, 2), 8, 2) << 0;
    QTest::newRow("cut short") << banner.left(banner.size() / 2) << 0;
    QTest::newRow("no trailer") << banner.chopped(1) << 0;
    QTest::newRow("not a GIF") << QByteArray("<html>busy</html>") << 0;
    QTest::newRow("no frame") << banner.left(13 + 6) + QByteArray(1, ';') << 0;
    QTest::newRow("garbage block") << banner.left(13 + 6) + QByteArray("\x99;", 2) << 0;
}

void TestGifCheck::check()
{
    QFETCH(QByteArray, data);
    QFETCH(int, frames);

    const GifCheck result = checkGif(data);
    QCOMPARE(result.ok, frames > 0);
    QCOMPARE(result.why.isEmpty(), frames > 0);
    if (frames > 0)
        QCOMPARE(result.frames, frames);
}

QTEST_GUILESS_MAIN(TestGifCheck)
#include "tst_gifcheck.moc"
