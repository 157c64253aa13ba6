#include "engine/TempFolder.h"
#include "engine/uThreads.h"
#include "engine/uVerificationFile.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#  include <sys/stat.h>
#endif

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using TTokens = std::vector<std::string>;

constexpr std::size_t Chunk = TSorvikThread::DefaultBufferSize;

// Records every notification; Hook runs on the worker's thread as it posts.
class TRecorder : public TMessageWindow {
public:
    void Deliver(TWindowMessage M) override
    {
        if (Hook)
            Hook(M);
        Queue.Deliver(std::move(M));
    }
    std::function<void(const TWindowMessage&)> Hook;
    TMessageQueue Queue;
};

std::string Token(const TWindowMessage& M)
{
    const TWorkerEvent E = WorkerEvent(M);
    const TWorkerPayload* P = WorkerPayload(M);
    switch (E) {
    case weProgress: return "5(" + std::to_string(M.LParam) + ")";
    case weError:
    case weFileCancelled: return std::to_string(E) + ":" + (P && P->Text ? P->Text->Text : "?");
    default: return std::to_string(E);
    }
}

class Worker : public ::testing::Test {
protected:
    TTempFolder Folder;
    TFileQueue Queue;
    TRecorder Window;
    std::vector<std::shared_ptr<THashFile>> Log;  // the receiver's log
    std::unique_ptr<TSorvikThread> Thread;        // destroyed first: joined before the rest

    std::string File(const std::string& Name, std::size_t Size, char Fill = 'a')
    {
        return Folder.Write(Name, std::string(Size, Fill));
    }

    void Start(THashTypes Types = HashTypeBit(htMD5), bool WithQueue = true)
    {
        Thread = std::make_unique<TSorvikThread>();
        Thread->Queue = WithQueue ? &Queue : nullptr;
        Thread->WindowHandle.Attach(&Window);
        Thread->HashTypes = Types;
        Thread->Start();
        EXPECT_EQ(Take(), TTokens{"0"});
    }

    // Takes notifications, as the main window does, until one whose token is
    // Last (or any when Last is empty) has arrived; returns their tokens.
    TTokens Take(const std::string& Last = "")
    {
        TTokens Tokens;
        for (;;) {
            TWindowMessage M;
            if (!Window.Queue.Take(M, 60s)) {
                ADD_FAILURE() << "no notification; so far: " << ::testing::PrintToString(Tokens);
                return Tokens;
            }
            EXPECT_EQ(M.Msg, WM_WORKER_NOTIFY);
            StoreWorkerResult(M);
            if (WorkerEvent(M) == weFileStarted)
                Log.push_back(WorkerPayload(M)->File);
            Tokens.push_back(Token(M));
            if (Last.empty() || Tokens.back() == Last)
                return Tokens;
        }
    }

    // Acts once, from the worker's thread, when the notification Trigger is posted.
    void On(const std::string& Trigger, std::function<void()> Action)
    {
        auto Done = std::make_shared<bool>(false);
        Window.Hook = [Trigger, Action, Done](const TWindowMessage& M) {
            if (!*Done && Token(M) == Trigger) {
                *Done = true;
                Action();
            }
        };
    }
};

TTokens Concat(std::initializer_list<TTokens> Parts)
{
    TTokens R;
    for (const auto& P : Parts)
        R.insert(R.end(), P.begin(), P.end());
    return R;
}

const TTokens Hashed1Chunk = {"2", "4", "5(0)", "5(100)", "5(100)", "3"};
const TTokens Hashed3Chunks = {"2", "4", "5(0)", "5(33)", "5(66)", "5(100)", "5(100)", "3"};

std::string Md5Of(const std::string& Bytes)
{
    TSorvikList Bank;
    Bank.Init(HashTypeBit(htMD5));
    Bank.Update(Bytes.data(), Bytes.size());
    Bank.Final();
    THashList L;
    Bank.GetHashes(L);
    return L.Get(htMD5);
}

