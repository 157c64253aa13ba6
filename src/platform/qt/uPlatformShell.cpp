#include "platform/qt/uPlatformShell.h"

#include "platform/qt/uFileNames.h"
#include "platform/uPlatformFiles.h"

#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>

#include <utility>

namespace {

TModifiersSource& ModifiersSource()
{
    static TModifiersSource Source;
    return Source;
}

TUrlOpener& UrlOpener()
{
    static TUrlOpener Opener;
    return Opener;
}

bool OpenUrl(const QUrl& Url)
{
    if (UrlOpener())
        return UrlOpener()(Url);
    return QDesktopServices::openUrl(Url);
}

// A file or folder by its name's bytes (see uFileNames.h).
bool OpenLocal(const std::string& Name)
{
    if (!PathExists(Name))
        return false;
    return OpenUrl(UrlFromLocalFile(NativeFileName(FileNameToQString(AbsolutePath(Name)))));
}

} // namespace

Qt::KeyboardModifiers PlatformKeyboardModifiers()
{
    if (ModifiersSource())
        return ModifiersSource()();
    return QGuiApplication::queryKeyboardModifiers();
}

TModifiersSource SetKeyboardModifiersSource(TModifiersSource Source)
{
    return std::exchange(ModifiersSource(), std::move(Source));
}

QPoint PlatformCursorPos()
{
    if (!QGuiApplication::primaryScreen())
        return {0, 0};
    return QCursor::pos();
}

QRect PlatformVirtualDesktop()
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    return Screen ? Screen->virtualGeometry() : QRect();
}

TUrlOpener SetUrlOpener(TUrlOpener Opener)
{
    return std::exchange(UrlOpener(), std::move(Opener));
}

bool PlatformOpenPath(const std::string& Path)
{
    if (Path.empty())
        return false;
    // An existing file wins over a reading as a URL ("a:b" is a fine Linux name).
    if (PathExists(Path))
        return OpenLocal(Path);
    const QUrl Url(FileNameToQString(Path), QUrl::StrictMode);
    // One-letter schemes are Windows drive letters, not URLs.
    if (Url.isValid() && Url.scheme().size() > 1) {
        if (Url.isLocalFile())
            return OpenLocal(QStringToFileName(LocalFileFromUrl(Url)));
        return OpenUrl(Url);
    }
    return false;
}
