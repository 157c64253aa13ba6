#include "engine/uWorkLanes.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

struct TCount {
    std::array<std::atomic<int>, 8> Runs{};
    std::array<std::thread::id, 8> Where{};
    int ThrowFrom = 99;
};

void CountJob(void* Context, int Lane)
{
    auto& C = *static_cast<TCount*>(Context);
    C.Runs[static_cast<std::size_t>(Lane)].fetch_add(1);
    C.Where[static_cast<std::size_t>(Lane)] = std::this_thread::get_id();
    if (Lane >= C.ThrowFrom)
        throw std::runtime_error("lane " + std::to_string(Lane));
}

}  // namespace

TEST(WorkLanes, EveryPartRunsOnceAndTheFirstOnTheCaller)
{
    TWorkLanes Lanes(3);
    EXPECT_EQ(Lanes.MaxLanes(), 3);
    EXPECT_FALSE(Lanes.Started());
    for (int Round = 0; Round < 200; ++Round) {
        TCount C;
        // More parts than lanes: the ones beyond run on the caller too.
        const int Parts = 1 + Round % 6;
        Lanes.Run(Parts, CountJob, &C);
        for (int L = 0; L < 8; ++L)
            ASSERT_EQ(C.Runs[static_cast<std::size_t>(L)].load(), L < Parts ? 1 : 0) << Parts << " parts";
        EXPECT_EQ(C.Where[0], std::this_thread::get_id());
        if (Parts >= 3) {
            EXPECT_NE(C.Where[1], std::this_thread::get_id());
            EXPECT_NE(C.Where[2], std::this_thread::get_id());
            EXPECT_NE(C.Where[1], C.Where[2]);
        }
        for (int L = 3; L < Parts; ++L)
            EXPECT_EQ(C.Where[static_cast<std::size_t>(L)], std::this_thread::get_id());
    }
    EXPECT_TRUE(Lanes.Started());
}

TEST(WorkLanes, OneThreadStartsNoneAndRunsAllHere)
{
    TWorkLanes Lanes(1);
    TCount C;
    Lanes.Run(3, CountJob, &C);
    EXPECT_FALSE(Lanes.Started());
    for (int L = 0; L < 3; ++L) {
        EXPECT_EQ(C.Runs[static_cast<std::size_t>(L)].load(), 1);
        EXPECT_EQ(C.Where[static_cast<std::size_t>(L)], std::this_thread::get_id());
    }
}

TEST(WorkLanes, TheLowestFailingLaneIsRethrownAfterAllEnded)
{
    TWorkLanes Lanes(4);
    for (int From : {0, 1, 2, 3}) {
        TCount C;
        C.ThrowFrom = From;
        try {
            Lanes.Run(5, CountJob, &C);
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& E) {
            EXPECT_EQ(std::string(E.what()), "lane " + std::to_string(From));
        }
        for (int L = 0; L < 5; ++L)
            EXPECT_EQ(C.Runs[static_cast<std::size_t>(L)].load(), 1);
    }
    // The lanes keep working after failures.
    TCount C;
    Lanes.Run(4, CountJob, &C);
    EXPECT_EQ(C.Runs[3].load(), 1);
}
