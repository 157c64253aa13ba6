#include "engine/uFileProperties.h"

#include "engine/file_properties_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Fixes the process's time zone for one test and restores it afterwards.
class ZoneTest : public ::testing::Test {
protected:
    void UseZone(const char* Zone)
    {
        setenv("TZ", Zone, 1);
        tzset();
    }
    void SetUp() override
    {
        if (const char* Old = std::getenv("TZ"))
            FOld = Old;
        UseZone("Europe/Berlin");
    }
    void TearDown() override
    {
        if (FOld)
            setenv("TZ", FOld->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> FOld;
};

}  // namespace

TEST_F(ZoneTest, FileTimesFollowTheRuleOfTheirDate)
{
    std::vector<TBerlinTimeCase> Cases(std::begin(BerlinTimeCases), std::end(BerlinTimeCases));
    Cases.push_back({1729990799, 1, {2024, 10, 27, 2, 59, 59, 1}});  // last of daylight-saving time
    for (const auto& C : Cases) {
        const auto Local = FileTimeToDateTime(UnixToFileTime(C.Seconds, C.Millisecond));
        EXPECT_EQ(Local, C.Local) << C.Seconds;
        EXPECT_FALSE(Local.IsZero());
    }
    UseZone("UTC");
    const auto Epoch = FileTimeToDateTime(UnixToFileTime(0));
    EXPECT_EQ(Epoch, (TLocalDateTime{1970, 1, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(Epoch.IsZero());
    EXPECT_EQ(DateTimeToText(Epoch), "1970-01-01 00:00:00");
}

TEST_F(ZoneTest, ModifiedTimeKeepsItsMillisecondsAndSeason)
{
    TempDir Dir;
    const std::string Winter = Dir.File("winter.txt", "x");
    const std::string Summer = Dir.File("summer.txt", "x");
    const timespec WinterTimes[2] = {{1705320000, 0}, {1705320000, 123456789}};
    const timespec SummerTimes[2] = {{1721044800, 0}, {1721044800, 456000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, Winter.c_str(), WinterTimes, 0), 0);
    ASSERT_EQ(utimensat(AT_FDCWD, Summer.c_str(), SummerTimes, 0), 0);

    TFileProperties Props;
    ASSERT_TRUE(GetFileProperties(Winter, Props));
    EXPECT_EQ(Props.Modified, (TLocalDateTime{2024, 1, 15, 13, 0, 0, 123}));
    EXPECT_FALSE(Props.Created.IsZero());
    ASSERT_TRUE(GetFileProperties(Summer, Props));
    EXPECT_EQ(Props.Modified, (TLocalDateTime{2024, 7, 15, 14, 0, 0, 456}));
}

TEST(GetFileProperties, SizesAndAttributeMapping)
{
    TempDir Dir;
    const std::string Plain = Dir.File("plain.bin", "12345");
    const std::string Empty = Dir.File("empty.bin");
    const std::string ReadOnly = Dir.File("readonly.txt", "r");
    fs::permissions(ReadOnly, fs::perms::owner_read | fs::perms::group_read);
    const std::string Hidden = Dir.File(".hidden", "h");
    fs::create_directory(Dir.Path / "sub");
    fs::create_symlink(Plain, Dir.Path / "link");
    fs::create_directory_symlink(Dir.Path / "sub", Dir.Path / "sublink");
    fs::create_symlink(Dir.Path / "gone", Dir.Path / "dangling");
    ASSERT_EQ(mkfifo((Dir.Path / "fifo").c_str(), 0644), 0);

    struct Case {
        std::string Path;
        const char* Letters;
        std::int64_t Size;   // -1: not checked
    };
    const Case Cases[] = {
        {Plain, "-------", 5},
        {Empty, "-------", 0},
        {ReadOnly, "R------", 1},
        {Hidden, "-H-----", 1},
        {(Dir.Path / "sub").string(), "----D--", -1},
        {(Dir.Path / "sub/").string(), "----D--", -1},
        {(Dir.Path / "link").string(), "------L", 5},   // what the link leads to
        {(Dir.Path / "sublink").string(), "----D-L", -1},
        {(Dir.Path / "dangling").string(), "------L", -1},
        {(Dir.Path / "fifo").string(), "--S----", 0},
        {(Dir.Path / "sub" / ".").string(), "----D--", -1},
    };
    for (const auto& C : Cases) {
        TFileProperties Props;
        ASSERT_TRUE(GetFileProperties(C.Path, Props)) << C.Path;
        EXPECT_TRUE(Props.Valid);
        EXPECT_EQ(AttributesToText(Props.Attributes), C.Letters) << C.Path;
        if (C.Size >= 0) {
            EXPECT_EQ(Props.Size, C.Size) << C.Path;
        }
        EXPECT_FALSE(Props.Modified.IsZero());
    }
}

