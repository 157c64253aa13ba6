// A search on a thread of its own: what it finds reaches the thread that
// owns it in the order found, and it stops when asked. No toolkit: the
// owner is told to come and take by a wake-up it gives (a posted message).
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One thing a search found: a file, or a folder it could not read.
struct TSearchFinding {
    std::string Path;
    bool Unreadable = false;
    bool operator==(const TSearchFinding&) const = default;
};

// What a search reports to, from its own thread.
class TSearchSink {
public:
    // Kept in order until taken; dropped once the search was stopped.
    virtual void Add(std::string Path, bool Unreadable) = 0;
    // Set when the search is to stop; the search looks at it before each entry.
    virtual const std::atomic<bool>& StopRequest() const = 0;

protected:
    ~TSearchSink() = default;
};

// Used from one thread, its owner's.
class TBackgroundSearch {
public:
    using TBody = std::function<void(TSearchSink& Sink)>;

    // Wake runs on a search's thread when findings wait where none did, and
    // once when the search has ended; never for a search once it was
    // stopped. It must neither block nor call back here: it posts.
    explicit TBackgroundSearch(std::function<void()> Wake);
    // Stops every search and waits for its thread.
    ~TBackgroundSearch();
    TBackgroundSearch(const TBackgroundSearch&) = delete;
    TBackgroundSearch& operator=(const TBackgroundSearch&) = delete;

    // Runs Body on a new thread; a search in progress is stopped first.
    void Start(TBody Body);
    // The search in progress ends at its next look at the stop request;
    // what it found and was not taken is dropped. Its thread is not waited
    // for, so a search stuck in a system call holds nobody.
    void Stop();
    // Started, and its end not yet taken.
    bool Running() const { return FRun != nullptr; }
    // Moves up to Max findings of the search in progress into Into, in
    // order. True when those were its last: the search has ended, its end is
    // taken (Running turns false), and Error holds what it threw, if it did.
    bool Take(std::vector<TSearchFinding>& Into, std::size_t Max, std::exception_ptr& Error);
    // Waits until the thread of every search, stopped ones included, has
    // ended; false when Deadline comes first.
    bool WaitUntil(std::chrono::steady_clock::time_point Deadline);

private:
    struct TRun;
    // Lets go of the stopped searches whose threads have ended.
    void Reap();

    const std::function<void()> FWake;
    std::unique_ptr<TRun> FRun;
    std::vector<std::unique_ptr<TRun>> FStopped;
};
