#include "engine/uFileStreams.h"
#include "engine/uVerificationFile.h"
#include "engine/TempFolder.h"
#include "engine/verification_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(VerificationWriter, NamesSplitAtSlashOnlyAndLineBreaksNeverBreakALine)
{
    TVerificationWriter W = Writer(vfSUM, htMD5, false, false);
    const struct {
        const char* Path;
        const char* Name;
    } Names[] = {{"a:b.txt", "a:b.txt"}, {"dir/a\\b.txt", "a\\b.txt"}, {"dir/", ""},
                 {"/x/\xC3\xA9t\xC3\xA9.txt", "\xC3\xA9t\xC3\xA9.txt"}};
    for (const auto& N : Names)
        EXPECT_EQ(W.GetFileName(THashFile(N.Path)), N.Name);

    const auto Broken = Record("d/a\r\nb\\c", {{htMD5, Md5}});
    // Only a line feed needs the escaped form; a carriage return stays.
    EXPECT_EQ(W.GetLine(*Broken), std::string("\\") + Md5 + "  a\r\\nb\\\\c");
    EXPECT_EQ(W.GetLine(*Record("d/a\rb\\c", {{htMD5, Md5}})), std::string(Md5) + "  a\rb\\c");
    EXPECT_EQ(W.GetLine(*Record("d/a\nb", {})), "# a?b");
    W.VerifyFormat = vfSFV;
    EXPECT_EQ(W.GetLine(*Broken), std::string("a\r?b\\c ") + Md5);
    EXPECT_EQ(W.GetLine(*Record("d/a\nb", {})), "; a?b");
}

bool HasTool(const std::string& Name)
{
    return std::system(("command -v " + Name + " >/dev/null 2>&1").c_str()) == 0;
}

int RunIn(const fs::path& Dir, const std::string& Command)
{
    return std::system(("cd '" + Dir.string() + "' && " + Command + " >/dev/null 2>&1").c_str());
}

// Checkers no one here wrote must accept every line: a file that failed sits
// between checked files, and the file after it must still be checked (the
// last file is then changed and the checker has to notice).
TEST(VerificationWriter, IndependentCheckersAcceptEveryLine)
{
    const struct {
        TVerifyFormat Format;
        THashType Type;
        const char* LogName;
        const char* Command;
        bool LineFeedNames;
    } Cases[] = {
        {vfSFV, htCRC32, "log.sfv", "cksfv -q -f log.sfv", false},
        {vfSFV, htCRC32, "log.sfv", "rhash -c log.sfv", false},
        {vfSUM, htMD5, "log.md5", "md5sum -c --strict log.md5", true},
        {vfSUM, htMD5, "log.md5", "md5sum -c log.md5", true},
        {vfSUM, htMD5, "log.md5", "rhash -c log.md5", true},
        {vfSUM, htSHA1, "log.sha1", "sha1sum -c --strict log.sha1", true},
        {vfSUM, htSHA256, "log.sha256", "sha256sum -c --strict log.sha256", true},
        {vfSUM, htSHA256, "log.sha256", "rhash -c log.sha256", true},
    };
    for (const auto& C : Cases) {
        const std::string Tool = std::string(C.Command).substr(0, std::string(C.Command).find(' '));
        if (!HasTool(Tool)) {
            std::cout << "skipped: " << C.Command << " (not installed)\n";
            continue;
        }
        TTempFolder Folder;
        std::vector<std::string> Names = {"a.txt", "with space.txt", "c\rd", "\xC3\xA9t\xC3\xA9.txt"};
        if (C.LineFeedNames)
            Names.push_back("e\nf");
        std::vector<std::shared_ptr<THashFile>> Log;
        for (const std::string& Name : Names) {
            Folder.Write(Name, "contents of " + Name);
            Log.push_back(Record((Folder.Path() / Name).string(), {}));
            Log.back()->Hashes.Put(C.Type, Digest(C.Type, "contents of " + Name));
        }
        Log.insert(Log.begin() + 1, Record((Folder.Path() / "failed.bin").string(), {}));
        Log.push_back(Record((Folder.Path() / "other-type.bin").string(), {{htED2K, Md5}}));
        Folder.Write("z.txt", "last");
        Log.push_back(Record((Folder.Path() / "z.txt").string(), {}));
        Log.back()->Hashes.Put(C.Type, Digest(C.Type, "last"));

        for (const bool Upper : {false, true}) {
            TVerificationWriter W = Writer(C.Format, C.Type, false, Upper);
            W.OnNextItem = Supplier(Log);
            W.SaveToFile((Folder.Path() / C.LogName).string());
            EXPECT_EQ(RunIn(Folder.Path(), C.Command), 0) << C.Command << " upper " << Upper << "\n"
                                                        << ReadAll(Folder.Path() / C.LogName);
        }
        Folder.Write("z.txt", "changed");
        EXPECT_NE(RunIn(Folder.Path(), C.Command), 0) << C.Command << ": the last file went unchecked";
    }
}

