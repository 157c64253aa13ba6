// What keeps the main window responsive while many small files are hashed.
#include "main_window_support.h"

#include "platform/qt/uQtMessageWindow.h"
#include "support/message_list_view.h"

#include <QProgressBar>
#include <QScrollBar>

#include <filesystem>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace maintest;

namespace {

class TReadyCounter : public QObject {
public:
    int Ready = 0;

protected:
    bool event(QEvent* Event) override
    {
        if (Event->type() == TWindowMessagesReadyEvent::EventType()) {
            ++Ready;
            return true;
        }
        return QObject::event(Event);
    }
};

TWindowMessage Message(TWorkerEvent Event, std::intptr_t Number = 0, std::shared_ptr<TWorkerPayload> Payload = nullptr)
{
    return WorkerMessage(Event, Number, std::move(Payload));
}

class TPaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(Watched, Event);
    }
};

} // namespace

// A visible change of a QProgressBar repaints it at once and flushes the
// window; with small files that happened twice per file and the window fell
// behind the worker. The bar is painted with the rest when the loop is idle.
TEST(MainResponsiveness, ProgressIsPaintedWhenTheLoopIsIdleNotAtOnce)
{
    TMainWindowFixture F;
    F.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(F.Form.get()));
    QCoreApplication::processEvents();
    TPaintCounter Counter;
    F.Ui.ProgressBar->installEventFilter(&Counter);
    // Paints while the window takes a slice of the worker's messages.
    int InSlices = 0;
    int AtStart = 0;
    QObject::connect(F.Form.get(), &TFormMain::WorkerSliceStarted, [&] { AtStart = Counter.Paints; });
    QObject::connect(F.Form.get(), &TFormMain::WorkerSliceEnded, [&] { InSlices += Counter.Paints - AtStart; });
    const std::pair<TWorkerEvent, int> Steps[] = {{weProgress, 0}, {weProgress, 100}, {weFileCancelled, -1},
                                                  {weProgress, 100}};
    for (const auto& [Event, Percent] : Steps) {
        // A frame after the last: shown at the slice's end, not on a timer.
        QTest::qWait(TFormMainTestAccess::ProgressFrameMilliseconds);
        F.Post(Event, Percent < 0 ? 0 : Percent, Event == weFileCancelled ? F.TextPayload("x") : nullptr);
        EXPECT_EQ(InSlices, 0) << "painted synchronously at " << Percent << " %";
    }
    EXPECT_EQ(F.Ui.ProgressBar->value(), 100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Counter.Paints > 0; }, 2000)) << "the change is still painted";
    F.Ui.ProgressBar->removeEventFilter(&Counter);
}

// The worker's messages wait in the window's own queue, in order; the loop
// hears of them once per batch, not once per message.
TEST(MainResponsiveness, MessagesQueueInOrderWithOneReadyEventPerBatch)
{
    TReadyCounter Receiver;
    TQtMessageWindow Window(&Receiver, WM_WORKER_NOTIFY, weProgress, weFileStarted);
    Window.Deliver(Message(weBusy));
    Window.Deliver(Message(weFileStarted));
    Window.Deliver(Message(weProgress, 40));
    Window.Deliver(Message(weProgress, 40)); // repeats what is shown: left out
    Window.Deliver(Message(weFileStarted));
    Window.Deliver(Message(weProgress, 40)); // another kind came between: kept
    EXPECT_EQ(Window.MarkedQueued(), 2u);
    QCoreApplication::processEvents();
    EXPECT_EQ(Receiver.Ready, 1);

    std::vector<std::pair<std::intptr_t, std::intptr_t>> Taken;
    TWindowMessage M;
    while (Window.Take(M)) {
        Taken.emplace_back(M.WParam, M.LParam);
        if (Taken.size() == 2) {
            EXPECT_EQ(Window.MarkedQueued(), 1u) << "the first start is taken, the second still queued";
        }
    }
    EXPECT_EQ(Taken, (std::vector<std::pair<std::intptr_t, std::intptr_t>>{
                         {weBusy, 0}, {weFileStarted, 0}, {weProgress, 40}, {weFileStarted, 0}, {weProgress, 40}}));
    EXPECT_EQ(Window.MarkedQueued(), 0u);
    EXPECT_EQ(Window.Coalesced(), 1u);

    // Emptied: the next message is announced again.
    Window.Deliver(Message(weIdle));
    QCoreApplication::processEvents();
    EXPECT_EQ(Receiver.Ready, 2);
}

