// The folder search on its own: what it reports and in which order.
#include "platform/qt/uFolderSearch.h"

#include "engine/TempFolder.h"

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Found(const std::string& Folder)
{
    std::vector<std::string> Files;
    SearchFolder(Folder, [&](const std::string& F) { Files.push_back(F); });
    return Files;
}

} // namespace

TEST(FolderSearch, OwnFilesFirstByNameThenSubFoldersDepthFirst)
{
    TTempFolder T;
    const fs::path Top = T.Path() / "top";
    fs::create_directories(Top / "B" / "deep");
    fs::create_directories(Top / "a");
    const std::string Z = T.Write("top/z.txt", "z");
    const std::string Y = T.Write("top/Y.txt", "y");
    const std::string Hidden = T.Write("top/.hidden", "h");
    const std::string X = T.Write("top/a/x.txt", "x");
    const std::string Deep = T.Write("top/B/deep/d.txt", "d");
    const std::string W = T.Write("top/B/w.txt", "w");
    EXPECT_EQ(Found(Top.string()), (std::vector<std::string>{Hidden, Y, Z, X, W, Deep}))
        << "names compared without regard to case, hidden files included";
    // A trailing separator does not double in the reported paths.
    EXPECT_EQ(Found(Top.string() + "/").front(), Hidden);
}

TEST(FolderSearch, LinkLoopsEndAndSpecialFilesAreLeftOut)
{
    TTempFolder T;
    const fs::path Top = T.Path() / "top";
    fs::create_directories(Top / "sub");
    const std::string F = T.Write("top/sub/f.txt", "f");
    fs::create_directory_symlink(Top, Top / "sub" / "loop");
    ASSERT_EQ(::mkfifo((Top / "pipe").c_str(), 0600), 0);
    fs::create_symlink(Top / "sub" / "f.txt", Top / "link.txt");
    const std::string Link = (Top / "link.txt").string();
    EXPECT_EQ(Found(Top.string()), (std::vector<std::string>{Link, F}))
        << "a link to a file counts as the file; the loop back to the top is walked once";
}

TEST(FolderSearch, NothingToReport)
{
    TTempFolder T;
    fs::create_directories(T.Path() / "empty" / "inner");
    EXPECT_TRUE(Found((T.Path() / "empty").string()).empty()) << "folders themselves are never reported";
    EXPECT_TRUE(Found((T.Path() / "missing").string()).empty());
    EXPECT_TRUE(Found(T.Write("file.txt", "x")).empty()) << "a file is not a folder to search";
}