// Runs Action as an ordinary user: as root (as in CI) in a child process
// that gives up root first, since root may write whatever it likes.
int AsOrdinaryUser(const std::function<int()>& Action)
{
    if (::geteuid() != 0)
        return Action();
    const pid_t Child = ::fork();
    if (Child == 0) {
        int Code = 99;
        if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0) {
            try {
                Code = Action();
            } catch (...) {
                Code = 98;
            }
        }
        std::_Exit(Code);
    }
    int Status = 0;
    ::waitpid(Child, &Status, 0);
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : 97;
}

mode_t ModeOf(const fs::path& P)
{
    struct stat St {};
    ::stat(P.c_str(), &St);
    return St.st_mode & 07777;
}

mode_t CurrentUmask()
{
    const mode_t Mask = ::umask(0);
    ::umask(Mask);
    return Mask;
}

TVerificationWriter OneLineWriter()
{
    TVerificationWriter W = Writer(vfSFV, htMD5, false, false);
    W.OnNextItem = Supplier({Record("a", {{htMD5, Md5}})});
    return W;
}

const std::string OneLineFile = Header + "a " + Md5 + "\r\n";

std::size_t EntriesIn(const fs::path& Dir)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()));
}

TEST(VerificationWriterSave, KeepsModeFollowsLinksAndTakesAnyLegalName)
{
    TTempFolder Folder;
    const fs::path& Dir = Folder.Path();

    // Permission bits survive the replacement.
    for (const mode_t Mode : {mode_t(0600), mode_t(0640), mode_t(0755)}) {
        const fs::path Target = Dir / "kept.sfv";
        Folder.Write("kept.sfv", "old");
        ::chmod(Target.c_str(), Mode);
        TVerificationWriter W = OneLineWriter();
        W.SaveToFile(Target.string());
        EXPECT_EQ(ReadAll(Target), OneLineFile);
        EXPECT_EQ(ModeOf(Target), Mode);
    }
    // A new file gets what creating it gives.
    {
        TVerificationWriter W = OneLineWriter();
        W.SaveToFile((Dir / "new.sfv").string());
        EXPECT_EQ(ModeOf(Dir / "new.sfv"), 0666 & ~CurrentUmask());
    }
    // Links, relative, absolute and chained, stay links; the file they name is written.
    fs::create_directory(Dir / "real");
    Folder.Write("real/target.sfv", "old");
    fs::create_symlink("real/target.sfv", Dir / "relative.sfv");
    fs::create_symlink(Dir / "relative.sfv", Dir / "chained.sfv");
    for (const char* Link : {"relative.sfv", "chained.sfv"}) {
        Folder.Write("real/target.sfv", "old");
        TVerificationWriter W = OneLineWriter();
        W.SaveToFile((Dir / Link).string());
        EXPECT_TRUE(fs::is_symlink(Dir / Link)) << Link;
        EXPECT_EQ(ReadAll(Dir / "real" / "target.sfv"), OneLineFile) << Link;
    }
    // A dangling link creates the file it names.
    fs::create_symlink("real/later.sfv", Dir / "dangling.sfv");
    {
        TVerificationWriter W = OneLineWriter();
        W.SaveToFile((Dir / "dangling.sfv").string());
        EXPECT_EQ(ReadAll(Dir / "real" / "later.sfv"), OneLineFile);
    }
    EXPECT_EQ(EntriesIn(Dir / "real"), 2u);

    // Names up to the longest the file system allows, new and replaced.
    fs::create_directory(Dir / "long");
    for (const std::size_t Length : {std::size_t(200), std::size_t(240), std::size_t(255)}) {
        const fs::path Target = Dir / "long" / std::string(Length, 'n');
        for (int Round = 0; Round < 2; ++Round) {
            TVerificationWriter W = OneLineWriter();
            EXPECT_NO_THROW(W.SaveToFile(Target.string())) << Length;
            EXPECT_EQ(ReadAll(Target), OneLineFile) << Length;
        }
    }
    EXPECT_EQ(EntriesIn(Dir / "long"), 3u);
}

