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
#include "platform/qt/uFolderSearcher.h"
#include "platform/uPlatformFiles.h"

#include <QAction>
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

#include <exception>
#include <vector>

using namespace fmain;

void TFormMain::AddPath(const QString& Path)
{
    ShowFileControls();
    // Looked up by its bytes: Qt's own look-up loses a name that is not UTF-8.
    const std::string Name = QStringToFileName(Path);
    // Reached a part at a time, as the search and the worker reach it: a
    // path longer than the system takes whole is found all the same.
    const TPathKind Kind = PathKind(Name);
    if (Kind == TPathKind::pkFolder) {
        // Searched on a thread of its own; the paths after it wait for its end.
        FSearcher->Start(Name);
    } else if (Kind == TPathKind::pkFile) {
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

void TFormMain::CreateSearcher()
{
    FSearcher = std::make_unique<TFolderSearcher>();
    connect(FSearcher.get(), &TFolderSearcher::Found, this,
            [this](const std::vector<TSearchFinding>& Findings) { RunGuarded([&] { SearchFound(Findings); }); });
    connect(FSearcher.get(), &TFolderSearcher::Ended, this,
            [this](const std::exception_ptr& Error) { RunGuarded([&] { SearchEnded(Error); }); });
}

void TFormMain::AddPaths(const QStringList& List)
{
    if (FClosed)
        return;
    FPathsWaiting += List;
    if (!FSearcher->Searching())
        AddWaitingPaths();
}

void TFormMain::AddWaitingPaths()
{
    const TMessageList::TBatch Batch(ListBox_Messages);
    while (!FPathsWaiting.isEmpty() && !FSearcher->Searching())
        AddPath(FPathsWaiting.takeFirst());
    if (!FSearcher->Searching())
        UpdateFileCounts();
}

void TFormMain::SearchFound(const std::vector<TSearchFinding>& Findings)
{
    const TMessageList::TBatch Batch(ListBox_Messages);
    for (const TSearchFinding& F : Findings) {
        if (F.Unreadable) {
            AddMessage(mlWarning, Q(sfoldernotread));
            AddMessageLine(FileNameToQString(F.Path));
        } else {
            SearcherFileFound(F.Path);
        }
    }
}

void TFormMain::SearchEnded(const std::exception_ptr& Error)
{
    // What ended a search early is shown; the paths after it are still added.
    if (Error)
        RunGuarded([&] { std::rethrow_exception(Error); });
    AddWaitingPaths();
}

void TFormMain::StopAdding()
{
    FSearcher->Stop();
    FPathsWaiting.clear();
}

void TFormMain::AddCommandLineFiles()
{
    CheckCompareModifiers();
    AddPaths(FCommandLineArguments);
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
