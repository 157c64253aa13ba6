#include "app/uVersionInfo.h"

#include "uVersionNumbers.h"

#include <gtest/gtest.h>

TEST(VersionText, Vectors)
{
    struct Case {
        TFileVersion Version;
        const char* Expected;
    };
    const Case Cases[] = {
        {{3, 1, 0, 0}, "3.1"},
        {{3, 1, 2, 0}, "3.1.2"},
        {{3, 1, 0, 5}, "3.1.0.5 Beta"},
        {{3, 1, 2, 7}, "3.1.2.7 Beta"},
        {{3, 0, 0, 0}, "3.0"},
        {{0, 0, 0, 0}, "0.0"},
        {{65535, 65535, 65535, 65535}, "65535.65535.65535.65535 Beta"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(GetVersionString(C.Version), C.Expected) << C.Expected;
    EXPECT_EQ(GetVersionSuffix({1, 0, 0, 1}), "Beta");
    EXPECT_EQ(GetVersionSuffix({1, 0, 9, 0}), "");
}

TEST(VersionText, NumbersComeFromTheBuildAndAreReadOnce)
{
    const TFileVersion& First = GetFileVersion();
    EXPECT_EQ(First.Major, SORVIK_VERSION_MAJOR);
    EXPECT_EQ(First.Minor, SORVIK_VERSION_MINOR);
    EXPECT_EQ(First.Release, SORVIK_VERSION_RELEASE);
    EXPECT_EQ(First.Build, SORVIK_VERSION_BUILD);
    EXPECT_EQ(&GetFileVersion(), &First);
    EXPECT_EQ(GetVersionString(), GetVersionString(First));
}

TEST(VersionText, ReleaseDateIsFixed)
{
    EXPECT_EQ(GetReleaseDate(), QDate(2026, 5, 24));
    EXPECT_EQ(GetReleaseDate().toString("yyyy-MM-dd"), "2026-05-24");
}

TEST(VersionText, FixedInfoNeedsALoad)
{
    TVersionInfo Info;
    try {
        Info.GetFixedInfo();
        FAIL() << "no exception";
    } catch (const EVersionInfo& E) {
        EXPECT_EQ(E.Describe(), "[EVersionInfo] Version information is not loaded.");
    }
    Info.Load();
    EXPECT_TRUE(Info.Loaded());
    EXPECT_EQ(Info.GetFixedInfo().FileVersion.Major, SORVIK_VERSION_MAJOR);
    Info.Unload();
    EXPECT_THROW(Info.GetFixedInfo(), EVersionInfo);
}
