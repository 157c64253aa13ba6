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

// Names reach the system whole, and the queries answer for what is there.
TEST(SystemPath, NamesPassWholeAndRelativeOnesAreTakenFromTheCurrentFolder)
{
    TFolder Folder;
    const std::string Base = SystemPathName(Folder.Path);
    const std::string Name = "\xC3\xA9t\xC3\xA9.txt"; // in UTF-8
    const std::string File = IncludeTrailingPathDelimiter(Base) + Name;
    std::ofstream(SystemPath(File)) << "x";
    EXPECT_EQ(SystemPathName(SystemPath(File)), File);
    EXPECT_TRUE(PathExists(File));
    EXPECT_TRUE(IsRegularFile(File));
    EXPECT_TRUE(PathExists(Base));
    EXPECT_FALSE(IsRegularFile(Base));
    EXPECT_FALSE(PathExists(File + ".missing"));
    EXPECT_FALSE(IsRegularFile(File + ".missing"));

    const fs::path Before = fs::current_path();
    fs::current_path(Folder.Path);
    EXPECT_EQ(AbsolutePath(Name), SystemPathName(fs::current_path() / SystemPath(Name)));
    EXPECT_TRUE(IsRegularFile(AbsolutePath(Name)));
    EXPECT_EQ(AbsolutePath(File), File) << "an absolute path stays as it is";
    fs::current_path(Before);
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
