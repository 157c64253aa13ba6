// The worker under test with a recording window, and the tokens its
// notifications become.
#pragma once

#include "engine/TempFolder.h"
#include "engine/uThreads.h"
#include "engine/uVerificationFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

inline std::string Token(const TWindowMessage& M)
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
            if (!Window.Queue.Take(M, std::chrono::seconds(60))) {
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

inline TTokens Concat(std::initializer_list<TTokens> Parts)
{
    TTokens R;
    for (const auto& P : Parts)
        R.insert(R.end(), P.begin(), P.end());
    return R;
}

inline const TTokens Hashed1Chunk = {"2", "4", "5(0)", "5(100)", "5(100)", "3"};
inline const TTokens Hashed3Chunks = {"2", "4", "5(0)", "5(33)", "5(66)", "5(100)", "5(100)", "3"};

inline std::string Md5Of(const std::string& Bytes)
{
    TSorvikList Bank;
    Bank.Init(HashTypeBit(htMD5));
    Bank.Update(Bytes.data(), Bytes.size());
    Bank.Final();
    THashList L;
    Bank.GetHashes(L);
    return L.Get(htMD5);
}

inline const std::size_t ChunkCounts[] = {4, 40};

