#pragma once

// Animated GIFs for tests, through the one GIF writer of the project.

#include "server/gifencoder.h"

namespace testgif {

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
    return encodeGif(width, height, frames, {{20, 30, 60}, {250, 200, 40}});
}

// A small valid animation of exactly `size` bytes (at least 120): the
// banner padded with a comment block, zero bytes included.
inline QByteArray ofSize(qsizetype size)
{
    QByteArray gif = banner(2, 40, 4);
    gif.chop(1); // the trailer goes back after the comment
    gif += "\x21\xfe";
    qsizetype left = size - gif.size() - 2; // the comment's end and the trailer
    while (left >= 2) {
        int length = int(qMin<qsizetype>(255, left - 1));
        if (left - (length + 1) == 1)
            --length;
        gif += char(length);
        for (int i = 0; i < length; ++i)
            gif += char(i % 7 == 0 ? 0 : 'a' + i % 26);
        left -= length + 1;
    }
    gif += '\0';
    gif += ';';
    return gif;
}

} // namespace testgif
