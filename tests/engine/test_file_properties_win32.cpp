#include "engine/uFileProperties.h"

#include "engine/file_properties_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <windows.h>

namespace fs = std::filesystem;

namespace {

// The zone the test run sets (TZ=Europe/Berlin): one hour ahead of UTC in
// winter, two in summer.
bool InBerlinTime()
{
    TIME_ZONE_INFORMATION Zone;
    const DWORD Kind = GetTimeZoneInformation(&Zone);
    return Kind != TIME_ZONE_ID_INVALID && Zone.Bias == -60 && Zone.DaylightBias == -60;
}

FILETIME ToFileTime(std::uint64_t Ticks)
{
    FILETIME T;
    T.dwLowDateTime = static_cast<DWORD>(Ticks);
    T.dwHighDateTime = static_cast<DWORD>(Ticks >> 32);
    return T;
}

void SetTimes(const std::string& Name, std::uint64_t Created, std::uint64_t Modified)
{
    const std::wstring Wide = fs::path(Name).wstring();
    HANDLE H = CreateFileW(Wide.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(H, INVALID_HANDLE_VALUE);
    const FILETIME C = ToFileTime(Created);
    const FILETIME M = ToFileTime(Modified);
    EXPECT_TRUE(SetFileTime(H, &C, nullptr, &M));
    CloseHandle(H);
}

}  // namespace

TEST(WindowsFileTimes, FollowTheRuleOfTheirDate)
{
    if (!InBerlinTime())
        GTEST_SKIP() << "needs TZ=Europe/Berlin, as the test run sets";
    for (const auto& C : BerlinTimeCases)
        EXPECT_EQ(FileTimeToDateTime(UnixToFileTime(C.Seconds, C.Millisecond)), C.Local) << C.Seconds;
}

TEST(WindowsFileTimes, CreatedAndModifiedOfASummerAndAWinterFile)
{
    if (!InBerlinTime())
        GTEST_SKIP() << "needs TZ=Europe/Berlin, as the test run sets";
    TempDir Dir;
    const std::string Winter = Dir.File("winter.txt", "x");
    const std::string Summer = Dir.File("summer.txt", "x");
    // Created in one season, written in the other.
    const struct {
        std::string Name;
        std::uint64_t Created, Modified;
        TLocalDateTime LocalCreated, LocalModified;
    } Cases[] = {
        {Winter, UnixToFileTime(1721044800, 456), UnixToFileTime(1705320000, 123),
         {2024, 7, 15, 14, 0, 0, 456}, {2024, 1, 15, 13, 0, 0, 123}},
        {Summer, UnixToFileTime(1705320000, 7), UnixToFileTime(1721044800, 456),
         {2024, 1, 15, 13, 0, 0, 7}, {2024, 7, 15, 14, 0, 0, 456}},
    };
    for (const auto& C : Cases) {
        SetTimes(C.Name, C.Created, C.Modified);
        TFileProperties Props;
        ASSERT_TRUE(GetFileProperties(C.Name, Props));
        EXPECT_EQ(Props.Modified, C.LocalModified) << C.Name;
        // A file system without a settable creation time (Wine's on Linux)
        // keeps its own; whatever it is, it is converted by its own date.
        WIN32_FILE_ATTRIBUTE_DATA Data;
        ASSERT_TRUE(GetFileAttributesExW(fs::path(C.Name).wstring().c_str(), GetFileExInfoStandard, &Data));
        const std::uint64_t Created =
            (std::uint64_t(Data.ftCreationTime.dwHighDateTime) << 32) | Data.ftCreationTime.dwLowDateTime;
        if (Created == C.Created)
            EXPECT_EQ(Props.Created, C.LocalCreated) << C.Name;
        else
            EXPECT_EQ(Props.Created, FileTimeToDateTime(Created)) << C.Name;
    }
}

TEST(WindowsFileProperties, SizesAndTheSystemsAttributeBits)
{
    TempDir Dir;
    const std::string Plain = Dir.File("plain.bin", "12345");
    const std::string ReadOnly = Dir.File("readonly.txt", "r");
    const std::string Hidden = Dir.File("hidden.txt", "hh");
    const std::string System = Dir.File("system.txt", "sss");
    fs::create_directory(Dir.Path / "sub");
    const auto Set = [](const std::string& Name, DWORD Bits) {
        ASSERT_TRUE(SetFileAttributesW(fs::path(Name).wstring().c_str(), Bits));
    };
    Set(Plain, FILE_ATTRIBUTE_ARCHIVE);
    Set(ReadOnly, FILE_ATTRIBUTE_READONLY);
    Set(Hidden, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    Set(System, FILE_ATTRIBUTE_SYSTEM);

    struct Case {
        std::string Path;
        std::uint32_t Bits;
        const char* Letters;
        std::int64_t Size;   // -1: not checked
    };
    const Case Cases[] = {
        {Plain, faArchive, "-----A-", 5},
        {ReadOnly, faReadOnly, "R------", 1},
        {Hidden, faHidden | faArchive, "-H---A-", 2},
        {System, faSystem, "--S----", 3},
        {(Dir.Path / "sub").string(), faDirectory, "----D--", -1},
        {(Dir.Path / "sub").string() + "\\", faDirectory, "----D--", -1},
    };
    for (const auto& C : Cases) {
        TFileProperties Props;
        ASSERT_TRUE(GetFileProperties(C.Path, Props)) << C.Path;
        // The system's own bits, as FILE_ATTRIBUTE values. Wine marks every
        // file for archiving, so that bit is only looked at where it was set.
        const std::uint32_t Archive = (C.Bits & faArchive) ? 0 : faArchive;
        EXPECT_EQ(Props.Attributes & 0x437 & ~Archive, C.Bits) << C.Path;
        EXPECT_EQ(AttributesToText(Props.Attributes & ~Archive), C.Letters) << C.Path;
        if (C.Size >= 0) {
            EXPECT_EQ(Props.Size, C.Size) << C.Path;
        }
        EXPECT_FALSE(Props.Modified.IsZero());
        EXPECT_FALSE(Props.Created.IsZero());
    }
    Set(ReadOnly, FILE_ATTRIBUTE_NORMAL);  // so that the folder can be removed
}
