// The frame a window manager puts around a top-level window (title bar,
// borders), as the window manager states it.
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

// What the frame adds on each side of the window's client area; none while
// the window has not been framed (or has no frame). On X11 this is the
// window's _NET_FRAME_EXTENTS, read afresh: Qt's own frame geometry can keep
// a size it saw while the window manager was still building the frame.
QMargins PlatformFrameMargins(const QWidget& Form);

// The same for a window about to be shown: a window that has no frame yet
// is given its native window, and the window manager is asked which frame
// it will put around it (on X11 _NET_REQUEST_FRAME_EXTENTS, answered in a
// moment); none where nobody can tell.
QMargins PlatformExpectedFrameMargins(QWidget& Form);

// Whether the window is shown in the normal state, neither maximized nor
// full screen, as the window manager states it now. On X11 Qt learns of a
// state change late: the window manager may already have moved the window
// for the new state, and Qt then reports the moved geometry while it still
// holds the old state.
bool PlatformShownNormal(const QWidget& Form);

// The window's client area in the normal state. Seen: the client area it
// last had while shown in the normal state, or none. On X11 nobody keeps the
// normal state's bounds: Qt takes the geometry it has when it learns that
// the window was maximized, which may be the maximized one's already; Seen
// is the answer there. Windows keeps them for every window.
QRect PlatformNormalGeometry(const QWidget& Form, const QRect& Seen);
