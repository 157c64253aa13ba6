#include "engine/uWorkLanes.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// What each lane saw: the first byte and size of every chunk, in order.
struct TSeen {
    std::array<std::vector<int>, 8> Chunks;
    std::array<std::thread::id, 8> Where{};
    int FailOnLane = -1;
    int FailAtChunk = -1;
};

void Record(void* Context, int Lane, const std::uint8_t* Data, std::size_t Size)
{
    auto& S = *static_cast<TSeen*>(Context);
    auto& Mine = S.Chunks[static_cast<std::size_t>(Lane)];
    if (Lane == S.FailOnLane && static_cast<int>(Mine.size()) == S.FailAtChunk)
        throw std::runtime_error("lane " + std::to_string(Lane));
    S.Where[static_cast<std::size_t>(Lane)] = std::this_thread::get_id();
    Mine.push_back(Data[0] * 1000 + static_cast<int>(Size));
}

void Feed(TLanePipeline& P, int First, int Count)
{
    for (int C = First; C < First + Count; ++C) {
        const std::size_t Size = 1 + static_cast<std::size_t>(C % 7);
        std::uint8_t* Buffer = P.Acquire(Size);
        Buffer[0] = static_cast<std::uint8_t>(C);
        P.Submit(Size);
    }
}

std::vector<int> Expected(int First, int Count)
{
    std::vector<int> E;
    for (int C = First; C < First + Count; ++C)
        E.push_back((C & 255) * 1000 + 1 + C % 7);
    return E;
}

}  // namespace

TEST(LanePipeline, EveryActiveLaneSeesEveryChunkInOrderOnItsOwnThread)
{
    TLanePipeline P(4, 3);
    for (int Lanes : {4, 2, 3, 1}) {
        SCOPED_TRACE(std::to_string(Lanes) + " lanes");
        TSeen Seen;
        P.Begin(Lanes, Record, &Seen);
        Feed(P, 0, 300);
        P.Finish();
        for (int L = 0; L < 8; ++L)
            EXPECT_EQ(Seen.Chunks[static_cast<std::size_t>(L)], L < Lanes ? Expected(0, 300) : std::vector<int>{})
                << "lane " << L;
        for (int L = 0; L < Lanes; ++L)
            EXPECT_NE(Seen.Where[static_cast<std::size_t>(L)], std::this_thread::get_id());
    }
}

TEST(LanePipeline, AFailureSurfacesAtTheCallerUntilTheNextRun)
{
    TLanePipeline P(3, 2);
    TSeen Seen;
    Seen.FailOnLane = 1;
    Seen.FailAtChunk = 5;
    P.Begin(3, Record, &Seen);
    try {
        Feed(P, 0, 50);
        P.Finish();
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& E) {
        EXPECT_EQ(std::string(E.what()), "lane 1");
    }
    EXPECT_THROW(P.Finish(), std::runtime_error);

    TSeen Next;
    P.Begin(3, Record, &Next);
    Feed(P, 0, 20);
    P.Finish();
    EXPECT_EQ(Next.Chunks[1], Expected(0, 20));
}

TEST(LanePipeline, ANewRunDropsWhatTheOldOneHadInHand)
{
    TLanePipeline P(2, 4);
    TSeen Old;
    P.Begin(2, Record, &Old);
    Feed(P, 0, 40);
    // No Finish: the next run starts with chunks perhaps still in hand.
    TSeen New;
    P.Begin(2, Record, &New);
    Feed(P, 100, 10);
    P.Finish();
    EXPECT_EQ(New.Chunks[0], Expected(100, 10));
    EXPECT_EQ(New.Chunks[1], Expected(100, 10));
    EXPECT_LE(Old.Chunks[0].size(), 40u);
}

// Lanes slower than the caller's spin: the caller sleeps in Acquire and
// Finish, waiting for several chunks at once, and must be woken every time,
// whatever the depth and however far the lanes drift apart.
TEST(LanePipeline, ACallerThatSleepsIsWokenByTheLanes)
{
    struct TSlow {
        TSeen Seen;
        static void Job(void* Context, int Lane, const std::uint8_t* Data, std::size_t Size)
        {
            // Lane 0 slower than the others, so that they drift apart.
            std::this_thread::sleep_for(std::chrono::microseconds(Lane == 0 ? 300 : 100));
            Record(&static_cast<TSlow*>(Context)->Seen, Lane, Data, Size);
        }
    };
    for (int Depth : {2, 3, 4}) {
        TLanePipeline P(3, Depth);
        for (int Lanes : {1, 3}) {
            SCOPED_TRACE("depth " + std::to_string(Depth) + ", " + std::to_string(Lanes) + " lanes");
            TSlow Slow;
            P.Begin(Lanes, &TSlow::Job, &Slow);
            Feed(P, 0, 25);
            P.Finish();
            for (int L = 0; L < Lanes; ++L)
                EXPECT_EQ(Slow.Seen.Chunks[static_cast<std::size_t>(L)], Expected(0, 25)) << "lane " << L;
        }
    }
}

