#include "platform/uPlatformFiles.h"

#include "platform/uUnbufferedOutput.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

SORVIK_RESOURCESTRING(rtlconsts, SNotARegularFile, "Not a regular file");

bool IsPathDelimiter(char C)
{
    return C != '\0' && std::strchr(PathDelimiters, C) != nullptr;
}

bool EndsWithPathDelimiter(const std::string& Path)
{
    return !Path.empty() && IsPathDelimiter(Path.back());
}

std::string IncludeTrailingPathDelimiter(const std::string& Path)
{
    return EndsWithPathDelimiter(Path) ? Path : Path + PathDelimiters[0];
}

std::size_t FileNameStart(const std::string& Path)
{
    const std::size_t Last = Path.find_last_of(PathDelimiters);
    return Last == std::string::npos ? 0 : Last + 1;
}

std::filesystem::path SystemPath(const std::string& Name)
{
    return std::filesystem::path(std::u8string(Name.begin(), Name.end()));
}

std::string SystemPathName(const std::filesystem::path& Path)
{
    const std::u8string Name = Path.u8string();
    return std::string(Name.begin(), Name.end());
}

bool PathExists(const std::string& Name)
{
    std::error_code Error;
    return std::filesystem::exists(SystemPath(Name), Error);
}

bool IsRegularFile(const std::string& Name)
{
    std::error_code Error;
    return std::filesystem::is_regular_file(SystemPath(Name), Error);
}

std::string AbsolutePath(const std::string& Name)
{
    const std::filesystem::path Path = SystemPath(Name);
    if (Path.is_absolute())
        return Name;
    std::error_code Error;
    const std::filesystem::path Absolute = std::filesystem::absolute(Path, Error);
    return Error ? Name : SystemPathName(Absolute);
}

bool ForceDirectories(const std::string& Folder, std::string& Reason)
{
    std::error_code Error;
    std::filesystem::create_directories(SystemPath(Folder), Error);
    if (!Error)
        return true;
    // create_directories reports a folder that already exists only on some
    // library versions; what counts is that it is there now.
    if (std::filesystem::is_directory(SystemPath(Folder)))
        return true;
    Reason = Error.message();
    return false;
}

std::string TemporaryNameBeside(const std::string& Target)
{
    static std::atomic<unsigned> Serial{0};
    static thread_local std::mt19937 Random{std::random_device{}()};
    char Name[32];
    std::snprintf(Name, sizeof Name, ".sorvik-%08x.tmp",
                  static_cast<unsigned>(Random() ^ (Serial++ * 0x9E3779B9u)));
    return Target.substr(0, FileNameStart(Target)) + Name;
}

TUnbufferedOutput::int_type TUnbufferedOutput::overflow(int_type C)
{
    if (traits_type::eq_int_type(C, traits_type::eof()))
        return traits_type::not_eof(C);
    const char Byte = traits_type::to_char_type(C);
    return WriteAll(&Byte, 1) ? C : traits_type::eof();
}

std::streamsize TUnbufferedOutput::xsputn(const char* Data, std::streamsize Count)
{
    return WriteAll(Data, static_cast<std::size_t>(Count)) ? Count : 0;
}
