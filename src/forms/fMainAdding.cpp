// Adding files and folders to the main window: the dialogs, drops, the
// command line and the file box, and the search through folders.
#include "forms/fMain.h"

#include "app/uTranslationKit.h"
#include "app/uUserInteraction.h"
#include "app/ufunctions.h"
#include "engine/uStrUtils.h"
#include "forms/fMainPrivate.h"
#include "forms/uFileDialogs.h"
#include "forms/uFormBase.h"
#include "platform/qt/uDroppedPaths.h"
#include "platform/qt/uFileNames.h"
#include "platform/qt/uFolderSearch.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QStackedLayout>
#include <QToolButton>
#include <QTreeView>

#include <filesystem>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>
#include <utility>

using namespace fmain;

void TFormMain::AddPath(const QString& Path)
{
    ShowFileControls();
    // Looked up by its bytes: Qt's own look-up loses a name that is not UTF-8.
    const std::string Name = QStringToFileName(Path);
    std::error_code Error;
    const std::filesystem::file_status Status = std::filesystem::status(Name, Error);
    // An empty path names nothing: its status is "not found".
    if (std::filesystem::is_directory(Status)) {
        // A folder the search cannot read is named; the rest is still added.
        SearchFolderAside(Name);
    } else if (std::filesystem::exists(Status)) {
        EnqueueFile(Name);
    } else {
        AddMessage(mlWarning, Q(sfilenotfound));
        AddMessageLine(Path);
    }
}

void TFormMain::EnqueueFile(const std::string& FileName) { FileQueue->Push(FileName); }

void TFormMain::SearcherFileFound(const std::string& FileName)
{
    // Once the window has closed, the rest of a search goes nowhere.
    if (!FClosed)
        EnqueueFile(FileName);
}

namespace {

// What the search found, in its order: a file, or a folder it could not read.
struct TSearchFinding {
    std::string Path;
    bool Unreadable = false;
};

// Between the searching thread and this one.
struct TSearchHandOver {
    std::mutex Lock;
    std::condition_variable Arrived;
    std::vector<TSearchFinding> Findings;
    bool Done = false;
    std::exception_ptr Error;

    void Add(const std::string& Path, bool Unreadable)
    {
        bool Wake = false;
        {
            std::lock_guard<std::mutex> Guard(Lock);
            Wake = Findings.empty();
            Findings.push_back({Path, Unreadable});
        }
        if (Wake)
            Arrived.notify_one();
    }
};

} // namespace

void TFormMain::SearchFolderAside(const std::string& Folder)
{
    // The folders are listed and sorted on a thread of their own, so that a
    // folder of many thousand files does not hold the window; this thread
    // takes what it found in its order, queues the files and reports the
    // folders that could not be read, letting the window go on meanwhile.
    auto HandOver = std::make_shared<TSearchHandOver>();
    std::thread Searcher([HandOver, Folder] {
        try {
            SearchFolder(
                Folder, [&](const std::string& File) { HandOver->Add(File, false); },
                [&](const std::string& Unread) { HandOver->Add(Unread, true); });
        } catch (...) {
            std::lock_guard<std::mutex> Guard(HandOver->Lock);
            HandOver->Error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> Guard(HandOver->Lock);
            HandOver->Done = true;
        }
        HandOver->Arrived.notify_one();
    });
    struct TJoin {
        std::thread& Thread;
        ~TJoin() { Thread.join(); }
    } Join{Searcher};
    std::vector<TSearchFinding> Taken;
    for (;;) {
        bool Done = false;
        {
            std::unique_lock<std::mutex> Guard(HandOver->Lock);
            HandOver->Arrived.wait_for(Guard, std::chrono::milliseconds(5),
                                       [&] { return HandOver->Done || !HandOver->Findings.empty(); });
            Taken.swap(HandOver->Findings);
            Done = HandOver->Done;
        }
        for (const TSearchFinding& F : Taken) {
            if (F.Unreadable) {
                AddMessage(mlWarning, Q(sfoldernotread));
                AddMessageLine(FileNameToQString(F.Path));
            } else {
                SearcherFileFound(F.Path);
            }
            LetWindowGoOn();
        }
        Taken.clear();
        if (Done)
            break;
        LetWindowGoOn(true);
    }
    std::lock_guard<std::mutex> Guard(HandOver->Lock);
    if (HandOver->Error)
        std::rethrow_exception(HandOver->Error);
}

void TFormMain::LetWindowGoOn(bool Waiting)
{
    constexpr int LookEvery = 256;
    constexpr qint64 SliceMilliseconds = 10;
    if (++FFoundSinceLook < LookEvery && !Waiting)
        return;
    FFoundSinceLook = 0;
    if (!FWentOnAt.isValid()) {
        FWentOnAt.start();
        return;
    }
    if (FWentOnAt.elapsed() < SliceMilliseconds)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    FWentOnAt.restart();
}

