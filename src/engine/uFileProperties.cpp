#include "engine/uFileProperties.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

constexpr std::uint64_t FileTimeTicksPerSecond = 10000000;
// Seconds from 1601-01-01 to 1970-01-01, both UTC.
constexpr std::int64_t FileTimeUnixOffset = 11644473600;

#ifdef _WIN32

[[noreturn]] void RaiseLastOSError()
{
    const DWORD Code = GetLastError();
    char* Text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, Code, 0, reinterpret_cast<LPSTR>(&Text), 0, nullptr);
    std::string Message = "System error " + std::to_string(Code) + (Text ? std::string(": ") + Text : std::string());
    if (Text)
        LocalFree(Text);
    while (!Message.empty() && (Message.back() == '\n' || Message.back() == '\r'))
        Message.pop_back();
    throw EOSError(Message);
}

std::wstring Utf8ToWide(const std::string& S)
{
    if (S.empty())
        return {};
    const int Length = MultiByteToWideChar(CP_UTF8, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
    std::wstring Result(static_cast<std::size_t>(Length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, S.data(), static_cast<int>(S.size()), Result.data(), Length);
    return Result;
}

std::uint64_t ToFileTime(const FILETIME& T)
{
    return (std::uint64_t(T.dwHighDateTime) << 32) | T.dwLowDateTime;
}

#else

// The Windows attribute bits of a directory entry, for the letters the window
// shows. Linux has no such bits, so they are derived:
//   read-only      the owner may not write (as Samba maps it)
//   hidden         the name begins with a dot ("." and ".." excepted)
//   system         a device, FIFO or socket
//   volume label   never
//   directory      the entry is a folder, or a link to one
//   archive        never (no such notion)
//   reparse point  the entry is a symbolic link
// EntryMode is the entry itself (not followed), TargetMode what it leads to.
std::uint32_t PosixAttributes(const std::string& FileName, mode_t EntryMode, mode_t TargetMode)
{
    std::uint32_t Result = 0;
    if (!S_ISLNK(TargetMode) && (TargetMode & S_IWUSR) == 0)
        Result |= faReadOnly;

    std::string_view Name(FileName);
    while (Name.size() > 1 && Name.back() == '/')
        Name.remove_suffix(1);
    if (const auto Slash = Name.rfind('/'); Slash != std::string_view::npos)
        Name.remove_prefix(Slash + 1);
    if (Name.size() > 1 && Name[0] == '.' && Name != "..")
        Result |= faHidden;

    if (S_ISCHR(TargetMode) || S_ISBLK(TargetMode) || S_ISFIFO(TargetMode) || S_ISSOCK(TargetMode))
        Result |= faSystem;
    if (S_ISDIR(TargetMode))
        Result |= faDirectory;
    if (S_ISLNK(EntryMode))
        Result |= faReparsePoint;
    return Result;
}

// A time before 1601 has no file time; it reads as absent.
TLocalDateTime UnixTimeToDateTime(std::int64_t Seconds, std::uint32_t Nanoseconds)
{
    if (Seconds < -FileTimeUnixOffset)
        return {};
    const auto Ticks = std::uint64_t(Seconds + FileTimeUnixOffset) * FileTimeTicksPerSecond + Nanoseconds / 100;
    return FileTimeToDateTime(Ticks);
}

#endif

}  // namespace

TLocalDateTime FileTimeToDateTime(std::uint64_t FileTime)
{
    const auto Millisecond = static_cast<std::int32_t>((FileTime % FileTimeTicksPerSecond) / 10000);
#ifdef _WIN32
    FILETIME Time;
    Time.dwLowDateTime = static_cast<DWORD>(FileTime);
    Time.dwHighDateTime = static_cast<DWORD>(FileTime >> 32);
    SYSTEMTIME Utc;
    SYSTEMTIME Local;
    if (!FileTimeToSystemTime(&Time, &Utc))
        RaiseLastOSError();
    // The zone's rule at that date, not the offset in force today.
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &Utc, &Local))
        RaiseLastOSError();
    return {Local.wYear, Local.wMonth, Local.wDay, Local.wHour, Local.wMinute, Local.wSecond, Millisecond};
