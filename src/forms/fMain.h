// The main window: hash rows, file information, progress, messages, the
// status bar, every command of the program, and the worker it owns. Its code
// is one file per area: fMain.cpp (creation, hash rows, settings, showing
// and closing), fMainDesign.cpp, fMainEvents.cpp, fMainMessages.cpp,
// fMainAdding.cpp and fMainCommands.cpp. Its public part is what the
// start-up and the other windows call; what it does that other windows act
// on it reports by signals, which program/uProgramWindows connects.
#pragma once

#include "engine/uSorvik.h"
#include "engine/uThreads.h"
#include "platform/uResourceStrings.h"
#include "forms/fMainComponents.h"
#include "forms/uMessageList.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QToolBar;
class QToolButton;
class QTimer;
class QPainter;
class QKeySequence;
class TFormCompareFiles;
class TFormSaveLog;
class TFolderSearcher;
struct TSearchFinding;
class TQtMessageWindow;
class TStatusPanels;

extern TResourceString sstatusworking;
extern TResourceString sstatusfinished;
extern TResourceString sstatuscancelled;
extern TResourceString sstatuserror;
extern TResourceString serroroccurred;
extern TResourceString sfilecancelled;
extern TResourceString shashesoffilesdontmatch;
extern TResourceString sstatusmessagescleared;
extern TResourceString sfilenotfound;
extern TResourceString sfoldernotread;
extern TResourceString shashcoppied;
extern TResourceString sstatuslogcleared;
extern TResourceString slogfilesaved;
extern TResourceString sfailedtosavelog;
extern TResourceString stexthashed;

// The web pages the Help menu and the language menu open.
inline constexpr const char* HelpWebAddress = "https://sorvik.example.org/help/";
inline constexpr const char* ForumWebAddress = "https://sorvik.example.org/forum/";
inline constexpr const char* TranslationGuideWebAddress = "https://sorvik.example.org/translate/";

struct THashRow {
    QLineEdit* Edit = nullptr;
    QCheckBox* CheckBox = nullptr;
    QToolButton* CopyButton = nullptr;
    QToolButton* CompareButton = nullptr;
    QToolButton* SelectButton = nullptr;
};

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* Parent = nullptr);
    ~TFormMain() override;

    // ---- what the start-up and the other windows use
    // Hashes Data on the user-interface thread and shows the digests.
    void HashText(const QByteArray& Data);
    // Initial is True only while the window is created.
    void ApplySettings(bool Initial);
    // The windows whose answers the window waits for: the save-log dialog's
    // choices and the two-file comparison's result.
    void SetAnsweringWindows(TFormSaveLog* SaveLog, TFormCompareFiles* CompareFiles);
    // The command-line arguments after the program's path, added at the
    // first show.
    void SetCommandLineArguments(const QStringList& Arguments) { FCommandLineArguments = Arguments; }
    // The log viewer offers these two as well.
    QAction* SaveLogAction() const { return ActionSaveLog; }
    QAction* ClearLogAction() const { return ActionClearLog; }
    // The worker, whose end the program waits for no longer than it must.
    TSorvikThread* Worker() const { return FWorker.get(); }
    // The search through the folders being added; the program's end stops it.
    TFolderSearcher* Searcher() const { return FSearcher.get(); }

signals:
    // What happened to the log: a file the worker took up, a file it
    // finished, every record removed.
    void FileTakenUp(const std::shared_ptr<THashFile>& File);
    void FileFinished(const std::shared_ptr<THashFile>& File);
    void LogCleared();
    // Around a slice of the worker's events: what the slice changes in the
    // log may reach a view once, at the end.
    void WorkerSliceStarted();
    void WorkerSliceEnded();
    // The settings asked for upper- or lower-case digests.
    void HashCaseChanged(bool Upper);
    // The user asked for another window.
    void ViewLogRequested();
    void TextWindowRequested();
    void SettingsRequested();
    void AboutRequested();
    // Compare the digest of one hash row with one the user gives.
    void HashCompareRequested(const THashList& FileHashes, THashType HashType, const QString& FileHash);

