#pragma once

// Writes animated GIF images. The toolkit reads GIF but cannot write it;
// the server draws its banner with this, and tests make their images.
// Frames are LZW compressed as in any GIF writer, and the colour table is
// only as large as the palette and the pixels need.

#include <QByteArray>
#include <QList>

struct GifColor
{
    unsigned char r = 0, g = 0, b = 0;
};

// Each frame is width * height palette indexes; the palette has at most 256
// entries. `delayCs` is the time each frame shows, in hundredths of a second;
// an animation plays `loops` times (0: for ever) and rests on its last frame.
QByteArray encodeGif(int width, int height, const QList<QByteArray>& frames,
                     const QList<GifColor>& palette, int delayCs = 10, int loops = 0);
