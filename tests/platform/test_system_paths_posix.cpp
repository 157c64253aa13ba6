#include "platform/uPlatformFiles.h"

#include "engine/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

// A name is any string of bytes here: one that is not valid UTF-8 (Latin-1
// "é" in a folder an older system made) reaches the system unchanged.
TEST(SystemPath, ANameThatIsNotUtf8PassesByItsBytes)
{
    const TTempFolder Root;
    const std::string Folder = Root.Path().string() + "/pr\xE9g";
    const std::string File = Folder + "/caf\xE9.txt";
    std::string Reason;
    ASSERT_TRUE(ForceDirectories(Folder, Reason)) << Reason;
    std::ofstream(SystemPath(File)) << "x";
    EXPECT_EQ(SystemPath(File).native(), File);
    EXPECT_EQ(SystemPathName(std::filesystem::path(File)), File);
    EXPECT_TRUE(IsRegularFile(File));
    EXPECT_TRUE(PathExists(Folder));
    EXPECT_FALSE(PathExists(Root.Path().string() + "/pr\xC3\xA9g")) << "the UTF-8 name is another one";
}
