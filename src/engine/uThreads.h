// The file queue between the windows and the worker thread, and the worker
// that hashes queued files one at a time and reports by posted messages.
#pragma once

#include "engine/uSorvik.h"
#include "engine/uStrUtils.h"
#include "platform/uPlatformThread.h"
#include "platform/uResourceStrings.h"
#include "platform/uWindowMessages.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

extern TResourceString sthreadqueuesnotassigned;

// First-in first-out queue of file paths; one lock around every operation,
// and nothing else is called while it is held.
class TFileReader;

class TFileQueue {
public:
    void Push(std::string Path);
    // Empties Path first; False when the queue is empty (never waits).
    bool Pop(std::string& Path);
    int Count() const;
    void Clear();

private:
    mutable std::mutex Lock;
    TStringQueue Names;
};

// The process-wide queue. Created with the program; released at shutdown,
// only after the worker has ended.
extern std::unique_ptr<TFileQueue> FileQueue;

// The message the worker posts: WParam is the TWorkerEvent, LParam the
// number (progress percent), Object a TWorkerPayload for events 1, 2, 3, 4, 6.
inline constexpr std::uint32_t WM_WORKER_NOTIFY = UserMessageBase + 10;

enum TWorkerEvent : std::int32_t {
    weStarted = 0,
    weError = 1,
    weFileStarted = 2,
    weFileFinished = 3,
    weFileProperties = 4,
    weProgress = 5,
    weFileCancelled = 6,
    weBusy = 7,
    weIdle = 8,
};

// What a worker message carries. Once a record is handed over (event 2)
// only the receiver's thread touches it: the worker sends what it found
// and the receiver stores it into the record on arrival (Store).
struct TWorkerPayload {
    std::unique_ptr<TStringObject> Text;  // 1: the error text; 6: the abandoned path
    std::shared_ptr<THashFile> File;      // 2, 3, 4; 1 when the error is a file's
    TFileProperties Properties;           // 4
    THashList Hashes;                     // 3

    // Properties (4), digests (3) or the error text (1) into File.
    void Store(TWorkerEvent Event) const;
};

// The receiver's view of a worker message.
inline TWorkerEvent WorkerEvent(const TWindowMessage& M) { return static_cast<TWorkerEvent>(M.WParam); }
inline TWorkerPayload* WorkerPayload(const TWindowMessage& M) { return static_cast<TWorkerPayload*>(M.Object.get()); }
// Stores what a message of event 1, 3 or 4 carries into its record.
void StoreWorkerResult(const TWindowMessage& M);

// Percent of a file done: the quotient first, rounded to the 64-bit
// mantissa, then times 100, truncated.
int ProgressPercent(std::int64_t Done, std::int64_t Total);

// The worker. Owned by its creator, which joins it: the destructor detaches
// the window, requests termination and waits for the thread to end.
class TSorvikThread {
public:
    static constexpr std::size_t StackSize = 4 * 1024 * 1024;
    static constexpr std::uint32_t DefaultBufferSize = 262144;
    static constexpr int PauseMilliseconds = 200;

    TSorvikThread();
    TSorvikThread(const TSorvikThread&) = delete;
    TSorvikThread& operator=(const TSorvikThread&) = delete;
    ~TSorvikThread();

    // Set before Start.
    TFileQueue* Queue = nullptr;
    std::uint32_t BufferSize = DefaultBufferSize;
    // The receiver of the events. Its Deliver runs on the worker thread
    // while the handle is locked: it must not detach from there.
    TWindowHandle WindowHandle;
    // The enabled hash types; written at any time, read once per file.
    std::atomic<THashTypes> HashTypes{0};

    void Start();
    // Asks the thread to end at its next check; WaitFor waits until it has.
    void Terminate();
    void WaitFor();
    // Waits at most Timeout: false when the thread is still running (stuck
    // in a read that does not return, on a dead network mount say).
    bool WaitFor(std::chrono::milliseconds Timeout);
    bool Terminated() const { return FTerminated.load(std::memory_order_relaxed); }

    void DetachWindow() { WindowHandle.Detach(); }
    // Abandons the file in hand at the next check; reported once by event 6.
    void CancelFile() { FCancelRequested.store(true, std::memory_order_relaxed); }

    bool Busy() const { return FBusy.load(std::memory_order_relaxed); }
    // Bytes read since the worker was created; never reset.
    std::int64_t BytesRead() const { return FBytesRead.load(std::memory_order_relaxed); }
    // Chunks handed to the bank's threads so far.
    std::int64_t ChunksHandedOver() const { return Bank.ChunksHandedOver(); }

private:
    void Execute();
    void Pause();
    // Event 1 for the exception being handled outside a file; never throws.
    void ReportError() noexcept;
    void SetBusy(bool NewBusy, const std::string& Path);
    void ProcessFile(const std::string& Path);
    void HashItem(const std::string& FileName);
    void HashToEnd(TFileReader& Stream);
    bool Notify(TWorkerEvent Event, std::intptr_t Number);
    bool NotifyObject(TWorkerEvent Event, std::shared_ptr<TWorkerPayload> Payload);
    bool NotifyText(TWorkerEvent Event, std::string Text, std::shared_ptr<THashFile> File = nullptr);
    bool Stopping() const { return Terminated() || FCancelRequested.load(std::memory_order_relaxed); }

    // Side by side on up to one thread per core.
    TSorvikList Bank{TSorvikList::CoreCount()};
    std::string CurrentFile;
    THashFile FWork{std::string()};
    std::vector<std::uint8_t> FBuffer;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FCancelRequested{false};
    std::atomic<bool> FBusy{false};
    std::atomic<std::int64_t> FBytesRead{0};
    std::mutex FPauseLock;
    std::condition_variable FWake;
    bool FEnded = false;   // under FPauseLock: the thread body has returned
    TPlatformThread FThread;
};
