// Helper threads that work through a stream of chunks side by side: the
// bank hands each chunk of a file to every lane, each lane a group of
// calculators, and the lanes may drift apart by a few chunks.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TLanePipeline {
public:
    // Part Lane of the work on one chunk.
    using TJob = void (*)(void* Context, int Lane, const std::uint8_t* Data, std::size_t Size);

    // At most Threads lanes, each a thread of its own, started with the
    // first Begin that needs them and ended with the object. Depth chunks
    // may be in hand at once.
    TLanePipeline(int Threads, int Depth);
    TLanePipeline(const TLanePipeline&) = delete;
    TLanePipeline& operator=(const TLanePipeline&) = delete;
    ~TLanePipeline();

    int MaxLanes() const { return FThreadCount; }

    // Drops the chunks still in hand and waits until no lane works.
    void Quiesce();
    // Quiesce, then lets
    // Lanes lanes (1 .. MaxLanes()) run Job on every chunk submitted from
    // now on, with at most Depth chunks in hand at once (2 .. the depth the
    // pipeline was made with; 0 for all of it). Failures of the run before
    // are forgotten.
    void Begin(int Lanes, TJob Job, void* Context, int Depth = 0);
    // A buffer of at least Size bytes for the next chunk; waits while every
    // buffer is still in hand. Rethrows a lane's failure (the lowest lane's).
    std::uint8_t* Acquire(std::size_t Size);
    // Hands the buffer from Acquire, its first Size bytes filled, to every lane.
    void Submit(std::size_t Size);
    // Waits until every lane has worked through every chunk submitted; what
    // the lanes wrote is then visible to the caller. Rethrows a failure.
    void Finish();

    // Chunks submitted since the pipeline was made.
    std::int64_t Submitted() const { return FSubmitted.load(std::memory_order_relaxed); }

private:
    struct alignas(64) TLane {
        std::atomic<std::int64_t> Done{0};   // chunks this lane has passed
        std::atomic<bool> Failed{false};     // Error is set and stays
        std::exception_ptr Error;
        std::thread Thread;
    };

    void Start();
    // Stops the first Running lanes and waits for them to end.
    void StopLanes(int Running);
    void LaneLoop(int Index);
    // Waits until every lane has passed chunk Count - 1; a wait that has to
    // sleep lasts until they passed SleepCount - 1 (at least Count - 1).
    void WaitForLanes(std::int64_t Count, std::int64_t SleepCount = 0);
    void RethrowFailure();

    const int FThreadCount;
    const int FDepth;
    bool FStarted = false;
    std::unique_ptr<TLane[]> FLanes;
    std::vector<std::vector<std::uint8_t>> FBuffers;
    std::vector<std::size_t> FSizes;

    // Set by Begin while no lane works; read by the lanes after they see a
    // chunk submitted (release, acquire).
    TJob FJob = nullptr;
    void* FContext = nullptr;
    int FRunDepth;
    std::atomic<int> FActive{0};
    std::atomic<std::int64_t> FBase{0};   // the first chunk of the run
    int FActiveCount = 0;                 // the caller's copy of FActive

    alignas(64) std::atomic<std::int64_t> FSubmitted{0};
    std::atomic<bool> FDropping{false};
    // The count a sleeping caller waits for; the lanes wake it only then,
    // not for every chunk they pass.
    static constexpr std::int64_t NobodyWaits = INT64_MAX;
    std::atomic<std::int64_t> FWaitingFor{NobodyWaits};
    std::atomic<bool> FStop{false};
    // Active lanes asleep on FWork, counted before their last look for a chunk.
    std::atomic<int> FSleepers{0};

    std::mutex FLock;
    std::condition_variable FWork;   // active lanes: a chunk was submitted, or stop
    std::condition_variable FIdle;   // lanes outside the run: a run takes them in, or stop
    std::condition_variable FFreed;  // caller: a lane passed a chunk
};

// One helper thread that takes a share of short pieces of work from its
// caller and stays awake between them for a while: a folder of small files
// hands it a part of every file's calculators, file after file, far sooner
// than a sleeping thread could wake up (a few hundred microseconds here).
class TSpinPartner {
public:
    using TJob = void (*)(void* Context);

    TSpinPartner() = default;
    TSpinPartner(const TSpinPartner&) = delete;
    TSpinPartner& operator=(const TSpinPartner&) = delete;
    ~TSpinPartner();

    // Starts Job(Context) on the partner's thread (started with the first
    // call). One job at a time: Wait before the next Run.
    void Run(TJob Job, void* Context);
    // Until the job has ended; what it wrote is then visible to the caller.
    // Rethrows its failure.
    void Wait();

    // How long the partner waits awake for the next job before it sleeps.
    static constexpr int AwakeMicroseconds = 300;

private:
    void Loop();

    // Written by the caller before FPosted (release), read after it (acquire).
    TJob FJob = nullptr;
    void* FContext = nullptr;
    // Written by the partner before FDone (release).
    std::exception_ptr FError;
    alignas(64) std::atomic<std::uint64_t> FPosted{0};
    alignas(64) std::atomic<std::uint64_t> FDone{0};
    std::atomic<bool> FSleeping{false};
    std::atomic<bool> FStop{false};
    std::mutex FLock;
    std::condition_variable FWake;
    std::thread FThread;
};
