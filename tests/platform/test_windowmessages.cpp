#include "platform/thread_stack.h"
#include "platform/uPlatformThread.h"
#include "platform/uWindowMessages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Counts live payloads, so that a test sees every one freed.
struct Payload {
    static inline std::atomic<int> Alive{0};
    explicit Payload(int V) : Value(V) { ++Alive; }
    ~Payload() { --Alive; }
    int Value;
};

TWindowMessage Make(int Value)
{
    TWindowMessage M;
    M.Msg = UserMessageBase + 10;
    M.WParam = Value;
    M.Object = std::make_shared<Payload>(Value);
    return M;
}

TEST(WindowMessages, DeliveredInPostingOrderAcrossThreads)
{
    TMessageQueue Queue;
    TWindowHandle Handle(&Queue);
    constexpr int N = 5000;
    std::thread Poster([&] {
        for (int I = 0; I < N; ++I) {
            TWindowMessage M = Make(I);
            ASSERT_TRUE(Handle.Post(M));
            EXPECT_EQ(M.Object, nullptr);  // handed over
        }
    });
    for (int I = 0; I < N; ++I) {
        TWindowMessage M;
        ASSERT_TRUE(Queue.Take(M, 10s));
        ASSERT_EQ(M.WParam, I);
        EXPECT_EQ(static_cast<Payload*>(M.Object.get())->Value, I);
    }
    Poster.join();
    EXPECT_EQ(Payload::Alive, 0);
}

TEST(WindowMessages, DetachedHandleHandsNothingOverAndPayloadsAreFreed)
{
    {
        TMessageQueue Queue;
        TWindowHandle Handle(&Queue);
        TWindowMessage First = Make(1);
        ASSERT_TRUE(Handle.Post(First));
        Handle.Detach();
        EXPECT_FALSE(Handle.Attached());
        TWindowMessage Second = Make(2);
        EXPECT_FALSE(Handle.Post(Second));
        ASSERT_NE(Second.Object, nullptr);  // still the poster's
        EXPECT_EQ(Queue.Count(), 1u);
        EXPECT_EQ(Payload::Alive, 2);
        // The pending message dies with its receiver.
    }
    EXPECT_EQ(Payload::Alive, 0);

    TMessageQueue Queue;
    TWindowMessage M = Make(3);
    Queue.Deliver(std::move(M));
    Queue.Clear();
    EXPECT_EQ(Payload::Alive, 0);
    TWindowMessage None;
    EXPECT_FALSE(Queue.TryTake(None));
}

TEST(WindowMessages, NoPostReachesTheReceiverAfterDetachReturns)
{
    // A receiver that notices any delivery after it was told it is gone.
    struct Checking : TMessageWindow {
        std::atomic<bool> Gone{false};
        std::atomic<int> Late{0};
        std::atomic<int> Delivered{0};
        void Deliver(TWindowMessage) override
        {
            if (Gone)
                ++Late;
            ++Delivered;
        }
    };
    for (int Round = 0; Round < 20; ++Round) {
        Checking Receiver;
        TWindowHandle Handle(&Receiver);
        std::atomic<bool> Stop{false};
        std::thread Poster([&] {
            while (!Stop) {
                TWindowMessage M = Make(0);
                Handle.Post(M);
            }
        });
        while (Receiver.Delivered < 10)
            std::this_thread::yield();
        Handle.Detach();
        Receiver.Gone = true;
        Stop = true;
        Poster.join();
        EXPECT_EQ(Receiver.Late, 0);
    }
    EXPECT_EQ(Payload::Alive, 0);
}

TEST(PlatformThread, RunsWithTheStackAskedForAndJoins)
{
    std::size_t Stack = 0;
    std::atomic<bool> Ran{false};
    {
        TPlatformThread T;
        EXPECT_FALSE(T.Joinable());
        T.Start(
            [&] {
                Stack = CurrentThreadStackSize();
                Ran = true;
            },
            4 * 1024 * 1024);
        EXPECT_TRUE(T.Joinable());
        T.Join();
        EXPECT_FALSE(T.Joinable());
        T.Join();  // harmless
    }
    EXPECT_TRUE(Ran);
    EXPECT_GE(Stack, 4u * 1024 * 1024);
    // The destructor joins a thread that was not joined.
    std::atomic<bool> Done{false};
    {
        TPlatformThread T;
        T.Start([&] { std::this_thread::sleep_for(20ms); Done = true; }, 65536);
    }
    EXPECT_TRUE(Done);
}

}  // namespace
