#include "platform/qt/uWindowFrame.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef SORVIK_HAVE_XCB
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>
#endif

namespace {

#ifdef SORVIK_HAVE_XCB
xcb_connection_t* X11Connection()
{
    auto* X11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return X11 ? X11->connection() : nullptr;
}

xcb_atom_t InternAtom(xcb_connection_t* C, const char* Name)
{
    xcb_intern_atom_reply_t* Atom
        = xcb_intern_atom_reply(C, xcb_intern_atom(C, 0, static_cast<uint16_t>(std::strlen(Name)), Name), nullptr);
    if (!Atom)
        return XCB_ATOM_NONE;
    const xcb_atom_t Result = Atom->atom;
    std::free(Atom);
    return Result;
}

// The atoms the frame code asks for, looked up once per connection: a
// window's frame is asked for on every move while it is dragged.
struct TFrameAtoms {
    xcb_connection_t* Connection = nullptr;
    xcb_atom_t Extents = XCB_ATOM_NONE;
    xcb_atom_t Request = XCB_ATOM_NONE;
    xcb_atom_t Supported = XCB_ATOM_NONE;
    xcb_atom_t State = XCB_ATOM_NONE;
    // The states in which the window manager draws another frame.
    xcb_atom_t Enlarged[3] = {XCB_ATOM_NONE, XCB_ATOM_NONE, XCB_ATOM_NONE};
    // Whether the window manager answers Request; asked once per connection
    // and window manager.
    xcb_window_t AskedManager = XCB_WINDOW_NONE;
    bool RequestSupported = false;
};

TFrameAtoms* FrameAtoms(xcb_connection_t* C)
{
    static TFrameAtoms Atoms;
    if (Atoms.Connection != C || Atoms.Extents == XCB_ATOM_NONE) {
        Atoms = TFrameAtoms{};
        Atoms.Extents = InternAtom(C, "_NET_FRAME_EXTENTS");
        Atoms.Request = InternAtom(C, "_NET_REQUEST_FRAME_EXTENTS");
        Atoms.Supported = InternAtom(C, "_NET_SUPPORTED");
        Atoms.State = InternAtom(C, "_NET_WM_STATE");
        Atoms.Enlarged[0] = InternAtom(C, "_NET_WM_STATE_MAXIMIZED_VERT");
        Atoms.Enlarged[1] = InternAtom(C, "_NET_WM_STATE_MAXIMIZED_HORZ");
        Atoms.Enlarged[2] = InternAtom(C, "_NET_WM_STATE_FULLSCREEN");
        if (Atoms.Extents == XCB_ATOM_NONE)
            return nullptr;
        Atoms.Connection = C;
    }
    return &Atoms;
}

xcb_window_t RootOf(xcb_connection_t* C)
{
    const xcb_setup_t* Setup = xcb_get_setup(C);
    const xcb_screen_iterator_t Screen = xcb_setup_roots_iterator(Setup);
    return Screen.rem ? Screen.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

// The 32-bit items of a window's property, at most Count of them.
std::vector<uint32_t> Cardinals(xcb_connection_t* C, xcb_window_t Window, xcb_atom_t Name, xcb_atom_t Type,
                                uint32_t Count)
{
    std::vector<uint32_t> Items;
    xcb_get_property_reply_t* Reply
        = xcb_get_property_reply(C, xcb_get_property(C, 0, Window, Name, Type, 0, Count), nullptr);
    if (!Reply)
        return Items;
    if (Reply->format == 32) {
        const auto* V = static_cast<const uint32_t*>(xcb_get_property_value(Reply));
        Items.assign(V, V + xcb_get_property_value_length(Reply) / 4);
    }
    std::free(Reply);
    return Items;
}

// The window manager that runs now, as it names itself on the root window.
xcb_window_t ManagerWindow(xcb_connection_t* C, xcb_window_t Root)
{
    const std::vector<uint32_t> Check
        = Cardinals(C, Root, InternAtom(C, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 1);
    return Check.empty() ? xcb_window_t(XCB_WINDOW_NONE) : Check.front();
}

bool RequestSupported(xcb_connection_t* C, xcb_window_t Root)
{
    TFrameAtoms* A = FrameAtoms(C);
    if (!A || A->Request == XCB_ATOM_NONE)
        return false;
    const xcb_window_t Manager = ManagerWindow(C, Root);
    if (Manager == XCB_WINDOW_NONE)
        return false;
    if (A->AskedManager != Manager) {
        A->AskedManager = Manager;
        A->RequestSupported = false;
        for (uint32_t Atom : Cardinals(C, Root, A->Supported, XCB_ATOM_ATOM, 4096))
            A->RequestSupported |= Atom == A->Request;
    }
    return A->RequestSupported;
}

// True when the platform is X11; Margins then hold the stated extents, or
// none when the window manager has stated none.
bool X11FrameExtents(const QWidget& Form, QMargins& Margins)
{
    xcb_connection_t* C = X11Connection();
    if (!C)
        return false;
    Margins = QMargins();
    if (!Form.windowHandle() || !Form.testAttribute(Qt::WA_WState_Created))
        return true;
    const TFrameAtoms* Atoms = FrameAtoms(C);
    if (!Atoms)
        return true;
    const std::vector<uint32_t> V
        = Cardinals(C, static_cast<xcb_window_t>(Form.winId()), Atoms->Extents, XCB_ATOM_CARDINAL, 4);
    // Left, right, top, bottom.
    if (V.size() == 4)
        Margins = QMargins(static_cast<int>(V[0]), static_cast<int>(V[2]), static_cast<int>(V[1]),
                           static_cast<int>(V[3]));
    return true;
}

// Whether the window manager states the window maximized (in either
// direction) or full screen.
bool X11Enlarged(const QWidget& Form)
{
    xcb_connection_t* C = X11Connection();
    const TFrameAtoms* Atoms = C ? FrameAtoms(C) : nullptr;
    if (!Atoms || !Form.testAttribute(Qt::WA_WState_Created))
        return false;
    for (uint32_t Atom : Cardinals(C, static_cast<xcb_window_t>(Form.winId()), Atoms->State, XCB_ATOM_ATOM, 64))
        for (xcb_atom_t E : Atoms->Enlarged)
            if (Atom == E && E != XCB_ATOM_NONE)
                return true;
    return false;
}

// Asks the window manager which frame it will give Window, and waits a
// moment for the answer, which it states as the window's frame extents.
void X11RequestFrameExtents(xcb_connection_t* C, xcb_window_t Window)
{
    const xcb_window_t Root = RootOf(C);
    if (Root == XCB_WINDOW_NONE || !RequestSupported(C, Root))
        return;
    const TFrameAtoms* Atoms = FrameAtoms(C);
    xcb_client_message_event_t Message;
    std::memset(&Message, 0, sizeof Message);
    Message.response_type = XCB_CLIENT_MESSAGE;
    Message.format = 32;
    Message.window = Window;
    Message.type = Atoms->Request;
    xcb_send_event(C, 0, Root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&Message));
    xcb_flush(C);
    // A window manager answers at once; one that is busy is not waited for
    // long, and the frame is then taken once it is there.
    const auto Until = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
    while (Cardinals(C, Window, Atoms->Extents, XCB_ATOM_CARDINAL, 4).size() != 4) {
        if (std::chrono::steady_clock::now() >= Until)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
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

bool PlatformShownNormal(const QWidget& Form)
{
    if (Form.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return false;
#ifdef SORVIK_HAVE_XCB
    // The window manager has a say only about a mapped window; what an
    // unmapped one carries is the program's or left from its last showing.
    if (Form.testAttribute(Qt::WA_Mapped) && X11Enlarged(Form))
        return false;
#endif
    return true;
}

QRect PlatformNormalGeometry(const QWidget& Form, const QRect& Seen)
{
#ifdef SORVIK_HAVE_XCB
    if (X11Connection() && Seen.isValid())
        return Seen;
#else
    (void)Seen;
#endif
    return Form.normalGeometry();
}

QMargins PlatformExpectedFrameMargins(QWidget& Form)
{
    QMargins Margins = PlatformFrameMargins(Form);
    if (!Margins.isNull() || !Form.isWindow())
        return Margins;
    // Most systems know a native window's frame as soon as it exists.
    Form.createWinId();
#ifdef SORVIK_HAVE_XCB
    if (xcb_connection_t* C = X11Connection())
        X11RequestFrameExtents(C, static_cast<xcb_window_t>(Form.winId()));
#endif
    return PlatformFrameMargins(Form);
}