// A receiver that will look again shortly holds the queue: the worker's
// messages meanwhile post no ready event (no wake-up per message), and
// only a look that finds nothing lets the next message post one.
TEST(MainResponsiveness, AHeldQueueAnnouncesNothingUntilReleased)
{
    TReadyCounter Receiver;
    TQtMessageWindow Window(&Receiver, WM_WORKER_NOTIFY, weProgress, weFileStarted);
    Window.Deliver(Message(weFileStarted));
    QCoreApplication::processEvents();
    EXPECT_EQ(Receiver.Ready, 1);
    TWindowMessage M;
    ASSERT_TRUE(Window.TakeHolding(M));
    EXPECT_FALSE(Window.TakeHolding(M));
    for (int I = 0; I < 3; ++I)
        Window.Deliver(Message(weProgress, I));
    QCoreApplication::processEvents();
    EXPECT_EQ(Receiver.Ready, 1) << "held: no ready event";
    EXPECT_FALSE(Window.Release()) << "messages came meanwhile";
    std::vector<std::intptr_t> Values;
    while (Window.TakeHolding(M))
        Values.push_back(M.LParam);
    EXPECT_EQ(Values, (std::vector<std::intptr_t>{0, 1, 2}));
    EXPECT_TRUE(Window.Release());
    Window.Deliver(Message(weIdle));
    QCoreApplication::processEvents();
    EXPECT_EQ(Receiver.Ready, 2) << "released: the next message is announced";
}

// Three files reported faster than the window takes them: every file reaches
// the log and the log viewer, and the boxes end on the last one, exactly as
// when each message is handled on its own.
TEST(MainResponsiveness, FilesReportedInABurstAllReachTheLogAndTheBoxesShowTheLast)
{
    TMainWindowFixture F;
    F.Ui.ActionCompareToNextFile->setChecked(true);
    const std::vector<std::pair<std::string, std::string>> Files = {
        {"/data/a.bin", "900150983cd24fb0d6963f7d28e17f72"},
        {"/data/b.bin", "900150983cd24fb0d6963f7d28e17f72"},
        {"/data/c.bin", "e2fc714c4727ee9395f324cd2e7f331f"},
    };
    std::int64_t Size = 500;
    for (const auto& [Name, Md5] : Files) {
        auto File = std::make_shared<THashFile>(Name);
        auto Props = TMainWindowFixture::FilePayload(File);
        Props->Properties.Size = ++Size;
        Props->Properties.Valid = true;
        auto Digests = TMainWindowFixture::FilePayload(File);
        Digests->Hashes.Put(htMD5, Md5);
        for (TWindowMessage M : {Message(weFileStarted, 0, TMainWindowFixture::FilePayload(File)),
                                 Message(weFileProperties, 0, Props), Message(weProgress, 100),
                                 Message(weFileFinished, 0, Digests)})
            ASSERT_TRUE(F.Form->Worker()->WindowHandle.Post(M));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return F.Access().FileList().Count() == 3 && !F.Ui.EditFileSize->text().isEmpty(); },
                                5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(F.Logged(), (std::vector<std::string>{"/data/a.bin", "/data/b.bin", "/data/c.bin"}));
    for (const auto& Record : F.Access().FileList().Items)
        EXPECT_NE(Record->Hashes.HashTypes, 0u) << Record->FileName << " has its digests";
    EXPECT_EQ(F.Ui.EditFile->text(), "/data/c.bin");
    EXPECT_EQ(F.Ui.EditFileSize->text(), "503 B");
    EXPECT_EQ(F.Digest(htMD5), "e2fc714c4727ee9395f324cd2e7f331f");
    EXPECT_EQ(F.Ui.ProgressBar->value(), 100);
    EXPECT_EQ(F.Access().CurrentFileProps().Size, 503);
    // The armed comparison ran on the second file even though nothing of it
    // was shown: a and b match, so nothing was written.
    EXPECT_FALSE(F.Ui.ActionCompareToNextFile->isChecked());
    EXPECT_TRUE(F.MessageTexts().isEmpty()) << F.MessageTexts().join('\n').toStdString();
}

// Links inside a searched folder are followed, to files and to folders, and
// a link back up ends the search instead of looping.
TEST(MainResponsiveness, AFolderSearchFollowsLinksAndEndsOnLoops)
{
    namespace fs = std::filesystem;
    TTempFolder Outside;
    const std::string Target = Outside.Write("target.txt", "t");
    TTempFolder Root;
    fs::create_directory(Root.Path() / "sub");
    Root.Write("b.txt", "b");
    Root.Write("sub/c.txt", "c");
    fs::create_symlink(Target, Root.Path() / "a-link.txt");
    fs::create_directory_symlink(Root.Path(), Root.Path() / "sub" / "loop");
    fs::create_symlink(Root.Path() / "missing", Root.Path() / "dangling");

    TMainWindowFixture F;
    F.Access().AddPaths({Q(Root.Path().string())});
    ASSERT_TRUE(F.WaitIdle());
    const std::string R = Root.Path().string();
    EXPECT_EQ(F.Logged(), (std::vector<std::string>{R + "/a-link.txt", R + "/b.txt", R + "/sub/c.txt"}));
    EXPECT_TRUE(F.MessageTexts().isEmpty()) << F.MessageTexts().join('\n').toStdString();
}