TEST_F(Worker, HashesQueuedFilesInOrderWithTheirEvents)
{
    const std::string A = File("a", Chunk);
    const std::string Empty = File("empty", 0);
    const std::string C = File("c", 3 * Chunk - 5, 'c');
    for (const auto& P : {A, Empty, C})
        Queue.Push(P);
    Start(HashTypeBit(htMD5) | HashTypeBit(htCRC32));
    EXPECT_EQ(Take("8"), Concat({{"7"}, Hashed1Chunk, {"2", "4", "5(0)", "5(100)", "3"}, Hashed3Chunks, {"8"}}));

    ASSERT_EQ(Log.size(), 3u);
    EXPECT_EQ(Log[0]->FileName, A);
    EXPECT_EQ(Log[0]->Hashes.Get(htMD5), Md5Of(std::string(Chunk, 'a')));
    EXPECT_EQ(Log[0]->Hashes.HashTypes, HashTypeBit(htMD5) | HashTypeBit(htCRC32));
    EXPECT_EQ(Log[1]->Hashes.Get(htMD5), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Log[1]->Hashes.Get(htCRC32), "00000000");
    EXPECT_TRUE(Log[1]->Properties.Valid);
    EXPECT_EQ(Log[1]->Properties.Size, 0);
    EXPECT_EQ(Log[2]->Properties.Size, static_cast<std::int64_t>(3 * Chunk - 5));
    EXPECT_EQ(Log[2]->Hashes.Get(htMD5), Md5Of(std::string(3 * Chunk - 5, 'c')));
    EXPECT_EQ(Log[2]->ErrorText, "");
    EXPECT_EQ(Thread->BytesRead(), static_cast<std::int64_t>(4 * Chunk - 5));
    EXPECT_FALSE(Thread->Busy());
}

TEST_F(Worker, FailuresBecomeErrorEventsAndTheWorkerGoesOn)
{
    const std::string Missing = (Folder.Path() / "missing").string();
    const std::string Dir = (Folder.Path() / "dir").string();
    fs::create_directory(Dir);
    const std::string Fifo = (Folder.Path() / "fifo").string();
#ifndef _WIN32
    // Opening a FIFO without a writer must not wait.
    ASSERT_EQ(mkfifo(Fifo.c_str(), 0600), 0);
#endif
    const std::string Good = File("good", Chunk);
    for (const auto& P : {Missing, Dir, Fifo, Good})
        Queue.Push(P);
    Start();
    const std::string Props = "1:[ESorvikError] Failed to read file properties";
    const std::string DirError = "1:[EFOpenError] Unable to open file \"" + Dir + "\": Is a directory";
#ifndef _WIN32
    const TTokens FifoEvents = {"2", "4", "1:[EFOpenError] Unable to open file \"" + Fifo + "\": Not a regular file"};
#else
    const TTokens FifoEvents = {"2", Props};
#endif
    EXPECT_EQ(Take("8"), Concat({{"7", "2", Props, "2", "4", DirError}, FifoEvents, Hashed1Chunk, {"8"}}));
    ASSERT_EQ(Log.size(), 4u);
    EXPECT_EQ(Log[0]->ErrorText, Props.substr(2));
    EXPECT_FALSE(Log[0]->Properties.Valid);
    EXPECT_EQ(Log[1]->ErrorText, DirError.substr(2));
    EXPECT_TRUE(Log[1]->Properties.Valid);
    EXPECT_EQ(Log[1]->Hashes.HashTypes, 0u);
    EXPECT_EQ(Log[3]->ErrorText, "");
}

// Small files are read in the worker's thread, large ones one chunk ahead
// on a helper thread; both paths are driven by the same cases.
const std::size_t ChunkCounts[] = {4, 40};

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

TEST_F(Worker, SkipReportsTheAbandonedFileOnceBeforeTheNext)
{
    std::int64_t Read = 0;
    for (std::size_t Chunks : ChunkCounts) {
        const std::string A = File("a" + std::to_string(Chunks), Chunks * Chunk);
        const std::string B = File("b", Chunk);
        const std::string First = "5(" + std::to_string(100 / Chunks) + ")";
        On(First, [this] { Thread->CancelFile(); });
        Queue.Push(A);
        Queue.Push(B);
        if (!Thread)
            Start();
        EXPECT_EQ(Take("8"), Concat({{"7", "2", "4", "5(0)", First, "6:" + A}, Hashed1Chunk, {"8"}}));
        EXPECT_EQ(Log[Log.size() - 2]->Hashes.HashTypes, 0u);
        EXPECT_EQ(Log.back()->Hashes.Get(htMD5), Md5Of(std::string(Chunk, 'a')));
        Read += static_cast<std::int64_t>(2 * Chunk);
        EXPECT_EQ(Thread->BytesRead(), Read);
    }
    // Reported once: the next run has no 6.
    Queue.Push(Log.back()->FileName);
    EXPECT_EQ(Take("8"), Concat({{"7"}, Hashed1Chunk, {"8"}}));
}

