// A thread with a chosen stack size (std::thread cannot set one), owned and
// joined by its owner.
#pragma once

#include <cstddef>
#include <functional>

class TPlatformThread {
public:
    TPlatformThread() = default;
    TPlatformThread(const TPlatformThread&) = delete;
    TPlatformThread& operator=(const TPlatformThread&) = delete;
    // Joins a thread that is still running: it is never left behind.
    ~TPlatformThread();

    // Runs Body on a new thread with at least StackSize bytes of stack.
    // std::system_error when the thread cannot be created; once only.
    void Start(std::function<void()> Body, std::size_t StackSize);
    // Waits for Body to return; nothing when not started or already joined.
    void Join();
    bool Joinable() const;

private:
    friend struct TPlatformThreadSystem;
    struct TSystemThread;   // the system's own handle, one per system file
    TSystemThread* FThread = nullptr;   // owned while the thread is not joined
};