protected:
    bool event(QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dragMoveEvent(QDragMoveEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // What tests and benchmarks drive and read beyond the components, and
    // nothing of the program, goes through this one class
    // (tests/support/main_window_access.h).
    friend class TFormMainTestAccess;

    // ---- construction and design (fMain.cpp, fMainDesign.cpp)
    void CreateComponents();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    QWidget* CreateClient();
    QAction* NewAction(QAction*& Field, const char* Name, const QString& Caption, const QString& Hint, int Image,
                       const QKeySequence& Shortcut = {});
    void ConnectActions();
    void FormCreate();
    void FormShow();
    void FirstShow();
    bool FormCloseQuery();
    void FormVisibleChanged(QWidget* Form);
    void LockMinWidth();
    void FitWithoutMessages();
    // The tool bar took another row or gave one back.
    void FollowToolBarHeight();
    // Whether the bar's rows now are those of the window's normal bounds.
    bool ToolBarRowsCount() const;
    void CreateWorker();
    void DestroyWorker();
    void BuildHashRows();
    void SetCheckedHashTypes(THashTypes Types);
    void SetAllHashTypeChecks(bool Checked);
    void LoadHashTypeChecks();
    void StoreHashTypeChecks();
    void UpdateWorkerHashTypes();
    void ApplyHashCase(bool Upper);
    void ClearHashEdits();
    // Runs the action's update handler, then triggers it when enabled.
    void ExecuteAction(QAction* Action);
    void HandleHashTypeChange();
    void HandleHashSelectClick(QObject* Sender);
    void ActionSelectAllExecute();
    void ActionSelectNoneExecute();
    void ActionExitExecute();
    void ActionSkipUpdate();
    void ActionCancelUpdate();
    void ActionClearLogUpdate();
    THashTypes GetCheckedHashTypes() const;
    void SetStayOnTop(bool Value);
    bool IsWorkerBusy() const;
    // Runs the update handlers of the actions that have one.
    void UpdateActions();

    // ---- worker events, file information, progress and speed (fMainEvents.cpp)
    void WMWorkerEvent(const TWindowMessage& Message);
    // Handles the worker's queued messages, in order, a slice at a time.
    void TakeWorkerMessages();
    void ClearFileInfo();
    void ShowFileInfo(const TFileProperties& Props);
    void ShowHashes(const THashList& Hashes);
    void SetFileName(const QString& Name);
    void SetProgress(int Percent);
    void ShowProgressNow();
    // Shortest time between two showings of what slices of worker messages
    // leave in the boxes and the progress bar.
    static constexpr int ProgressFrameMilliseconds = 40;
    void ResetSpeedSample();
    void TimerSpeedTimer();
    void SetSpeed(std::int64_t BytesPerSecond);
    void CompareWithPrevious(const std::shared_ptr<THashFile>& Item);
    // Worker messages the channel left out because they would not change
    // what is shown.
    std::uint64_t WorkerMessagesCoalesced() const;

    // ---- message list and status bar (fMainMessages.cpp)
    void AddMessage(TMessageLevel Level, const QString& Text);
    // Sentence: an error text rather than a path (see TMessageList).
    void AddMessageLine(const QString& Text, bool Sentence = false);
    void ClearMessages();
    bool MessagesVisible() const;
    TMessageLevel MessageLevel() const { return ListBox_Messages->MessageLevel(); }
    void SetStatusText(const QString& Text);
    void UpdateFileCounts();
    // The image panels 0 and 1 show now.
    int StatusImage(int Panel) const;
    void ShowMessages(bool Show, bool Force);
    int CompactClientHeight() const;
    void RepaintStatusBar();
    void StatusBarDrawPanel(QPainter& Painter, int Panel, const QRect& Rect);
    void StatusBarClick(const QPoint& Pos);
    void StatusBarMouseMove(const QPoint& Pos);
    // The application's hint: the handler runs only when the text changes.
    void SetApplicationHint(const QString& Text);
    void ApplicationHint();
    void ActionToggleMessagesExecute();
    void ActionCopyMessagesExecute();
    void ActionClearMessagesExecute();

    // ---- adding (fMainAdding.cpp)
    void AddPaths(const QStringList& List);
    void AddCommandLineFiles();
    void AddPath(const QString& Path);
    void EnqueueFile(const std::string& FileName);
    void SearcherFileFound(const std::string& FileName);
    void AddPathArray(const QStringList& Names) { AddPaths(Names); }
    void CreateSearcher();
    // Adds the waiting paths in order until one starts a folder search.
    void AddWaitingPaths();
    void SearchFound(const std::vector<TSearchFinding>& Findings);
    void SearchEnded(const std::exception_ptr& Error);
    // Nothing more of what is being added reaches the queue.
    void StopAdding();
    void CheckCompareModifiers();
    void FormDropFiles(const QStringList& FileNames);
    void InitFileControls();
    void ShowFileControls();
    void EditFileKeyPress(int Key);
    // The open-files and select-folders dialogs: the chosen paths, empty
    // when cancelled.
    QStringList ChooseFiles();
    QStringList ChooseFolders();
    void ActionAddFilesExecute();
    void ActionAddFolderExecute();
    void ActionRehashFileExecute();

    // ---- commands (fMainCommands.cpp)
    void LanguageSelected(const QString& Code);
    void HowToTranslate();
    void FillHashList(THashList& List) const;
    void ResetLogEnumerator() { FLogEnumIndex = 0; }
    bool NextLogItem(std::shared_ptr<THashFile>& Item);
    void HandleHashCopyClick(QObject* Sender);
    void HandleHashCompareClick(QObject* Sender);
    void ActionTextHashExecute();
    void ActionSettingsExecute();
    void ActionViewLogExecute();
    void ActionSaveLogExecute();
    void ActionClearLogExecute();
    void ActionSkipExecute();
    void ActionCancelExecute();
    void ActionExportToClipboardExecute();
    void ActionHelpExecute();
    void ActionForumExecute();
    void ActionHistoryExecute();
    void ActionCopyrightsExecute();
    void ActionAboutExecute();

    // ---- the design's components; tests find them by their names
#define SORVIK_DECLARE_COMPONENT(Type, Name) Type* Name = nullptr;
    SORVIK_MAIN_WINDOW_COMPONENTS(SORVIK_DECLARE_COMPONENT)
#undef SORVIK_DECLARE_COMPONENT
    std::array<THashRow, HashTypeCount> HashRows;

    QStringList FCommandLineArguments;
    // The current UTC time for the speed samples.
    std::function<QDateTime()> FUtcNow;

    TFormSaveLog* FSaveLog = nullptr;
    TFormCompareFiles* FCompareFiles = nullptr;
    std::unique_ptr<THashFileList> FFileList;
    QDateTime FLastSampleTime;
    std::int64_t FLastSampleBytes = 0;
    std::unique_ptr<TSorvikThread> FWorker;
    std::unique_ptr<TQtMessageWindow> FMessageWindow;
    std::int32_t FLogEnumIndex = 0;
    TFileProperties FCurrentFileProps;

    QString FApplicationHint;
    bool FFirstShown = false;
    // The tool bar's height that the minimum and compact heights allow for.
    int FToolBarHeight = 0;
    // The window's width while it was last maximized or full screen, where
    // its normal bounds are narrower, until it is back at another one.
    int FEnlargedWidth = 0;
    bool FIdleSinceBusy = true;
    // Worker messages taken so far, and the idle messages among them.
    std::uint64_t FMessagesHandled = 0;
    std::uint64_t FIdleMessagesHandled = 0;
    int FShownProgress = -2;

    // Inside a slice of worker events the boxes, the progress and the file
    // counts are not set file by file: what the slice leaves to show is
    // set at its end, at most once a frame (the rest of the frame on a
    // timer), at once when the worker goes idle or a file is cancelled, and
    // before anything reads the boxes. Nothing is painted in between, so
    // the window ends as it would have.
    struct TPendingFileInfo {
        bool Clear = false;                    // ClearFileInfo
        std::shared_ptr<THashFile> Name;       // SetFileName
        bool HasProps = false;                 // ShowFileInfo
        TFileProperties Props;
        std::shared_ptr<THashFile> Hashes;     // ShowHashes
        bool Progress = false;                 // ShowProgressNow
        bool Counts = false;                   // UpdateFileCounts
        bool Any() const { return Clear || Name || HasProps || Hashes || Progress || Counts; }
    };
    void ShowPendingFileInfo();
    void ShowPendingFileInfoSoon();
    bool FDeferFileInfo = false;
    TPendingFileInfo FPendingFileInfo;
    QTimer* FFileInfoTimer = nullptr;
    // The next look at the worker's messages after a slice that took some.
    QTimer* FMessagePoll = nullptr;

    // Paths added while a folder search goes on wait for its end, so that
    // the queue keeps the order in which they came.
    std::unique_ptr<TFolderSearcher> FSearcher;
    QStringList FPathsWaiting;
    bool FClosed = false;
    QElapsedTimer FFileInfoShownAt;
};
