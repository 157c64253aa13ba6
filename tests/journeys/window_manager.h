// A small window manager on the journey's X server, and what it is told about
// a window: its title, its states, the window it stays above.
#pragma once

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

class QWidget;

namespace journey {

// Runs openbox for as long as the object lives.
class TWindowManager {
public:
    TWindowManager();
    ~TWindowManager();
    TWindowManager(const TWindowManager&) = delete;
    TWindowManager& operator=(const TWindowManager&) = delete;

    // The window manager has announced itself on the root window.
    static bool Running();

private:
    QProcess FProcess;
};

// The window's _NET_WM_NAME, the title the window manager shows.
QString WindowName(const QWidget* W);
// WM_CLASS: instance and class name.
QStringList WindowClass(const QWidget* W);
// The atoms of _NET_WM_STATE, by name ("_NET_WM_STATE_ABOVE", ...).
QStringList WindowStates(const QWidget* W);
// WM_TRANSIENT_FOR; 0 when the window is transient for nothing.
unsigned long TransientFor(const QWidget* W);

// Journeys that need the window manager: it runs for the whole suite.
class TWindowManagerSuite {
public:
    static void Start();
    static void Stop();

private:
    static std::unique_ptr<TWindowManager>& Instance();
};

} // namespace journey
