// Folders of small files: each one is hashed on the worker's own thread.
#include "engine/TempFolder.h"
#include "engine/uThreads.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

// Waits for the file's digests; empty when they did not come.
THashList Finished(TMessageQueue& Window)
{
    TWindowMessage M;
    while (Window.Take(M, 30s))
        if (WorkerEvent(M) == weFileFinished)
            return WorkerPayload(M)->Hashes;
    ADD_FAILURE() << "the file did not finish";
    return {};
}

std::string Digest(THashType T, const std::string& Data)
{
    auto C = TSorvik::CreateCalculator(T);
    C->Init();
    C->UpdateString(Data);
    C->Final();
    return C->GetHash();
}

} // namespace

// Handing a file's one short chunk to the bank's threads and waiting for
// them cost more than hashing it: 100,000 files of 1 KiB took five times as
// long. A file below the side-by-side minimum stays on the worker's thread;
// a larger one still goes to the bank's threads.
TEST(WorkerSmallFiles, ASmallFileIsHashedOnTheWorkersThread)
{
    if (TSorvikList::CoreCount() < 2)
        GTEST_SKIP() << "one core: the bank has no threads of its own";
    TTempFolder Folder;
    const std::string SmallData(1024, 'a');
    const std::string LargeData(4 * TSorvikList::SideBySideMinimum, 'b');
    TFileQueue Queue;
    TMessageQueue Window;
    TSorvikThread Worker;
    Worker.Queue = &Queue;
    Worker.WindowHandle.Attach(&Window);
    Worker.HashTypes = HashTypeBit(htMD5) | HashTypeBit(htSHA256) | HashTypeBit(htED2K);
    Worker.Start();

    Queue.Push(Folder.Write("small.bin", SmallData));
    THashList Small = Finished(Window);
    for (THashType T : {htMD5, htSHA256, htED2K})
        EXPECT_EQ(Small.Get(T), Digest(T, SmallData)) << HashTypeToName(T);
    EXPECT_EQ(Worker.ChunksHandedOver(), 0);

    Queue.Push(Folder.Write("large.bin", LargeData));
    THashList Large = Finished(Window);
    for (THashType T : {htMD5, htSHA256, htED2K})
        EXPECT_EQ(Large.Get(T), Digest(T, LargeData)) << HashTypeToName(T);
    EXPECT_GT(Worker.ChunksHandedOver(), 0);
}
