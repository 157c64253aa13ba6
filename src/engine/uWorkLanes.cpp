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

TLanePipeline::TLanePipeline(int Threads, int Depth)
    : FThreadCount(std::max(Threads, 1)), FDepth(std::max(Depth, 2)),
      FBuffers(static_cast<std::size_t>(FDepth)), FSizes(static_cast<std::size_t>(FDepth), 0), FRunDepth(FDepth)
{
}

TLanePipeline::~TLanePipeline()
{
    if (FStarted)
        StopLanes(FThreadCount);
}

void TLanePipeline::StopLanes(int Running)
{
    FStop.store(true, std::memory_order_release);
    { std::lock_guard<std::mutex> Guard(FLock); }
    FWork.notify_all();
    FIdle.notify_all();
    for (int I = 0; I < Running; ++I)
        FLanes[I].Thread.join();
}

void TLanePipeline::Start()
{
    FLanes = std::make_unique<TLane[]>(static_cast<std::size_t>(FThreadCount));
    int Running = 0;
    try {
        for (; Running < FThreadCount; ++Running)
            FLanes[Running].Thread = std::thread([this, Index = Running] { LaneLoop(Index); });
    } catch (...) {
        StopLanes(Running);
        FLanes.reset();
        FStop.store(false, std::memory_order_relaxed);
        throw;
    }
    FStarted = true;
}

void TLanePipeline::LaneLoop(int Index)
{
    TLane& Self = FLanes[Index];
    std::int64_t Next = 0;
    // Sequentially consistent with Submit's store and its look at FSleepers.
    const auto HasChunk = [&] {
        return FSubmitted.load(std::memory_order_seq_cst) > std::max(Next, FBase.load(std::memory_order_relaxed));
    };
    const auto Ready = [&] {
        if (FStop.load(std::memory_order_acquire))
            return true;
        if (Index >= FActive.load(std::memory_order_acquire))
            return false;
        return HasChunk();
    };
    for (;;) {
        if (!SpinFor(Ready)) {
            std::unique_lock<std::mutex> Guard(FLock);
            for (;;) {
                if (FStop.load(std::memory_order_acquire))
                    break;
                // A lane left out of the run sleeps until a run takes it in:
                // the chunks are no business of it.
                if (Index >= FActive.load(std::memory_order_acquire)) {
                    FIdle.wait(Guard);
                    continue;
                }
                if (HasChunk())
                    break;
                // Counted before the last look: either Submit sees a sleeper
                // and wakes it, or this look sees the chunk.
                FSleepers.fetch_add(1, std::memory_order_seq_cst);
                if (!HasChunk() && !FStop.load(std::memory_order_acquire))
                    FWork.wait(Guard);
                FSleepers.fetch_sub(1, std::memory_order_relaxed);
            }
        }
        if (FStop.load(std::memory_order_acquire))
            return;
        Next = std::max(Next, FBase.load(std::memory_order_relaxed));
        if (!FDropping.load(std::memory_order_relaxed) && !Self.Failed.load(std::memory_order_relaxed)) {
            const auto B = static_cast<std::size_t>(Next % FRunDepth);
            try {
                FJob(FContext, Index, FBuffers[B].data(), FSizes[B]);
            } catch (...) {
                Self.Error = std::current_exception();
                Self.Failed.store(true, std::memory_order_release);
            }
        }
        ++Next;
        // Sequentially consistent with the caller's FWaitingFor before its
        // check of Done: either it sees this chunk passed or this lane sees
        // that it waits.
        Self.Done.store(Next, std::memory_order_seq_cst);
        if (Next >= FWaitingFor.load(std::memory_order_seq_cst)) {
            { std::lock_guard<std::mutex> Guard(FLock); }
            FFreed.notify_all();
        }
    }
}

void TLanePipeline::WaitForLanes(std::int64_t Count, std::int64_t SleepCount)
{
    const auto PassedAll = [&](std::int64_t N) {
        for (int I = 0; I < FActiveCount; ++I)
            if (FLanes[I].Done.load(std::memory_order_seq_cst) < N)
                return false;
        return true;
    };
    if (SpinFor([&] { return PassedAll(Count); }))
        return;
    // Once asleep, wait for a few chunks at once: every wake-up costs the
    // lane that gives it, and the lanes are what the caller waits for.
    const std::int64_t Wanted = std::max(Count, SleepCount);
    FWaitingFor.store(Wanted, std::memory_order_seq_cst);
    {
        std::unique_lock<std::mutex> Guard(FLock);
        FFreed.wait(Guard, [&] { return PassedAll(Wanted); });
    }
    FWaitingFor.store(NobodyWaits, std::memory_order_relaxed);
}

void TLanePipeline::RethrowFailure()
{
    for (int I = 0; I < FActiveCount; ++I)
        if (FLanes[I].Failed.load(std::memory_order_acquire))
            std::rethrow_exception(FLanes[I].Error);
}

void TLanePipeline::Quiesce()
{
    if (!FStarted)
        return;
    FDropping.store(true, std::memory_order_relaxed);
    WaitForLanes(FSubmitted.load(std::memory_order_relaxed));
    FDropping.store(false, std::memory_order_relaxed);
}

