#include "pager/x11hints.h"

#include <QGuiApplication>

#include <X11/Xlib.h>

#include <X11/Xatom.h>

void setMotifDecorations(Display* display, unsigned long window, long decorations)
{
    if (!display || !window)
        return;
    const Atom hints = XInternAtom(display, "_MOTIF_WM_HINTS", True);
    if (hints == None)
        return;
    // flags (decorations valid), functions, decorations, input mode, status
    long values[5] = {2, 0, decorations, 0, 0};
    XChangeProperty(display, window, hints, hints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(values), 5);
    XFlush(display);
}

Display* x11Display()
{
    if (auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        return x11->display();
    static Display* own = XOpenDisplay(nullptr);
    return own;
}
