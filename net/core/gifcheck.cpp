#include "net/core/gifcheck.h"

namespace {

int word(const QByteArray& d, qsizetype at)
{
    return uchar(d.at(at)) | uchar(d.at(at + 1)) << 8;
}

GifCheck refuse(const QString& why)
{
    GifCheck check;
    check.why = why;
    return check;
}

// Skips a run of data sub-blocks; false when the data ends first.
bool skipSubBlocks(const QByteArray& d, qsizetype& at)
{
    for (;;) {
        if (at >= d.size())
            return false;
        const int length = uchar(d.at(at++));
        if (length == 0)
            return true;
        at += length;
    }
}

} // namespace

GifCheck checkGif(const QByteArray& d)
{
    if (d.size() < 13 || !(d.startsWith("GIF87a") || d.startsWith("GIF89a")))
        return refuse(QStringLiteral("not a GIF image"));
    GifCheck check;
    check.width = word(d, 6);
    check.height = word(d, 8);
    if (check.width > maxGifSide || check.height > maxGifSide)
        return refuse(QStringLiteral("screen of ") + QString::number(check.width) + u'x' +
                      QString::number(check.height) + QStringLiteral(" is too large"));
    qsizetype at = 13;
    const int packed = uchar(d.at(10));
    if (packed & 0x80)
        at += 3 << ((packed & 7) + 1);
    for (;;) {
        if (at >= d.size())
            return refuse(QStringLiteral("the image is cut short"));
        const int block = uchar(d.at(at++));
        if (block == 0x3B)
            break;
        if (block == 0x21) {
            ++at; // label
            if (!skipSubBlocks(d, at))
                return refuse(QStringLiteral("the image is cut short"));
            continue;
        }
        if (block != 0x2C)
            return refuse(QStringLiteral("unknown block in the image"));
        if (at + 10 > d.size())
            return refuse(QStringLiteral("the image is cut short"));
        const int right = word(d, at) + word(d, at + 4);
        const int bottom = word(d, at + 2) + word(d, at + 6);
        if (right > maxGifSide || bottom > maxGifSide)
            return refuse(QStringLiteral("a frame reaches past ") + QString::number(maxGifSide) +
                          QStringLiteral(" pixels"));
        const int framePacked = uchar(d.at(at + 8));
        at += 9;
        if (framePacked & 0x80)
            at += 3 << ((framePacked & 7) + 1);
        ++at; // LZW code size
        if (!skipSubBlocks(d, at))
            return refuse(QStringLiteral("the image is cut short"));
        if (++check.frames > maxGifFrames)
            return refuse(QStringLiteral("more than ") + QString::number(maxGifFrames) +
                          QStringLiteral(" frames"));
    }
    if (check.frames == 0)
        return refuse(QStringLiteral("the image has no frame"));
    check.ok = true;
    return check;
}
