// Draws the desktop icons from the window icon's artwork, at build time:
// icongen OUTDIR SIZE... writes OUTDIR/SIZE.png for each size (a whole
// multiple of the artwork's) and OUTDIR/scalable.svg.

#include "pager/icons.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QStringList>

#include <cstdio>

namespace {

// Each pixel a square: the small artwork stays crisp at every size.
QByteArray svgOf(const QImage& art)
{
    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                     QByteArray::number(art.width() * 8) + "\" height=\"" +
                     QByteArray::number(art.height() * 8) + "\" viewBox=\"0 0 " +
                     QByteArray::number(art.width()) + ' ' + QByteArray::number(art.height()) +
                     "\" shape-rendering=\"crispEdges\">\n";
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width();) {
            const QRgb colour = art.pixel(x, y);
            int run = 1;
            while (x + run < art.width() && art.pixel(x + run, y) == colour)
                ++run;
            if (qAlpha(colour) > 0)
                svg += "<rect x=\"" + QByteArray::number(x) + "\" y=\"" + QByteArray::number(y) +
                       "\" width=\"" + QByteArray::number(run) + "\" height=\"1\" fill=\"" +
                       QColor(colour).name().toLatin1() + "\"/>\n";
            x += run;
        }
    return svg + "</svg>\n";
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char** argv)
{
    const QImage art = windowIconArt().convertToFormat(QImage::Format_ARGB32);
    if (argc < 3 || art.isNull()) {
        std::fprintf(stderr, "usage: icongen OUTDIR SIZE...\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0 || size % art.width() != 0) {
            std::fprintf(stderr, "icongen: %s is not a multiple of %d\n", argv[i], art.width());
            return 2;
        }
        const QString path = dir + u'/' + QString::number(size) + QStringLiteral(".png");
        if (!art.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(path)) {
            std::fprintf(stderr, "icongen: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (!write(dir + QStringLiteral("/scalable.svg"), svgOf(art))) {
        std::fprintf(stderr, "icongen: cannot write %s/scalable.svg\n", qPrintable(dir));
        return 1;
    }
    return 0;
}
