#include "engine/worker_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <pthread.h>

namespace {

namespace fs = std::filesystem;

TEST_F(Worker, AFileThatShrinksWhileReadFailsWithTheReadError)
{
    for (std::size_t Chunks : ChunkCounts) {
        const std::string A = File("shrinks" + std::to_string(Chunks), Chunks * Chunk);
        const std::string First = "5(" + std::to_string(100 / Chunks) + ")";
        // The hook is set while the worker is idle, before it can see the path.
        On(First, [A] { fs::resize_file(A, Chunk + 100); });
        Queue.Push(A);
        if (!Thread)
            Start();
        const TTokens T = Take("8");
        const TTokens Head = {"7", "2", "4", "5(0)", First};
        ASSERT_GE(T.size(), Head.size() + 2);
        EXPECT_EQ(TTokens(T.begin(), T.begin() + 5), Head);
        // A chunk read ahead before the file shrank may still come in whole.
        EXPECT_LE(T.size(), Head.size() + 3);
        EXPECT_EQ(T[T.size() - 2], "1:[EReadError] Stream read error");
        EXPECT_EQ(T.back(), "8");
        EXPECT_EQ(Log.back()->Hashes.HashTypes, 0u);
        EXPECT_EQ(Log.back()->ErrorText, "[EReadError] Stream read error");
    }
}

TEST_F(Worker, WrittenVerificationFilesVerifyWithCoreutilsAndCksfv)
{
    const std::string Names[] = {"plain.txt", "with space.bin", "empty", "two chunks", "line\nbreak"};
    for (const auto& N : Names) {
        std::string Bytes;
        for (std::size_t I = 0; I < (N == "empty" ? 0 : N == "two chunks" ? Chunk + 77 : 1000 + N.size()); ++I)
            Bytes.push_back(static_cast<char>((I * 131 + N.size()) & 0xFF));
        Queue.Push(Folder.Write(N, Bytes));
    }
    Start(AllHashTypes());
    Take("8");
    ASSERT_EQ(Log.size(), 5u);
    const struct {
        THashType Type;
        TVerifyFormat Format;
        const char* Tool;
    } Checks[] = {{htMD5, vfSUM, "md5sum -c"},       {htSHA1, vfSUM, "sha1sum -c"},
                  {htSHA256, vfSUM, "sha256sum -c"}, {htSHA512, vfSUM, "sha512sum -c"},
                  {htCRC32, vfSFV, "cksfv -q -f"}};
    for (const auto& C : Checks) {
        for (bool Upper : {false, true}) {
            TVerificationWriter W;
            W.HashType = C.Type;
            W.VerifyFormat = C.Format;
            W.UpperCaseHash = Upper;
            std::size_t Pos = 0;
            const bool Sfv = C.Format == vfSFV;
            W.OnNextItem = [&](std::shared_ptr<THashFile>& Item) {
                // SFV cannot name a file with a line break.
                if (Sfv && Pos < Log.size() && Log[Pos]->FileName.find('\n') != std::string::npos)
                    ++Pos;
                if (Pos >= Log.size())
                    return false;
                Item = Log[Pos++];
                return true;
            };
            const std::string Target = (Folder.Path() / "check.txt").string();
            W.SaveToFile(Target);
            const std::string Command = "cd '" + Folder.Path().string() + "' && " + C.Tool + " check.txt >/dev/null 2>&1";
            EXPECT_EQ(std::system(Command.c_str()), 0) << C.Tool << (Upper ? " upper" : " lower");
        }
    }
}

// Files the system makes as they are read: /proc's say they are empty, /sys's
// that they hold a page; their digest is that of what a read gives, as
// md5sum computes it.
TEST_F(Worker, GeneratedFilesAreReadToTheirEnd)
{
    std::vector<std::string> Files;
    for (const char* P : {"/proc/version", "/proc/self/status", "/sys/devices/system/cpu/online",
                          "/sys/kernel/mm/transparent_hugepage/enabled"}) {
        std::error_code Ec;
        if (fs::is_regular_file(P, Ec))
            Files.push_back(P);
    }
    if (Files.empty())
        GTEST_SKIP() << "neither /proc nor /sys here";
    Start();
    for (const std::string& P : Files) {
        Queue.Push(P);
        const TTokens T = Take("8");
        ASSERT_GE(T.size(), 6u) << P;
        EXPECT_EQ(T[T.size() - 2], "3") << P << ": " << ::testing::PrintToString(T);
        // A file that changes as it is read (/proc/self/status) is read again for the comparison.
        std::ifstream In(P, std::ios::binary);
        std::ostringstream Content;
        Content << In.rdbuf();
        ASSERT_FALSE(Content.str().empty()) << P;
        if (P != "/proc/self/status")
            EXPECT_EQ(Log.back()->Hashes.Get(htMD5), Md5Of(Content.str())) << P;
        else
            EXPECT_NE(Log.back()->Hashes.Get(htMD5), Md5Of("")) << P;
    }
}

TEST_F(Worker, RunsOnAThreadWithAFourMiBStack)
{
    std::size_t Stack = 0;
    On("2", [&] {
        pthread_attr_t Attr;
        if (pthread_getattr_np(pthread_self(), &Attr) == 0) {
            pthread_attr_getstacksize(&Attr, &Stack);
            pthread_attr_destroy(&Attr);
        }
    });
    Queue.Push(File("a", 10));
    Start();
    Take("8");
    EXPECT_GE(Stack, TSorvikThread::StackSize);
    EXPECT_EQ(TSorvikThread::StackSize, 4u * 1024 * 1024);
}

}  // namespace
