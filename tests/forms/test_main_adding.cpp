// Files and folders coming in through every way, hashed by the real worker:
// the order of the log is the order they were queued in.
#include "main_window_support.h"

#include "forms/fCompareFiles.h"
#include "forms/fLogViewer.h"
#include "forms/uForms.h"
#include "platform/qt/uFileNames.h"
#include "platform/qt/uFolderSearcher.h"
#include "program/uMainSequence.h"
#include "support/deep_chain_posix.h"
#include "support/permissions_enforced.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace maintest;
namespace fs = std::filesystem;

namespace {

std::string Str(const fs::path& P) { return P.string(); }

// Drops Paths on the window as a file manager would, offering every action
// and proposing a move (Shift held).
void Drop(TFormMain& Form, const QStringList& Paths)
{
    const Qt::DropActions Offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QMimeData Data;
    QList<QUrl> Urls;
    for (const QString& P : Paths)
        Urls << QUrl::fromLocalFile(P);
    Data.setUrls(Urls);
    QDragEnterEvent Enter(QPoint(50, 50), Offered, &Data, Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(Enter.proposedAction(), Qt::MoveAction);
    QCoreApplication::sendEvent(&Form, &Enter);
    ASSERT_TRUE(Enter.isAccepted());
    EXPECT_EQ(Enter.dropAction(), Qt::CopyAction);
    QDropEvent Event(QPointF(50, 50), Offered, &Data, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(&Form, &Event);
    EXPECT_TRUE(Event.isAccepted());
    EXPECT_EQ(Event.dropAction(), Qt::CopyAction) << "always a copy: a move lets the source delete the files";
}

} // namespace

TEST(MainWindowAdding, EveryWayInQueuesInTheOrderGiven)
{
    TTempFolder T;
    const std::string A = T.Write("a.txt", "abc");
    const std::string B = T.Write("b.txt", "123456789");
    fs::create_directories(T.Path() / "folder" / "sub");
    const std::string S1 = T.Write("folder/sub/2.txt", "2");
    const std::string S2 = T.Write("folder/sub/.hidden", "h");
    const std::string S3 = T.Write("folder/sub/1.txt", "1");
    struct TCase {
        const char* Way;
        std::function<void(TMainWindowFixture&)> Add;
        std::vector<std::string> Expected;
    };
    const QString QA = Q(A), QB = Q(B), QFolder = Q(Str(T.Path() / "folder"));
    const std::vector<TCase> Cases = {
        {"drop", [&](TMainWindowFixture& M) { Drop(*M.Form, {QA, QB, QFolder}); }, {A, B, S2, S3, S1}},
        {"open-files dialog",
         [&](TMainWindowFixture& M) {
             M.FilesToChoose = {QB, QA};
             M.Ui.ActionAddFiles->trigger();
         },
         {B, A}},
        {"add folder",
         [&](TMainWindowFixture& M) {
             M.FoldersToChoose = {QFolder};
             M.Ui.ActionAddFolder->trigger();
         },
         {S2, S3, S1}},
        {"same file twice", [&](TMainWindowFixture& M) { M.Access().AddPaths({QA, QA}); }, {A, A}},
        {"file box",
         [&](TMainWindowFixture& M) {
             M.Access().AddPaths({QB});
             ASSERT_TRUE(M.WaitIdle());
             M.Ui.EditFile->setFocus();
             QTest::keyClick(M.Ui.EditFile, Qt::Key_Return);
         },
         {B, B}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Way);
        TMainWindowFixture M;
        M.Form->show();
        C.Add(M);
        ASSERT_TRUE(M.WaitIdle());
        EXPECT_EQ(M.Logged(), C.Expected);
        EXPECT_TRUE(M.Messages().isEmpty());
        EXPECT_TRUE(M.Ui.EditFile->isVisible());
        EXPECT_FALSE(M.Ui.Panel_DragAndDrop->isVisible());
    }
}

TEST(MainWindowAdding, FolderSearchOwnFilesFirstDepthFirstAndOnlyRegularFiles)
{
    TTempFolder T;
    const fs::path Top = T.Path() / "top";
    const auto [F1, F2, F3, F4] = T.WriteFiles({"top/z.txt", "top/a/x.txt", "top/b/deep/y.txt", "top/b/w.txt"});
    fs::create_directory_symlink(Top, Top / "b" / "loop"); // back to the top
    ASSERT_EQ(::mkfifo(Str(Top / "a" / "pipe").c_str(), 0600), 0);
    fs::create_directory(T.Path() / "empty");

    TMainWindowFixture M;
    M.Access().AddPaths({Q(Str(Top)), Q(Str(T.Path() / "empty"))});
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_EQ(M.Logged(), (std::vector<std::string>{F1, F2, F4, F3}))
        << "own files, then sub-folders by name, depth first; the loop ends and the FIFO is left out";
    EXPECT_TRUE(M.Messages().isEmpty()) << "an empty folder adds and reports nothing";
}

// A long folder search lets the window go on (timers, painting, the
// worker's messages). A path added meanwhile, as by a drop, waits for the
// search: the queue keeps the order in which the paths were added.
TEST(MainWindowAdding, APathAddedWhileASearchGoesOnComesAfterIt)
{
    TTempFolder T;
    const fs::path Top = T.Path() / "many";
    constexpr int Count = 30000;
    std::vector<std::string> Expected;
    for (int I = 0; I < Count; ++I) {
        const fs::path Sub = Top / ("d" + std::to_string(I / 100 + 1000));
        if (I % 100 == 0)
            fs::create_directories(Sub);
        Expected.push_back(T.Write(Str(fs::relative(Sub, T.Path()) / ("f" + std::to_string(I % 100 + 100) + ".bin")), ""));
    }
    const std::string Later = T.Write("later.txt", "later");
    Expected.push_back(Later);

    TMainWindowFixture M;
    bool Ran = false;
    int QueuedWhenRun = -1;
    QTimer::singleShot(0, M.Form.get(), [&] {
        Ran = true;
        QueuedWhenRun = FileQueue->Count();
        M.Access().AddPaths({Q(Later)});
    });
    M.Access().AddPaths({Q(Str(Top))});
    QCoreApplication::processEvents();
    ASSERT_TRUE(Ran);
    ASSERT_TRUE(M.WaitIdle(60000));
    EXPECT_EQ(M.Logged(), Expected) << "the timer ran with " << QueuedWhenRun << " files queued";
}

// A sub-folder the search cannot read is named in a warning, its path on
// the line below; the files it could reach are queued all the same.
TEST(MainWindowAdding, FoldersThatCannotBeReadAreReported)
{
    TTempFolder T;
    const fs::path Top = T.Path() / "top";
    const auto [A, Locked, B] = T.WriteFiles({"top/a.txt", "top/locked/x.txt", "top/open/b.txt"});
    ::chmod(Str(Top / "locked").c_str(), 0);
    TMainWindowFixture M;
    {
        TPermissionsEnforced Enforced;
        if (!Enforced.Active()) {
            ::chmod(Str(Top / "locked").c_str(), 0755);
            GTEST_SKIP() << "permissions cannot be enforced here";
        }
        M.Access().AddPaths({Q(Str(Top))});
        // The search runs on: the folder stays locked until it has ended.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !M.Form->Searcher()->Searching(); }, 10000));
    }
    ::chmod(Str(Top / "locked").c_str(), 0755);
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_EQ(M.Logged(), (std::vector<std::string>{A, B}));
    EXPECT_EQ(M.MessageTexts(), QStringList({"Folder could not be read", Q(Str(Top / "locked"))}));
    EXPECT_EQ(M.Ui.ListBox_Messages->item(0)->data(Qt::UserRole + 1).toInt(), mlWarning);
    EXPECT_EQ(M.Ui.ListBox_Messages->item(1)->data(Qt::UserRole + 1).toInt(), mlNone);
    EXPECT_EQ(M.Ui.ListBox_Messages->MessageLevel(), mlWarning);
}

TEST(MainWindowAdding, PathsThatNameNothingAreReported)
{
    TTempFolder T;
    const std::string A = T.Write("a.txt", "abc");
    TMainWindowFixture M;
    M.Form->SetCommandLineArguments({"--LANG=de", Q(A)});
    M.Access().AddCommandLineFiles();
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_EQ(M.Logged(), std::vector<std::string>{A});
    EXPECT_EQ(M.MessageTexts(), QStringList({"File not found", "--LANG=de"}));
    EXPECT_TRUE(M.Ui.EditFile->isVisibleTo(M.Form.get()));

    // The file box's text is used as it reads: a trailing blank is kept.
    M.Access().ClearMessages();
    M.Ui.EditFile->setText(Q(A) + " ");
    M.Ui.ActionRehashFile->trigger();
    EXPECT_EQ(M.MessageTexts(), QStringList({"File not found", Q(A) + " "}));
}

TEST(MainWindowAdding, FileBoxKeys)
{
    TMainWindowFixture M;
    M.Form->show();
    M.Access().AddPaths({"/no/such/file"});
    M.Ui.EditFile->setFocus();
    M.Ui.EditFile->setText("  \t ");
    QTest::keyClick(M.Ui.EditFile, Qt::Key_Return);
    EXPECT_EQ(M.FileDialogs, 1) << "Enter in a blank box opens the open-files dialog";
    M.Ui.EditFile->setText("/tmp/whatever");
    QTest::keyClick(M.Ui.EditFile, Qt::Key_Escape);
    EXPECT_EQ(M.Ui.EditFile->text(), "/tmp/whatever") << "Esc while idle does nothing";
    EXPECT_EQ(M.Ui.StatusText(), "");
}

TEST(MainWindowAdding, ModifierKeysArmTheComparisonsWhereTheyAreRead)
{
    TTempFolder T;
    const QString A = Q(T.Write("a.txt", "abc")), B = Q(T.Write("b.txt", "abd")), C = Q(T.Write("c.txt", "abc"));
    {
        SCOPED_TRACE("Shift at the open-files dialog, empty log: the second file against the first");
        TMainWindowFixture M;
        M.Keys = Qt::ShiftModifier;
        M.FilesToChoose = {A, B};
        M.Ui.ActionAddFiles->trigger();
        EXPECT_TRUE(M.Ui.ActionCompareToNextFile->isChecked());
        ASSERT_TRUE(M.WaitIdle());
        EXPECT_EQ(M.MessageTexts(), QStringList({"Hashes of files do not match", B, A}));
        EXPECT_FALSE(M.Ui.ActionCompareToNextFile->isChecked());
    }
    {
        SCOPED_TRACE("Ctrl at a drop: the second dropped file against the first");
        TMainWindowFixture M;
        M.Keys = Qt::ControlModifier;
        Drop(*M.Form, {A, C});
        EXPECT_TRUE(M.Ui.ActionCompareNextTwoFiles->isChecked());
        ASSERT_TRUE(M.WaitIdle());
        EXPECT_TRUE(M.Messages().isEmpty()) << "a.txt and c.txt match";
        EXPECT_FALSE(M.Ui.ActionCompareNextTwoFiles->isChecked());
        EXPECT_FALSE(M.Ui.ActionCompareToNextFile->isChecked());
    }
    {
        SCOPED_TRACE("Ctrl at Add Folder, and a cancelled dialog, arm nothing");
        TMainWindowFixture M;
        M.Keys = Qt::ControlModifier | Qt::ShiftModifier;
        M.FoldersToChoose = {Q(T.Path().string())};
        M.Ui.ActionAddFolder->trigger();
        M.FilesToChoose = {};
        M.Ui.ActionAddFiles->trigger();
        EXPECT_EQ(M.FileDialogs, 1);
        EXPECT_FALSE(M.Ui.ActionCompareToNextFile->isChecked());
        EXPECT_FALSE(M.Ui.ActionCompareNextTwoFiles->isChecked());
        ASSERT_TRUE(M.WaitIdle());
    }
}

#ifndef Q_OS_WIN
// A name that is not UTF-8 (Latin-1 here) given on the command line is found
// and hashed under its own bytes, the file box shows it so that Enter hashes
// the same file again, and a drop of it is found as well.
TEST(MainWindowAdding, NamesThatAreNotUtf8KeepTheirBytes)
{
    TTempFolder T;
    const std::string A = T.Write("caf\xE9.txt", "abc");
    std::string Program = "sorvik", Arg = A;
    char* Argv[] = {Program.data(), Arg.data(), nullptr};
    TMainWindowFixture M;
    M.Form->SetCommandLineArguments(TSorvikProgram::ArgumentsFromArgv(2, Argv));
    M.Access().AddCommandLineFiles();
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_EQ(M.Logged(), std::vector<std::string>{A});
    EXPECT_TRUE(M.Messages().isEmpty()) << M.MessageTexts().join('\n').toStdString();

    M.Ui.EditFile->setFocus();
    QTest::keyClick(M.Ui.EditFile, Qt::Key_Return);
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_EQ(M.Logged(), (std::vector<std::string>{A, A}));
    EXPECT_TRUE(M.Messages().isEmpty());

    // Dropped by a file manager, which sends the bytes percent-encoded.
    const QUrl Url = QUrl::fromEncoded(QByteArray("file://") + QByteArray::fromStdString(A).toPercentEncoding("/"));
    ASSERT_TRUE(Url.isLocalFile()) << Url.toString().toStdString();
    QMimeData Data;
    Data.setUrls({Url});
    QDragEnterEvent Enter(QPoint(50, 50), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(M.Form.get(), &Enter);
    ASSERT_TRUE(Enter.isAccepted());
    QDropEvent Event(QPointF(50, 50), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(M.Form.get(), &Event);
    ASSERT_TRUE(Event.isAccepted());
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_EQ(M.Logged(), (std::vector<std::string>{A, A, A}));
    EXPECT_TRUE(M.Messages().isEmpty()) << M.MessageTexts().join('\n').toStdString();
}
#endif

#ifndef Q_OS_WIN
// A name that is not UTF-8 reads the same wherever it is shown or copied:
// the file box, the log viewer and its copy, the two-file comparison and the
// mismatch message all hold the one conversion of its bytes.
TEST(MainWindowAdding, NameThatIsNotUtf8IsShownOneWayEverywhere)
{
    TTempFolder T;
    const std::string A = T.Write("caf\xE9.txt", "abc");
    const std::string B = T.Write("na\xEFve.txt", "abd");
    std::string Program = "sorvik", ArgA = A, ArgB = B;
    char* Argv[] = {Program.data(), ArgA.data(), ArgB.data(), nullptr};
    TMainWindowFixture M;
    M.Ui.ActionCompareNextTwoFiles->trigger();
    M.Form->SetCommandLineArguments(TSorvikProgram::ArgumentsFromArgv(3, Argv));
    M.Access().AddCommandLineFiles();
    ASSERT_TRUE(M.WaitIdle());
    ASSERT_EQ(M.Logged(), (std::vector<std::string>{A, B}));

    const QString NameA = FileNameToQString(A), NameB = FileNameToQString(B);
    ASSERT_TRUE(NameA.contains(QChar(0xDCE9)) && NameB.contains(QChar(0xDCEF))); // the bytes kept
    EXPECT_EQ(M.Ui.EditFile->text(), NameB);

    auto* Copy = FormLogViewer->findChild<QAbstractButton*>(QStringLiteral("TB_CopyToClipboard"));
    ASSERT_NE(Copy, nullptr);
    QApplication::clipboard()->clear();
    Copy->click();
    const QStringList Rows = QApplication::clipboard()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1);
    ASSERT_EQ(Rows.size(), 2); // after the header line
    EXPECT_EQ(Rows[0].section(QLatin1Char('\t'), 1, 1), NameA);
    EXPECT_EQ(Rows[1].section(QLatin1Char('\t'), 1, 1), NameB);
    EXPECT_EQ(QStringToFileName(Rows[1].section(QLatin1Char('\t'), 1, 1)), B);

    EXPECT_EQ(FormCompareFiles->Edit_FileA->text(), NameB);
    EXPECT_EQ(FormCompareFiles->Edit_FileB->text(), NameA);
    const QStringList Messages = M.MessageTexts();
    ASSERT_GE(Messages.size(), 3) << Messages.join('\n').toStdString();
    EXPECT_EQ(Messages.mid(Messages.size() - 2), (QStringList{NameB, NameA}));
}
#endif

#ifndef Q_OS_WIN
// A path longer than the system takes whole is found every way it comes in
// directly, as the folder search and the worker find it: the command line,
// Enter in the file box and a drop, for a file and for a folder alike.
TEST(MainWindowAdding, PathsLongerThanPathMaxAreFoundEveryWayIn)
{
    TTempFolder T;
    TDeepChain Chain(T.Path() / "top", std::string(200, 'd'), 100);
    ASSERT_TRUE(Chain.Made);
    const std::string File = Chain.Bottom;
    const std::string Folder = File.substr(0, File.rfind('/'));
    ASSERT_GT(Folder.size(), 20000u);
    const std::string Missing = Folder + "/missing.txt";

    TMainWindowFixture M;
    M.Form->SetCommandLineArguments({Q(File), Q(Folder), Q(Missing)});
    M.Form->show(); // the first show adds the command line
    ASSERT_TRUE(M.WaitIdle()) << "nothing was queued";
    EXPECT_TRUE(M.Logged() == (std::vector<std::string>{File, File})) << M.Logged().size() << " logged";
    EXPECT_TRUE(M.MessageTexts() == QStringList({"File not found", Q(Missing)}))
        << "what is not there is still named, and only that: " << M.MessageTexts().size() << " lines";
    EXPECT_TRUE(M.Ui.EditFile->text() == Q(File));

    M.Access().ClearMessages();
    M.Ui.EditFile->setFocus();
    QTest::keyClick(M.Ui.EditFile, Qt::Key_Return);
    ASSERT_TRUE(M.WaitIdle());
    Drop(*M.Form, {Q(File), Q(Folder)});
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_TRUE(M.Logged() == (std::vector<std::string>(5, File))) << M.Logged().size() << " logged";
    EXPECT_TRUE(M.Messages().isEmpty()) << M.MessageTexts().size() << " lines";
}
#endif
