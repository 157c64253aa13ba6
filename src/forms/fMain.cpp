// The main window: its life from creation to close, the hash rows, the
// settings it follows and the update handlers of its actions.
#include "forms/fMain.h"

#include "app/uLanguages.h"
#include "app/uSettings.h"
#include "app/uSorvikPaths.h"
#include "app/uTranslationKit.h"
#include "forms/fMainPrivate.h"
#include "forms/uFormBase.h"
#include "forms/uFormPlacement.h"
#include "forms/uFormStyle.h"
#include "forms/uHintRouter.h"
#include "forms/uStatusPanels.h"
#include "platform/qt/uFileNames.h"
#include "platform/qt/uFolderSearcher.h"
#include "platform/qt/uPlatformShell.h"
#include "platform/qt/uQtMessageWindow.h"
#include "platform/uPlatformFiles.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <QToolButton>

#include <algorithm>

using namespace fmain;

SORVIK_RESOURCESTRING(fmain, sstatusworking, "Working...");
SORVIK_RESOURCESTRING(fmain, sstatusfinished, "Finished");
SORVIK_RESOURCESTRING(fmain, sstatuscancelled, "Cancelled");
SORVIK_RESOURCESTRING(fmain, sstatuserror, "Error");
SORVIK_RESOURCESTRING(fmain, serroroccurred, "An error has occurred.");
SORVIK_RESOURCESTRING(fmain, sfilecancelled, "File cancelled");
SORVIK_RESOURCESTRING(fmain, shashesoffilesdontmatch, "Hashes of files do not match");
SORVIK_RESOURCESTRING(fmain, sstatusmessagescleared, "Messages cleared");
SORVIK_RESOURCESTRING(fmain, sfilenotfound, "File not found");
SORVIK_RESOURCESTRING(fmain, sfoldernotread, "Folder could not be read");
SORVIK_RESOURCESTRING(fmain, shashcoppied, "copied");
SORVIK_RESOURCESTRING(fmain, sstatuslogcleared, "Log cleared");
SORVIK_RESOURCESTRING(fmain, slogfilesaved, "Log file saved");
SORVIK_RESOURCESTRING(fmain, sfailedtosavelog, "Failed to save the log:");
SORVIK_RESOURCESTRING(fmain, stexthashed, "Text hashed");

