#include "platform/qt/uFileNames.h"

#include <QDir>

// Names are UTF-8 text here: every name is valid UTF-16 for the system.
QString FileNameToQString(const std::string& Name) { return QString::fromStdString(Name); }
std::string QStringToFileName(const QString& Name) { return Name.toStdString(); }

QString CommandLineArgument(const char* Argument) { return QString::fromLocal8Bit(Argument); }

QString LocalFileFromUrl(const QUrl& Url) { return QDir::toNativeSeparators(Url.toLocalFile()); }

QUrl UrlFromLocalFile(const std::string& AbsoluteName) { return QUrl::fromLocalFile(FileNameToQString(AbsoluteName)); }
