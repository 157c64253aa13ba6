// A folder search that hangs in a listing, as on a dead network mount: the
// window takes input meanwhile, keeps the order of what is added, and
// Cancel, Skip and Close act at once.
#include "main_window_support.h"

#include "engine/uFileStreams.h"
#include "platform/qt/uFolderSearch.h"
#include "support/thread_gate.h"

#include <QToolButton>

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace maintest;

namespace {

std::string HeldFolder;
std::string HeldFile;
TGate* ListingGate = nullptr;
TGate* ReadGate = nullptr;

void HoldListing(const std::string& Folder)
{
    if (Folder == HeldFolder)
        ListingGate->Pass();
}

void HoldRead(const std::string& FileName)
{
    if (FileName == HeldFile)
        ReadGate->Pass();
}

// A tree whose folder "held" hangs at its listing, and a worker whose read
// of a/1.txt hangs too, until the test lets them go. Made after the window's
// fixture, so that both are let go before the window goes.
class THangingSearch {
public:
    THangingSearch()
        : Files(T.WriteFiles({"top/a/1.txt", "top/a/2.txt", "top/a/3.txt", "top/held/h1.txt", "top/held/h2.txt",
                              "top/z/z1.txt"})),
          Later(T.Write("later.txt", "later")), Top(Q((T.Path() / "top").string()))
    {
        HeldFolder = (T.Path() / "top" / "held").string();
        ListingGate = &Listing;
        FPreviousListingHook = SetFolderEntryHook(HoldListing);
        HeldFile = Files[0];
        ReadGate = &Read;
        FPreviousReadHook = SetReadHook(HoldRead);
    }
    ~THangingSearch()
    {
        Release();
        SetFolderEntryHook(FPreviousListingHook);
        SetReadHook(FPreviousReadHook);
    }
    THangingSearch(const THangingSearch&) = delete;
    THangingSearch& operator=(const THangingSearch&) = delete;

    void Release()
    {
        Listing.Open();
        Read.Open();
    }
    // The search hangs in "held", a's files queued and the worker busy with
    // a/1.txt.
    bool WaitHanging()
    {
        return QTest::qWaitFor([&] { return Listing.Reached() && Read.Reached(); }, 10000);
    }

    TTempFolder T;
    const std::array<std::string, 6> Files;
    const std::string Later;
    const QString Top;
    TGate Listing;
    TGate Read;

private:
    TFolderEntryHook FPreviousListingHook = nullptr;
    TReadHook FPreviousReadHook = nullptr;
};

// The user types a path into the file box and presses Enter.
void TypePath(TMainWindowFixture& M, const std::string& Path)
{
    M.Ui.EditFile->setFocus();
    M.Ui.EditFile->setText(Q(Path));
    QTest::keyClick(M.Ui.EditFile, Qt::Key_Return);
}

// The window, shown, with the tree added: the search hangs in "held".
class MainWindowSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        M.Form->show();
        M.Access().AddPaths({H.Top});
        ASSERT_TRUE(H.WaitHanging());
    }

    TMainWindowFixture M;
    THangingSearch H;
};

} // namespace

// Cancel drops everything queued: what the search would still have found,
// and a path added behind it, count among it. What comes after the Cancel
// is added as ever.
TEST_F(MainWindowSearch, CancelDropsWhatTheSearchWouldStillAddAndWhatWaitsBehindIt)
{
    TypePath(M, H.Later);
    EXPECT_EQ(FileQueue->Count(), 2) << "a/2.txt and a/3.txt; the typed path waits for the search";

    M.Access().UpdateActions();
    ASSERT_TRUE(M.Ui.ActionCancel->isEnabled());
    QTest::mouseClick(M.Ui.TB_Cancel, Qt::LeftButton);
    EXPECT_EQ(FileQueue->Count(), 0);
    EXPECT_FALSE(M.Form->Searcher()->Searching());

    H.Release();
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_EQ(M.Logged(), std::vector<std::string>{H.Files[0]}) << "only the file in hand, abandoned";
    EXPECT_EQ(M.MessageTexts(), QStringList({"File cancelled", Q(H.Files[0])}));
    TypePath(M, H.Later);
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_EQ(M.Logged(), (std::vector<std::string>{H.Files[0], H.Later}));
}

// Keys reach the window while the listing hangs: Esc in the file box skips
// the file in hand, and a path typed in is queued after the search's files.
TEST_F(MainWindowSearch, WhileAListingHangsKeysActAndATypedPathComesAfterTheSearch)
{
    M.Ui.EditFile->setFocus();
    QTest::keyClick(M.Ui.EditFile, Qt::Key_Escape);
    TypePath(M, H.Later);
    EXPECT_EQ(FileQueue->Count(), 2);

    H.Release();
    ASSERT_TRUE(M.WaitIdle());
    std::vector<std::string> Expected(H.Files.begin(), H.Files.end());
    Expected.push_back(H.Later);
    EXPECT_EQ(M.Logged(), Expected);
    EXPECT_EQ(M.MessageTexts(), QStringList({"File cancelled", Q(H.Files[0])}));
}

// The window closes at once, and nothing the search would still find is
// queued, even once the listing comes back; what was queued is hashed.
TEST_F(MainWindowSearch, ClosingStopsTheSearchAtOnce)
{
    M.Form->close();
    EXPECT_FALSE(M.Form->isVisible());
    EXPECT_FALSE(M.Form->Searcher()->Searching());

    H.Release();
    EXPECT_TRUE(M.Form->Searcher()->WaitUntil(std::chrono::steady_clock::now() + std::chrono::seconds(10)));
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_EQ(M.Logged(), (std::vector<std::string>{H.Files[0], H.Files[1], H.Files[2]}));
}
