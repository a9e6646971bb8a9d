// GIF writer: every frame must read back pixel for pixel through the
// toolkit's own GIF reader, and pictures with runs must come out small.

#include "server/bannerart.h"
#include "server/gifencoder.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTest>

namespace {

// Frames of the named kind, palette indexes below `colours`.
QList<QByteArray> makeFrames(const QString& kind, int width, int height, int colours, int count)
{
    QRandomGenerator random(17);
    QList<QByteArray> frames;
    for (int f = 0; f < count; ++f) {
        QByteArray pixels(qsizetype(width) * height, '\0');
        for (int i = 0; i < pixels.size(); ++i) {
            const int x = i % width, y = i / width;
            int v = 0;
            if (kind == QLatin1String("uniform"))
                v = f;
            else if (kind == QLatin1String("noise"))
                v = int(random.bounded(colours));
            else if (kind == QLatin1String("stripes"))
                v = (x / 3 + y / 5 + f) % colours;
            else if (kind == QLatin1String("ramp"))
                v = (x * y + f) % colours;
            pixels[i] = char(v % colours);
        }
        frames << pixels;
    }
    return frames;
}

QList<GifColor> greys(int colours)
{
    QList<GifColor> palette;
    for (int i = 0; i < colours; ++i) {
        const auto v = uchar(colours == 1 ? 0 : i * 255 / (colours - 1));
        palette.append({v, uchar(255 - v), uchar(v / 2)});
    }
    return palette;
}

} // namespace

class TestGifEncoder : public QObject
{
    Q_OBJECT
private slots:
    void readsBack_data();
    void readsBack();
    void runsCompress_data();
    void runsCompress();
};

void TestGifEncoder::readsBack_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("colours");
    QTest::addColumn<int>("frameCount");

    QTest::newRow("one pixel") << "uniform" << 1 << 1 << 2 << 1;
    QTest::newRow("two colours, smallest code size") << "stripes" << 31 << 17 << 2 << 2;
    QTest::newRow("uniform field, codes widen past 9 bits") << "uniform" << 300 << 300 << 4 << 2;
    QTest::newRow("noise fills the table and clears it") << "noise" << 200 << 150 << 256 << 2;
    QTest::newRow("stripes in 5 colours") << "stripes" << 230 << 33 << 5 << 4;
    QTest::newRow("ramp in 256 colours, many clears") << "ramp" << 320 << 240 << 256 << 1;
    QTest::newRow("ramp in 3 colours, long codes") << "ramp" << 640 << 480 << 3 << 1;
}

void TestGifEncoder::readsBack()
{
    QFETCH(QString, kind);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, colours);
    QFETCH(int, frameCount);

    const QList<QByteArray> frames = makeFrames(kind, width, height, colours, frameCount);
    const QList<GifColor> palette = greys(colours);
    QByteArray gif = encodeGif(width, height, frames, palette);
    QBuffer buffer(&gif);
    QImageReader reader(&buffer, "gif");
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    QCOMPARE(reader.imageCount(), frameCount);
    for (int f = 0; f < frameCount; ++f) {
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(),
                 qPrintable(QStringLiteral("frame %1: ").arg(f) + reader.errorString()));
        QCOMPARE(image.size(), QSize(width, height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const GifColor want = palette.at(uchar(frames.at(f).at(y * width + x)));
                const QRgb got = image.pixel(x, y);
                if (qRed(got) != want.r || qGreen(got) != want.g || qBlue(got) != want.b)
                    QFAIL(qPrintable(
                        QStringLiteral("frame %1 differs at %2,%3").arg(f).arg(x).arg(y)));
            }
    }
}

void TestGifEncoder::runsCompress_data()
{
    QTest::addColumn<QByteArray>("gif");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("limit");

    const QList<QByteArray> flat = makeFrames(QStringLiteral("uniform"), 230, 33, 2, 1);
    QTest::newRow("one flat banner frame") << encodeGif(230, 33, flat, greys(2)) << 230 * 33 << 400;
    // The sponsor banner the server sends: text and a light sweep, 8 frames.
    QTest::newRow("sponsor banner")
        << renderBannerGif(QStringLiteral("Orvelle Security"), QStringLiteral("Advisories daily"))
        << 8 * 230 * 33 << 8000;
}

void TestGifEncoder::runsCompress()
{
    QFETCH(QByteArray, gif);
    QFETCH(int, pixels);
    QFETCH(int, limit);
    QVERIFY2(gif.size() < limit,
             qPrintable(QStringLiteral("%1 bytes for %2 pixels").arg(gif.size()).arg(pixels)));
}

QTEST_GUILESS_MAIN(TestGifEncoder)
#include "tst_gifencoder.moc"
