// Kept apart: the X headers define macros (None, Bool, Status...) that clash
// with Qt's.
#include "window_manager.h"

#include <QWidget>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#ifdef SORVIK_HAVE_XLIB
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif


namespace journey {

namespace {

#ifdef SORVIK_HAVE_XLIB
struct TDisplay {
    Display* D = XOpenDisplay(nullptr);
    ~TDisplay()
    {
        if (D)
            XCloseDisplay(D);
    }
};

// The raw items of a property, or nothing.
template <typename Item>
std::vector<Item> Property(unsigned long Window, const char* Name, Atom Type)
{
    std::vector<Item> Items;
    TDisplay X;
    if (!X.D || !Window)
        return Items;
    Atom ActualType = 0;
    int Format = 0;
    unsigned long Count = 0, After = 0;
    unsigned char* Data = nullptr;
    if (XGetWindowProperty(X.D, Window, XInternAtom(X.D, Name, False), 0, 4096, False, Type, &ActualType, &Format,
                           &Count, &After, &Data) == Success
        && Data) {
        for (unsigned long I = 0; I < Count; ++I) {
            if (Format == 8)
                Items.push_back(static_cast<Item>(Data[I]));
            else if (Format == 32)
                Items.push_back(static_cast<Item>(reinterpret_cast<unsigned long*>(Data)[I]));
        }
    }
    if (Data)
        XFree(Data);
    return Items;
}

QByteArray Bytes(unsigned long Window, const char* Name, Atom Type)
{
    QByteArray B;
    for (char C : Property<char>(Window, Name, Type))
        B.append(C);
    return B;
}
#endif

unsigned long WindowOf(const QWidget* W) { return W ? static_cast<unsigned long>(W->winId()) : 0; }

} // namespace

TWindowManager::TWindowManager()
{
#ifdef SORVIK_HAVE_XLIB
    Display* D = XOpenDisplay(nullptr);
    if (D)
        fcntl(ConnectionNumber(D), F_SETFD, FD_CLOEXEC);
    FDisplay = D;
#endif
    FPid = fork();
    if (FPid == 0) {
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int I = 0; FPid > 0 && I < 200 && !Running(); ++I)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!Running())
        std::fprintf(stderr, "openbox did not take over the screen (scripts/bootstrap installs it)\n");
    // It announces itself before it manages windows.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

TWindowManager::~TWindowManager()
{
    if (FPid > 0) {
        kill(FPid, SIGTERM);
        int ExitStatus = 0;
        waitpid(FPid, &ExitStatus, 0);
    }
#ifdef SORVIK_HAVE_XLIB
    if (FDisplay)
        XCloseDisplay(static_cast<Display*>(FDisplay));
#endif
}

bool TWindowManager::Running()
{
#ifdef SORVIK_HAVE_XLIB
    TDisplay X;
    if (!X.D)
        return false;
    return !Property<unsigned long>(DefaultRootWindow(X.D), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty();
#else
    return false;
#endif
}

QString WindowName(const QWidget* W)
{
#ifdef SORVIK_HAVE_XLIB
    TDisplay X;
    if (!X.D)
        return {};
    return QString::fromUtf8(Bytes(WindowOf(W), "_NET_WM_NAME", XInternAtom(X.D, "UTF8_STRING", False)));
#else
    (void)W;
    return {};
#endif
}

QStringList WindowClass(const QWidget* W)
{
#ifdef SORVIK_HAVE_XLIB
    QByteArray B = Bytes(WindowOf(W), "WM_CLASS", XA_STRING);
    if (B.endsWith('\0'))
        B.chop(1);
    QStringList L;
    for (const QByteArray& Part : B.split('\0'))
        L.append(QString::fromLatin1(Part));
    return L;
#else
    (void)W;
    return {};
#endif
}

QStringList WindowStates(const QWidget* W)
{
    QStringList L;
#ifdef SORVIK_HAVE_XLIB
    TDisplay X;
    if (!X.D)
        return L;
    for (unsigned long A : Property<unsigned long>(WindowOf(W), "_NET_WM_STATE", XA_ATOM)) {
        char* Name = XGetAtomName(X.D, static_cast<Atom>(A));
        if (Name) {
            L.append(QString::fromLatin1(Name));
            XFree(Name);
        }
    }
#else
    (void)W;
#endif
    return L;
}

QRect FrameBounds(const QWidget* W)
{
    const QRect Client = W ? W->geometry() : QRect();
#ifdef SORVIK_HAVE_XLIB
    const auto E = Property<unsigned long>(WindowOf(W), "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (E.size() == 4)
        return Client.adjusted(-static_cast<int>(E[0]), -static_cast<int>(E[2]), static_cast<int>(E[1]),
                               static_cast<int>(E[3]));
#endif
    return Client;
}

unsigned long TransientFor(const QWidget* W)
{
#ifdef SORVIK_HAVE_XLIB
    const auto Items = Property<unsigned long>(WindowOf(W), "WM_TRANSIENT_FOR", XA_WINDOW);
    return Items.empty() ? 0 : Items.front();
#else
    (void)W;
    return 0;
#endif
}

bool RequestClose(long long Pid)
{
#ifdef SORVIK_HAVE_XLIB
    TDisplay X;
    if (!X.D)
        return false;
    for (unsigned long W : Property<unsigned long>(DefaultRootWindow(X.D), "_NET_CLIENT_LIST", XA_WINDOW)) {
        const auto Owner = Property<unsigned long>(W, "_NET_WM_PID", XA_CARDINAL);
        if (Owner.empty() || static_cast<long long>(Owner.front()) != Pid)
            continue;
        XEvent E{};
        E.xclient.type = ClientMessage;
        E.xclient.window = W;
        E.xclient.message_type = XInternAtom(X.D, "WM_PROTOCOLS", False);
        E.xclient.format = 32;
        E.xclient.data.l[0] = static_cast<long>(XInternAtom(X.D, "WM_DELETE_WINDOW", False));
        E.xclient.data.l[1] = CurrentTime;
        XSendEvent(X.D, W, False, NoEventMask, &E);
        XFlush(X.D);
        return true;
    }
#else
    (void)Pid;
#endif
    return false;
}

#ifdef SORVIK_HAVE_XLIB
namespace {

// A request to the window manager about W, as pagers and title bars send it.
void SendToWindowManager(const QWidget* W, const char* Type, std::initializer_list<long> Data)
{
    TDisplay X;
    if (!X.D || !WindowOf(W))
        return;
    XEvent E{};
    E.xclient.type = ClientMessage;
    E.xclient.window = WindowOf(W);
    E.xclient.message_type = XInternAtom(X.D, Type, False);
    E.xclient.format = 32;
    int I = 0;
    for (long Value : Data)
        E.xclient.data.l[I++] = Value;
    XSendEvent(X.D, DefaultRootWindow(X.D), False, SubstructureRedirectMask | SubstructureNotifyMask, &E);
    XFlush(X.D);
}

} // namespace
#endif

void RequestClose(const QWidget* W)
{
#ifdef SORVIK_HAVE_XLIB
    // Time 0 (current), source 2: a user's request.
    SendToWindowManager(W, "_NET_CLOSE_WINDOW", {0, 2});
#else
    (void)W;
#endif
}

void RequestMaximized(const QWidget* W, bool Maximized)
{
#ifdef SORVIK_HAVE_XLIB
    TDisplay X;
    if (!X.D)
        return;
    const long Vert = static_cast<long>(XInternAtom(X.D, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    const long Horz = static_cast<long>(XInternAtom(X.D, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    // _NET_WM_STATE_ADD 1, _REMOVE 0; source 2: a user's request.
    SendToWindowManager(W, "_NET_WM_STATE", {Maximized ? 1 : 0, Vert, Horz, 2});
#else
    (void)W;
    (void)Maximized;
#endif
}

} // namespace journey
