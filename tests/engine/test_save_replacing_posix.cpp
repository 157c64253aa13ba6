// Saving over an existing file where no new file can replace it: the folder
// takes no new file, or refuses the rename (a sticky folder), or the file
// system cannot reserve room (no fallocate). The old file is either replaced
// whole by the new text or comes through byte for byte.
#include "engine/uFileStreams.h"
#include "engine/TempFolder.h"
#include "support/system_call_faults_posix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& P)
{
    std::ifstream In(P, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
}

std::size_t EntriesIn(const fs::path& Dir)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()));
}

// "old" followed by filler, Length bytes in all.
std::string Text(const char* Lead, std::size_t Length)
{
    std::string T(Lead);
    while (T.size() < Length)
        T += static_cast<char>('a' + T.size() % 26);
    T.resize(Length);
    return T;
}

// A save meant to succeed reports nothing and leaves the new text; one
// meant to fail says Reason (the system's, where there is one) and leaves the
// old text.
void ExpectSaveOutcome(const char* Name, bool Saved, const std::string& Reason, const std::string& Result,
                       const fs::path& Target, const std::string& OldText, const std::string& NewText)
{
    const std::string Now = ReadAll(Target);
    const auto Nuls = std::count(Now.begin(), Now.end(), '\0');
    if (Saved) {
        EXPECT_EQ(Result, "") << Name;
        EXPECT_TRUE(Now == NewText) << Name << ": " << Now.size() << " bytes (" << Nuls << " NULs), "
                                    << NewText.size() << " meant";
    } else {
        EXPECT_NE(Result.find(Reason), std::string::npos) << Name << ": " << Result;
        EXPECT_TRUE(Now == OldText) << Name << ": " << Now.size() << " bytes (" << Nuls << " NULs), "
                                    << OldText.size() << " before";
    }
}

// Saves Content to Target; "" when saved, else the error's class and text.
std::string Save(const fs::path& Target, const std::string& Content)
{
    try {
        SaveFileReplacing(Target.string(), [&Content](std::ostream& Out) { Out << Content; });
        return "";
    } catch (const EStreamError& E) {
        return std::string(E.ClassName()) + ": " + E.what();
    }
}

struct stat StatOf(const fs::path& P)
{
    struct stat St {};
    ::stat(P.c_str(), &St);
    return St;
}

// Runs Action in a child process, which alone gets the file-size limit (0:
// none) and, when asked and run as root, becomes the ordinary user nobody;
// Action's text comes back.
std::string InChild(bool AsOrdinaryUser, rlim_t FileSizeLimit, const std::function<std::string()>& Action)
{
    int Pipe[2];
    if (::pipe(Pipe) != 0)
        return "no pipe";
    const pid_t Child = ::fork();
    if (Child == 0) {
        ::close(Pipe[0]);
        std::string Result = "could not become an ordinary user";
        if (!AsOrdinaryUser || ::geteuid() != 0 ||
            (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0)) {
            if (FileSizeLimit > 0) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit Limit{FileSizeLimit, FileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &Limit);
            }
            Result = Action();
        }
        (void)!::write(Pipe[1], Result.data(), Result.size());
        std::_Exit(0);
    }
    ::close(Pipe[1]);
    std::string Result;
    char Buffer[512];
    for (ssize_t N; (N = ::read(Pipe[0], Buffer, sizeof Buffer)) > 0;)
        Result.append(Buffer, static_cast<std::size_t>(N));
    ::close(Pipe[0]);
    ::waitpid(Child, nullptr, 0);
    return Result;
}

