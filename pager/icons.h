#pragma once

#include <QIcon>
#include <QPixmap>

// The program's built-in artwork.
QPixmap normalWindowIcon();    // 16x16, the window icon at rest
QPixmap alternateWindowIcon(); // 16x16, the other phase of the flashing icon
QIcon uncheckedIcon();         // category not followed
QIcon checkedIcon();           // category followed
QIcon newHeadlineIcon();       // 16x14, a headline not yet read
