// The files as the system gives them: a file open for reading with others
// denied writing, a file replaced by a new one, a directory entry, a file
// time as local civil time, folders with their parents. Names are UTF-8;
// failures carry the system's own reason text, or this layer's own
// translatable one where the system has none.
#pragma once

#include "platform/uResourceStrings.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>

// Characters that part a path into folders and a name on this system; the
// first is the one this program puts between a folder and a name. Windows
// counts "/" and the drive's colon too: "C:name" is "name" in the folder
// that "C:" names, so a folder that ends with the colon takes a name as it
// is, and the name of "C:name" starts after the colon.
extern const char* const PathDelimiters;
// How this system ends the lines of its own text files (the settings).
extern const char* const TextLineBreak;

bool IsPathDelimiter(char C);
bool EndsWithPathDelimiter(const std::string& Path);
// Path followed by the delimiter unless it ends with one already.
std::string IncludeTrailingPathDelimiter(const std::string& Path);
// Where the name of Path starts: after its last delimiter, 0 without one.
std::size_t FileNameStart(const std::string& Path);

// The reason given when a name opened for reading is a FIFO, a device or a
// socket: the system opens those without complaint.
extern TResourceString SNotARegularFile;

// A name as std::filesystem takes it, and back: on Windows from UTF-8 to the
// system's UTF-16 and back, elsewhere the same bytes, also those of a name
// that is not valid UTF-8.
std::filesystem::path SystemPath(const std::string& Name);
std::string SystemPathName(const std::filesystem::path& Path);
// Whether Name has an entry, a link followed (a dangling link has none).
bool PathExists(const std::string& Name);
// Whether Name is a regular file, a link followed.
bool IsRegularFile(const std::string& Name);
// Name made absolute against the current folder as the system does it (on
// Windows "D:x" against drive D's own current folder); unchanged when it is
// absolute already or the current folder cannot be known.
std::string AbsolutePath(const std::string& Name);

// A local civil date and time to the millisecond. All zero stands for an
// absent time; every real time has a year of at least 1601.
struct TLocalDateTime {
    std::int32_t Year = 0;
    std::int32_t Month = 0;    // 1 to 12
    std::int32_t Day = 0;      // 1 to 31
    std::int32_t Hour = 0;
    std::int32_t Minute = 0;
    std::int32_t Second = 0;
    std::int32_t Millisecond = 0;

    bool IsZero() const { return *this == TLocalDateTime{}; }
    bool operator==(const TLocalDateTime&) const = default;
};

// Windows FILE_ATTRIBUTE values; every platform reports these.
inline constexpr std::uint32_t faReadOnly = 0x1;
inline constexpr std::uint32_t faHidden = 0x2;
inline constexpr std::uint32_t faSystem = 0x4;
inline constexpr std::uint32_t faVolumeLabel = 0x8;
inline constexpr std::uint32_t faDirectory = 0x10;
inline constexpr std::uint32_t faArchive = 0x20;
inline constexpr std::uint32_t faReparsePoint = 0x400;

// A directory entry. Times are file times: 100-nanosecond intervals since
// 1601-01-01 UTC; absent when the system has none that late.
struct TDirectoryEntry {
    std::int64_t Size = 0;
    std::uint32_t Attributes = 0;
    std::optional<std::uint64_t> Created;
    std::optional<std::uint64_t> Modified;
};

// False when FileName has no directory entry. On POSIX a link reports what
// it leads to, with faReparsePoint set, and a dangling link reports itself;
// Windows reports the link's own entry.
bool ReadDirectoryEntry(const std::string& FileName, TDirectoryEntry& Entry);

// What a path names, links followed: an empty path, a missing one and a
// dangling link name nothing; a FIFO or a device is a file here. A path
// longer than the system takes whole is reached a part at a time.
enum class TPathKind { pkNothing, pkFolder, pkFile };
TPathKind PathKind(const std::string& Path);

// Local civil time under the rule the time zone has at that date. False,
// with the system's reason, when the system cannot convert it.
bool FileTimeToLocalTime(std::uint64_t FileTime, TLocalDateTime& Local, std::string& Reason);

// Creates Folder with every missing parent. False, with the system's
// reason, when it cannot; true when it exists already as a folder.
bool ForceDirectories(const std::string& Folder, std::string& Reason);

// A regular file open for reading: others may read it but not write it
// while it is open (where the system has sharing modes). Opening never
// blocks: a FIFO, a device, a socket or a folder is refused.
class TSystemFile {
public:
    TSystemFile() = default;
    TSystemFile(const TSystemFile&) = delete;
    TSystemFile& operator=(const TSystemFile&) = delete;
    ~TSystemFile() { Close(); }

    // False, with the reason, when FileName is no regular file we may read.
    bool OpenForReading(const std::string& FileName, std::string& Reason);
    void Close();
    bool IsOpen() const { return FHandle != InvalidHandle; }
    // The size when the file was opened.
    std::int64_t Size() const { return FSize; }
    // False when that size cannot be the content's: size 0, or a file
    // system that makes its files' content as they are read.
    bool SizeKnown() const { return FSizeKnown; }
    // Reads at most Count bytes: the number read, 0 at the end, -1 when
    // reading fails.
    std::int64_t Read(void* Buffer, std::size_t Count);

private:
    static constexpr std::intptr_t InvalidHandle = -1;
    std::intptr_t FHandle = InvalidHandle;   // a descriptor or a HANDLE
    std::int64_t FSize = 0;
    bool FSizeKnown = true;
};

// Failures of SaveReplacing, each with the system's reason as what():
// the target cannot be created or replaced, its text cannot be written, or
// a copy cannot be read back.
class EFileCreateFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EFileWriteFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EFileReadFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes a file through Write so that a failed save never destroys the
// previous one where the folder allows it: a temporary file beside the
// target, then a replacing rename. An existing file must be one we may
// write (a read-only one is refused); links are followed to their target,
// the old file's mode and owner are kept, a device or FIFO is written to in
// place, and a writable file in a folder that takes no new file (or no
// temporary file at all: no free inode, a quota), or that will not let it be
// replaced (a sticky folder), is overwritten in place once room for the
// whole new text is reserved, on any file system, so that a full disk
// refuses the save before the old text is touched. An exception from Write
// passes through, the old file kept.
void SaveReplacing(const std::string& FileName, const std::function<void(std::ostream&)>& Write);

// A name of fixed length beside Target (any legal target name leaves room
// for it), different at each call.
std::string TemporaryNameBeside(const std::string& Target);
