#include "platform/uPlatformFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

class TFolder {
public:
    TFolder() : Path(fs::temp_directory_path() / ("sorvik-platform-" + std::to_string(std::random_device{}())))
    {
        fs::create_directories(Path);
    }
    ~TFolder()
    {
        std::error_code Ignored;
        fs::remove_all(Path, Ignored);
    }
    fs::path Path;
};

TEST(ForceDirectories, CreatesEveryMissingParent)
{
    TFolder Folder;
    const fs::path Deep = Folder.Path / "a" / "b b" / "\xC3\xA9t\xC3\xA9";
    std::string Reason;
    ASSERT_TRUE(ForceDirectories(reinterpret_cast<const char*>(Deep.u8string().c_str()), Reason)) << Reason;
    EXPECT_TRUE(fs::is_directory(Deep));
    // Already there: nothing to do, no failure.
    EXPECT_TRUE(ForceDirectories(reinterpret_cast<const char*>(Deep.u8string().c_str()), Reason)) << Reason;

    // A file where a folder should be.
    std::ofstream(Folder.Path / "file") << "x";
    Reason.clear();
    EXPECT_FALSE(ForceDirectories((Folder.Path / "file" / "sub").string(), Reason));
    EXPECT_FALSE(Reason.empty());
    EXPECT_FALSE(ForceDirectories((Folder.Path / "file").string(), Reason));
}

TEST(TemporaryNameBeside, SameFolderFixedLengthAndNewEachTime)
{
    const std::string Target = std::string("folder") + PathDelimiters[0] + "a name that is rather long.sfv";
    const std::string A = TemporaryNameBeside(Target);
    const std::string B = TemporaryNameBeside(Target);
    EXPECT_NE(A, B);
    EXPECT_EQ(A.rfind(std::string("folder") + PathDelimiters[0], 0), 0u) << A;
    EXPECT_EQ(A.size(), B.size());
    EXPECT_EQ(TemporaryNameBeside("x").size(), A.size() - 7);
}

}  // namespace
