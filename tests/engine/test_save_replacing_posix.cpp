// Saving over an existing file when no new file can be made beside it: the
// old file must come through every failed save whole.
#include "engine/uFileStreams.h"
#include "engine/TempFolder.h"

#include <gtest/gtest.h>

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
// meant to fail names the system's reason Error and leaves the old text.
void ExpectSaveOutcome(const char* Name, bool Saved, int Error, const std::string& Result, const fs::path& Target,
                       const std::string& OldText, const std::string& NewText)
{
    if (Saved) {
        EXPECT_EQ(Result, "") << Name;
        EXPECT_TRUE(ReadAll(Target) == NewText) << Name << ": " << ReadAll(Target).size() << " bytes";
    } else {
        EXPECT_NE(Result.find(std::strerror(Error)), std::string::npos) << Name << ": " << Result;
        EXPECT_TRUE(ReadAll(Target) == OldText) << Name << ": " << ReadAll(Target).substr(0, 40);
    }
}

// Saves Content to Target; "" when saved, else the error's class and text.
std::string Save(const fs::path& Target, const std::string& Content)
{
    try {
        SaveFileReplacing(Target.string(), [&Content](std::ostream& Out) { Out << Content; });
        return "";
    } catch (const EFCreateError& E) {
        return std::string("EFCreateError: ") + E.what();
    } catch (const EWriteError& E) {
        return std::string("EWriteError: ") + E.what();
    }
}

// A small tmpfs of its own, where the system lets us mount one.
class TSmallFileSystem {
public:
    TSmallFileSystem(const fs::path& At, const char* Options) : FAt(At)
    {
        fs::create_directory(At);
        FMounted = ::mount("tmpfs", At.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, Options) == 0;
    }
    ~TSmallFileSystem()
    {
        if (FMounted)
            ::umount2(FAt.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return FMounted; }

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
            GTEST_SKIP() << "mounting a tmpfs is not permitted here: " << std::strerror(errno);
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
        ExpectSaveOutcome(C.Name, C.Saved, ENOSPC, Result, Target, OldText, NewText);
        EXPECT_EQ(EntriesIn(Folder.Path() / "small"), Entries) << C.Name;
    }
}

TEST(SaveFileReplacing, AFullFileSystemWithInodesKeepsTheOldFile)
{
    TTempFolder Folder;
    TSmallFileSystem Small(Folder.Path() / "small", "size=64k,nr_inodes=64,mode=0755");
    if (!Small.Mounted())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here: " << std::strerror(errno);
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
// makes every write past it fail, as a full disk or a quota would.
TEST(SaveFileReplacing, AWriteFailureInPlaceKeepsTheOldFile)
{
    const struct {
        const char* Name;
        std::size_t NewLength;
        bool Saved;
    } Cases[] = {
        {"beyond the limit", 20000, false},
        {"within the limit, longer", 7000, true},
        {"within the limit, shorter", 10, true},
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

        // In a child: the limit and the user are the child's alone.
        int Pipe[2];
        ASSERT_EQ(::pipe(Pipe), 0);
        const pid_t Child = ::fork();
        if (Child == 0) {
            ::close(Pipe[0]);
            std::string Result = "could not become an ordinary user";
            if (::geteuid() != 0 ||
                (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0)) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit Limit{8192, 8192};
                ::setrlimit(RLIMIT_FSIZE, &Limit);
                Result = ::access(Dir.c_str(), X_OK) != 0 ? "unreachable" : Save(Target, NewText);
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
        ::chmod(Dir.c_str(), 0755);
        if (Result == "unreachable")
            GTEST_SKIP() << "the temporary folder is out of an ordinary user's reach";

        ExpectSaveOutcome(C.Name, C.Saved, EFBIG, Result, Target, OldText, NewText);
        EXPECT_EQ(EntriesIn(Dir), 1u) << C.Name;
    }
}

} // namespace
