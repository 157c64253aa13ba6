#include "engine/uWorkLanes.h"

#include <algorithm>
#include <chrono>

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#include <immintrin.h>
#define SORVIK_SPIN_PAUSE() _mm_pause()
#else
#define SORVIK_SPIN_PAUSE() std::this_thread::yield()
#endif

namespace {

// Chunks follow each other closely, so a short spin usually catches the
// next one without the cost of sleeping and being woken; beyond it the
// thread sleeps and leaves the core to others.
constexpr auto SpinTime = std::chrono::microseconds(40);

template <typename Ready>
bool SpinFor(Ready&& IsReady)
{
    const auto Until = std::chrono::steady_clock::now() + SpinTime;
    for (;;) {
        for (int I = 0; I < 64; ++I) {
            if (IsReady())
                return true;
            SORVIK_SPIN_PAUSE();
        }
        if (std::chrono::steady_clock::now() >= Until)
            return IsReady();
    }
}

}  // namespace

TWorkLanes::TWorkLanes(int Threads) : FHelperCount(std::max(Threads, 1) - 1) {}

TWorkLanes::~TWorkLanes()
{
    if (!FStarted)
        return;
    FStop = true;
    for (int I = 0; I < FHelperCount; ++I) {
        THelper& H = FHelpers[I];
        {
            std::lock_guard<std::mutex> Guard(H.Lock);
            H.Go.fetch_add(1, std::memory_order_release);
        }
        H.Wake.notify_one();
    }
    for (int I = 0; I < FHelperCount; ++I)
        FHelpers[I].Thread.join();
}

void TWorkLanes::Start()
{
    FHelpers = std::make_unique<THelper[]>(static_cast<std::size_t>(FHelperCount));
    int Running = 0;
    try {
        for (; Running < FHelperCount; ++Running) {
            THelper& H = FHelpers[Running];
            H.Thread = std::thread([this, &H, Lane = Running + 1] { HelperLoop(H, Lane); });
        }
    } catch (...) {
        // Fewer threads than asked: stop those that run and report the failure.
        FStop = true;
        for (int I = 0; I < Running; ++I) {
            THelper& H = FHelpers[I];
            {
                std::lock_guard<std::mutex> Guard(H.Lock);
                H.Go.fetch_add(1, std::memory_order_release);
            }
            H.Wake.notify_one();
            H.Thread.join();
        }
        FHelpers.reset();
        FStop = false;
        throw;
    }
    FStarted = true;
}

void TWorkLanes::HelperLoop(THelper& Self, int Lane)
{
    std::uint64_t Seen = 0;
    for (;;) {
        const auto Bumped = [&] { return Self.Go.load(std::memory_order_acquire) != Seen; };
        if (!SpinFor(Bumped)) {
            std::unique_lock<std::mutex> Guard(Self.Lock);
            Self.Wake.wait(Guard, Bumped);
        }
        Seen = Self.Go.load(std::memory_order_acquire);
        if (FStop)
            return;
        try {
            FJob(FContext, Lane);
        } catch (...) {
            Self.Error = std::current_exception();
        }
        if (FPending.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            // The caller may be about to sleep: take its lock so that the
            // wake-up cannot fall between its check and its wait.
            { std::lock_guard<std::mutex> Guard(FDoneLock); }
            FDone.notify_one();
        }
    }
}

void TWorkLanes::Run(int Lanes, TJob Job, void* Context)
{
    if (!FStarted && !FFailed && Lanes > 1 && FHelperCount > 0) {
        try {
            Start();
        } catch (...) {
            // No threads to be had: every part runs here.
            FFailed = true;
        }
    }
    const int Parallel = std::clamp(Lanes, 1, MaxLanes());
    if (Parallel == 1) {
        for (int Lane = 0; Lane < Lanes || Lane == 0; ++Lane)
            Job(Context, Lane);
        return;
    }
    FJob = Job;
    FContext = Context;
    FPending.store(Parallel - 1, std::memory_order_relaxed);
    for (int I = 0; I < Parallel - 1; ++I) {
        THelper& H = FHelpers[I];
        H.Go.fetch_add(1, std::memory_order_release);
        // Taking the lock orders the bump before a helper's check-then-sleep;
        // a helper still spinning needs no call.
        { std::lock_guard<std::mutex> Guard(H.Lock); }
        H.Wake.notify_one();
    }
    // Failures are kept per lane, and the lowest lane's is rethrown.
    std::exception_ptr First, Later;
    for (int Lane = 0; Lane < Lanes; Lane = (Lane == 0 ? Parallel : Lane + 1)) {
        try {
            Job(Context, Lane);
        } catch (...) {
            std::exception_ptr& Slot = Lane == 0 ? First : Later;
            if (!Slot)
                Slot = std::current_exception();
        }
    }
    const auto AllDone = [this] { return FPending.load(std::memory_order_acquire) == 0; };
    if (!SpinFor(AllDone)) {
        std::unique_lock<std::mutex> Guard(FDoneLock);
        FDone.wait(Guard, AllDone);
    }
    for (int I = 0; I < Parallel - 1; ++I) {
        THelper& H = FHelpers[I];
        if (H.Error && !First)
            First = H.Error;
        H.Error = nullptr;
    }
    if (!First)
        First = Later;
    if (First)
        std::rethrow_exception(First);
}
