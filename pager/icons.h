#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The program's built-in artwork.
// 16x16 normal window icon at rest; the desktop icons are drawn from it too.
QImage windowIconArt();
QPixmap normalWindowIcon();    // 16x16, the window icon at rest
QPixmap alternateWindowIcon(); // 16x16, the other phase of the flashing icon
QIcon uncheckedIcon();         // category not followed
QIcon checkedIcon();           // category followed
QIcon newHeadlineIcon();       // 16x14, a headline not yet read
