#include "platform/qt/uPlatformPaths.h"

#include "platform/qt/uFileNames.h"
#include "platform/uPlatformFiles.h"

#include <QDir>
#include <QStandardPaths>
#include <QString>

#include <filesystem>
#include <system_error>

namespace {

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
    return SystemAppFilePath();
}

void SetPlatformAppFilePath(const std::string& Path)
{
    AppFilePathOverride() = Path;
}

std::string PlatformUserDocumentsDir()
{
    // Qt names the folder within the home folder by its own text of that
    // folder, which has lost the bytes of a name that is not UTF-8: the
    // part within is put after the home folder's own name.
    const QString Documents = QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    const QString Home = QDir::cleanPath(QDir::homePath());
    if (Documents == Home || Documents.startsWith(Home + QLatin1Char('/')))
        return NativeFileName(FileNameToQString(PlatformUserHomeDir()) + Documents.mid(Home.size()));
    return NativeFileName(Documents);
}

std::string PlatformCurrentDir()
{
    std::error_code Error;
    const std::filesystem::path Current = std::filesystem::current_path(Error);
    return Error ? std::string() : SystemPathName(Current);
}
