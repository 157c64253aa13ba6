#include "platform/qt/uWindowFrame.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef SORVIK_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace {

#ifdef SORVIK_HAVE_XCB
// True when the platform is X11; Margins then hold the stated extents, or
// none when the window manager has stated none.
bool X11FrameExtents(const QWidget& Form, QMargins& Margins)
{
    auto* X11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* C = X11 ? X11->connection() : nullptr;
    if (!C)
        return false;
    Margins = QMargins();
    if (!Form.windowHandle() || !Form.testAttribute(Qt::WA_WState_Created))
        return true;
    // Looked up once per connection: a window's frame is asked for on every
    // move while it is dragged.
    static xcb_connection_t* AtomConnection = nullptr;
    static xcb_atom_t Extents = XCB_ATOM_NONE;
    if (AtomConnection != C || Extents == XCB_ATOM_NONE) {
        static const char Name[] = "_NET_FRAME_EXTENTS";
        xcb_intern_atom_reply_t* Atom = xcb_intern_atom_reply(
            C, xcb_intern_atom(C, 0, static_cast<uint16_t>(std::strlen(Name)), Name), nullptr);
        if (!Atom)
            return true;
        Extents = Atom->atom;
        AtomConnection = C;
        std::free(Atom);
    }
    xcb_get_property_reply_t* Reply = xcb_get_property_reply(
        C, xcb_get_property(C, 0, static_cast<xcb_window_t>(Form.winId()), Extents, XCB_ATOM_CARDINAL, 0, 4),
        nullptr);
    if (!Reply)
        return true;
    if (Reply->format == 32 && xcb_get_property_value_length(Reply) == 16) {
        const auto* V = static_cast<const uint32_t*>(xcb_get_property_value(Reply));
        // Left, right, top, bottom.
        Margins = QMargins(static_cast<int>(V[0]), static_cast<int>(V[2]), static_cast<int>(V[1]),
                           static_cast<int>(V[3]));
    }
    std::free(Reply);
    return true;
}
#endif

} // namespace

QMargins PlatformFrameMargins(const QWidget& Form)
{
#ifdef SORVIK_HAVE_XCB
    QMargins Margins;
    if (X11FrameExtents(Form, Margins))
        return Margins;
#endif
    const QRect Frame = Form.frameGeometry();
    const QRect Client = Form.geometry();
    return QMargins(Client.left() - Frame.left(), Client.top() - Frame.top(), Frame.right() - Client.right(),
                    Frame.bottom() - Client.bottom());
}
