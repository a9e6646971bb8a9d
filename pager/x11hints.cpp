#include "pager/x11hints.h"

#include <QGuiApplication>

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

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

namespace {

Display* toolkitDisplay()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

} // namespace

void setUrgencyHint(unsigned long window, bool urgent)
{
    Display* display = toolkitDisplay();
    if (!display || !window)
        return;
    XWMHints* hints = XGetWMHints(display, window);
    XWMHints fresh{};
    XWMHints* h = hints ? hints : &fresh;
    h->flags = urgent ? (h->flags | XUrgencyHint) : (h->flags & ~XUrgencyHint);
    XSetWMHints(display, window, h);
    if (hints)
        XFree(hints);
    XFlush(display);
}

bool hasUrgencyHint(unsigned long window)
{
    Display* display = toolkitDisplay();
    if (!display || !window)
        return false;
    XWMHints* hints = XGetWMHints(display, window);
    const bool urgent = hints && (hints->flags & XUrgencyHint);
    if (hints)
        XFree(hints);
    return urgent;
}
