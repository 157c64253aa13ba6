// Desktop services behind the shell and input helpers: key state, mouse
// position, the virtual desktop and the default handler for documents and web
// addresses. The key state and the opener can be replaced, so that tests never
// depend on a real keyboard or start a program.
#pragma once

#include <QPoint>
#include <QRect>
#include <QUrl>

#include <functional>
#include <string>

using TModifiersSource = std::function<Qt::KeyboardModifiers()>;
using TUrlOpener = std::function<bool(const QUrl&)>;

// The Shift/Ctrl/... state at the moment of the call, not as of the last event.
Qt::KeyboardModifiers PlatformKeyboardModifiers();
// An empty function restores the real keyboard. Returns the previous source.
TModifiersSource SetKeyboardModifiersSource(TModifiersSource Source);

// The mouse pointer in screen coordinates; (0, 0) without a screen.
QPoint PlatformCursorPos();

// The bounding rectangle of all monitors (not the work area); empty without
// a screen.
QRect PlatformVirtualDesktop();

// Hands a URL to the desktop's default handler. An empty function restores
// QDesktopServices. Returns the previous opener.
TUrlOpener SetUrlOpener(TUrlOpener Opener);

// Opens a local file or folder, or a web address, with the default handler.
// A local path that does not exist fails without asking the desktop: on Linux
// the desktop reports success as soon as a handler has started, even for a
// missing file.
bool PlatformOpenPath(const std::string& Path);
