// The file queue between the windows and the worker thread.
#pragma once

#include "engine/uStrUtils.h"

#include <memory>
#include <mutex>
#include <string>

// First-in first-out queue of file paths; one lock around every operation,
// and nothing else is called while it is held.
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

// The process-wide queue. Created with the program; released by start-up's
// counterpart at shutdown, only after the worker has ended.
extern std::unique_ptr<TFileQueue> FileQueue;
