#include "platform/uBackgroundSearch.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

struct TBackgroundSearch::TRun final : TSearchSink {
    explicit TRun(const std::function<void()>& Wake) : FWake(Wake) {}

    void Add(std::string Path, bool Unreadable) override
    {
        std::lock_guard<std::mutex> Guard(Lock);
        if (Stop.load(std::memory_order_relaxed))
            return;
        const bool WasEmpty = Findings.empty();
        Findings.push_back({std::move(Path), Unreadable});
        // Under the lock: once Stop has it, no wake-up is under way.
        if (WasEmpty)
            FWake();
    }

    const std::atomic<bool>& StopRequest() const override { return Stop; }

    void Execute(const TBody& Body)
    {
        std::exception_ptr Thrown;
        try {
            Body(*this);
        } catch (...) {
            Thrown = std::current_exception();
        }
        std::lock_guard<std::mutex> Guard(Lock);
        Error = Thrown;
        Ended = true;
        EndedChanged.notify_all();
        if (!Stop.load(std::memory_order_relaxed))
            FWake();
    }

    bool HasEnded()
    {
        std::lock_guard<std::mutex> Guard(Lock);
        return Ended;
    }

    // Joins the thread once it has ended; false while it runs on.
    bool JoinIfEnded()
    {
        if (!Thread.joinable())
            return true;
        if (!HasEnded())
            return false;
        Thread.join();
        return true;
    }

    const std::function<void()>& FWake;
    std::mutex Lock;
    std::condition_variable EndedChanged;
    std::deque<TSearchFinding> Findings;
    std::atomic<bool> Stop{false};   // written under Lock; read by the walk without it
    bool Ended = false;
    std::exception_ptr Error;
    std::thread Thread;
};

TBackgroundSearch::TBackgroundSearch(std::function<void()> Wake) : FWake(std::move(Wake)) {}

TBackgroundSearch::~TBackgroundSearch()
{
    Stop();
    for (const std::unique_ptr<TRun>& R : FStopped)
        if (R->Thread.joinable())
            R->Thread.join();
}

void TBackgroundSearch::Start(TBody Body)
{
    Stop();
    auto Run = std::make_unique<TRun>(FWake);
    TRun* const R = Run.get();
    R->Thread = std::thread([R, Body = std::move(Body)] { R->Execute(Body); });
    FRun = std::move(Run);
}

void TBackgroundSearch::Stop()
{
    if (FRun) {
        {
            std::lock_guard<std::mutex> Guard(FRun->Lock);
            FRun->Stop.store(true, std::memory_order_relaxed);
            FRun->Findings.clear();
        }
        FStopped.push_back(std::move(FRun));
    }
    Reap();
}

bool TBackgroundSearch::Take(std::vector<TSearchFinding>& Into, std::size_t Max, std::exception_ptr& Error)
{
    if (!FRun)
        return false;
    {
        std::lock_guard<std::mutex> Guard(FRun->Lock);
        std::deque<TSearchFinding>& Findings = FRun->Findings;
        for (std::size_t Moved = 0; Moved < Max && !Findings.empty(); ++Moved) {
            Into.push_back(std::move(Findings.front()));
            Findings.pop_front();
        }
        if (!FRun->Ended || !Findings.empty())
            return false;
        Error = FRun->Error;
    }
    FRun->JoinIfEnded();
    FRun.reset();
    return true;
}

bool TBackgroundSearch::WaitUntil(std::chrono::steady_clock::time_point Deadline)
{
    const auto Wait = [Deadline](TRun& R) {
        std::unique_lock<std::mutex> Guard(R.Lock);
        return R.EndedChanged.wait_until(Guard, Deadline, [&R] { return R.Ended; });
    };
    if (FRun && !Wait(*FRun))
        return false;
    for (const std::unique_ptr<TRun>& R : FStopped)
        if (!Wait(*R))
            return false;
    if (FRun)
        FRun->JoinIfEnded();
    Reap();
    return true;
}

void TBackgroundSearch::Reap()
{
    std::erase_if(FStopped, [](const std::unique_ptr<TRun>& R) { return R->JoinIfEnded(); });
}
