// A temporary folder for the file-property tests, and file times from Unix times.
#pragma once

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

}  // namespace
