// A file's directory-entry properties: size, times, attribute bits.
#pragma once

#include "digest/uException.h"
#include "platform/uPlatformFiles.h"

#include <cstdint>
#include <string>

// A failed system call, with the system's own text.
SORVIK_EXCEPTION_CLASS(EOSError, Exception);

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
