#pragma once

// A look at a GIF's structure before anyone decodes it: a few kilobytes can
// declare a huge screen and hundreds of frames, and the banner keeps every
// decoded frame. The walk reads block headers only, in one pass.

#include <QByteArray>
#include <QString>

struct GifCheck
{
    bool ok = false;
    QString why; // when refused
    int width = 0;
    int height = 0;
    int frames = 0;
};

inline constexpr int maxGifSide = 1024;
inline constexpr int maxGifFrames = 200;

// Refuses anything that is not a whole GIF, has no frame, a screen or frame
// past maxGifSide in either direction, or more than maxGifFrames frames.
GifCheck checkGif(const QByteArray& data);
