// GIF writer: every frame must read back pixel for pixel through the
// toolkit's own GIF reader.

#include "server/gifencoder.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTest>

class TestGifEncoder : public QObject
{
    Q_OBJECT
private slots:
    void readsBack_data()
    {
        // The row's name is the kind of picture.
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("colours");
        QTest::newRow("stripes") << QSize(31, 17) << 2;   // two colours, smallest code size
        QTest::newRow("uniform") << QSize(300, 300) << 3; // codes widen past 9 bits; 3 colours
        QTest::newRow("noise") << QSize(200, 150) << 256; // fills the table and clears it
    }

    void readsBack()
    {
        const QByteArray kind = QTest::currentDataTag();
        QFETCH(QSize, size);
        QFETCH(int, colours);
        const int width = size.width(), height = size.height();
        QRandomGenerator random(17);
        QList<QByteArray> frames;
        for (int f = 0; f < 2; ++f) {
            QByteArray pixels(qsizetype(width) * height, '\0');
            for (int i = 0; i < pixels.size(); ++i) {
                const int x = i % width, y = i / width;
                const int v = kind == "uniform" ? f
                              : kind == "noise" ? int(random.bounded(colours))
                                                : x / 3 + y / 5 + f;
                pixels[i] = char(v % colours);
            }
            frames << pixels;
        }
        QList<GifColor> palette;
        QVector<QRgb> table;
        for (int i = 0; i < colours; ++i) {
            const auto v = uchar(i * 255 / (colours - 1));
            palette.append({v, uchar(255 - v), uchar(v / 2)});
            table << qRgb(v, 255 - v, v / 2);
        }
        QByteArray gif = encodeGif(width, height, frames, palette);
        // The global colour table holds the whole palette, even colours no
        // pixel uses ("uniform"), and is no bigger than the next power of two.
        QVERIFY((2 << (gif[10] & 7)) >= colours && (1 << (gif[10] & 7)) < colours);
        QBuffer buffer(&gif);
        QImageReader reader(&buffer, "gif");
        QCOMPARE(reader.imageCount(), 2);
        for (const QByteArray& pixels : frames) {
            QImage want(reinterpret_cast<const uchar*>(pixels.constData()), width, height, width,
                        QImage::Format_Indexed8);
            want.setColorTable(table);
            QCOMPARE(reader.read().convertToFormat(QImage::Format_RGB32),
                     want.convertToFormat(QImage::Format_RGB32));
        }
    }
};

QTEST_GUILESS_MAIN(TestGifEncoder)
#include "tst_gifencoder.moc"
