// A file's directory-entry properties: size, times, attribute bits.
#pragma once

#include "digest/uException.h"

#include <cstdint>
#include <string>

// A failed system call, with the system's own text.
SORVIK_EXCEPTION_CLASS(EOSError, Exception);

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

struct TFileProperties {
    std::int64_t Size = 0;
    TLocalDateTime Created;
    TLocalDateTime Modified;
    std::uint32_t Attributes = 0;
    bool Valid = false;
};

// Reads the directory entry of FileName (UTF-8). False, with Props
// untouched, when there is no such entry.
bool GetFileProperties(const std::string& FileName, TFileProperties& Props);

// FileTime: 100-nanosecond intervals since 1601-01-01 UTC. The result is local
// civil time under the rule the time zone has at that date. EOSError when the
// system cannot convert it.
TLocalDateTime FileTimeToDateTime(std::uint64_t FileTime);

// Seven letters R H S V D A L, a dash for each bit that is not set.
std::string AttributesToText(std::uint32_t Attributes);

// "YYYY-MM-DD HH:MM:SS"; the empty text for the absent (zero) time.
std::string DateTimeToText(const TLocalDateTime& DateTime);