#else
    const std::int64_t Seconds = std::int64_t(FileTime / FileTimeTicksPerSecond) - FileTimeUnixOffset;
    const auto Time = static_cast<std::time_t>(Seconds);
    std::tm Local{};
    if (static_cast<std::int64_t>(Time) != Seconds)
        throw EOSError(std::strerror(EOVERFLOW));
    // localtime_r applies the zone's rule at that date.
    if (!localtime_r(&Time, &Local))
        throw EOSError(std::strerror(errno ? errno : EOVERFLOW));
    return {Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday, Local.tm_hour, Local.tm_min, Local.tm_sec,
            Millisecond};
#endif
}

bool GetFileProperties(const std::string& FileName, TFileProperties& Props)
{
#ifdef _WIN32
    WIN32_FIND_DATAW Data;
    const HANDLE Search =
        FindFirstFileExW(Utf8ToWide(FileName).c_str(), FindExInfoBasic, &Data, FindExSearchNameMatch, nullptr, 0);
    if (Search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(Search);
    TFileProperties Result;
    Result.Size = static_cast<std::int64_t>((std::uint64_t(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow);
    Result.Attributes = Data.dwFileAttributes;
    Result.Created = FileTimeToDateTime(ToFileTime(Data.ftCreationTime));
    Result.Modified = FileTimeToDateTime(ToFileTime(Data.ftLastWriteTime));
    Result.Valid = true;
    Props = Result;
    return true;
#elif defined(__linux__)
    constexpr unsigned Mask = STATX_BASIC_STATS | STATX_BTIME;
    struct statx Entry {};
    if (FileName.empty() || statx(AT_FDCWD, FileName.c_str(), AT_SYMLINK_NOFOLLOW, Mask, &Entry) != 0)
        return false;
    // A link reports what it leads to (that is what gets hashed); a dangling
    // one reports itself.
    struct statx Target = Entry;
    if (S_ISLNK(Entry.stx_mode)) {
        struct statx Followed {};
        if (statx(AT_FDCWD, FileName.c_str(), 0, Mask, &Followed) == 0)
            Target = Followed;
    }
    // Without a birth time on the file system the status-change time stands in.
    const auto& Birth = (Target.stx_mask & STATX_BTIME) ? Target.stx_btime : Target.stx_ctime;
    TFileProperties Result;
    Result.Size = static_cast<std::int64_t>(Target.stx_size);
    Result.Attributes = PosixAttributes(FileName, Entry.stx_mode, Target.stx_mode);
    Result.Created = UnixTimeToDateTime(Birth.tv_sec, Birth.tv_nsec);
    Result.Modified = UnixTimeToDateTime(Target.stx_mtime.tv_sec, Target.stx_mtime.tv_nsec);
    Result.Valid = true;
    Props = Result;
    return true;
#else
    struct stat Entry {};
    if (FileName.empty() || lstat(FileName.c_str(), &Entry) != 0)
        return false;
    struct stat Target = Entry;
    if (S_ISLNK(Entry.st_mode)) {
        struct stat Followed {};
        if (stat(FileName.c_str(), &Followed) == 0)
            Target = Followed;
    }
    TFileProperties Result;
    Result.Size = static_cast<std::int64_t>(Target.st_size);
    Result.Attributes = PosixAttributes(FileName, Entry.st_mode, Target.st_mode);
    Result.Created = UnixTimeToDateTime(Target.st_ctime, 0);
    Result.Modified = UnixTimeToDateTime(Target.st_mtime, 0);
    Result.Valid = true;
    Props = Result;
    return true;
#endif
}

std::string AttributesToText(std::uint32_t Attributes)
{
    static constexpr struct {
        std::uint32_t Bit;
        char Letter;
    } Letters[] = {
        {faReadOnly, 'R'}, {faHidden, 'H'},  {faSystem, 'S'},        {faVolumeLabel, 'V'},
        {faDirectory, 'D'}, {faArchive, 'A'}, {faReparsePoint, 'L'},
    };
    std::string Result;
    for (const auto& L : Letters)
        Result += (Attributes & L.Bit) ? L.Letter : '-';
    return Result;
}

std::string DateTimeToText(const TLocalDateTime& DateTime)
{
    if (DateTime.IsZero())
        return {};
    char Text[64];
    std::snprintf(Text, sizeof Text, "%04d-%02d-%02d %02d:%02d:%02d", DateTime.Year, DateTime.Month, DateTime.Day,
                  DateTime.Hour, DateTime.Minute, DateTime.Second);
    return Text;
}
