#include "engine/TempFolder.h"
#include "engine/uFileStreams.h"
#include "engine/uThreads.h"
#include "engine/uVerificationFile.h"
#include "engine/system_support.h"
#include "engine/worker_support.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#  include <climits>
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdlib>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

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
    // Opening a FIFO without a writer must not wait.
    const bool HasFifo = SystemHasFifos();
    if (HasFifo) {
        ASSERT_TRUE(MakeFifo(Fifo));
    }
    const std::string Good = File("good", Chunk);
    for (const auto& P : {Missing, Dir, Fifo, Good})
        Queue.Push(P);
    Start();
    const std::string Props = "1:[ESorvikError] Failed to read file properties";
    const std::string DirError = "1:[EFOpenError] Unable to open file \"" + Dir + "\": " + FolderOpenReason();
    const TTokens FifoEvents = HasFifo ? TTokens{"2", "4", "1:[EFOpenError] Unable to open file \"" + Fifo + "\": Not a regular file"}
                                       : TTokens{"2", Props};
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
namespace {

std::mutex HangLock;
std::condition_variable HangChanged;
bool HangEntered = false;
bool HangReleased = false;

void HangOnRead(const std::string&)
{
    std::unique_lock<std::mutex> Guard(HangLock);
    HangEntered = true;
    HangChanged.notify_all();
    HangChanged.wait_for(Guard, 30s, [] { return HangReleased; });
}

} // namespace

// A read that hangs holds the worker, but not whoever waits for it with a
// bound: the wait says the worker is still there, and ends.
TEST_F(Worker, ABoundedWaitEndsWhileAReadHangs)
{
    const std::string A = File("hangs", 3 * Chunk);
    Start();
    const TReadHook Previous = SetReadHook(HangOnRead);
    Queue.Push(A);
    {
        std::unique_lock<std::mutex> Guard(HangLock);
        ASSERT_TRUE(HangChanged.wait_for(Guard, 30s, [] { return HangEntered; }));
    }
    Thread->DetachWindow();
    Thread->Terminate();
    EXPECT_FALSE(Thread->WaitFor(std::chrono::milliseconds(100)));
    {
        std::lock_guard<std::mutex> Guard(HangLock);
        HangReleased = true;
    }
    HangChanged.notify_all();
    EXPECT_TRUE(Thread->WaitFor(std::chrono::milliseconds(30000)));
    SetReadHook(Previous);
}

#ifndef _WIN32
// A folder search reaches files deeper than PATH_MAX; the worker reads them too.
TEST_F(Worker, AFileDeeperThanPathMaxIsHashed)
{
    const std::string Name(200, 'n');
    std::vector<int> Fds{::open(Folder.Path().c_str(), O_RDONLY | O_DIRECTORY)};
    std::string Path = Folder.Path().string();
    while (Path.size() <= PATH_MAX + 100) {
        ASSERT_EQ(::mkdirat(Fds.back(), Name.c_str(), 0755), 0);
        Fds.push_back(::openat(Fds.back(), Name.c_str(), O_RDONLY | O_DIRECTORY));
        ASSERT_GE(Fds.back(), 0);
        Path += "/" + Name;
    }
    const int File = ::openat(Fds.back(), "deep.txt", O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(File, 0);
    ASSERT_EQ(::write(File, "deep", 4), 4);
    ::close(File);
    Path += "/deep.txt";

    Queue.Push(Path);
    Start();
    EXPECT_EQ(Take("8"), (TTokens{"7", "2", "4", "5(0)", "5(100)", "5(100)", "3", "8"}));
    ASSERT_EQ(Log.size(), 1u);
    EXPECT_EQ(Log[0]->Hashes.Get(htMD5), Md5Of("deep"));
    EXPECT_EQ(Log[0]->Properties.Size, 4);

    ::unlinkat(Fds.back(), "deep.txt", 0);
    for (std::size_t I = Fds.size() - 1; I > 0; --I) {
        ::close(Fds[I]);
        ::unlinkat(Fds[I - 1], Name.c_str(), AT_REMOVEDIR);
    }
    ::close(Fds[0]);
}
#endif

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

}  // namespace