TEST(VerificationWriterSave, AFailedSaveKeepsThePreviousFile)
{
    TTempFolder Folder;
    const fs::path Target = Folder.Path() / "log.sfv";
    Folder.Write("log.sfv", "old contents");
    TVerificationWriter W = Writer(vfSFV, htMD5, false, false);
    int Calls = 0;
    W.OnNextItem = [&Calls](std::shared_ptr<THashFile>& Item) -> bool {
        if (++Calls == 2)
            throw std::runtime_error("supplier failed");
        Item = Record("a", {{htMD5, Md5}});
        return true;
    };
    EXPECT_THROW(W.SaveToFile(Target.string()), std::runtime_error);
    EXPECT_EQ(ReadAll(Target), "old contents");
    EXPECT_EQ(EntriesIn(Folder.Path()), 1u);

    // A FIFO is written to (here: nobody reads it, so it cannot be opened),
    // never replaced by a plain file.
    const fs::path Fifo = Folder.Path() / "fifo.sfv";
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0644), 0);
    TVerificationWriter ToFifo = OneLineWriter();
    EXPECT_THROW(ToFifo.SaveToFile(Fifo.string()), EFCreateError);
    EXPECT_TRUE(fs::is_fifo(Fifo));
    // A folder is no file.
    TVerificationWriter OnFolder = OneLineWriter();
    EXPECT_THROW(OnFolder.SaveToFile(Folder.Path().string()), EFCreateError);
}

// What an ordinary user may and may not write: the file's and the folder's
// permissions decide, as they would for creating the file.
TEST(VerificationWriterSave, PermissionsOfFileAndFolderDecide)
{
    const struct {
        const char* Name;
        mode_t FolderMode;
        int FileMode;   // -1: no file yet
        int Expected;   // 0 saved, 1 creation error with the system's reason
    } Cases[] = {
        {"read-only file in a writable folder", 0755, 0444, 1},
        {"writable file in a read-only folder", 0555, 0644, 0},
        {"new file in a read-only folder", 0555, -1, 1},
        {"writable file in a writable folder", 0755, 0644, 0},
    };
    for (const auto& C : Cases) {
        TTempFolder Folder;
        const fs::path Dir = Folder.Path() / "box";
        fs::create_directory(Dir);
        const fs::path Target = Dir / "log.sfv";
        if (C.FileMode >= 0) {
            std::ofstream(Target) << "old";
            ::chmod(Target.c_str(), static_cast<mode_t>(C.FileMode));
        }
        if (::geteuid() == 0) {
            (void)!::chown(Folder.Path().c_str(), 65534, 65534);
            (void)!::chown(Dir.c_str(), 65534, 65534);
            if (C.FileMode >= 0)
                (void)!::chown(Target.c_str(), 65534, 65534);
        }
        ::chmod(Dir.c_str(), C.FolderMode);
        if (AsOrdinaryUser([&] { return ::access(Dir.c_str(), X_OK) == 0 ? 0 : 1; }) != 0) {
            ::chmod(Dir.c_str(), 0755);
            GTEST_SKIP() << "the temporary folder is out of an ordinary user's reach";
        }
        const int Result = AsOrdinaryUser([&]() -> int {
            TVerificationWriter W = OneLineWriter();
            try {
                W.SaveToFile(Target.string());
                return 0;
            } catch (const EFCreateError& E) {
                return std::string(E.what()).find("Permission denied") != std::string::npos ? 1 : 2;
            }
        });
        ::chmod(Dir.c_str(), 0755);
        EXPECT_EQ(Result, C.Expected) << C.Name;
        if (C.Expected == 0)
            EXPECT_EQ(ReadAll(Target), OneLineFile) << C.Name;
        else if (C.FileMode >= 0)
            EXPECT_EQ(ReadAll(Target), "old") << C.Name;
        else
            EXPECT_FALSE(fs::exists(Target)) << C.Name;
        EXPECT_EQ(EntriesIn(Dir), C.FileMode >= 0 ? 1u : 0u) << C.Name;
    }
}

TEST(VerificationWriterSave, KeepsTheOwnerWherePermitted)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    TTempFolder Folder;
    const fs::path Target = Folder.Path() / "owned.sfv";
    Folder.Write("owned.sfv", "old");
    ASSERT_EQ(::chown(Target.c_str(), 65534, 65534), 0);
    ::chmod(Target.c_str(), 0640);
    TVerificationWriter W = OneLineWriter();
    W.SaveToFile(Target.string());
    struct stat St {};
    ASSERT_EQ(::stat(Target.c_str(), &St), 0);
    EXPECT_EQ(St.st_uid, 65534u);
    EXPECT_EQ(St.st_gid, 65534u);
    EXPECT_EQ(St.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadAll(Target), OneLineFile);
}

}  // namespace
