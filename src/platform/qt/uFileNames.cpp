#include "platform/qt/uFileNames.h"

#include <QDir>

std::string NativeFileName(const QString& Path)
{
    if (Path.isEmpty())
        return {};
    return QStringToFileName(QDir::toNativeSeparators(QDir::cleanPath(Path)));
}