TFormMain::TFormMain(QWidget* Parent) : QMainWindow(Parent)
{
    setObjectName(QStringLiteral("FormMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    CreateComponents();
    FormCreate();
}

TFormMain::~TFormMain()
{
    // Stops the folder search and waits for its thread.
    FSearcher.reset();
    DestroyWorker();
    if (Settings && Settings->MainFormLocation && Settings->MainFormLocation->Form() == this)
        Settings->MainFormLocation->Attach(nullptr);
}

void TFormMain::FormCreate()
{
    FCurrentFileProps = TFileProperties{};
    auto* Hints = new THintRouter(StatusBar, this);
    connect(Hints, &THintRouter::HintChanged, this, &TFormMain::SetApplicationHint);
    connect(Hints, &THintRouter::WindowVisibilityChanged, this, &TFormMain::FormVisibleChanged);
    LockMinWidth();
    if (Settings && Settings->MainFormLocation)
        Settings->MainFormLocation->Attach(this);
    BuildHashRows();
    ResetSpeedSample();
    SetProgress(-1);
    SetSpeed(-1);
    InitFileControls();
    LoadHashTypeChecks();
    CreateWorker();
    CreateSearcher();
    UpdateWorkerHashTypes();
    UpdateFileCounts();
    connect(&Languages, &TLanguages::LanguageSelected, this,
            [this](const QString& Code) { RunGuarded([&] { LanguageSelected(Code); }); });
    connect(&Languages, &TLanguages::HowToTranslateRequested, this,
            [this] { RunGuarded([this] { HowToTranslate(); }); });
    const std::string LanguagesFolder = GetLanguagesFolder();
    Languages.Scan(FileNameToQString(LanguagesFolder),
                   FileNameToQString(IncludeTrailingPathDelimiter(LanguagesFolder) + "Flags"));
    Languages.BuildMenu(MI_Language);

    // Update handlers run whenever the program is about to wait for input.
    if (auto* D = QAbstractEventDispatcher::instance())
        connect(D, &QAbstractEventDispatcher::aboutToBlock, this, &TFormMain::UpdateActions);
    TimerSpeed->start();
    UpdateActions();
}

void TFormMain::LockMinWidth()
{
    setMinimumWidth(std::max(width(), minimumSizeHint().width()));
}

void TFormMain::BuildHashRows()
{
    for (int T = htFirst; T <= htLast; ++T) {
        const THashRow& R = HashRows[static_cast<std::size_t>(T)];
        const QString Name = QStringLiteral(" (") + Q(HashTypeToName(static_cast<THashType>(T))) + QLatin1Char(')');
        R.CopyButton->setStatusTip(R.CopyButton->statusTip() + Name);
        R.CompareButton->setStatusTip(R.CompareButton->statusTip() + Name);
        R.CopyButton->setToolTip(R.CopyButton->statusTip());
        R.CompareButton->setToolTip(R.CompareButton->statusTip());
    }
}

THashTypes TFormMain::GetCheckedHashTypes() const
{
    THashTypes Types = 0;
    for (int T = htFirst; T <= htLast; ++T)
        if (HashRows[static_cast<std::size_t>(T)].CheckBox->isChecked())
            IncludeHashType(Types, static_cast<THashType>(T));
    return Types;
}

void TFormMain::SetCheckedHashTypes(THashTypes Types)
{
    for (int T = htFirst; T <= htLast; ++T)
        HashRows[static_cast<std::size_t>(T)].CheckBox->setChecked(HasHashType(Types, static_cast<THashType>(T)));
    UpdateWorkerHashTypes();
}

void TFormMain::SetAllHashTypeChecks(bool Checked)
{
    for (int T = htFirst; T <= htLast; ++T)
        HashRows[static_cast<std::size_t>(T)].CheckBox->setChecked(Checked);
    UpdateWorkerHashTypes();
}

void TFormMain::LoadHashTypeChecks()
{
    SetCheckedHashTypes(Settings ? Settings->HashTypes : 0);
    ApplySettings(true);
}

void TFormMain::StoreHashTypeChecks()
{
    if (Settings)
        Settings->HashTypes = GetCheckedHashTypes();
}

void TFormMain::UpdateWorkerHashTypes()
{
    if (FWorker)
        FWorker->HashTypes.store(GetCheckedHashTypes(), std::memory_order_relaxed);
}

void TFormMain::HandleHashTypeChange() { UpdateWorkerHashTypes(); }

void TFormMain::HandleHashSelectClick(QObject* Sender)
{
    for (int T = htFirst; T <= htLast; ++T) {
        const THashRow& R = HashRows[static_cast<std::size_t>(T)];
        R.CheckBox->setChecked(R.SelectButton == Sender);
    }
}

void TFormMain::ActionSelectAllExecute() { SetAllHashTypeChecks(true); }
void TFormMain::ActionSelectNoneExecute() { SetAllHashTypeChecks(false); }

void TFormMain::ApplySettings(bool Initial)
{
    if (!Settings)
        return;
    SetStayOnTop(Settings->StayOnTop);
    MainToolBar->setToolButtonStyle(Settings->ToolbarCaptions ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    if (!Initial) {
        ApplyHashCase(Settings->UpperCaseHash);
        emit HashCaseChanged(Settings->UpperCaseHash);
    }
}

void TFormMain::SetAnsweringWindows(TFormSaveLog* SaveLog, TFormCompareFiles* CompareFiles)
{
    FSaveLog = SaveLog;
    FCompareFiles = CompareFiles;
}

void TFormMain::SetStayOnTop(bool Value) { SetFormStyle(*this, Value ? fsSystemStayOnTop : fsNormal); }

void TFormMain::FormVisibleChanged(QWidget* Form)
{
    if (Form == this || !Form->isVisible())
        return;
    // The program's own windows; menus, pop-ups and the toolkit's boxes
    // keep the style the toolkit gives them.
    if (qobject_cast<TSorvikForm*>(Form))
        StyleOpeningForm(*Form, *this);
}

void TFormMain::ApplyHashCase(bool Upper)
{
    ShowPendingFileInfo();
    for (int T = htFirst; T <= htLast; ++T) {
        QLineEdit* E = HashRows[static_cast<std::size_t>(T)].Edit;
        E->setText(Q(CaseHash(E->text().toStdString(), Upper)));
        E->setCursorPosition(0);
    }
}

void TFormMain::ClearHashEdits()
{
    for (int T = htFirst; T <= htLast; ++T)
        HashRows[static_cast<std::size_t>(T)].Edit->clear();
}

bool TFormMain::IsWorkerBusy() const { return FWorker && FWorker->Busy(); }

void TFormMain::CreateWorker()
{
    FFileList = std::make_unique<THashFileList>();
    FWorker = std::make_unique<TSorvikThread>();
    FMessageWindow = std::make_unique<TQtMessageWindow>(this, WM_WORKER_NOTIFY, weProgress, weFileStarted);
    FWorker->WindowHandle.Attach(FMessageWindow.get());
    FWorker->Queue = FileQueue.get();
    FWorker->Start();
}

void TFormMain::DestroyWorker()
{
    if (FWorker) {
        FWorker->DetachWindow();
        FWorker->Terminate();
        FWorker->WaitFor();
        FWorker.reset();
    }
    // Only now that the worker has ended may the log go.
    FFileList.reset();
}

void TFormMain::UpdateActions()
{
    ActionSkipUpdate();
    ActionCancelUpdate();
    ActionClearLogUpdate();
}

void TFormMain::ExecuteAction(QAction* Action)
{
    UpdateActions();
    if (Action->isEnabled())
        Action->trigger();
}

void TFormMain::ActionSkipUpdate() { ActionSkip->setEnabled(IsWorkerBusy()); }
// Also while a folder search goes on: it is adding the files Cancel drops.
void TFormMain::ActionCancelUpdate() { ActionCancel->setEnabled(IsWorkerBusy() || FSearcher->Searching()); }
// Also waits for the idle event, so that no event still on its way can
// name a record of the cleared log.
void TFormMain::ActionClearLogUpdate() { ActionClearLog->setEnabled(!IsWorkerBusy() && FIdleSinceBusy); }

// ---------------------------------------------------------------------------
// Showing and closing

void TFormMain::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    // Re-flagging a shown window for stay-on-top shows it again: the first
    // show alone counts.
    if (Event->spontaneous() || FFirstShown)
        return;
    FFirstShown = true;
    RunGuarded([this] { FormShow(); });
    // Not the first box of the focus chain, which is a read-only one: the
    // file box once it is there, else the first hash type's check box.
    QWidget* First = EditFile->isVisibleTo(this) ? static_cast<QWidget*>(EditFile)
                                                 : HashRows[static_cast<std::size_t>(htFirst)].CheckBox;
    First->setFocus(Qt::ActiveWindowFocusReason);
}

void TFormMain::FormShow()
{
    FitWithoutMessages();
    ShowMessages(false, true);
    QTimer::singleShot(0, this, [this] { RunGuarded([this] { FirstShow(); }); });
}

void TFormMain::FirstShow() { AddCommandLineFiles(); }

void TFormMain::FitWithoutMessages()
{
    if (auto* L = centralWidget()->layout())
        L->activate();
    // The collapsed height is the normal state's, also for a window that
    // opens maximized: it is not on the screen yet, so nobody sees it
    // leave the state for a moment.
    const Qt::WindowStates State = windowState();
    const Qt::WindowStates Enlarged = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (State & Enlarged)
        setWindowState(State & ~Enlarged);
    setMinimumHeight(0);
    resize(width(), CompactClientHeight());
    setMinimumHeight(CompactClientHeight());
    FToolBarHeight = MainToolBar->height();
    // Without a remembered place the window opens centred on its screen.
    // Either way its title bar opens on the screen, even where the window
    // is taller than the screen (the bottom then stands beyond it).
    const TFormLocationTracker* Tracker = Settings ? Settings->MainFormLocation.get() : nullptr;
    const bool Remembered = Tracker && Tracker->Form() == this && Tracker->Enabled() && Tracker->Location().Valid;
    if (!(State & Qt::WindowMinimized)) {
        if (Remembered)
            KeepFrameInside(*this, PlatformVirtualDesktop());
        else
            CenterOnScreen(*this);
    }
    if (State & Enlarged)
        setWindowState(State);
}

// Captions switched on or off, or a narrower or wider window, give the bar
// another row or take one: the window grows or shrinks by as much, so that
// the hash rows keep their pitch and a closed message panel stays closed.
// A maximized window keeps its size, and its panel takes the difference;
// the bar's height that counts is the one of the normal state, to which the
// window returns with its normal bounds: it follows the bar once it is back.
void TFormMain::FollowToolBarHeight()
{
    const int Delta = MainToolBar->height() - FToolBarHeight;
    if (Delta == 0 || !FFirstShown || !ToolBarRowsCount())
        return;
    FToolBarHeight += Delta;
    const int Minimum = std::max(0, minimumHeight() + Delta);
    setMinimumHeight(std::min(minimumHeight(), Minimum));
    resize(width(), height() + Delta);
    setMinimumHeight(Minimum);
}

// Not while the window is minimized, maximized or full screen, nor once it
// is restored until the window manager has given it its normal width back:
// the state comes first, and the bar's rows at the enlarged width are not
// those of the normal bounds.
bool TFormMain::ToolBarRowsCount() const
{
    return !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
           && (FEnlargedWidth == 0 || width() != FEnlargedWidth);
}

void TFormMain::resizeEvent(QResizeEvent* Event)
{
    QMainWindow::resizeEvent(Event);
    // Restored, the window may have the rows it had in its normal bounds,
    // and yet other ones than when it left them: it follows them once it is
    // as wide as it is there again. The window manager gives the bounds back
    // a side at a time, the height first; only then do the rows count.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        FEnlargedWidth = normalGeometry().width() != width() ? width() : 0;
    } else if (FEnlargedWidth != 0 && width() != FEnlargedWidth) {
        FEnlargedWidth = 0;
        QMetaObject::invokeMethod(this, &TFormMain::FollowToolBarHeight, Qt::QueuedConnection);
    }
}

bool TFormMain::FormCloseQuery()
{
    StoreHashTypeChecks();
    return true;
}

void TFormMain::closeEvent(QCloseEvent* Event)
{
    bool CanClose = true;
    RunGuarded([&] { CanClose = FormCloseQuery(); });
    if (!CanClose) {
        Event->ignore();
        return;
    }
    QMainWindow::closeEvent(Event);
    Event->accept();
    FClosed = true;
    StopAdding();
    // Closing the main window ends the program, whatever else is open.
    QCoreApplication::quit();
}

void TFormMain::ActionExitExecute() { close(); }
