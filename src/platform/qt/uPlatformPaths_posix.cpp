#include "platform/qt/uPlatformPaths.h"

#include "platform/qt/uFileNames.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QtGlobal>

#include <climits>
#include <unistd.h>

std::string SystemAppFilePath()
{
    // Qt's answer is text, which loses the bytes of a folder name that is not
    // UTF-8; the link names the file by its bytes.
    char Buffer[PATH_MAX];
    const ssize_t Length = ::readlink("/proc/self/exe", Buffer, sizeof Buffer);
    if (Length > 0 && static_cast<std::size_t>(Length) < sizeof Buffer)
        return std::string(Buffer, static_cast<std::size_t>(Length));
    return NativeFileName(QCoreApplication::applicationFilePath());
}

std::string PlatformUserHomeDir()
{
    // As Qt takes it, but by its bytes: HOME, else the root.
    const QByteArray Home = qgetenv("HOME");
    return NativeFileName(Home.isEmpty() ? QDir::rootPath() : FileNameToQString(Home.toStdString()));
}

std::string PlatformPublicDocumentsDir()
{
    return {};
}

std::string PlatformEnvironmentVariable(const std::string& Name)
{
    return qgetenv(Name.c_str()).toStdString();
}
