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
    void bannerIsSmall();
};

void TestGifEncoder::readsBack_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("colours");
    QTest::addColumn<int>("frameCount");
    QTest::addColumn<int>("limit"); // most bytes the file may take; 0: any

    QTest::newRow("one pixel") << "uniform" << 1 << 1 << 2 << 1 << 0;
    QTest::newRow("two colours, smallest code size") << "stripes" << 31 << 17 << 2 << 2 << 0;
    QTest::newRow("flat banner frame, runs compress") << "uniform" << 230 << 33 << 2 << 1 << 400;
    QTest::newRow("uniform field, codes widen past 9 bits")
        << "uniform" << 300 << 300 << 4 << 2 << 0;
    QTest::newRow("noise fills the table and clears it") << "noise" << 200 << 150 << 256 << 2 << 0;
    QTest::newRow("ramp in 3 colours, long codes") << "ramp" << 640 << 480 << 3 << 1 << 0;
}

void TestGifEncoder::readsBack()
{
    QFETCH(QString, kind);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, colours);
    QFETCH(int, frameCount);
    QFETCH(int, limit);

    const QList<QByteArray> frames = makeFrames(kind, width, height, colours, frameCount);
    const QList<GifColor> palette = greys(colours);
    QByteArray gif = encodeGif(width, height, frames, palette);
    if (limit > 0)
        QVERIFY(gif.size() < limit);
    QVector<QRgb> table;
    for (const GifColor& c : palette)
        table << qRgb(c.r, c.g, c.b);
    QBuffer buffer(&gif);
    QImageReader reader(&buffer, "gif");
    QCOMPARE(reader.imageCount(), frameCount);
    for (const QByteArray& pixels : frames) {
        QImage want(reinterpret_cast<const uchar*>(pixels.constData()), width, height, width,
                    QImage::Format_Indexed8);
        want.setColorTable(table);
        QCOMPARE(reader.read().convertToFormat(QImage::Format_RGB32),
                 want.convertToFormat(QImage::Format_RGB32));
    }
}

void TestGifEncoder::bannerIsSmall()
{
    // The sponsor banner the server sends: text and a light sweep, 8 frames.
    const QByteArray gif =
        renderBannerGif(QStringLiteral("Orvelle Security"), QStringLiteral("Advisories daily"));
    QVERIFY(gif.size() < 8000);
}

QTEST_GUILESS_MAIN(TestGifEncoder)
#include "tst_gifencoder.moc"
