#include "platform/qt/uPlatformShell.h"

#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
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

bool OpenLocal(const QString& Path)
{
    const QFileInfo Info(Path);
    if (!Info.exists())
        return false;
    return OpenUrl(QUrl::fromLocalFile(Info.absoluteFilePath()));
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
    const QString Text = QString::fromStdString(Path);
    // An existing file wins over a reading as a URL ("a:b" is a fine Linux name).
    if (QFileInfo::exists(Text))
        return OpenLocal(Text);
    const QUrl Url(Text, QUrl::StrictMode);
    // One-letter schemes are Windows drive letters, not URLs.
    if (Url.isValid() && Url.scheme().size() > 1) {
        if (Url.isLocalFile())
            return OpenLocal(Url.toLocalFile());
        return OpenUrl(Url);
    }
    return false;
}