void TFormMain::AddPaths(const QStringList& List)
{
    if (FAddingDepth > 0) {
        FPathsWaiting += List;
        return;
    }
    struct TDepth {
        int& Depth;
        explicit TDepth(int& D) : Depth(D) { ++Depth; }
        ~TDepth() { --Depth; }
    } Depth(FAddingDepth);
    FWentOnAt.start();
    FFoundSinceLook = 0;
    const TMessageList::TBatch Batch(ListBox_Messages);
    for (const QString& P : List)
        AddPath(P);
    UpdateFileCounts();
    while (!FPathsWaiting.isEmpty()) {
        const QStringList Waiting = std::exchange(FPathsWaiting, QStringList());
        for (const QString& P : Waiting)
            AddPath(P);
        UpdateFileCounts();
    }
}

void TFormMain::AddCommandLineFiles()
{
    CheckCompareModifiers();
    AddPaths(CommandLineArguments);
}

void TFormMain::CheckCompareModifiers()
{
    if (IsShiftDown())
        ActionCompareToNextFile->setChecked(true);
    if (IsCtrlDown())
        ActionCompareNextTwoFiles->setChecked(true);
}

QStringList TFormMain::ChooseFiles()
{
    QFileDialog D(this, DesignText(this, this, QStringLiteral("OpenDialog.Title"), QStringLiteral("Add files")));
    D.setObjectName(QStringLiteral("OpenDialog"));
    D.setFileMode(QFileDialog::ExistingFiles);
    PrepareFileDialog(D);
    D.setNameFilters(
        {FileDialogFilter(DesignText(this, this, QStringLiteral("OpenDialog.Filter0"), QStringLiteral("All files")),
                          QStringLiteral("*")),
         FileDialogFilter(DesignText(this, this, QStringLiteral("OpenDialog.Filter1"), QStringLiteral("Executables")),
                          QStringLiteral("*.exe *.dll"))});
    D.setViewMode(QFileDialog::Detail);
    return UserInteraction().ChooseFiles(D);
}

QStringList TFormMain::ChooseFolders()
{
    // Only Qt's own dialog lets several folders be chosen at once.
    QFileDialog D(this, DesignText(this, this, QStringLiteral("SelectDirectoryDialog.Title"),
                                   QStringLiteral("Add folders")));
    D.setObjectName(QStringLiteral("SelectDirectoryDialog"));
    D.setFileMode(QFileDialog::Directory);
    D.setOption(QFileDialog::ShowDirsOnly, true);
    PrepareFileDialog(D);
    for (auto* View : D.findChildren<QListView*>(QStringLiteral("listView")))
        View->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (auto* View : D.findChildren<QTreeView*>())
        View->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return UserInteraction().ChooseFiles(D);
}

void TFormMain::ActionAddFilesExecute()
{
    const QStringList Files = ChooseFiles();
    if (Files.isEmpty())
        return;
    CheckCompareModifiers();
    AddPaths(Files);
}

void TFormMain::ActionAddFolderExecute()
{
    const QStringList Folders = ChooseFolders();
    if (Folders.isEmpty())
        return;
    AddPaths(Folders);
}

void TFormMain::FormDropFiles(const QStringList& FileNames)
{
    CheckCompareModifiers();
    AddPathArray(FileNames);
}

void TFormMain::dragEnterEvent(QDragEnterEvent* Event)
{
    if (DroppedPaths(Event->mimeData()).isEmpty())
        return;
    // Always a copy: a move would let the source delete the files.
    Event->setDropAction(Qt::CopyAction);
    Event->accept();
}

void TFormMain::dragMoveEvent(QDragMoveEvent* Event)
{
    if (DroppedPaths(Event->mimeData()).isEmpty())
        return;
    Event->setDropAction(Qt::CopyAction);
    Event->accept();
}

void TFormMain::dropEvent(QDropEvent* Event)
{
    const QStringList Paths = DroppedPaths(Event->mimeData());
    if (Paths.isEmpty())
        return;
    Event->setDropAction(Qt::CopyAction);
    Event->accept();
    RunGuarded([&] { FormDropFiles(Paths); });
}

void TFormMain::ActionRehashFileExecute()
{
    ShowPendingFileInfo();
    if (!TrimControls(EditFile->text()).isEmpty()) {
        CheckCompareModifiers();
        AddPathArray({EditFile->text()});
    } else {
        ExecuteAction(ActionAddFiles);
    }
}

bool TFormMain::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == EditFile && Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Escape)
            RunGuarded([&] { EditFileKeyPress(Key); });
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TFormMain::EditFileKeyPress(int Key)
{
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter)
        ExecuteAction(ActionRehashFile);
    else if (Key == Qt::Key_Escape)
        ExecuteAction(ActionSkip);
}

void TFormMain::InitFileControls()
{
    EditFile->setVisible(false);
    SB_Rehash->setVisible(false);
    EditFile->parentWidget()->setVisible(false);
    Panel_DragAndDrop->parentWidget()->setVisible(true);
    Panel_DragAndDrop->setVisible(true);
    Panel_HoldControl->setVisible(true);
}

void TFormMain::ShowFileControls()
{
    if (EditFile->isVisibleTo(this) && !Panel_DragAndDrop->isVisibleTo(this))
        return;
    auto* Stack = qobject_cast<QStackedLayout*>(EditFile->parentWidget()->parentWidget()->layout());
    Panel_DragAndDrop->setVisible(false);
    Panel_HoldControl->setVisible(false);
    EditFile->setVisible(true);
    SB_Rehash->setVisible(true);
    if (Stack)
        Stack->setCurrentWidget(EditFile->parentWidget());
}
