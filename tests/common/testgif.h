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

} // namespace testgif
