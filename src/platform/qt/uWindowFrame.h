// The frame a window manager puts around a top-level window (title bar,
// borders), as the window manager states it.
#pragma once

#include <QMargins>

class QWidget;

// What the frame adds on each side of the window's client area; none while
// the window has not been framed (or has no frame). On X11 this is the
// window's _NET_FRAME_EXTENTS, read afresh: Qt's own frame geometry can keep
// a size it saw while the window manager was still building the frame.
QMargins PlatformFrameMargins(const QWidget& Form);

// The same, but none while the window manager shows the window maximized
// or full screen, when its frame is not the one of the normal state.
QMargins PlatformNormalFrameMargins(const QWidget& Form);

// The same for a window about to be shown: a window that has no frame yet
// is given its native window, and the window manager is asked which frame
// it will put around it (on X11 _NET_REQUEST_FRAME_EXTENTS, answered in a
// moment); none where nobody can tell.
QMargins PlatformExpectedFrameMargins(QWidget& Form);