void TLanePipeline::Begin(int Lanes, TJob Job, void* Context, int Depth)
{
    if (!FStarted)
        Start();
    Quiesce();
    const std::int64_t Base = FSubmitted.load(std::memory_order_relaxed);
    // No lane works now, and none touches what follows until a chunk of
    // the new run is submitted.
    const int Before = FActiveCount;
    FActiveCount = std::clamp(Lanes, 1, FThreadCount);
    for (int I = 0; I < FThreadCount; ++I) {
        FLanes[I].Error = nullptr;
        FLanes[I].Failed.store(false, std::memory_order_relaxed);
        FLanes[I].Done.store(Base, std::memory_order_relaxed);
    }
    FJob = Job;
    FContext = Context;
    FRunDepth = Depth <= 0 ? FDepth : std::clamp(Depth, 2, FDepth);
    FBase.store(Base, std::memory_order_relaxed);
    FActive.store(FActiveCount, std::memory_order_release);
    // Only lanes outside the run before may sleep there; a run of the same
    // lanes (file after file of the same types) wakes nobody.
    if (FActiveCount > Before) {
        { std::lock_guard<std::mutex> Guard(FLock); }
        FIdle.notify_all();
    }
}

std::uint8_t* TLanePipeline::Acquire(std::size_t Size)
{
    RethrowFailure();
    const std::int64_t S = FSubmitted.load(std::memory_order_relaxed);
    // The buffer of chunk S last held chunk S - Depth. A sleeping wait lasts
    // until half the buffers are free: the lanes then wake the caller once
    // per half a pipeline rather than per chunk, and the slowest lane still
    // has half a pipeline in hand while the caller wakes up.
    WaitForLanes(S - FRunDepth + 1, S - FRunDepth / 2 + 1);
    RethrowFailure();
    auto& Buffer = FBuffers[static_cast<std::size_t>(S % FRunDepth)];
    if (Buffer.size() < Size)
        Buffer.resize(Size);
    return Buffer.data();
}

void TLanePipeline::Submit(std::size_t Size)
{
    const std::int64_t S = FSubmitted.load(std::memory_order_relaxed);
    FSizes[static_cast<std::size_t>(S % FRunDepth)] = Size;
    FSubmitted.store(S + 1, std::memory_order_seq_cst);
    // Only a sleeping lane needs the wake-up; the others see the chunk
    // while they spin or before they sleep.
    if (FSleepers.load(std::memory_order_seq_cst) > 0) {
        { std::lock_guard<std::mutex> Guard(FLock); }
        FWork.notify_all();
    }
}

void TLanePipeline::Finish()
{
    WaitForLanes(FSubmitted.load(std::memory_order_relaxed));
    RethrowFailure();
}

namespace {

inline void SpinPause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

}  // namespace

TSpinPartner::~TSpinPartner()
{
    if (!FThread.joinable())
        return;
    {
        std::lock_guard<std::mutex> Guard(FLock);
        FStop.store(true, std::memory_order_seq_cst);
    }
    FWake.notify_all();
    FThread.join();
}

void TSpinPartner::Run(TJob Job, void* Context)
{
    if (!FThread.joinable())
        FThread = std::thread([this] { Loop(); });
    FJob = Job;
    FContext = Context;
    FPosted.fetch_add(1, std::memory_order_seq_cst);
    // Seen asleep: the partner checks FPosted under the lock before it
    // sleeps, so the notice cannot fall between its check and its wait.
    if (FSleeping.load(std::memory_order_seq_cst)) {
        std::lock_guard<std::mutex> Guard(FLock);
        FWake.notify_one();
    }
}

void TSpinPartner::Wait()
{
    const std::uint64_t Posted = FPosted.load(std::memory_order_relaxed);
    for (unsigned Spins = 0; FDone.load(std::memory_order_acquire) != Posted; ++Spins) {
        SpinPause();
        // Its core may be taken by another program: give way now and then.
        if ((Spins & 1023) == 1023)
            std::this_thread::yield();
    }
    if (FError) {
        std::exception_ptr Error;
        std::swap(Error, FError);
        std::rethrow_exception(Error);
    }
}

void TSpinPartner::Loop()
{
    std::uint64_t Seen = 0;
    for (;;) {
        auto Since = std::chrono::steady_clock::now();
        for (unsigned Spins = 0; FPosted.load(std::memory_order_acquire) == Seen; ++Spins) {
            if (FStop.load(std::memory_order_relaxed))
                return;
            SpinPause();
            if ((Spins & 255) != 255)
                continue;
            if (std::chrono::steady_clock::now() - Since < std::chrono::microseconds(AwakeMicroseconds))
                continue;
            std::unique_lock<std::mutex> Guard(FLock);
            FSleeping.store(true, std::memory_order_seq_cst);
            FWake.wait(Guard, [&] {
                return FStop.load(std::memory_order_seq_cst) || FPosted.load(std::memory_order_seq_cst) != Seen;
            });
            FSleeping.store(false, std::memory_order_relaxed);
            Since = std::chrono::steady_clock::now();
        }
        Seen = FPosted.load(std::memory_order_acquire);
        try {
            FJob(FContext);
        } catch (...) {
            FError = std::current_exception();
        }
        FDone.store(Seen, std::memory_order_release);
    }
}
