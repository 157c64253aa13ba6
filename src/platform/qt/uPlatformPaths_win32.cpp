#include "platform/qt/uPlatformPaths.h"

#include "platform/qt/uFileNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QtGlobal>

// Qt's texts of the system's names are whole here: the system names files
// in UTF-16.

std::string SystemAppFilePath()
{
    return NativeFileName(QCoreApplication::applicationFilePath());
}

std::string PlatformUserHomeDir()
{
    return NativeFileName(QDir::homePath());
}

std::string PlatformPublicDocumentsDir()
{
    // Windows keeps the shared documents under %PUBLIC%\Documents.
    const QString Public = qEnvironmentVariable("PUBLIC");
    if (!Public.isEmpty() && QFileInfo(Public + "/Documents").isDir())
        return NativeFileName(Public + "/Documents");
    return {};
}

std::string PlatformEnvironmentVariable(const std::string& Name)
{
    return QStringToFileName(qEnvironmentVariable(Name.c_str()));
}
