// A few helper threads that run the parts of one job side by side with the
// calling thread: the bank hashes one chunk with several calculators at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

class TWorkLanes {
public:
    // Part Lane of the job with context Context; lane 0 is the caller's.
    using TJob = void (*)(void* Context, int Lane);

    // At most Threads lanes, the caller's included. The helpers start with
    // the first job that needs them and live as long as the object.
    explicit TWorkLanes(int Threads);
    TWorkLanes(const TWorkLanes&) = delete;
    TWorkLanes& operator=(const TWorkLanes&) = delete;
    ~TWorkLanes();

    // 1 when the helper threads could not be started.
    int MaxLanes() const { return FFailed ? 1 : FHelperCount + 1; }
    bool Started() const { return FStarted; }

    // Runs Job(Context, Lane) for every Lane in 0 .. Lanes - 1 (at least
    // lane 0): lane 0 here, the next ones on helpers, those beyond
    // MaxLanes() here after lane 0. Returns when every part has ended, and
    // what the parts wrote is then visible to the caller. When parts throw,
    // the exception of the lowest lane is rethrown after all have ended.
    // Allocates nothing once the helpers run.
    void Run(int Lanes, TJob Job, void* Context);

private:
    struct alignas(64) THelper {
        std::atomic<std::uint64_t> Go{0};   // bumped once per job for this helper, and to stop
        std::exception_ptr Error;
        std::mutex Lock;
        std::condition_variable Wake;
        std::thread Thread;
    };

    void Start();
    void HelperLoop(THelper& Self, int Lane);

    const int FHelperCount;
    bool FStarted = false;
    bool FFailed = false;
    std::unique_ptr<THelper[]> FHelpers;

    // Written by the caller before a helper's Go is bumped (release), read
    // by that helper after it saw the bump (acquire).
    TJob FJob = nullptr;
    void* FContext = nullptr;
    bool FStop = false;

    // Helpers still working on the job; the last one wakes the caller when
    // it has stopped spinning.
    alignas(64) std::atomic<int> FPending{0};
    std::mutex FDoneLock;
    std::condition_variable FDone;
};
