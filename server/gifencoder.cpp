#include "server/gifencoder.h"

namespace {

void put16(QByteArray& out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

QByteArray compress(const QByteArray& pixels)
{
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
    // With 8-bit literals the table starts at 258 entries; clearing every
    // 250 codes keeps it below 512, so every code is 9 bits.
    for (qsizetype i = 0; i < pixels.size(); ++i) {
        if (i % 250 == 0)
            emitCode(256);
        emitCode(uchar(pixels.at(i)));
    }
    emitCode(257);
    if (count > 0)
        data.append(char(bits & 0xff));
    return data;
}

} // namespace

QByteArray encodeGif(int width, int height, const QList<QByteArray>& frames,
                     const QList<GifColor>& palette, int delayCs, int loops)
{
    QByteArray out("GIF89a");
    put16(out, width);
    put16(out, height);
    out.append(char(0xf7)); // global table of 256 colours
    out.append('\0');
    out.append('\0');
    for (int i = 0; i < 256; ++i) {
        const GifColor c = palette.value(i);
        out.append(char(c.r));
        out.append(char(c.g));
        out.append(char(c.b));
    }
    if (frames.size() > 1) {
        // The application extension every GIF reader knows for the loop count.
        out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
        put16(out, loops);
        out.append('\0');
    }
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
        const QByteArray data =
            compress(pixels.leftJustified(qsizetype(width) * height, '\0', true));
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
