#include "platform/qt/uPlatformPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

namespace {

std::string NativeUtf8(const QString& Path)
{
    if (Path.isEmpty())
        return {};
    return QDir::toNativeSeparators(QDir::cleanPath(Path)).toStdString();
}

std::string& AppFilePathOverride()
{
    static std::string Path;
    return Path;
}

} // namespace

std::string PlatformAppFilePath()
{
    if (!AppFilePathOverride().empty())
        return AppFilePathOverride();
    return NativeUtf8(QCoreApplication::applicationFilePath());
}

void SetPlatformAppFilePath(const std::string& Path)
{
    AppFilePathOverride() = Path;
}

std::string PlatformUserDocumentsDir()
{
    return NativeUtf8(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

std::string PlatformPublicDocumentsDir()
{
#ifdef Q_OS_WIN
    // Windows keeps the shared documents under %PUBLIC%\Documents.
    const QString Public = qEnvironmentVariable("PUBLIC");
    if (!Public.isEmpty() && QFileInfo(Public + "/Documents").isDir())
        return NativeUtf8(Public + "/Documents");
#endif
    return {};
}

std::string PlatformUserHomeDir()
{
    return NativeUtf8(QDir::homePath());
}

std::string PlatformCurrentDir()
{
    return QDir::toNativeSeparators(QDir::currentPath()).toStdString();
}
