// File names between the system's bytes and Qt's text. On Unix a name is
// any string of bytes; one that is not valid UTF-8 would lose its bytes in
// QString::fromLocal8Bit and could no longer be opened. Each byte outside a
// valid sequence is kept as the lone surrogate U+DC80..U+DCFF instead, so
// that the text turns back into the same bytes. On Windows names are UTF-8
// text already.
#pragma once

#include <QString>
#include <QUrl>

#include <string>

QString FileNameToQString(const std::string& Name);
std::string QStringToFileName(const QString& Name);

// One argument of main()'s argv as the program's text: on Unix a path in
// it keeps its bytes, on Windows it is in the system's 8-bit code page.
QString CommandLineArgument(const char* Argument);

// Path cleaned ("a//b/../c" is "a/c") with the system's separators, as a
// file name; empty for an empty path.
std::string NativeFileName(const QString& Path);

// The local file a file URL names, its bytes kept (see above); Url must be
// a local file's.
QString LocalFileFromUrl(const QUrl& Url);
// The file URL of the file AbsoluteName, its bytes kept.
QUrl UrlFromLocalFile(const std::string& AbsoluteName);