// A small file system of its own, where the system lets us mount one: a
// tmpfs, or an ext2 image (which has no fallocate) on a loop device.
class TSmallFileSystem {
public:
    TSmallFileSystem(const fs::path& At, const char* Options) : FAt(At)
    {
        fs::create_directory(At);
        FMounted = ::mount("tmpfs", At.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, Options) == 0;
        if (!FMounted)
            FWhy = std::string("mounting a tmpfs is not permitted here: ") + std::strerror(errno);
    }
    // One MiB in blocks of 1 KiB, none kept for root, 32 inodes; the top
    // folder as sticky as /tmp.
    struct TExt2 {};
    TSmallFileSystem(const fs::path& At, TExt2) : FAt(At)
    {
        fs::create_directory(At);
        const std::string Image = At.string() + ".img";
        if (std::system(("command -v mkfs.ext2 >/dev/null 2>&1 && truncate -s 1M '" + Image +
                         "' && mkfs.ext2 -q -F -m 0 -b 1024 -N 32 '" + Image + "' >/dev/null 2>&1")
                            .c_str()) != 0) {
            FWhy = "no mkfs.ext2 to make an ext2 image with";
            return;
        }
        FMounted = std::system(("mount -t ext2 -o loop,nosuid,nodev '" + Image + "' '" + At.string() +
                                "' >/dev/null 2>&1")
                                   .c_str()) == 0;
        if (!FMounted)
            FWhy = "mounting an ext2 image on a loop device is not permitted here";
        else
            ::chmod(At.c_str(), 01777);
    }
    TSmallFileSystem(const TSmallFileSystem&) = delete;
    TSmallFileSystem& operator=(const TSmallFileSystem&) = delete;
    ~TSmallFileSystem()
    {
        if (FMounted && ::umount2(FAt.c_str(), 0) != 0)
            ::umount2(FAt.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return FMounted; }
    const std::string& Why() const { return FWhy; }

    // Takes every free inode.
    void UseAllInodes() const
    {
        for (int I = 0; I < 100000; ++I) {
            const int Fd = ::open((FAt / ("inode" + std::to_string(I))).c_str(), O_CREAT | O_WRONLY, 0644);
            if (Fd < 0)
                return;
            ::close(Fd);
        }
    }
    // Takes every free block, through a file made before the inodes ran out.
    static void UseAllBlocks(int Fd)
    {
        const std::string Chunk(4096, 'x');
        while (::write(Fd, Chunk.data(), Chunk.size()) > 0) {
        }
        while (::write(Fd, "x", 1) > 0) {
        }
    }

private:
    fs::path FAt;
    bool FMounted = false;
    std::string FWhy;
};

TEST(SaveFileReplacing, AFullFileSystemWithoutInodesKeepsTheOldFile)
{
    const struct {
        const char* Name;
        bool BlocksLeft;
        std::size_t NewLength;
        bool Saved;
    } Cases[] = {
        {"longer text, no room", false, 20000, false},
        {"longer text, room for it", true, 20000, true},
        {"shorter text, no room", false, 100, true},
        {"same page, no room", false, 3000, true},
    };
    const std::string OldText = Text("old settings\n[Location]\nMainForm=1,2,3\n", 2000);
    for (const auto& C : Cases) {
        TTempFolder Folder;
        TSmallFileSystem Small(Folder.Path() / "small", "size=64k,nr_inodes=16,mode=0755");
        if (!Small.Mounted())
            GTEST_SKIP() << Small.Why();
        const fs::path Target = Folder.Path() / "small" / "Settings.ini";
        std::ofstream(Target, std::ios::binary) << OldText;
        const int Filler = ::open((Folder.Path() / "small" / "filler").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(Filler, 0);
        Small.UseAllInodes();
        if (!C.BlocksLeft)
            TSmallFileSystem::UseAllBlocks(Filler);
        else if (::ftruncate(Filler, 0) != 0)
            FAIL();
        ::close(Filler);
        const std::size_t Entries = EntriesIn(Folder.Path() / "small");

        const std::string NewText = Text("new", C.NewLength);
        const std::string Result = Save(Target, NewText);
        ExpectSaveOutcome(C.Name, C.Saved, std::strerror(ENOSPC), Result, Target, OldText, NewText);
        EXPECT_EQ(EntriesIn(Folder.Path() / "small"), Entries) << C.Name;
    }
}

TEST(SaveFileReplacing, AFullFileSystemWithInodesKeepsTheOldFile)
{
    TTempFolder Folder;
    TSmallFileSystem Small(Folder.Path() / "small", "size=64k,nr_inodes=64,mode=0755");
    if (!Small.Mounted())
        GTEST_SKIP() << Small.Why();
    const fs::path Target = Folder.Path() / "small" / "log.sfv";
    const std::string OldText = Text("old log\r\n", 2000);
    std::ofstream(Target, std::ios::binary) << OldText;
    const int Filler = ::open((Folder.Path() / "small" / "filler").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(Filler, 0);
    TSmallFileSystem::UseAllBlocks(Filler);
    ::close(Filler);

    const std::string Result = Save(Target, Text("new", 20000));
    EXPECT_NE(Result, "");
    EXPECT_TRUE(ReadAll(Target) == OldText) << ReadAll(Target).substr(0, 40);
    EXPECT_EQ(EntriesIn(Folder.Path() / "small"), 2u) << "no temporary file is left behind";
}

// The same in-place save where no tmpfs can be mounted: the folder takes no
// new file (an ordinary user's read-only folder) and the file-size limit
// makes every write past it fail, as a full disk or a quota would; with and
// without fallocate, whose room is then reserved by writing.
TEST(SaveFileReplacing, AWriteFailureInPlaceKeepsTheOldFile)
{
    const struct {
        const char* Name;
        std::size_t NewLength;
        bool Saved;
        int Fallocate;
    } Cases[] = {
        {"beyond the limit", 20000, false, 0},
        {"within the limit, longer", 7000, true, 0},
        {"within the limit, shorter", 10, true, 0},
        {"no fallocate, beyond the limit", 20000, false, EOPNOTSUPP},
        {"no fallocate, within the limit, longer", 7000, true, EOPNOTSUPP},
        {"no fallocate, within the limit, shorter", 10, true, EOPNOTSUPP},
    };
    const std::string OldText = Text("old\n", 5000);
    for (const auto& C : Cases) {
        TTempFolder Folder;
        const fs::path Dir = Folder.Path() / "box";
        fs::create_directory(Dir);
        const fs::path Target = Dir / "Settings.ini";
        std::ofstream(Target, std::ios::binary) << OldText;
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(Dir.c_str(), 65534, 65534), 0);
            ASSERT_EQ(::chown(Target.c_str(), 65534, 65534), 0);
        }
        ::chmod(Dir.c_str(), 0555);
        const std::string NewText = Text("new", C.NewLength);

        const TInjectedFaults Faults({.Fallocate = C.Fallocate});
        const std::string Result = InChild(true, 8192, [&] {
            return ::access(Dir.c_str(), X_OK) != 0 ? std::string("unreachable") : Save(Target, NewText);
        });
        ::chmod(Dir.c_str(), 0755);
        if (Result == "unreachable")
            GTEST_SKIP() << "the temporary folder is out of an ordinary user's reach";

        ExpectSaveOutcome(C.Name, C.Saved, std::strerror(EFBIG), Result, Target, OldText, NewText);
        EXPECT_EQ(EntriesIn(Dir), 1u) << C.Name;
        EXPECT_TRUE(!C.Saved || Faults.AllMet()) << C.Name << ": a fault was never met";
    }
}

// Both in-place roads, whatever the file system offers: a rename the folder
// refuses (a sticky folder such as /tmp lets us write another user's file but
// not replace it), and a folder that takes no temporary file (no free
// inode); each with and without fallocate (ext2, NFSv3), and with a limit
// that every write past it meets, as a full disk or quota would.
TEST(SaveFileReplacing, BothInPlaceRoadsWriteTheWholeTextOrNothing)
{
    const struct {
        const char* Name;
        TSystemCallFaults Faults;
        std::size_t NewLength;
        rlim_t Limit;           // 0: none
        const char* Failure;    // nullptr: saved
    } Cases[] = {
        {"rename refused, longer", {.Rename = EPERM}, 20000, 0, nullptr},
        {"rename refused, shorter", {.Rename = EPERM}, 100, 0, nullptr},
        {"rename refused, no fallocate, longer", {.Rename = EPERM, .Fallocate = EOPNOTSUPP}, 20000, 0, nullptr},
        {"rename refused, no fallocate, shorter", {.Rename = EPERM, .Fallocate = EOPNOTSUPP}, 100, 0, nullptr},
        {"rename refused, empty", {.Rename = EPERM}, 0, 0, nullptr},
        {"rename refused, beyond the limit", {.Rename = EPERM}, 20000, 8192, "Stream write error"},
        {"no temporary file, no fallocate, longer", {.Fallocate = EOPNOTSUPP, .ExclusiveCreate = ENOSPC}, 20000, 0,
         nullptr},
        {"no temporary file, no fallocate, shorter", {.Fallocate = EOPNOTSUPP, .ExclusiveCreate = ENOSPC}, 100, 0,
         nullptr},
        {"no temporary file, no fallocate, beyond the limit",
         {.Fallocate = EOPNOTSUPP, .ExclusiveCreate = ENOSPC}, 20000, 8192, std::strerror(EFBIG)},
        {"no temporary file, beyond the limit", {.ExclusiveCreate = ENOSPC}, 20000, 8192, std::strerror(EFBIG)},
    };
    const std::string OldText = Text("[General]\nHashTypes=CRC32,MD5\n", 2000);
    for (const auto& C : Cases) {
        TTempFolder Folder;
        const fs::path Target = Folder.Path() / "Settings.ini";
        std::ofstream(Target, std::ios::binary) << OldText;
        ::chmod(Target.c_str(), 0640);
        const ino_t Inode = StatOf(Target).st_ino;
        const std::string NewText = Text("new", C.NewLength);

        const TInjectedFaults Faults(C.Faults);
        const std::string Result = InChild(false, C.Limit, [&] { return Save(Target, NewText); });
        ExpectSaveOutcome(C.Name, C.Failure == nullptr, C.Failure ? C.Failure : "", Result, Target, OldText,
                          NewText);
        EXPECT_TRUE(C.Failure || Faults.AllMet()) << C.Name << ": a fault was never met";
        EXPECT_EQ(StatOf(Target).st_ino, Inode) << C.Name << ": written in place, not replaced";
        EXPECT_EQ(StatOf(Target).st_mode & 07777, 0640u) << C.Name;
        EXPECT_EQ(EntriesIn(Folder.Path()), 1u) << C.Name << ": no temporary file is left behind";
    }
}

// The same roads on real file systems: a sticky tmpfs and a sticky ext2
// image (which has no fallocate), where an ordinary user saves over root's
// writable file, and the ext2 image without a free inode, where the file is
// overwritten in place. The old file may be sparse: its holes need room too.
TEST(SaveFileReplacing, RealFileSystemsKeepEveryOldFileWholeOrReplaceIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may mount a file system and save as another user";
    enum TRoad { StickyFolder, NoFreeInode };
    const struct {
        const char* Name;
        bool Ext2;
        TRoad Road;
        bool Sparse;            // the old file: 100 bytes of text, then a hole up to 30,000
        std::size_t NewLength;
        bool Room;
        const char* Failure;    // nullptr: saved
    } Cases[] = {
        {"tmpfs, sticky, longer", false, StickyFolder, false, 20000, true, nullptr},
        {"tmpfs, sticky, shorter", false, StickyFolder, false, 100, true, nullptr},
        {"tmpfs, sticky, no room", false, StickyFolder, false, 20000, false, "Stream write error"},
        {"tmpfs, no inode, sparse, no room", false, NoFreeInode, true, 20000, false, std::strerror(ENOSPC)},
        {"ext2, sticky, longer", true, StickyFolder, false, 20000, true, nullptr},
        {"ext2, sticky, shorter", true, StickyFolder, false, 100, true, nullptr},
        {"ext2, sticky, no room", true, StickyFolder, false, 20000, false, "Stream write error"},
        {"ext2, no inode, longer", true, NoFreeInode, false, 20000, true, nullptr},
        {"ext2, no inode, shorter, no room", true, NoFreeInode, false, 100, false, nullptr},
        {"ext2, no inode, longer, no room", true, NoFreeInode, false, 20000, false, std::strerror(ENOSPC)},
        {"ext2, no inode, sparse, no room", true, NoFreeInode, true, 20000, false, std::strerror(ENOSPC)},
    };
    for (const auto& C : Cases) {
        TTempFolder Folder;
        const fs::path Top = Folder.Path() / "small";
        const TSmallFileSystem Small = C.Ext2 ? TSmallFileSystem(Top, TSmallFileSystem::TExt2{})
                                              : TSmallFileSystem(Top, "size=256k,nr_inodes=32,mode=1777");
        if (!Small.Mounted())
            GTEST_SKIP() << Small.Why();
        const fs::path Target = Top / "Settings.ini";
        std::string OldText = Text("old settings\n", C.Sparse ? 100 : 2000);
        std::ofstream(Target, std::ios::binary) << OldText;
        if (C.Sparse) {
            ASSERT_EQ(::truncate(Target.c_str(), 30000), 0);
            OldText.resize(30000);
        }
        ::chmod(Target.c_str(), 0666);   // root's, written by anyone
        const int Filler = ::open((Top / "filler").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(Filler, 0);
        if (C.Road == NoFreeInode)
            Small.UseAllInodes();
        if (!C.Room)
            TSmallFileSystem::UseAllBlocks(Filler);
        ::close(Filler);
        const std::size_t Entries = EntriesIn(Top);
        const ino_t Inode = StatOf(Target).st_ino;

        const std::string NewText = Text("new", C.NewLength);
        const std::string Result = InChild(C.Road == StickyFolder, 0, [&] {
            return ::access(Top.c_str(), W_OK | X_OK) != 0 ? std::string("unreachable") : Save(Target, NewText);
        });
        if (Result == "unreachable")
            GTEST_SKIP() << "the temporary folder is out of an ordinary user's reach";
        ExpectSaveOutcome(C.Name, C.Failure == nullptr, C.Failure ? C.Failure : "", Result, Target, OldText,
                          NewText);
        EXPECT_EQ(StatOf(Target).st_ino, Inode) << C.Name << ": written in place, not replaced";
        EXPECT_EQ(EntriesIn(Top), Entries) << C.Name << ": no temporary file is left behind";
    }
}

} // namespace
