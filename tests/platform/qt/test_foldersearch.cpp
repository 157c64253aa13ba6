// The folder search on its own: what it reports and in which order.
#include "platform/qt/uFolderSearch.h"

#include "engine/TempFolder.h"
#include "support/deep_chain_posix.h"
#include "support/permissions_enforced.h"

#include <filesystem>
#include <string>
#include <vector>

#include <climits>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

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
    const auto [Z, Y, Hidden, X, Deep, W] =
        T.WriteFiles({"top/z.txt", "top/Y.txt", "top/.hidden", "top/a/x.txt", "top/B/deep/d.txt", "top/B/w.txt"});
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

namespace {

struct TSearchResult {
    std::vector<std::string> Files;
    std::vector<std::string> Unreadable;
};

TSearchResult Search(const std::string& Folder)
{
    TSearchResult R;
    SearchFolder(
        Folder, [&](const std::string& F) { R.Files.push_back(F); },
        [&](const std::string& F) { R.Unreadable.push_back(F); });
    return R;
}

// A folder in memory where the system has one: removing thousands of
// folders from a busy disk takes half a minute.
class TMemoryFolder {
public:
    TMemoryFolder()
    {
        char Name[] = "/dev/shm/sorvik-test-XXXXXX";
        if (::mkdtemp(Name))
            FPath = Name;
    }
    ~TMemoryFolder()
    {
        if (!FPath.empty()) {
            std::error_code Ignored;
            fs::remove_all(FPath, Ignored);
        }
    }
    fs::path Path() const { return FPath.empty() ? FDisk.Path() : FPath; }

private:
    TTempFolder FDisk;
    fs::path FPath;
};

} // namespace

TEST(FolderSearch, FoldersThatCannotBeReadAreReportedAndTheRestIsSearched)
{
    TTempFolder T;
    const fs::path Top = T.Path() / "top";
    fs::create_directories(Top / "locked" / "inner");
    const auto [A, Hidden, B] = T.WriteFiles({"top/a.txt", "top/locked/hidden.txt", "top/open/b.txt"});
    ::chmod((Top / "locked").c_str(), 0);
    TSearchResult R;
    {
        TPermissionsEnforced Enforced;
        if (!Enforced.Active()) {
            ::chmod((Top / "locked").c_str(), 0755);
            GTEST_SKIP() << "permissions cannot be enforced here";
        }
        R = Search(Top.string());
    }
    ::chmod((Top / "locked").c_str(), 0755);
    EXPECT_EQ(R.Files, (std::vector<std::string>{A, B}));
    EXPECT_EQ(R.Unreadable, std::vector<std::string>{(Top / "locked").string()});
}

TEST(FolderSearch, PathsLongerThanPathMaxAreReached)
{
    TMemoryFolder T;
    TDeepChain Chain(T.Path() / "top", std::string(200, 'n'), PATH_MAX / 200 + 5);
    ASSERT_TRUE(Chain.Made);
    ASSERT_GT(Chain.Bottom.size(), static_cast<std::size_t>(PATH_MAX));
    const std::string Deepest = Chain.Bottom.substr(0, Chain.Bottom.rfind('/'));
    ASSERT_GT(Deepest.size(), static_cast<std::size_t>(PATH_MAX));
    for (const std::string& Start : {(T.Path() / "top").string(), Deepest}) {
        const TSearchResult R = Search(Start);
        EXPECT_EQ(R.Files, std::vector<std::string>{Chain.Bottom}) << Start.size() << " characters";
        EXPECT_TRUE(R.Unreadable.empty());
    }
}

// Ten thousand nested folders on a thread with a small stack: a walk that
// recursed once per folder would overflow it.
TEST(FolderSearch, DeepTreesAreWalkedWithoutRecursion)
{
    TMemoryFolder T;
    TDeepChain Chain(T.Path() / "top", "d", 10000);
    ASSERT_TRUE(Chain.Made);
    struct TJob {
        std::string Folder;
        TSearchResult Result;
    } Job{(T.Path() / "top").string(), {}};
    pthread_attr_t Attr;
    pthread_attr_init(&Attr);
    pthread_attr_setstacksize(&Attr, 256 * 1024);
    pthread_t Thread;
    ASSERT_EQ(pthread_create(
                  &Thread, &Attr,
                  [](void* P) -> void* {
                      auto* J = static_cast<TJob*>(P);
                      J->Result = Search(J->Folder);
                      return nullptr;
                  },
                  &Job),
              0);
    pthread_join(Thread, nullptr);
    pthread_attr_destroy(&Attr);
    EXPECT_EQ(Job.Result.Files, std::vector<std::string>{Chain.Bottom});
    EXPECT_TRUE(Job.Result.Unreadable.empty());
}