// The queued paths read as the folder was given, one separator before each
// name, whether or not the folder ended with one.
TEST(MainResponsiveness, AFolderGivenWithATrailingSeparatorQueuesPlainPaths)
{
    TTempFolder Root;
    Root.Write("a.txt", "a");
    std::filesystem::create_directory(Root.Path() / "sub");
    Root.Write("sub/b.txt", "b");
    TMainWindowFixture F;
    const std::string R = Root.Path().string();
    F.Access().AddPaths({Q(R + "/"), Q(R)});
    ASSERT_TRUE(F.WaitIdle());
    EXPECT_EQ(F.Logged(), (std::vector<std::string>{R + "/a.txt", R + "/sub/b.txt", R + "/a.txt", R + "/sub/b.txt"}));
}

// Each line scrolled the list to its end, and scrolling asks the window
// system where the pointer is: failing files were many times slower than
// good ones. A batch of lines is scrolled into view once, at its end, and
// the list still ends showing its last line however long it grows.
TEST(MainResponsiveness, MessagesOfABatchAreScrolledIntoViewOnce)
{
    TMessageList List;
    List.resize(300, 120);
    List.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&List));
    auto* Bar = List.verticalScrollBar();
    for (int Round = 0; Round < 3; ++Round) {
        int Moves = 0;
        const auto Connection = QObject::connect(Bar, &QScrollBar::valueChanged, [&] { ++Moves; });
        {
            const TMessageList::TBatch Batch(&List);
            for (int I = 0; I < 2000; ++I) {
                List.AddMessage(mlError, QStringLiteral("An error has occurred."));
                List.AddMessageLine(QStringLiteral("/gone/f%1.bin").arg(I));
                QCoreApplication::processEvents();
            }
            // At most the one move the list's own layout of earlier lines may still make.
            EXPECT_LE(Moves, 1) << "no line of the batch is scrolled to on its own";
        }
        QObject::disconnect(Connection);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Bar->maximum() > 0 && Bar->value() == Bar->maximum(); }, 5000))
            << Bar->value() << " of " << Bar->maximum();
        EXPECT_EQ(List.count(), 4000 * (Round + 1));
        EXPECT_EQ(List.item(List.count() - 1)->text(), QStringLiteral("/gone/f1999.bin"));
    }
    // Outside a batch a line is scrolled to at once, as before.
    List.scrollToTop();
    QCoreApplication::processEvents();
    List.AddMessageLine(QStringLiteral("last"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Bar->value() == Bar->maximum(); }, 5000));
}

// The list lays out a few thousand lines at a time, after the batch that
// scrolled it: the view stopped near line 2,000 of a longer batch, and a
// start with many failing paths opened the panel on the oldest lines. Once
// the layout is done the newest line is in view, both for paths that name
// nothing (one batch of added paths) and for files the worker fails on (its
// slices of events).
TEST(MainResponsiveness, TheNewestLineStaysInViewWhenOneBatchBringsThousandsOfLines)
{
    struct TCase {
        const char* Name;
        bool Fifos;
    };
    for (const TCase& C : {TCase{"paths that name nothing", false}, TCase{"files the worker cannot read", true}}) {
        SCOPED_TRACE(C.Name);
        TTempFolder Folder;
        QStringList Paths;
        for (int I = 0; I < 1500; ++I) {
            const std::string P = (Folder.Path() / ("f" + std::to_string(I))).string();
            if (C.Fifos) {
                ASSERT_EQ(::mkfifo(P.c_str(), 0600), 0);
            }
            Paths.append(Q(P));
        }
        TMainWindowFixture F;
        F.Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(F.Form.get()));
        F.Access().AddPaths(Paths);
        if (C.Fifos) {
            ASSERT_TRUE(F.WaitIdle(30000));
        }
        TMessageList* List = F.Ui.ListBox_Messages;
        ASSERT_EQ(List->count(), 3000);
        EXPECT_TRUE(ShowsNewestLine(*List));
        if (!C.Fifos) {
            EXPECT_EQ(List->item(List->count() - 1)->text(), Paths.back());
        }
        // Scrolled back by the user, the list stays where the user put it
        // when the panel grows.
        QScrollBar* Bar = List->verticalScrollBar();
        Bar->setValue(0);
        F.Form->resize(F.Form->width(), F.Form->height() + 100);
        QTest::qWait(100);
        EXPECT_EQ(Bar->value(), 0);
    }
}
