// A search on its own thread, as its owner meets it: findings taken in their
// order, a stop that holds, a search stuck in a call that holds nobody.
#include "platform/uBackgroundSearch.h"
#include "support/thread_gate.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

// The owner's side of the wake-ups: how many came, and a wait for the next.
class TWakes {
public:
    void operator()()
    {
        std::lock_guard<std::mutex> Guard(FLock);
        ++FCount;
        FChanged.notify_all();
    }
    int Count()
    {
        std::lock_guard<std::mutex> Guard(FLock);
        return FCount;
    }
    bool WaitBeyond(int Seen)
    {
        std::unique_lock<std::mutex> Guard(FLock);
        return FChanged.wait_for(Guard, 10s, [&] { return FCount > Seen; });
    }

private:
    std::mutex FLock;
    std::condition_variable FChanged;
    int FCount = 0;
};

// Takes, Max at a time, until the search's end, waiting for a wake-up
// whenever nothing is left to take; false when none comes.
bool TakeAll(TBackgroundSearch& Search, TWakes& Wakes, std::size_t Max, std::vector<TSearchFinding>& Into,
             std::exception_ptr& Error)
{
    for (;;) {
        const int Seen = Wakes.Count();
        const std::size_t Before = Into.size();
        if (Search.Take(Into, Max, Error))
            return true;
        if (Into.size() - Before < Max && !Wakes.WaitBeyond(Seen))
            return false;
    }
}

} // namespace

// Files and unreadable folders mixed, many more than one take holds: they
// arrive whole and in their order while the search is still adding, then
// the end, once.
TEST(BackgroundSearch, FindingsArriveInTheirOrderThenTheEndOnce)
{
    std::vector<TSearchFinding> Expected;
    for (int I = 0; I < 20000; ++I)
        Expected.push_back({"/top/f" + std::to_string(I), I % 7 == 3});
    TWakes Wakes;
    TBackgroundSearch Search([&Wakes] { Wakes(); });
    Search.Start([&Expected](TSearchSink& Sink) {
        for (const TSearchFinding& F : Expected)
            Sink.Add(F.Path, F.Unreadable);
    });
    EXPECT_TRUE(Search.Running());
    std::vector<TSearchFinding> Taken;
    std::exception_ptr Error;
    ASSERT_TRUE(TakeAll(Search, Wakes, 64, Taken, Error));
    EXPECT_EQ(Taken, Expected);
    EXPECT_FALSE(Error);
    EXPECT_FALSE(Search.Running()) << "the end is taken once";
    EXPECT_FALSE(Search.Take(Taken, 64, Error));
    EXPECT_EQ(Taken.size(), Expected.size());
}

// A search that would run for minutes ends at its next look once stopped:
// nothing it found after is handed over, and nobody is woken for it again.
TEST(BackgroundSearch, AStoppedSearchEndsAtItsNextLookAndHandsOverNothingMore)
{
    TWakes Wakes;
    TBackgroundSearch Search([&Wakes] { Wakes(); });
    Search.Start([](TSearchSink& Sink) {
        for (std::int64_t I = 0; I < (std::int64_t(1) << 40) && !Sink.StopRequest().load(std::memory_order_relaxed); ++I)
            Sink.Add("/big/f" + std::to_string(I), false);
    });
    ASSERT_TRUE(Wakes.WaitBeyond(0));
    std::vector<TSearchFinding> Taken;
    std::exception_ptr Error;
    EXPECT_FALSE(Search.Take(Taken, 100, Error));
    ASSERT_FALSE(Taken.empty());
    Search.Stop();
    const int WakesAtStop = Wakes.Count();
    EXPECT_FALSE(Search.Running());
    ASSERT_TRUE(Search.WaitUntil(TClock::now() + 10s)) << "the search did not end";
    EXPECT_EQ(Wakes.Count(), WakesAtStop);
    const std::size_t Before = Taken.size();
    EXPECT_FALSE(Search.Take(Taken, 100, Error));
    EXPECT_EQ(Taken.size(), Before);
    for (std::size_t I = 0; I < Taken.size(); ++I)
        EXPECT_EQ(Taken[I].Path, "/big/f" + std::to_string(I)) << "the first ones, in order";
}

// A search stuck in a call (a listing on a dead network mount) cannot see
// its stop: the wait for it gives up at its deadline, and a new search runs
// meanwhile. What the stuck one adds once it comes back is dropped.
TEST(BackgroundSearch, ASearchStuckInACallHoldsNeitherTheNextSearchNorTheWait)
{
    TGate Gate;
    TWakes Wakes;
    TBackgroundSearch Search([&Wakes] { Wakes(); });
    Search.Start([&Gate](TSearchSink& Sink) {
        Sink.Add("/dead/first", false);
        Gate.Pass();
        Sink.Add("/dead/late", false);
    });
    ASSERT_TRUE(Gate.WaitReached());
    Search.Stop();
    EXPECT_FALSE(Search.WaitUntil(TClock::now() + 100ms));

    Search.Start([](TSearchSink& Sink) {
        Sink.Add("/live/a", false);
        Sink.Add("/live/b", true);
    });
    std::vector<TSearchFinding> Taken;
    std::exception_ptr Error;
    ASSERT_TRUE(TakeAll(Search, Wakes, 10, Taken, Error)) << "the new search waits for the stuck one";
    EXPECT_EQ(Taken, (std::vector<TSearchFinding>{{"/live/a", false}, {"/live/b", true}}));
    EXPECT_FALSE(Search.WaitUntil(TClock::now() + 10ms));

    Gate.Open();
    ASSERT_TRUE(Search.WaitUntil(TClock::now() + 10s));
    EXPECT_FALSE(Search.Take(Taken, 10, Error));
    EXPECT_EQ(Taken.size(), 2u);
}

// What a search throws comes with its end, after what it found before.
TEST(BackgroundSearch, AnErrorEndsTheSearchAfterWhatItFound)
{
    TWakes Wakes;
    TBackgroundSearch Search([&Wakes] { Wakes(); });
    Search.Start([](TSearchSink& Sink) {
        Sink.Add("/top/a", false);
        Sink.Add("/top/b", true);
        throw std::runtime_error("out of memory");
    });
    std::vector<TSearchFinding> Taken;
    std::exception_ptr Error;
    ASSERT_TRUE(TakeAll(Search, Wakes, 10, Taken, Error));
    EXPECT_EQ(Taken, (std::vector<TSearchFinding>{{"/top/a", false}, {"/top/b", true}}));
    ASSERT_TRUE(Error);
    try {
        std::rethrow_exception(Error);
    } catch (const std::runtime_error& E) {
        EXPECT_STREQ(E.what(), "out of memory");
    }
}
