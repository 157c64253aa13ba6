// Worker messages posted to the real main window's worker handle, where the
// worker posts them: what the window shows, logs and lists for each sequence.
#include "main_window_support.h"

#include "engine/uStrUtils.h"
#include "support/text_direction.h"

#include <QGuiApplication>
#include <QProgressBar>

#include <gtest/gtest.h>

using namespace maintest;

namespace {

std::shared_ptr<THashFile> Record(const std::string& Name)
{
    auto F = std::make_shared<THashFile>(Name);
    return F;
}

std::shared_ptr<TWorkerPayload> Properties(std::shared_ptr<THashFile> F, std::int64_t Size)
{
    auto P = TMainWindowFixture::FilePayload(std::move(F));
    P->Properties.Size = Size;
    P->Properties.Attributes = faArchive;
    P->Properties.Modified = TLocalDateTime{2024, 2, 29, 7, 5, 9, 0};
    P->Properties.Valid = true;
    return P;
}

std::shared_ptr<TWorkerPayload> Digests(std::shared_ptr<THashFile> F, const std::string& Md5)
{
    auto P = TMainWindowFixture::FilePayload(std::move(F));
    P->Hashes.Put(htMD5, Md5);
    return P;
}

} // namespace

TEST(MainWindowEvents, AFileFromBusyToFinished)
{
    TMainWindowFixture M(AllHashTypes(), /*UpperCase=*/true);
    auto F = Record("/data/a.bin");
    M.Post(weBusy);
    EXPECT_EQ(M.Ui.StatusText(), "Working...");
    M.Post(weFileStarted, 0, M.FilePayload(F));
    EXPECT_EQ(M.Ui.EditFile->text(), "/data/a.bin");
    EXPECT_EQ(M.Access().FileList().Count(), 1);
    EXPECT_EQ(M.Ui.StatusBar->PanelText(2), "1");
    // Properties arrive with their message, not before.
    EXPECT_FALSE(F->Properties.Valid);
    M.Post(weFileProperties, 0, Properties(F, 2048));
    EXPECT_TRUE(F->Properties.Valid);
    EXPECT_EQ(M.Ui.EditFileSize->text(), Q(FormatSize(2048)));
    EXPECT_EQ(M.Ui.EditAttributes->text(), Q(AttributesToText(faArchive)));
    EXPECT_EQ(M.Ui.EditFileTimeCreated->text(), "") << "a zero creation time shows nothing";
    EXPECT_EQ(M.Ui.EditFileTimeModified->text(), "2024-02-29 07:05:09");
    EXPECT_EQ(M.Access().CurrentFileProps().Size, 2048);
    M.Post(weProgress, 42);
    EXPECT_TRUE(QTest::qWaitFor([&] { return M.Ui.ProgressBar->value() == 42; }, 2000));
    EXPECT_EQ(M.Ui.StatusBar->PanelText(4), "42%");
    M.Post(weFileFinished, 0, Digests(F, "900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(M.Digest(htMD5), "900150983CD24FB0D6963F7D28E17F72") << "cased as the settings say";
    EXPECT_EQ(F->Hashes.Get(htMD5), "900150983cd24fb0d6963f7d28e17f72") << "the record keeps the digest";
    EXPECT_EQ(M.Digest(htSHA1), "");
    M.Post(weIdle);
    EXPECT_EQ(M.Ui.StatusText(), "Finished");
    EXPECT_TRUE(M.Messages().isEmpty());
}

TEST(MainWindowEvents, AnErrorListsTwoLinesAndLeavesARecordWithoutDigests)
{
    TMainWindowFixture M;
    auto F = Record("/data/locked.bin");
    M.Post(weFileStarted, 0, M.FilePayload(F));
    M.Post(weError, 0, M.TextPayload("[EFOpenError] Cannot open file \"/data/locked.bin\"", F));
    EXPECT_EQ(M.Ui.StatusText(), "Error");
    EXPECT_EQ(M.MessageTexts(),
              QStringList({"An error has occurred.", "[EFOpenError] Cannot open file \"/data/locked.bin\""}));
    EXPECT_TRUE(QRegularExpression("^\\[\\d\\d:\\d\\d:\\d\\d\\] An error").match(M.Messages().at(0)).hasMatch());
    EXPECT_EQ(F->ErrorText, "[EFOpenError] Cannot open file \"/data/locked.bin\"");
    EXPECT_EQ(F->Hashes.HashTypes, 0u);
    EXPECT_EQ(M.Access().FileList().Count(), 1);
    EXPECT_EQ(M.Ui.EditFile->text(), "/data/locked.bin");
    EXPECT_EQ(M.Ui.ListBox_Messages->MessageLevel(), mlError);
    EXPECT_EQ(M.Access().StatusImage(1), 14);
}

TEST(MainWindowEvents, CancelAfterIdleEndsOnCancelled)
{
    TMainWindowFixture M;
    auto F = Record("/data/big.iso");
    M.Post(weBusy);
    M.Post(weFileStarted, 0, M.FilePayload(F));
    M.Post(weProgress, 30);
    M.Post(weIdle);
    M.Post(weFileCancelled, 0, M.TextPayload("/data/big.iso"));
    EXPECT_EQ(M.Ui.StatusText(), "Cancelled");
    EXPECT_EQ(M.Ui.ProgressBar->value(), 0);
    EXPECT_EQ(M.Ui.StatusBar->PanelText(4), "");
    EXPECT_EQ(M.MessageTexts(), QStringList({"File cancelled", "/data/big.iso"}));
    EXPECT_EQ(M.Ui.ListBox_Messages->MessageLevel(), mlWarning);
    EXPECT_EQ(M.Access().StatusImage(1), 13);
    EXPECT_EQ(M.Access().StatusImage(0), 0) << "the worker is idle";
}

TEST(MainWindowEvents, UnknownCodesAndStartedChangeNothing)
{
    TMainWindowFixture M;
    M.Access().SetStatusText("before");
    for (std::intptr_t Code : {0, 9, -1, 1034})
        M.Post(static_cast<TWorkerEvent>(Code), 5, M.TextPayload("ignored"));
    EXPECT_EQ(M.Ui.StatusText(), "before");
    EXPECT_TRUE(M.Messages().isEmpty());
    EXPECT_EQ(M.Access().FileList().Count(), 0);
}

TEST(MainWindowEvents, EventsForARecordOfAClearedLogAreIgnored)
{
    TMainWindowFixture M;
    auto F = Record("/data/old.bin");
    M.Post(weBusy);
    M.Post(weFileStarted, 0, M.FilePayload(F));
    M.Post(weIdle);
    M.Access().UpdateActions();
    ASSERT_TRUE(M.Ui.ActionClearLog->isEnabled());
    M.Ui.ActionClearLog->trigger();
    EXPECT_EQ(M.Access().FileList().Count(), 0);
    EXPECT_EQ(M.Ui.StatusText(), "Log cleared");
    M.Ui.EditFile->setText("shown");
    M.Post(weFileProperties, 0, Properties(F, 99));
    M.Post(weFileFinished, 0, Digests(F, "00"));
    EXPECT_EQ(M.Ui.EditFileSize->text(), "");
    EXPECT_EQ(M.Digest(htMD5), "");
    EXPECT_EQ(M.Ui.EditFile->text(), "shown");
}

TEST(MainWindowEvents, ClearLogWaitsForTheIdleEvent)
{
    TMainWindowFixture M;
    M.Access().UpdateActions();
    EXPECT_TRUE(M.Ui.ActionClearLog->isEnabled());
    M.Post(weBusy);
    M.Access().UpdateActions();
    EXPECT_FALSE(M.Ui.ActionClearLog->isEnabled()) << "a busy event came without its idle event";
    M.Post(weIdle);
    M.Access().UpdateActions();
    EXPECT_TRUE(M.Ui.ActionClearLog->isEnabled());
}

TEST(MainWindowEvents, CompareNextTwoFilesComparesTheSecondWithTheFirst)
{
    TMainWindowFixture M;
    M.Ui.ActionCompareNextTwoFiles->setChecked(true);
    auto A = Record("a"), B = Record("b"), C = Record("c");
    for (const auto& [F, Digest] : {std::pair{A, "11"}, std::pair{B, "22"}, std::pair{C, "33"}}) {
        M.Post(weFileStarted, 0, M.FilePayload(F));
        M.Post(weFileFinished, 0, Digests(F, Digest));
    }
    EXPECT_EQ(M.MessageTexts(), QStringList({"Hashes of files do not match", "b", "a"}))
        << "the second file against the first, the third not at all";
    EXPECT_FALSE(M.Ui.ActionCompareNextTwoFiles->isChecked());
    EXPECT_FALSE(M.Ui.ActionCompareToNextFile->isChecked());
}

TEST(MainWindowEvents, CompareToNextFileBeforeTheFirstFileWaitsForAPredecessor)
{
    TMainWindowFixture M;
    M.Ui.ActionCompareToNextFile->trigger();
    ASSERT_TRUE(M.Ui.ActionCompareToNextFile->isChecked());
    auto A = Record("a"), B = Record("b");
    M.Post(weFileStarted, 0, M.FilePayload(A));
    M.Post(weFileFinished, 0, Digests(A, "11"));
    EXPECT_TRUE(M.Ui.ActionCompareToNextFile->isChecked()) << "no predecessor: still armed";
    M.Post(weFileStarted, 0, M.FilePayload(B));
    M.Post(weFileFinished, 0, Digests(B, "11"));
    EXPECT_FALSE(M.Ui.ActionCompareToNextFile->isChecked());
    EXPECT_TRUE(M.Messages().isEmpty()) << "the two files match";
}

TEST(MainWindowEvents, SpeedSamples)
{
    TMainWindowFixture M;
    QDateTime Now = QDateTime::currentDateTimeUtc();
    M.Access().SetUtcNow([&] { return Now; });
    M.Access().ResetSpeedSample();
    M.Access().TimerSpeedTimer();
    EXPECT_EQ(M.Ui.StatusBar->PanelText(3), "") << "no time passed and nothing read";
    M.Access().SetSpeed(1500);
    EXPECT_EQ(M.Ui.StatusBar->PanelText(3), Q(FormatSpeed(1500)));
    M.Access().SetSpeed(0);
    EXPECT_EQ(M.Ui.StatusBar->PanelText(3), "");
}

TEST(MainWindowEvents, ProgressShowsItsLastStepAndNotEveryOne)
{
    TMainWindowFixture M;
    int Shown = 0;
    QObject::connect(M.Ui.ProgressBar, &QProgressBar::valueChanged, [&] { ++Shown; });
    M.Post(weProgress, 0);
    EXPECT_EQ(M.Ui.ProgressBar->value(), 0);
    EXPECT_EQ(M.Ui.StatusBar->PanelText(4), "0%") << "a start is shown";
    for (int P = 1; P <= 99; ++P)
        M.Deliver(weProgress, P);
    M.Settle();
    EXPECT_LT(Shown, 10) << "the steps between are not each painted";
    EXPECT_EQ(M.Ui.StatusBar->PanelText(4), "99%") << "the last step is shown";
    EXPECT_EQ(M.Ui.ProgressBar->value(), 99);
    // A step taken within a frame of the last one waits for the frame's end;
    // a cancellation meanwhile shows its reset with its status.
    const std::uint64_t Taken = M.Access().WorkerMessagesHandled();
    M.Deliver(weProgress, 57);
    ASSERT_TRUE(QTest::qWaitFor([&] { return M.Access().WorkerMessagesHandled() > Taken; }, 5000));
    M.Deliver(weFileCancelled, 0, M.TextPayload("x"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return M.Ui.StatusText() == "Cancelled"; }, 5000));
    EXPECT_EQ(M.Ui.ProgressBar->value(), 0) << "a reset is shown at once";
    EXPECT_EQ(M.Ui.StatusBar->PanelText(4), "");
    QTest::qWait(2 * TFormMainTestAccess::ProgressFrameMilliseconds);
    EXPECT_EQ(M.Ui.StatusBar->PanelText(4), "") << "and no step shows after it";
}

// "3 B/s" in a right-to-left window: the unit stays after its number.
TEST(MainWindowEvents, SpeedIsOneLeftToRightUnitInARightToLeftWindow)
{
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    {
        TMainWindowFixture M;
        for (const std::int64_t Speed : {3, 1500, 2500000}) {
            M.Access().SetSpeed(Speed);
            const QString Text = M.Ui.StatusBar->PanelText(3);
            EXPECT_EQ(directiontest::WithoutMarks(Text), Q(FormatSpeed(static_cast<double>(Speed))));
            EXPECT_TRUE(directiontest::ReadsLeftToRightInRightToLeft(Text)) << Text.toStdString();
        }
    }
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}

// An error text is a sentence: translated into Hebrew it reads right to left
// in a right-to-left window, its bracketed class name at its start; a path,
// whatever its letters, and an untranslated text read left to right.
TEST(MainWindowEvents, ErrorTextsReadInTheirLanguageAndPathsLeftToRight)
{
    TMainWindowFixture M;
    auto F = Record("/data/locked.bin");
    M.Post(weFileStarted, 0, M.FilePayload(F));
    M.Post(weError, 0, M.TextPayload("[EFOpenError] Cannot open file", F));
    M.Access().AddMessage(mlWarning, "File not found");
    M.Access().AddMessageLine("missing.txt");
    const QListWidget* List = M.Ui.ListBox_Messages;
    ASSERT_EQ(List->count(), 4);
    EXPECT_TRUE(List->item(1)->data(TMessageList::SentenceRole).toBool());
    EXPECT_FALSE(List->item(3)->data(TMessageList::SentenceRole).toBool());

    const QString Hebrew = QString::fromUtf8("[EFOpenError] לא ניתן לפתוח את הקובץ \"\u2066/tmp/a.bin\u2069\": \u2066No such file\u2069");
    const QString HebrewPath = QString::fromUtf8("/tmp/שלום/a.bin");
    struct TCase {
        QString Text;
        bool Sentence;
        Qt::LayoutDirection Window;
        Qt::LayoutDirection Reads;
    };
    for (const TCase& C : {TCase{Hebrew, true, Qt::RightToLeft, Qt::RightToLeft},
                           TCase{Hebrew, true, Qt::LeftToRight, Qt::LeftToRight},
                           TCase{HebrewPath, false, Qt::RightToLeft, Qt::LeftToRight},
                           TCase{"[EFOpenError] Cannot open file \"/tmp/a.bin\"", true, Qt::RightToLeft, Qt::LeftToRight}}) {
        SCOPED_TRACE(C.Text.toStdString());
        const QString Drawn = TMessageList::DrawnLine(C.Text, C.Sentence, C.Window);
        EXPECT_EQ(directiontest::WithoutMarks(Drawn), directiontest::WithoutMarks(C.Text));
        EXPECT_EQ(directiontest::DrawnLine(Drawn, C.Window), directiontest::DrawnLine(C.Text, C.Reads));
    }
}

// Posted as the worker posts them, so that the three are taken in one slice:
// the cancellation's reset shows with its status, not a frame later.
TEST(MainWindowEvents, ACancellationInTheSliceOfItsProgressShowsTheResetAtOnce)
{
    TMainWindowFixture M;
    auto F = Record("/data/big.bin");
    for (TWindowMessage W : {WorkerMessage(weFileStarted, 0, M.FilePayload(F)), WorkerMessage(weProgress, 37),
                             WorkerMessage(weFileCancelled, 0, M.TextPayload("/data/big.bin"))})
        ASSERT_TRUE(M.Form->Worker()->WindowHandle.Post(W));
    ASSERT_TRUE(QTest::qWaitFor([&] { return M.Ui.StatusText() == "Cancelled"; }, 5000));
    EXPECT_EQ(M.Ui.ProgressBar->value(), 0);
    EXPECT_EQ(M.Ui.StatusBar->PanelText(4), "");
}

// A file whose next one is already queued is not painted, but the bar ends
// where its progress left it when the next fails before its first chunk.
TEST(MainWindowEvents, ProgressOfASupersededFileStaysWhenTheNextSendsNone)
{
    TMainWindowFixture M;
    auto A = Record("/data/a.bin");
    auto B = Record("/data/pipe");
    for (TWindowMessage W : {WorkerMessage(weFileStarted, 0, M.FilePayload(A)), WorkerMessage(weProgress, 0),
                             WorkerMessage(weProgress, 100), WorkerMessage(weFileFinished, 0, Digests(A, "00")),
                             WorkerMessage(weFileStarted, 0, M.FilePayload(B)),
                             WorkerMessage(weError, 0, M.TextPayload("[EFOpenError] Not a regular file", B)),
                             WorkerMessage(weIdle)})
        ASSERT_TRUE(M.Form->Worker()->WindowHandle.Post(W));
    ASSERT_TRUE(QTest::qWaitFor([&] { return M.Ui.StatusText() == "Finished" && M.Access().FileList().Count() == 2; }, 5000));
    EXPECT_EQ(M.Ui.EditFile->text(), "/data/pipe");
    EXPECT_EQ(M.Ui.ProgressBar->value(), 100);
    EXPECT_EQ(M.Ui.StatusBar->PanelText(4), "100%");
}
