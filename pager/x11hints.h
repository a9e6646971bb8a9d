#pragma once

// Kept free of Xlib's headers, whose macros clash with the toolkit's.
struct _XDisplay;

// Asks a Motif-compatible window manager for a full frame (1) or none (0).
// Does nothing where no such window manager has announced itself.
void setMotifDecorations(_XDisplay* display, unsigned long window, long decorations);

// The program's X connection (the toolkit's own when it has one).
_XDisplay* x11Display();

// Sets or clears the urgency hint of one of the toolkit's X windows,
// keeping the rest of its WM_HINTS. Does nothing off X11.
void setUrgencyHint(unsigned long window, bool urgent);
bool hasUrgencyHint(unsigned long window);
