#include "engine/uFileProperties.h"
#include "engine/uSorvik.h"

#include "engine/file_properties_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace fs = std::filesystem;

TEST(AttributesToText, Letters)
{
    struct Case {
        std::uint32_t Attributes;
        const char* Text;
    };
    const Case Cases[] = {
        {0, "-------"},   {0x20, "-----A-"}, {0x13, "RH--D--"}, {0x3FF, "RHSVDA-"},
        {0x437, "RHS-DAL"}, {0x7FF, "RHSVDAL"}, {0xFFFFFBC0, "-------"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(AttributesToText(C.Attributes), C.Text) << std::hex << C.Attributes;
}

TEST(DateTimeToText, ZeroIsEmptyOtherwisePadded)
{
    EXPECT_EQ(DateTimeToText({}), "");
    EXPECT_EQ(DateTimeToText({2024, 3, 5, 7, 8, 9, 999}), "2024-03-05 07:08:09");
}

TEST(GetFileProperties, SizeBeyondFourGiB)
{
    TempDir Dir;
    const std::string Big = Dir.File("sparse.bin");
    const std::uintmax_t Size = (std::uintmax_t(5) << 30) + 3;
    std::error_code Error;
    fs::resize_file(Big, Size, Error);
    if (Error)
        GTEST_SKIP() << "no sparse file here: " << Error.message();
    TFileProperties Props;
    ASSERT_TRUE(GetFileProperties(Big, Props));
    EXPECT_EQ(Props.Size, static_cast<std::int64_t>(Size));
}

TEST(GetFileProperties, MissingEntryLeavesPropsAlone)
{
    TFileProperties Props;
    Props.Size = 42;
    Props.Attributes = 7;
    EXPECT_FALSE(GetFileProperties((fs::temp_directory_path() / "sorvik-no-such-file" / "x").string(), Props));
    EXPECT_FALSE(GetFileProperties("", Props));
    EXPECT_EQ(Props.Size, 42);
    EXPECT_EQ(Props.Attributes, 7u);
    EXPECT_FALSE(Props.Valid);
}

TEST(HashFile, ReadPropertiesOfMissingFileRaises)
{
    THashFile File((fs::temp_directory_path() / "sorvik-no-such-file.bin").string());
    try {
        File.ReadProperties();
        FAIL() << "no error";
    } catch (const ESorvikError& E) {
        EXPECT_EQ(E.Describe(), "[ESorvikError] Failed to read file properties");
    }
    EXPECT_FALSE(File.Properties.Valid);
    EXPECT_EQ(File.Properties.Size, 0);
    EXPECT_TRUE(File.Properties.Modified.IsZero());
}

TEST(HashFile, ReadPropertiesFillsTheRecord)
{
    TempDir Dir;
    THashFile File(Dir.File("a.txt", "abc"));
    File.ReadProperties();
    EXPECT_TRUE(File.Properties.Valid);
    EXPECT_EQ(File.Properties.Size, 3);
    EXPECT_EQ(File.RowIndex, 0);
    EXPECT_EQ(File.ErrorText, "");
    EXPECT_EQ(File.Hashes.HashTypes, 0u);
}
