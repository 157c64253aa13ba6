// The files read at start (Storage.ini, Settings.ini, the language files and
// their flags) come from folders the user may fill with anything: a FIFO
// would block the start for ever, a link to /dev/zero would fill the memory.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>

// The largest start file read. The biggest of them is a language file: a
// complete translation of this program is some 13 KB, and catalogues of the
// largest programs stay under a few MB; 16 MiB leaves any real catalogue,
// flag picture or settings file room while a mistaken file costs at most
// that much memory for a moment.
inline constexpr std::int64_t StartFileLimit = 16 * 1024 * 1024;

// Data := the whole content of FileName when it is a regular file of at most
// StartFileLimit bytes, opened without blocking. False for anything else (a
// missing file, a folder, a FIFO, a device, a larger file, a failed read),
// which counts as unreadable; Data is then empty.
bool ReadStartFile(const QString& FileName, QByteArray& Data);
// The same for a name in the system's own bytes.
bool ReadStartFile(const std::string& FileName, QByteArray& Data);