// A run may keep fewer chunks in hand than the pipeline has buffers: never
// more than that are in hand, and every lane still sees every chunk intact,
// also when the next run uses another number of buffers.
TEST(LanePipeline, ARunKeepsToItsOwnDepth)
{
    struct TInHand {
        TSeen Seen;
        TLanePipeline* Pipeline = nullptr;
        std::int64_t Base = 0;
        std::array<std::int64_t, 8> MostInHand{};
        static void Job(void* Context, int Lane, const std::uint8_t* Data, std::size_t Size)
        {
            auto& S = *static_cast<TInHand*>(Context);
            std::this_thread::sleep_for(std::chrono::microseconds(Lane == 0 ? 200 : 50));
            // This chunk and those submitted after it.
            const auto Seen = static_cast<std::int64_t>(S.Seen.Chunks[static_cast<std::size_t>(Lane)].size());
            auto& Most = S.MostInHand[static_cast<std::size_t>(Lane)];
            Most = std::max(Most, S.Pipeline->Submitted() - S.Base - Seen);
            Record(&S.Seen, Lane, Data, Size);
        }
    };
    TLanePipeline P(2, 8);
    const struct {
        int Depth;      // asked for
        int InHand;     // the most allowed
    } Runs[] = {{0, 8}, {2, 2}, {5, 5}, {3, 3}, {8, 8}, {1, 2}, {20, 8}};
    for (const auto& Run : Runs) {
        for (int Lanes : {1, 2}) {
            SCOPED_TRACE("depth " + std::to_string(Run.Depth) + ", " + std::to_string(Lanes) + " lanes");
            TInHand S;
            S.Pipeline = &P;
            S.Base = P.Submitted();
            P.Begin(Lanes, &TInHand::Job, &S, Run.Depth);
            Feed(P, 0, 30);
            P.Finish();
            for (int L = 0; L < Lanes; ++L) {
                EXPECT_EQ(S.Seen.Chunks[static_cast<std::size_t>(L)], Expected(0, 30)) << "lane " << L;
                EXPECT_LE(S.MostInHand[static_cast<std::size_t>(L)], Run.InHand) << "lane " << L;
            }
        }
    }
}

namespace {

struct TPartnerWork {
    std::vector<int> Seen;
    std::thread::id Thread;
    int Next = 0;
    bool Fail = false;
};

void PartnerStep(void* Context)
{
    auto& W = *static_cast<TPartnerWork*>(Context);
    W.Thread = std::this_thread::get_id();
    if (W.Fail)
        throw std::runtime_error("partner failed");
    W.Seen.push_back(W.Next);
}

}  // namespace

TEST(SpinPartner, RunsEachJobOnItsThreadAndHandsBackWhatItWroteAndItsFailure)
{
    TPartnerWork W;
    {
        TSpinPartner P;
        for (int I = 0; I < 2000; ++I) {
            W.Next = I;
            P.Run(&PartnerStep, &W);
            P.Wait();
            // Now and then long enough for the partner to fall asleep.
            if (I % 500 == 499)
                std::this_thread::sleep_for(std::chrono::microseconds(4 * TSpinPartner::AwakeMicroseconds));
        }
        EXPECT_NE(W.Thread, std::this_thread::get_id());
        W.Fail = true;
        P.Run(&PartnerStep, &W);
        EXPECT_THROW(P.Wait(), std::runtime_error);
        // The failure is handed back once; the next job is sound.
        W.Fail = false;
        W.Next = 2000;
        P.Run(&PartnerStep, &W);
        EXPECT_NO_THROW(P.Wait());
    }
    ASSERT_EQ(W.Seen.size(), 2001u);
    for (int I = 0; I <= 2000; ++I)
        EXPECT_EQ(W.Seen[static_cast<std::size_t>(I)], I);

    // Made and ended without a job: no thread to stop.
    TSpinPartner Idle;
}