TEST_F(Worker, CancelReportsIdleThenTheAbandonedFile)
{
    const std::string A = File("a", 3 * Chunk);
    Queue.Push(A);
    Queue.Push(File("b", Chunk));
    On("5(33)", [this] {
        Queue.Clear();
        Thread->CancelFile();
    });
    Start();
    EXPECT_EQ(Take("6:" + A), (TTokens{"7", "2", "4", "5(0)", "5(33)", "8", "6:" + A}));
    EXPECT_EQ(Log.size(), 1u);
}

TEST_F(Worker, CancelWhileIdleReportsAnEmptyName)
{
    Start();
    Thread->CancelFile();
    EXPECT_EQ(Take(), TTokens{"6:"});
}

TEST_F(Worker, TerminateAbandonsTheFileWithoutFurtherEvents)
{
    Queue.Push(File("a", 3 * Chunk));
    Queue.Push(File("b", Chunk));
    On("5(33)", [this] { Thread->Terminate(); });
    Start();
    EXPECT_EQ(Take("5(33)"), (TTokens{"7", "2", "4", "5(0)", "5(33)"}));
    Thread->WaitFor();
    TWindowMessage M;
    EXPECT_FALSE(Window.Queue.TryTake(M)) << Token(M);
    EXPECT_EQ(Queue.Count(), 1);
    EXPECT_EQ(Log[0]->Hashes.HashTypes, 0u);
}

TEST_F(Worker, DetachedWindowGetsNothingMoreAndTheWorkGoesOn)
{
    const std::string A = File("a", 8 * Chunk);
    Queue.Push(A);
    Queue.Push(File("b", Chunk));
    Start();
    EXPECT_EQ(Take("2"), (TTokens{"7", "2"}));
    Thread->DetachWindow();
    const std::size_t Pending = Window.Queue.Count();
    for (auto Deadline = std::chrono::steady_clock::now() + 60s;
         Thread->BytesRead() < static_cast<std::int64_t>(9 * Chunk) || Thread->Busy();)
    {
        ASSERT_LT(std::chrono::steady_clock::now(), Deadline) << "worker did not finish";
        std::this_thread::yield();
    }
    EXPECT_EQ(Window.Queue.Count(), Pending);
    // The handed-over record is the log's and stays usable.
    ASSERT_EQ(Log.size(), 1u);
    EXPECT_EQ(Log[0]->FileName, A);
}

TEST_F(Worker, ProgressTruncatesTheLongDoubleQuotientAndNoTypeStillFinishes)
{
    EXPECT_EQ(ProgressPercent(53, 100), 52);
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(100, 100), 100);
    Queue.Push(File("hundred", 100 * Chunk));
    Start(0);
    const TTokens T = Take("8");
    // 7, 2, 4, 5 (0), one 5 per chunk, 5 (100), 3, 8.
    ASSERT_EQ(T.size(), 4u + 100 + 3);
    EXPECT_EQ(T[2], "4");
    EXPECT_EQ(T[3], "5(0)");
    EXPECT_EQ(T[3 + 52], "5(52)");
    EXPECT_EQ(T[3 + 53], "5(52)");  // 0.53 rounds below itself before the multiplication
    EXPECT_EQ(T[3 + 54], "5(54)");
    EXPECT_EQ(T[3 + 100], "5(100)");
    EXPECT_EQ(T[3 + 101], "5(100)");
    EXPECT_EQ(T[3 + 102], "3");
    EXPECT_EQ(Log[0]->Hashes.HashTypes, 0u);
}

TEST_F(Worker, AnErrorOutsideAFileIsReportedAndTheWorkerGoesOn)
{
    // The post of 7 fails before the first file is taken up.
    On("7", [] { throw std::runtime_error("post failed"); });
    Queue.Push(File("lost", 10));
    Queue.Push(File("b", Chunk));
    Start();
    EXPECT_EQ(Take("8"), Concat({{"1:[Exception] post failed"}, Hashed1Chunk, {"8"}}));
    EXPECT_EQ(Log.size(), 1u);
}

TEST_F(Worker, AWorkerWithoutAQueueReportsAndEnds)
{
    Start(HashTypeBit(htMD5), false);
    EXPECT_EQ(Take(), TTokens{"1:Thread queues are not assigned"});
    Thread->WaitFor();
}

// Saves the log as SUM and SFV files and lets coreutils and cksfv check them.
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

}  // namespace
