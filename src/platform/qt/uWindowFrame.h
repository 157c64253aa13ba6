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
