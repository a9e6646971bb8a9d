#pragma once

#include <QByteArray>
#include <QString>

// The sponsor banner, 230 x 33: the sponsor's words in a bitmap font on a
// dark field, with a light sweeping across over several frames.
QByteArray renderBannerGif(const QString& line1, const QString& line2, int frameCount = 8);
