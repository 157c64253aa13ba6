// The folder search of a window: it runs on a thread of its own and hands
// what it finds to this object's thread by posted events, a slice at a
// time and in its order, so that the window takes input in between. Stop
// ends the walk at its next directory entry.
#pragma once

#include "platform/uBackgroundSearch.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

class TFolderSearcher : public QObject {
    Q_OBJECT
public:
    explicit TFolderSearcher(QObject* Parent = nullptr);
    // Stops the search and waits for its thread: the program's end waits
    // no longer than WaitUntil allows, and ends the process when a thread
    // is stuck in a system call.
    ~TFolderSearcher() override;

    // Searches Folder as SearchFolder does; a search in progress is stopped.
    void Start(const std::string& Folder);
    // Nothing more of the search in progress is reported, not even its end.
    void Stop();
    // A search started and its end not yet reported.
    bool Searching() const { return FSearch.Running(); }
    // Every search thread, stopped ones included, has ended by Deadline.
    bool WaitUntil(std::chrono::steady_clock::time_point Deadline) { return FSearch.WaitUntil(Deadline); }

signals:
    // A slice of what the search found, in its order.
    void Found(const std::vector<TSearchFinding>& Findings);
    // Everything found was reported. Error: what ended the search early.
    void Ended(const std::exception_ptr& Error);

private:
    void TakeFindings();
    void TakeSoon();

    TBackgroundSearch FSearch;
    // A look at the findings is posted and has not run yet.
    std::atomic<bool> FTakePosted{false};
    // Counts starts and stops: a slice's signals end when either comes.
    std::uint64_t FGeneration = 0;
};
