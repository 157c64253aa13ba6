// A small window manager on the journey's X server, and what it is told about
// a window: its title, its states, the window it stays above.
#pragma once

#include <QRect>
#include <QStringList>

#include <sys/types.h>

class QWidget;

namespace journey {

// Runs openbox for as long as the object lives. Made before the
// QApplication: Qt asks once, when it connects, what the window manager
// supports (the frame extents among it).
class TWindowManager {
public:
    TWindowManager();
    ~TWindowManager();
    TWindowManager(const TWindowManager&) = delete;
    TWindowManager& operator=(const TWindowManager&) = delete;

    // The window manager has announced itself on the root window.
    static bool Running();

private:
    pid_t FPid = -1;
    // A connection of our own for as long as the window manager runs: the
    // X server resets when its last client leaves, and a window manager
    // connecting meanwhile is turned away.
    void* FDisplay = nullptr;
};

// The window's _NET_WM_NAME, the title the window manager shows.
QString WindowName(const QWidget* W);
// WM_CLASS: instance and class name.
QStringList WindowClass(const QWidget* W);
// The atoms of _NET_WM_STATE, by name ("_NET_WM_STATE_ABOVE", ...).
QStringList WindowStates(const QWidget* W);
// The window's frame on the screen: its client area with the window
// manager's _NET_FRAME_EXTENTS around it.
QRect FrameBounds(const QWidget* W);
// WM_TRANSIENT_FOR; 0 when the window is transient for nothing.
unsigned long TransientFor(const QWidget* W);
// Asks the window of process Pid that the window manager lists to close,
// as its close button does (WM_DELETE_WINDOW); false when there is none.
bool RequestClose(long long Pid);
// What the title bar's buttons ask the window manager for: close the window
// (it then sends the window WM_DELETE_WINDOW), maximize it or restore it.
void RequestClose(const QWidget* W);
void RequestMaximized(const QWidget* W, bool Maximized);

} // namespace journey
