// A temporary folder for the file-property tests, and file times from Unix times.
#pragma once

#include "platform/uPlatformFiles.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t UnixToFileTime(std::int64_t Seconds, std::int32_t Millisecond = 0)
{
    return std::uint64_t(Seconds + 11644473600) * 10000000 + std::uint64_t(Millisecond) * 10000;
}

class TempDir {
public:
    TempDir()
    {
        Path = fs::temp_directory_path() / ("sorvik-props-" + std::to_string(std::random_device{}()) + "-" + std::to_string(++Serial));
        fs::remove_all(Path);
        fs::create_directories(Path);
    }
    ~TempDir()
    {
        std::error_code Ignored;
        fs::permissions(Path, fs::perms::owner_all, fs::perm_options::add, Ignored);
        fs::remove_all(Path, Ignored);
    }
    std::string File(const std::string& Name, const std::string& Content = "") const
    {
        const auto P = Path / Name;
        std::ofstream(P, std::ios::binary) << Content;
        return P.string();
    }
    fs::path Path;

private:
    static inline int Serial = 0;
};

// Berlin's local time at moments either side of its changes to and from
// daylight-saving time in 2024, as each system must convert them.
struct TBerlinTimeCase {
    std::int64_t Seconds;
    std::int32_t Millisecond;
    TLocalDateTime Local;
};
const TBerlinTimeCase BerlinTimeCases[] = {
    {1705320000, 123, {2024, 1, 15, 13, 0, 0, 123}},   // winter: +1
    {1721044800, 456, {2024, 7, 15, 14, 0, 0, 456}},   // summer: +2
    {1711846799, 999, {2024, 3, 31, 1, 59, 59, 999}},  // last moment of standard time
    {1711846800, 0, {2024, 3, 31, 3, 0, 0, 0}},        // first of daylight-saving time
    {1729990800, 0, {2024, 10, 27, 2, 0, 0, 0}},       // the hour repeats in standard time
    {0, 0, {1970, 1, 1, 1, 0, 0, 0}},                  // the epoch is a real time
};

}  // namespace
