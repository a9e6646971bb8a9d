#pragma once

// Writes small animated GIFs for tests: the toolkit reads GIF but cannot
// write it. Codes stay 9 bits wide by clearing the table often, which keeps
// the encoder trivial at the cost of size.

#include <QByteArray>
#include <QColor>
#include <QList>

namespace testgif {

inline void put16(QByteArray& out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

// One frame: width*height palette indexes (0..255).
inline QByteArray encode(int width, int height, const QList<QByteArray>& frames,
                         const QList<QColor>& palette, int delayCs = 10)
{
    QByteArray out("GIF89a");
    put16(out, width);
    put16(out, height);
    out.append(char(0xf7)); // global table of 256 colours
    out.append('\0');
    out.append('\0');
    for (int i = 0; i < 256; ++i) {
        const QColor c = palette.value(i, Qt::black);
        out.append(char(c.red()));
        out.append(char(c.green()));
        out.append(char(c.blue()));
    }
    out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19); // loop for ever
    for (const QByteArray& pixels : frames) {
        out.append("\x21\xf9\x04\x00", 4);
        put16(out, delayCs);
        out.append("\x00\x00", 2);
        out.append(char(0x2c));
        put16(out, 0);
        put16(out, 0);
        put16(out, width);
        put16(out, height);
        out.append('\0');
        out.append(char(8)); // minimum code size

        QByteArray data;
        quint32 bits = 0;
        int count = 0;
        auto emitCode = [&](int code) {
            bits |= quint32(code) << count;
            count += 9;
            while (count >= 8) {
                data.append(char(bits & 0xff));
                bits >>= 8;
                count -= 8;
            }
        };
        for (qsizetype i = 0; i < pixels.size(); ++i) {
            if (i % 250 == 0)
                emitCode(256);
            emitCode(uchar(pixels.at(i)));
        }
        emitCode(257);
        if (count > 0)
            data.append(char(bits & 0xff));
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append('\0');
    }
    out.append(char(0x3b));
    return out;
}

// A banner-sized animation: a bright bar moving over a dark field.
inline QByteArray banner(int frameCount = 4, int width = 230, int height = 33)
{
    QList<QByteArray> frames;
    for (int f = 0; f < frameCount; ++f) {
        QByteArray pixels(width * height, '\0');
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (x / 20 == f % (width / 20))
                    pixels[y * width + x] = 1;
        frames << pixels;
    }
    return encode(width, height, frames, {QColor(20, 30, 60), QColor(250, 200, 40)});
}

} // namespace testgif
