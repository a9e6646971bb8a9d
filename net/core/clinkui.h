#pragma once

#include <QString>

// What the server link needs from the desktop: the busy cursor and message
// boxes. The core link has no display; the program installs a widget-backed
// implementation, tests install a recording one.
class CLinkUi
{
public:
    virtual ~CLinkUi() = default;
    virtual void setWaitCursor() {}
    virtual void restoreCursor() {}
    // A critical message box with a single OK button and no parent.
    virtual void critical(const QString& caption, const QString& text);
};
