// The folder search as a window meets it, without the window: what it finds
// arrives by events in the search's order, and a stop ends the walk.
#include "platform/qt/uFolderSearch.h"
#include "platform/qt/uFolderSearcher.h"

#include "engine/TempFolder.h"
#include "support/permissions_enforced.h"
#include "support/thread_gate.h"

#include <QTest>

#include <atomic>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

namespace {

// Everything the searcher reports, as a window would take it.
struct TReports {
    explicit TReports(TFolderSearcher& Searcher)
    {
        QObject::connect(&Searcher, &TFolderSearcher::Found, [this](const std::vector<TSearchFinding>& F) {
            Findings.insert(Findings.end(), F.begin(), F.end());
            ++Slices;
        });
        QObject::connect(&Searcher, &TFolderSearcher::Ended, [this](const std::exception_ptr&) { ++Ends; });
    }
    std::vector<TSearchFinding> Findings;
    int Slices = 0;
    int Ends = 0;
};

void MakeFiles(TTempFolder& T, const std::string& Folder, int Count)
{
    fs::create_directories(T.Path() / Folder);
    for (int I = 0; I < Count; ++I)
        T.Write(Folder + "/f" + std::to_string(10000 + I), "");
}

// The entry hook: counts the entries read in one folder and holds the walk
// at one of them.
std::string CountedFolder;
std::atomic<int> CountedEntries{0};
int HoldAtEntry = 0;
TGate* Gate = nullptr;

void CountAndHold(const std::string& Folder)
{
    if (Folder == CountedFolder && ++CountedEntries == HoldAtEntry)
        Gate->Pass();
}

} // namespace

// More files than one hand-over holds, and a folder that cannot be read:
// all of it arrives as the search reports it, and an event posted at the
// first slice runs before the last, as the window's input would.
TEST(FolderSearcher, WhatTheSearchFindsArrivesInItsOrderWithEventsBetweenTheSlices)
{
    TTempFolder T;
    MakeFiles(T, "top/a", 1500);
    MakeFiles(T, "top/b", 1500);
    MakeFiles(T, "top/b/locked", 3);
    T.Write("top/z.txt", "z");
    const std::string Top = (T.Path() / "top").string();
    ::chmod((T.Path() / "top/b/locked").c_str(), 0);

    std::vector<TSearchFinding> Expected;
    TFolderSearcher Searcher;
    TReports Reports(Searcher);
    {
        // The search's thread, made here, keeps what this one gives up.
        TPermissionsEnforced Enforced;
        SearchFolder(
            Top, [&](const std::string& F) { Expected.push_back({F, false}); },
            [&](const std::string& F) { Expected.push_back({F, true}); });
        Searcher.Start(Top);
    }
    ASSERT_GT(Expected.size(), 3000u);
    EXPECT_TRUE(Searcher.Searching());
    std::size_t FoundWhenPostedRan = 0;
    bool Posted = false;
    QObject::connect(&Searcher, &TFolderSearcher::Found, [&] {
        if (!std::exchange(Posted, true))
            QMetaObject::invokeMethod(
                &Searcher, [&] { FoundWhenPostedRan = Reports.Findings.size(); }, Qt::QueuedConnection);
    });
    const bool Ended = QTest::qWaitFor([&] { return Reports.Ends > 0; }, 20000);
    ::chmod((T.Path() / "top/b/locked").c_str(), 0755);
    ASSERT_TRUE(Ended);
    EXPECT_EQ(Reports.Findings, Expected);
    EXPECT_GT(FoundWhenPostedRan, 0u);
    EXPECT_LT(FoundWhenPostedRan, Expected.size()) << "the event waited for the whole search";
    EXPECT_FALSE(Searcher.Searching());
    QTest::qWait(20);
    EXPECT_EQ(Reports.Ends, 1);
}

// Stopped in the middle of a folder's listing, the walk reads no further
// entry and nothing more is reported, neither files nor the end; the
// folders after it are never reached.
TEST(FolderSearcher, AStopEndsTheWalkAtItsNextEntry)
{
    TTempFolder T;
    MakeFiles(T, "top/a", 20);
    MakeFiles(T, "top/many", 2000);
    MakeFiles(T, "top/z", 20);
    TGate Held;
    CountedFolder = (T.Path() / "top" / "many").string();
    CountedEntries = 0;
    HoldAtEntry = 100;
    Gate = &Held;
    const TFolderEntryHook Previous = SetFolderEntryHook(CountAndHold);

    TFolderSearcher Searcher;
    TReports Reports(Searcher);
    Searcher.Start((T.Path() / "top").string());
    ASSERT_TRUE(Held.WaitReached());
    // What was found before the stop and not yet taken goes too.
    QCoreApplication::processEvents();
    const std::size_t FoundAtStop = Reports.Findings.size();
    Searcher.Stop();
    EXPECT_FALSE(Searcher.Searching());
    Held.Open();
    EXPECT_TRUE(Searcher.WaitUntil(TClock::now() + std::chrono::seconds(10))) << "the walk went on";
    QTest::qWait(50);
    SetFolderEntryHook(Previous);

    EXPECT_EQ(CountedEntries.load(), 100) << "entries read after the stop";
    EXPECT_EQ(Reports.Findings.size(), FoundAtStop);
    EXPECT_LE(FoundAtStop, 20u) << "only top/a's files can have come";
    EXPECT_EQ(Reports.Ends, 0);
}
