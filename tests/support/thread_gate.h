// Where a thread is held, as one stuck in a system call (a read or a listing
// on a dead network mount) is, until the test opens the gate; or, so that a
// fault shows as a failure and not as a hung test, for half a minute.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class TGate {
public:
    // Waits here while the gate is shut; straight through once it is open.
    void Pass()
    {
        std::unique_lock<std::mutex> Guard(FLock);
        FReached = true;
        FChanged.notify_all();
        FChanged.wait_for(Guard, std::chrono::seconds(30), [this] { return FOpen; });
    }
    // A thread has come to the gate.
    bool Reached()
    {
        std::lock_guard<std::mutex> Guard(FLock);
        return FReached;
    }
    bool WaitReached(std::chrono::milliseconds Timeout = std::chrono::seconds(10))
    {
        std::unique_lock<std::mutex> Guard(FLock);
        return FChanged.wait_for(Guard, Timeout, [this] { return FReached; });
    }
    void Open()
    {
        std::lock_guard<std::mutex> Guard(FLock);
        FOpen = true;
        FChanged.notify_all();
    }

private:
    std::mutex FLock;
    std::condition_variable FChanged;
    bool FReached = false;
    bool FOpen = false;
};
