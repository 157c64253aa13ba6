#include "forms/fMain.h"

#include "app/uLanguages.h"
#include "app/uSettings.h"
#include "app/uSorvikPaths.h"
#include "app/uTranslationKit.h"
#include "app/ufunctions.h"
#include "engine/uFileProperties.h"
#include "engine/uStrUtils.h"
#include "engine/uVerificationFile.h"
#include "forms/uFormBase.h"
#include "forms/uMainIcons.h"
#include "platform/qt/uQtMessageWindow.h"
#include "forms/uHintRouter.h"
#include "forms/uMessageList.h"
#include "forms/uStatusPanels.h"
#include "forms/uWindowLinks.h"
#include "platform/qt/uDroppedPaths.h"
#include "platform/qt/uFileNames.h"
#include "platform/qt/uFolderSearch.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QStackedLayout>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

SORVIK_RESOURCESTRING(fmain, sstatusworking, "Working...");
SORVIK_RESOURCESTRING(fmain, sstatusfinished, "Finished");
SORVIK_RESOURCESTRING(fmain, sstatuscancelled, "Cancelled");
SORVIK_RESOURCESTRING(fmain, sstatuserror, "Error");
SORVIK_RESOURCESTRING(fmain, serroroccurred, "An error has occurred.");
SORVIK_RESOURCESTRING(fmain, sfilecancelled, "File cancelled");
SORVIK_RESOURCESTRING(fmain, shashesoffilesdontmatch, "Hashes of files do not match");
SORVIK_RESOURCESTRING(fmain, sstatusmessagescleared, "Messages cleared");
SORVIK_RESOURCESTRING(fmain, sfilenotfound, "File not found");
SORVIK_RESOURCESTRING(fmain, shashcoppied, "copied");
SORVIK_RESOURCESTRING(fmain, sstatuslogcleared, "Log cleared");
SORVIK_RESOURCESTRING(fmain, slogfilesaved, "Log file saved");
SORVIK_RESOURCESTRING(fmain, sfailedtosavelog, "Failed to save the log:");
SORVIK_RESOURCESTRING(fmain, stexthashed, "Text hashed");

namespace {

QString Q(const std::string& S) { return QString::fromStdString(S); }
QString Q(const TResourceString& S) { return QString::fromStdString(S.Text()); }

const char* const RowSuffix[HashTypeCount] = {"",       "CRC32",  "MD2",    "MD4",    "MD5",   "SHA1",
                                              "SHA256", "SHA512", "RMD128", "RMD160", "ED2K"};

const QString CRLF = QStringLiteral("\r\n");

} // namespace

// ---------------------------------------------------------------------------
// Construction

TFormMain::TFormMain(QWidget* Parent) : QMainWindow(Parent)
{
    setObjectName(QStringLiteral("FormMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    CreateComponents();
    FormCreate();
}

TFormMain::~TFormMain()
{
    DestroyWorker();
    if (MainFormServices() == this)
        SetMainFormServices(nullptr);
    // The language menu's handlers point here.
    Languages.OnLanguageSelected = nullptr;
    Languages.OnHowToTranslate = nullptr;
    if (Settings && Settings->MainFormLocation && Settings->MainFormLocation->Form() == this)
        Settings->MainFormLocation->Attach(nullptr);
}

QAction* TFormMain::NewAction(QAction*& Field, const char* Name, const QString& Caption, const QString& Hint,
                              int Image, const QKeySequence& Shortcut)
{
    Field = new QAction(this);
    Field->setObjectName(QString::fromLatin1(Name));
    if (!Caption.isEmpty())
        SetDesignText(this, Field, QStringLiteral("Caption"), Caption);
    if (!Hint.isEmpty())
        SetDesignText(this, Field, QStringLiteral("Hint"), Hint);
    if (Image >= 0)
        Field->setIcon(MainImage(Image));
    if (!Shortcut.isEmpty())
        Field->setShortcut(Shortcut);
    addAction(Field);
    return Field;
}

QList<QAction*> TFormMain::Actions() const
{
    return {ActionAddFiles,  ActionAddFolder,    ActionTextHash,       ActionSettings,         ActionExit,
            ActionRehashFile, ActionViewLog,     ActionSaveLog,        ActionClearLog,         ActionToggleMessages,
            ActionCopyMessages, ActionClearMessages, ActionSkip,       ActionCancel,           ActionSelectAll,
            ActionSelectNone, ActionCompareToNextFile, ActionCompareNextTwoFiles, ActionExportToClipboard,
            ActionHelp,       ActionForum,       ActionHistory,        ActionCopyrights,       ActionAbout};
}

void TFormMain::CreateActions()
{
    NewAction(ActionAddFiles, "ActionAddFiles", QStringLiteral("Add Files"), QStringLiteral("Add Files"), miAddFiles);
    NewAction(ActionAddFolder, "ActionAddFolder", QStringLiteral("Add Folder"), QStringLiteral("Add Folder"),
              miAddFolder);
    NewAction(ActionTextHash, "ActionTextHash", QStringLiteral("Hash Text"), QStringLiteral("Hash Text"), miHashText);
    NewAction(ActionSettings, "ActionSettings", QStringLiteral("Settings"), {}, miSettings);
    NewAction(ActionExit, "ActionExit", QStringLiteral("Exit"), {}, -1);
    NewAction(ActionRehashFile, "ActionRehashFile", {}, QStringLiteral("Rehash current file"), miRehash);
    NewAction(ActionViewLog, "ActionViewLog", QStringLiteral("View Log"), QStringLiteral("View Log"), miViewLog);
    NewAction(ActionSaveLog, "ActionSaveLog", QStringLiteral("Save Log"), {}, miSaveLog,
              QKeySequence(Qt::CTRL | Qt::Key_S));
    NewAction(ActionClearLog, "ActionClearLog", QStringLiteral("Clear Log"), {}, miClearLog);
    NewAction(ActionToggleMessages, "ActionToggleMessages", QStringLiteral("Toggle Messages"),
              QStringLiteral("Toggle Messages"), miToggleMessages);
    NewAction(ActionCopyMessages, "ActionCopyMessages", QStringLiteral("Copy Messages"), {}, -1);
    NewAction(ActionClearMessages, "ActionClearMessages", QStringLiteral("Clear Messages"), {}, -1);
    NewAction(ActionSkip, "ActionSkip", QStringLiteral("Skip"), QStringLiteral("Skip current file"), miSkip);
    NewAction(ActionCancel, "ActionCancel", QStringLiteral("Cancel"), QStringLiteral("Cancel all files"), miCancel);
    NewAction(ActionSelectAll, "ActionSelectAll", QStringLiteral("Select All"), {}, miSelectAll);
    NewAction(ActionSelectNone, "ActionSelectNone", QStringLiteral("Select None"), {}, miSelectNone);
    NewAction(ActionCompareToNextFile, "ActionCompareToNextFile", QStringLiteral("Compare to next file (Hold SHIFT)"),
              {}, -1);
    NewAction(ActionCompareNextTwoFiles, "ActionCompareNextTwoFiles",
              QStringLiteral("Compare next two files (Hold CTRL)"), {}, -1);
    NewAction(ActionExportToClipboard, "ActionExportToClipboard", QStringLiteral("Export file info to clipboard"), {},
              -1, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    NewAction(ActionHelp, "ActionHelp", QStringLiteral("Help (online)"), {}, -1, QKeySequence(Qt::Key_F1));
    NewAction(ActionForum, "ActionForum", QStringLiteral("Forum (online)"), {}, -1);
    NewAction(ActionHistory, "ActionHistory", QStringLiteral("Version History"), {}, -1);
    NewAction(ActionCopyrights, "ActionCopyrights", QStringLiteral("Copyrights"), {}, -1);
    NewAction(ActionAbout, "ActionAbout", QStringLiteral("About"), {}, -1, QKeySequence(Qt::SHIFT | Qt::Key_F1));
    // The plus and minus keys of the main keyboard, with or without Shift.
    ActionSelectAll->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    ActionSelectNone->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    ActionCompareToNextFile->setCheckable(true);
    ActionCompareNextTwoFiles->setCheckable(true);
    ActionSkip->setEnabled(false);
    ActionCancel->setEnabled(false);
}

namespace {

// A menu item of its own name that shows and runs an action of the window.
QAction* AddMenuItem(QMenu* Menu, const char* Name, QAction* Source, const std::function<void(QAction*)>& Execute)
{
    auto* Item = new QAction(Menu);
    Item->setObjectName(QString::fromLatin1(Name));
    auto Sync = [Item, Source] {
        QString Text = Source->text();
        if (!Source->shortcut().isEmpty())
            Text += QLatin1Char('\t') + Source->shortcut().toString(QKeySequence::NativeText);
        Item->setText(Text);
        Item->setIcon(Source->icon());
        Item->setStatusTip(Source->statusTip());
        Item->setEnabled(Source->isEnabled());
        Item->setCheckable(Source->isCheckable());
        Item->setChecked(Source->isChecked());
        Item->setVisible(Source->isVisible());
    };
    Sync();
    QObject::connect(Source, &QAction::changed, Item, Sync);
    QObject::connect(Item, &QAction::triggered, Item, [Item, Source, Execute, Sync] {
        Execute(Source);
        Sync();
        (void)Item;
    });
    Menu->addAction(Item);
    return Item;
}

} // namespace

void TFormMain::CreateMenus()
{
    QMenuBar* Bar = menuBar();
    Bar->setObjectName(QStringLiteral("MainMenu"));
    auto Menu = [&](QMenu*& Field, const char* Name, const QString& Caption) {
        Field = new QMenu(this);
        Field->setObjectName(QString::fromLatin1(Name));
        SetDesignText(this, Field, QStringLiteral("Caption"), Caption);
        Bar->addMenu(Field);
        connect(Field, &QMenu::aboutToShow, this, &TFormMain::UpdateActions);
    };
    auto Exec = [this](QAction* A) { ExecuteAction(A); };
    Menu(MI_FileMenu, "MI_FileMenu", QStringLiteral("File"));
    AddMenuItem(MI_FileMenu, "MI_AddFiles", ActionAddFiles, Exec);
    AddMenuItem(MI_FileMenu, "MI_AddFolders", ActionAddFolder, Exec);
    MI_FileMenu->addSeparator();
    AddMenuItem(MI_FileMenu, "MI_HashText", ActionTextHash, Exec);
    MI_FileMenu->addSeparator();
    AddMenuItem(MI_FileMenu, "MI_Settings", ActionSettings, Exec);
    MI_FileMenu->addSeparator();
    AddMenuItem(MI_FileMenu, "MI_Exit", ActionExit, Exec);

    Menu(MI_LogMenu, "MI_LogMenu", QStringLiteral("Log"));
    AddMenuItem(MI_LogMenu, "MI_ViewLog", ActionViewLog, Exec);
    AddMenuItem(MI_LogMenu, "MI_SaveLog", ActionSaveLog, Exec);
    AddMenuItem(MI_LogMenu, "MI_ClearLog", ActionClearLog, Exec);
    MI_LogMenu->addSeparator();
    AddMenuItem(MI_LogMenu, "MI_ToggleMessages", ActionToggleMessages, Exec);
    AddMenuItem(MI_LogMenu, "MI_CopyMessages1", ActionCopyMessages, Exec);
    AddMenuItem(MI_LogMenu, "MI_ClearMessages1", ActionClearMessages, Exec);

    Menu(MI_OptionsMenu, "MI_OptionsMenu", QStringLiteral("Options"));
    AddMenuItem(MI_OptionsMenu, "MI_Skip", ActionSkip, Exec);
    AddMenuItem(MI_OptionsMenu, "MI_Cancel", ActionCancel, Exec);
    MI_OptionsMenu->addSeparator();
    AddMenuItem(MI_OptionsMenu, "MI_SelectAll", ActionSelectAll, Exec);
    AddMenuItem(MI_OptionsMenu, "MI_SelectNone", ActionSelectNone, Exec);
    MI_OptionsMenu->addSeparator();
    AddMenuItem(MI_OptionsMenu, "MI_CompareToNextFile", ActionCompareToNextFile, Exec);
    AddMenuItem(MI_OptionsMenu, "MI_CompareNextTwoFiles", ActionCompareNextTwoFiles, Exec);
    MI_OptionsMenu->addSeparator();
    AddMenuItem(MI_OptionsMenu, "MI_ExportToClipboard", ActionExportToClipboard, Exec);

    Menu(MI_Language, "MI_Language", QStringLiteral("Language"));

    Menu(MI_HelpMenu, "MI_HelpMenu", QStringLiteral("Help"));
    AddMenuItem(MI_HelpMenu, "MI_Help", ActionHelp, Exec);
    AddMenuItem(MI_HelpMenu, "MI_Forum", ActionForum, Exec);
    MI_HelpMenu->addSeparator();
    AddMenuItem(MI_HelpMenu, "MI_History", ActionHistory, Exec);
    AddMenuItem(MI_HelpMenu, "MI_Copyrights", ActionCopyrights, Exec);
    AddMenuItem(MI_HelpMenu, "MI_About", ActionAbout, Exec);

    PopupMenu_HashTypes = new QMenu(this);
    PopupMenu_HashTypes->setObjectName(QStringLiteral("PopupMenu_HashTypes"));
    connect(PopupMenu_HashTypes, &QMenu::aboutToShow, this, &TFormMain::UpdateActions);
    AddMenuItem(PopupMenu_HashTypes, "MI_SelectAll2", ActionSelectAll, Exec);
    AddMenuItem(PopupMenu_HashTypes, "MI_SelectNone2", ActionSelectNone, Exec);

    PopupMenu_Messages = new QMenu(this);
    PopupMenu_Messages->setObjectName(QStringLiteral("PopupMenu_Messages"));
    connect(PopupMenu_Messages, &QMenu::aboutToShow, this, &TFormMain::UpdateActions);
    AddMenuItem(PopupMenu_Messages, "MI_CopyMessages2", ActionCopyMessages, Exec);
    AddMenuItem(PopupMenu_Messages, "MI_ClearMessages2", ActionClearMessages, Exec);
}

void TFormMain::CreateToolBar()
{
    MainToolBar = new QToolBar(this);
    MainToolBar->setObjectName(QStringLiteral("MainToolBar"));
    MainToolBar->setMovable(false);
    MainToolBar->setFloatable(false);
    MainToolBar->setIconSize(QSize(32, 32));
    MainToolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    MainToolBar->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, MainToolBar);
    auto Button = [&](QToolButton*& Field, const char* Name, QAction* Action) {
        MainToolBar->addAction(Action);
        Field = qobject_cast<QToolButton*>(MainToolBar->widgetForAction(Action));
        Field->setObjectName(QString::fromLatin1(Name));
    };
    Button(TB_AddFiles, "TB_AddFiles", ActionAddFiles);
    Button(TB_AddFolder, "TB_AddFolder", ActionAddFolder);
    Button(TB_HashText, "TB_HashText", ActionTextHash);
    MainToolBar->addSeparator();
    Button(TB_ViewLog, "TB_ViewLog", ActionViewLog);
    Button(TB_SaveLog, "TB_SaveLog", ActionSaveLog);
    MainToolBar->addSeparator();
    Button(TB_Skip, "TB_Skip", ActionSkip);
    Button(TB_Cancel, "TB_Cancel", ActionCancel);
    SetDesignText(this, TB_SaveLog, QStringLiteral("Hint"), QStringLiteral("Save Log"));
}

QWidget* TFormMain::CreateClient()
{
    auto* Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("ClientArea"));
    auto* Outer = new QVBoxLayout(Client);
    Outer->setContentsMargins(0, 0, 0, 0);
    Outer->setSpacing(0);

    auto* Body = new QWidget(Client);
    auto* BodyLayout = new QVBoxLayout(Body);
    BodyLayout->setContentsMargins(16, 6, 16, 8);
    BodyLayout->setSpacing(8);
    Outer->addWidget(Body);

    // The first-use hints and the file box share one place.
    auto* Top = new QWidget(Body);
    auto* TopStack = new QStackedLayout(Top);
    auto* Hints = new QWidget(Top);
    auto* HintsLayout = new QVBoxLayout(Hints);
    HintsLayout->setContentsMargins(0, 0, 0, 0);
    HintsLayout->setSpacing(0);
    auto HintLabel = [&](QLabel*& Field, const char* Name, const QString& Caption, int PixelSize) {
        Field = new QLabel(Hints);
        Field->setObjectName(QString::fromLatin1(Name));
        SetDesignText(this, Field, QStringLiteral("Caption"), Caption);
        Field->setAlignment(Qt::AlignCenter);
        Field->setWordWrap(true);
        QFont F = Field->font();
        F.setPixelSize(PixelSize);
        Field->setFont(F);
        QPalette P = Field->palette();
        P.setColor(QPalette::WindowText, QColor(0, 0, 128));
        Field->setPalette(P);
        HintsLayout->addWidget(Field);
    };
    HintLabel(Panel_DragAndDrop, "Panel_DragAndDrop", QStringLiteral("Drag and drop your files and folders"), 19);
    HintLabel(Panel_HoldControl, "Panel_HoldControl",
              QStringLiteral("Hold SHIFT to compare to next or CTRL to compare two files"), 13);
    auto* FileRow = new QWidget(Top);
    auto* FileLayout = new QHBoxLayout(FileRow);
    FileLayout->setContentsMargins(0, 0, 0, 0);
    FileLayout->setSpacing(4);
    EditFile = new QLineEdit(FileRow);
    EditFile->setObjectName(QStringLiteral("EditFile"));
    EditFile->installEventFilter(this);
    // Files dropped on the box are added like files dropped anywhere else
    // on the window, not pasted into it as text.
    EditFile->setAcceptDrops(false);
    SB_Rehash = new QToolButton(FileRow);
    SB_Rehash->setObjectName(QStringLiteral("SB_Rehash"));
    SB_Rehash->setAutoRaise(true);
    SB_Rehash->setDefaultAction(ActionRehashFile);
    FileLayout->addWidget(EditFile, 1);
    FileLayout->addWidget(SB_Rehash);
    TopStack->addWidget(Hints);
    TopStack->addWidget(FileRow);
    // The same height for both, so that nothing below moves at the first path.
    Top->setFixedHeight(std::max(Hints->sizeHint().height(), FileRow->sizeHint().height()));
    BodyLayout->addWidget(Top);

    GroupBoxFileInfo = new QGroupBox(Body);
    GroupBoxFileInfo->setObjectName(QStringLiteral("GroupBoxFileInfo"));
    auto* Info = new QGridLayout(GroupBoxFileInfo);
    Info->setContentsMargins(8, 8, 8, 8);
    Info->setHorizontalSpacing(6);
    auto InfoPair = [&](QLabel*& Label, const char* LabelName, const QString& Caption, QLineEdit*& Edit,
                        const char* EditName, int Row, int Column) {
        Label = new QLabel(GroupBoxFileInfo);
        Label->setObjectName(QString::fromLatin1(LabelName));
        SetDesignText(this, Label, QStringLiteral("Caption"), Caption);
        Edit = new QLineEdit(GroupBoxFileInfo);
        Edit->setObjectName(QString::fromLatin1(EditName));
        Edit->setReadOnly(true);
        Label->setBuddy(Edit);
        Info->addWidget(Label, Row, Column * 2);
        Info->addWidget(Edit, Row, Column * 2 + 1);
    };
    InfoPair(LabelFileSize, "LabelFileSize", QStringLiteral("File size:"), EditFileSize, "EditFileSize", 0, 0);
    InfoPair(LabelAttributes, "LabelAttributes", QStringLiteral("Attributes:"), EditAttributes, "EditAttributes", 1,
             0);
    InfoPair(LabelFileTimeCreated, "LabelFileTimeCreated", QStringLiteral("Created:"), EditFileTimeCreated,
             "EditFileTimeCreated", 0, 1);
    InfoPair(LabelFileTimeModified, "LabelFileTimeModified", QStringLiteral("Modified:"), EditFileTimeModified,
             "EditFileTimeModified", 1, 1);
    Info->setColumnStretch(1, 2);
    Info->setColumnStretch(3, 3);
    BodyLayout->addWidget(GroupBoxFileInfo);

    auto* Rows = new QGridLayout();
    Rows->setHorizontalSpacing(2);
    Rows->setVerticalSpacing(2);
    QFont HashFont(QStringLiteral("Courier New"));
    HashFont.setStyleHint(QFont::Monospace);
    HashFont.setPixelSize(13);
    for (int T = htFirst; T <= htLast; ++T) {
        const QString Suffix = QString::fromLatin1(RowSuffix[T]);
        THashRow& R = HashRows[static_cast<std::size_t>(T)];
        R.SelectButton = new QToolButton(Body);
        R.SelectButton->setObjectName(QStringLiteral("SB_Select") + Suffix);
        R.SelectButton->setAutoRaise(true);
        R.SelectButton->setIcon(MainImage(miSelect));
        R.SelectButton->setIconSize(QSize(10, 10));
        R.SelectButton->setFixedWidth(16);
        R.SelectButton->setFocusPolicy(Qt::NoFocus);
        R.CheckBox = new QCheckBox(Body);
        R.CheckBox->setObjectName(QStringLiteral("CheckBox") + Suffix);
        SetDesignText(this, R.CheckBox, QStringLiteral("Caption"), Suffix);
        R.CheckBox->setContextMenuPolicy(Qt::CustomContextMenu);
        R.Edit = new QLineEdit(Body);
        R.Edit->setObjectName(QStringLiteral("Edit") + Suffix);
        R.Edit->setReadOnly(true);
        R.Edit->setFont(HashFont);
        R.CopyButton = new QToolButton(Body);
        R.CopyButton->setObjectName(QStringLiteral("SB_Copy") + Suffix);
        R.CopyButton->setAutoRaise(true);
        R.CopyButton->setIcon(MainImage(miCopy));
        SetDesignText(this, R.CopyButton, QStringLiteral("Hint"), QStringLiteral("Copy to clipboard"));
        R.CompareButton = new QToolButton(Body);
        R.CompareButton->setObjectName(QStringLiteral("SB_Compare") + Suffix);
        R.CompareButton->setAutoRaise(true);
        R.CompareButton->setIcon(MainImage(miCompare));
        SetDesignText(this, R.CompareButton, QStringLiteral("Hint"), QStringLiteral("Compare hash"));
        const int Row = T - htFirst;
        Rows->addWidget(R.SelectButton, Row, 0);
        Rows->addWidget(R.CheckBox, Row, 1);
        Rows->addWidget(R.Edit, Row, 2);
        Rows->addWidget(R.CopyButton, Row, 3);
        Rows->addWidget(R.CompareButton, Row, 4);
    }
    Rows->setColumnStretch(2, 1);
    BodyLayout->addLayout(Rows);

    ProgressBar = new QProgressBar(Body);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    ProgressBar->setFixedHeight(20);
    BodyLayout->addWidget(ProgressBar);

    Panel_Messages = new QFrame(Client);
    Panel_Messages->setObjectName(QStringLiteral("Panel_Messages"));
    Panel_Messages->setMinimumHeight(0);
    Panel_Messages->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    auto* MessagesLayout = new QVBoxLayout(Panel_Messages);
    MessagesLayout->setContentsMargins(0, 0, 0, 0);
    MessagesLayout->setSpacing(0);
    Bevel_Border = new QFrame(Panel_Messages);
    Bevel_Border->setObjectName(QStringLiteral("Bevel_Border"));
    Bevel_Border->setFrameShape(QFrame::HLine);
    Bevel_Border->setFrameShadow(QFrame::Sunken);
    ListBox_Messages = new TMessageList(Panel_Messages);
    ListBox_Messages->setObjectName(QStringLiteral("ListBox_Messages"));
    ListBox_Messages->setContextMenuPolicy(Qt::CustomContextMenu);
    ListBox_Messages->setMinimumHeight(0);
    ListBox_Messages->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    MessagesLayout->addWidget(Bevel_Border);
    MessagesLayout->addWidget(ListBox_Messages, 1);
    Outer->addWidget(Panel_Messages, 1);

    StatusBar = new TStatusPanels(Client);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->AddPanel(30, TStatusPanels::paOwnerDraw);
    StatusBar->AddPanel(30, TStatusPanels::paOwnerDraw);
    StatusBar->AddPanel(70, TStatusPanels::paCenter);
    StatusBar->AddPanel(100, TStatusPanels::paCenter);
    StatusBar->AddPanel(50, TStatusPanels::paCenter);
    StatusBar->AddPanel(50, TStatusPanels::paLeft);
    StatusBar->OnDrawPanel = [this](QPainter& P, int I, const QRect& R) { StatusBarDrawPanel(P, I, R); };
    StatusBar->OnClick = [this](const QPoint& Pos) { RunGuarded([&] { StatusBarClick(Pos); }); };
    StatusBar->OnMouseMove = [this](const QPoint& Pos) { StatusBarMouseMove(Pos); };
    Outer->addWidget(StatusBar);
    return Client;
}

void TFormMain::CreateComponents()
{
    SetDesignText(this, this, QStringLiteral("Caption"), QStringLiteral("Sorvik"));
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    setCentralWidget(CreateClient());

    FProgressTimer = new QTimer(this);
    FProgressTimer->setSingleShot(true);
    connect(FProgressTimer, &QTimer::timeout, this, [this] { ShowProgressNow(); });

    TimerSpeed = new QTimer(this);
    TimerSpeed->setObjectName(QStringLiteral("TimerSpeed"));
    TimerSpeed->setInterval(1000);
    connect(TimerSpeed, &QTimer::timeout, this, [this] { RunGuarded([this] { TimerSpeedTimer(); }); });

    ConnectActions();

    // The designed client size, centred on the screen; a remembered
    // location replaces it when the window is shown.
    resize(449, 600);
    if (QScreen* S = screen())
        move(S->availableGeometry().center() - rect().center());

    ChooseFiles = [this] {
        QFileDialog D(this, DesignText(this, this, QStringLiteral("OpenDialog.Title"), QStringLiteral("Add files")));
        D.setObjectName(QStringLiteral("OpenDialog"));
        D.setFileMode(QFileDialog::ExistingFiles);
        D.setNameFilters({DesignText(this, this, QStringLiteral("OpenDialog.Filter0"), QStringLiteral("All files"))
                              + QStringLiteral(" (*)"),
                          DesignText(this, this, QStringLiteral("OpenDialog.Filter1"), QStringLiteral("Executables"))
                              + QStringLiteral(" (*.exe *.dll)")});
        D.setViewMode(QFileDialog::Detail);
        return D.exec() == QDialog::Accepted ? D.selectedFiles() : QStringList();
    };
    ChooseFolders = [this] {
        // Only Qt's own dialog lets several folders be chosen at once.
        QFileDialog D(this, DesignText(this, this, QStringLiteral("SelectDirectoryDialog.Title"),
                                       QStringLiteral("Add folders")));
        D.setObjectName(QStringLiteral("SelectDirectoryDialog"));
        D.setFileMode(QFileDialog::Directory);
        D.setOption(QFileDialog::ShowDirsOnly, true);
        D.setOption(QFileDialog::DontUseNativeDialog, true);
        for (auto* View : D.findChildren<QListView*>(QStringLiteral("listView")))
            View->setSelectionMode(QAbstractItemView::ExtendedSelection);
        for (auto* View : D.findChildren<QTreeView*>())
            View->setSelectionMode(QAbstractItemView::ExtendedSelection);
        return D.exec() == QDialog::Accepted ? D.selectedFiles() : QStringList();
    };
    InformationBox = [this](const QString& Text) {
        // Qt's message boxes break lines at LF only.
        QMessageBox::information(this, QApplication::applicationDisplayName(),
                                 QString(Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    };
    UtcNow = [] { return QDateTime::currentDateTimeUtc(); };
}

void TFormMain::ConnectActions()
{
    auto On = [this](QAction* A, void (TFormMain::*Execute)()) {
        connect(A, &QAction::triggered, this, [this, A, Execute] {
            RunGuarded([&] {
                // An action runs its update handler first and does nothing
                // when that disables it.
                UpdateActions();
                if (A->isEnabled())
                    (this->*Execute)();
            });
        });
    };
    On(ActionAddFiles, &TFormMain::ActionAddFilesExecute);
    On(ActionAddFolder, &TFormMain::ActionAddFolderExecute);
    On(ActionTextHash, &TFormMain::ActionTextHashExecute);
    On(ActionSettings, &TFormMain::ActionSettingsExecute);
    On(ActionExit, &TFormMain::ActionExitExecute);
    On(ActionRehashFile, &TFormMain::ActionRehashFileExecute);
    On(ActionViewLog, &TFormMain::ActionViewLogExecute);
    On(ActionSaveLog, &TFormMain::ActionSaveLogExecute);
    On(ActionClearLog, &TFormMain::ActionClearLogExecute);
    On(ActionToggleMessages, &TFormMain::ActionToggleMessagesExecute);
    On(ActionCopyMessages, &TFormMain::ActionCopyMessagesExecute);
    On(ActionClearMessages, &TFormMain::ActionClearMessagesExecute);
    On(ActionSkip, &TFormMain::ActionSkipExecute);
    On(ActionCancel, &TFormMain::ActionCancelExecute);
    On(ActionSelectAll, &TFormMain::ActionSelectAllExecute);
    On(ActionSelectNone, &TFormMain::ActionSelectNoneExecute);
    On(ActionExportToClipboard, &TFormMain::ActionExportToClipboardExecute);
    On(ActionHelp, &TFormMain::ActionHelpExecute);
    On(ActionForum, &TFormMain::ActionForumExecute);
    On(ActionHistory, &TFormMain::ActionHistoryExecute);
    On(ActionCopyrights, &TFormMain::ActionCopyrightsExecute);
    On(ActionAbout, &TFormMain::ActionAboutExecute);
    // The two check actions toggle themselves; nothing more to do.

    for (int T = htFirst; T <= htLast; ++T) {
        const THashRow& R = HashRows[static_cast<std::size_t>(T)];
        connect(R.CheckBox, &QCheckBox::toggled, this, [this] { RunGuarded([this] { HandleHashTypeChange(); }); });
        connect(R.CheckBox, &QWidget::customContextMenuRequested, this, [this, Box = R.CheckBox](const QPoint& P) {
            PopupMenu_HashTypes->popup(Box->mapToGlobal(P));
        });
        connect(R.SelectButton, &QToolButton::clicked, this,
                [this, B = R.SelectButton] { RunGuarded([&] { HandleHashSelectClick(B); }); });
        connect(R.CopyButton, &QToolButton::clicked, this,
                [this, B = R.CopyButton] { RunGuarded([&] { HandleHashCopyClick(B); }); });
        connect(R.CompareButton, &QToolButton::clicked, this,
                [this, B = R.CompareButton] { RunGuarded([&] { HandleHashCompareClick(B); }); });
    }
    connect(ListBox_Messages, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& P) { PopupMenu_Messages->popup(ListBox_Messages->viewport()->mapToGlobal(P)); });
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
    UpdateWorkerHashTypes();
    UpdateFileCounts();
    Languages.OnLanguageSelected = [this](const QString& Code) {
        RunGuarded([&] { LanguageSelected(Code); });
    };
    Languages.OnHowToTranslate = [this](QObject*) { RunGuarded([this] { HowToTranslate(); }); };
    const QString LanguagesFolder = QString::fromStdString(GetAppFolder()) + QStringLiteral("Languages");
    Languages.Scan(LanguagesFolder, LanguagesFolder + QDir::separator() + QStringLiteral("Flags"));
    Languages.BuildMenu(MI_Language);

    // Update handlers run whenever the program is about to wait for input.
    if (auto* D = QAbstractEventDispatcher::instance())
        connect(D, &QAbstractEventDispatcher::aboutToBlock, this, &TFormMain::UpdateActions);
    TimerSpeed->start();
    UpdateActions();
    SetMainFormServices(this);
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
        LogViewerApplyHashCase(Settings->UpperCaseHash);
    }
    ApplySettingsToSecondaryForms();
}

void TFormMain::ApplySettingsToSecondaryForms()
{
    const bool OnTop = bool(windowFlags() & Qt::WindowStaysOnTopHint);
    ForEachSecondaryForm([&](TSorvikForm* F) { F->SetStayOnTop(OnTop); });
}

void TFormMain::SetStayOnTop(bool Value)
{
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == Value)
        return;
    // Changing the flag hides a shown window: show it again.
    const bool WasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, Value);
    if (WasVisible)
        show();
}

void TFormMain::FormVisibleChanged(QWidget* Form)
{
    if (Form == this || !Form->isVisible())
        return;
    auto* F = qobject_cast<TSorvikForm*>(Form);
    if (F)
        F->SetStayOnTop(bool(windowFlags() & Qt::WindowStaysOnTopHint));
}

void TFormMain::ApplyHashCase(bool Upper)
{
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
void TFormMain::ActionCancelUpdate() { ActionCancel->setEnabled(IsWorkerBusy()); }
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
    setMinimumHeight(0);
    resize(width(), CompactClientHeight());
    setMinimumHeight(CompactClientHeight());
    // Without a remembered place the window opens centred on its screen.
    const TFormLocationTracker* Tracker = Settings ? Settings->MainFormLocation.get() : nullptr;
    const bool Remembered = Tracker && Tracker->Form() == this && Tracker->Enabled() && Tracker->Location().Valid;
    if (!Remembered && windowState() == Qt::WindowNoState)
        if (QScreen* S = screen())
            move(S->availableGeometry().center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
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
    // Closing the main window ends the program, whatever else is open.
    QCoreApplication::quit();
}

void TFormMain::ActionExitExecute() { close(); }

// ---------------------------------------------------------------------------
// Worker events

bool TFormMain::event(QEvent* Event)
{
    if (Event->type() == TWindowMessageEvent::EventType()) {
        auto* E = static_cast<TWindowMessageEvent*>(Event);
        RunGuarded([&] { WMWorkerEvent(E->Message); });
        return true;
    }
    if (Event->type() == TWindowMessagesReadyEvent::EventType()) {
        TakeWorkerMessages();
        return true;
    }
    return QMainWindow::event(Event);
}

void TFormMain::TakeWorkerMessages()
{
    if (!FMessageWindow)
        return;
    // In slices: input, timers and painting get their turn between two,
    // however far the worker is ahead.
    constexpr qint64 SliceNs = 20'000'000;
    QElapsedTimer Slice;
    Slice.start();
    TWindowMessage Message;
    while (FMessageWindow->Take(Message)) {
        RunGuarded([&] { WMWorkerEvent(Message); });
        Message = TWindowMessage();
        if (Slice.nsecsElapsed() >= SliceNs) {
            FMessageWindow->PostReady();
            return;
        }
    }
}

std::uint64_t TFormMain::WorkerMessagesCoalesced() const
{
    return FMessageWindow ? FMessageWindow->Coalesced() : 0;
}

namespace {

bool InLog(const THashFileList& List, const THashFile* Item)
{
    for (auto It = List.Items.rbegin(); It != List.Items.rend(); ++It)
        if (It->get() == Item)
            return true;
    return false;
}

} // namespace

void TFormMain::WMWorkerEvent(const TWindowMessage& Message)
{
    if (Message.Msg != WM_WORKER_NOTIFY)
        return;
    ++FMessagesHandled;
    const TWorkerEvent Event = WorkerEvent(Message);
    // Payloads are read only for the events that carry one.
    TWorkerPayload* Payload = nullptr;
    switch (Event) {
    case weError:
    case weFileStarted:
    case weFileFinished:
    case weFileProperties:
    case weFileCancelled:
        Payload = WorkerPayload(Message);
        break;
    default:
        break;
    }
    // What the worker found goes into the record before anything reads it.
    StoreWorkerResult(Message);
    // When the next file's start is already queued, whatever the boxes would
    // show of this file is replaced before it could be painted: only the log
    // and the log viewer take it. The boxes end the same either way.
    const bool Superseded = FMessageWindow && FMessageWindow->MarkedQueued() > 0;

    switch (Event) {
    case weStarted:
        break;
    case weError:
        SetStatusText(Q(sstatuserror));
        AddMessage(mlError, Q(serroroccurred));
        if (Payload && Payload->Text)
            AddMessageLine(Q(Payload->Text->Text));
        break;
    case weFileStarted:
        if (!Payload || !Payload->File)
            break;
        FFileList->Add(Payload->File);
        LogViewerAddFile(Payload->File);
        SetStatusText(Q(sstatusworking));
        if (Superseded)
            break;
        UpdateFileCounts();
        ClearFileInfo();
        SetFileName(FileNameToQString(Payload->File->FileName));
        break;
    case weFileFinished:
        // A record of a cleared log is no longer shown anywhere.
        if (!Payload || !Payload->File || !InLog(*FFileList, Payload->File.get()))
            break;
        if (!Superseded) {
            UpdateFileCounts();
            ShowHashes(Payload->File->Hashes);
        }
        LogViewerUpdateFile(Payload->File);
        CompareWithPrevious(Payload->File);
        break;
    case weFileProperties:
        if (!Payload || !Payload->File || !InLog(*FFileList, Payload->File.get()))
            break;
        FCurrentFileProps = Payload->File->Properties;
        if (!Superseded)
            ShowFileInfo(Payload->File->Properties);
        break;
    case weProgress:
        if (!Superseded)
            SetProgress(static_cast<int>(Message.LParam));
        break;
    case weFileCancelled:
        UpdateFileCounts();
        SetStatusText(Q(sstatuscancelled));
        SetProgress(-1);
        AddMessage(mlWarning, Q(sfilecancelled));
        if (Payload && Payload->Text)
            AddMessageLine(Q(Payload->Text->Text));
        break;
    case weBusy:
        FIdleSinceBusy = false;
        RepaintStatusBar();
        SetStatusText(Q(sstatusworking));
        break;
    case weIdle:
        ++FIdleMessagesHandled;
        FIdleSinceBusy = true;
        RepaintStatusBar();
        SetStatusText(Q(sstatusfinished));
        break;
    default:
        break;
    }
}

void TFormMain::ClearFileInfo()
{
    EditFile->clear();
    EditFileSize->clear();
    EditAttributes->clear();
    EditFileTimeCreated->clear();
    EditFileTimeModified->clear();
    ClearHashEdits();
}

void TFormMain::SetFileName(const QString& Name) { EditFile->setText(Name); }

void TFormMain::ShowFileInfo(const TFileProperties& Props)
{
    EditFileSize->setText(Q(FormatSize(Props.Size)));
    EditAttributes->setText(Q(AttributesToText(Props.Attributes)));
    EditFileTimeCreated->setText(Q(DateTimeToText(Props.Created)));
    EditFileTimeModified->setText(Q(DateTimeToText(Props.Modified)));
}

void TFormMain::ShowHashes(const THashList& Hashes)
{
    const bool Upper = Settings && Settings->UpperCaseHash;
    for (int T = htFirst; T <= htLast; ++T) {
        QLineEdit* E = HashRows[static_cast<std::size_t>(T)].Edit;
        E->setText(Q(CaseHash(Hashes.Get(static_cast<THashType>(T)), Upper)));
        // A digest wider than its box shows its beginning.
        E->setCursorPosition(0);
    }
}

void TFormMain::SetProgress(int Percent)
{
    // Most progress events repeat what is shown already.
    if (Percent < 0)
        Percent = -1;
    if (Percent == FShownProgress)
        return;
    FShownProgress = Percent;
    // Painting the bar is most of what a progress event costs: while a file
    // is read at full speed the steps in between are shown at most once a
    // frame; a start, an end and a reset are shown at once.
    const bool Edge = Percent <= 0 || Percent >= 100;
    if (Edge || !FProgressShownAt.isValid() || FProgressShownAt.elapsed() >= ProgressFrameMilliseconds) {
        ShowProgressNow();
        return;
    }
    if (!FProgressTimer->isActive())
        FProgressTimer->start(static_cast<int>(ProgressFrameMilliseconds - FProgressShownAt.elapsed()));
}

void TFormMain::ShowProgressNow()
{
    FProgressTimer->stop();
    FProgressShownAt.start();
    const int Percent = FShownProgress;
    // QProgressBar repaints at once on a visible change, flushing the window
    // to the screen: with small files that is twice per file, and the
    // window falls behind the worker. With updates off for the call the
    // change is painted with everything else when the loop is idle.
    ProgressBar->setUpdatesEnabled(false);
    ProgressBar->setValue(Percent >= 0 ? std::min(Percent, 100) : 0);
    ProgressBar->setUpdatesEnabled(true);
    StatusBar->SetPanelText(4, Percent >= 0 ? QString::number(Percent) + QLatin1Char('%') : QString());
}

void TFormMain::ResetSpeedSample()
{
    FLastSampleTime = UtcNow ? UtcNow() : QDateTime::currentDateTimeUtc();
    FLastSampleBytes = 0;
}

void TFormMain::TimerSpeedTimer()
{
    if (!FWorker)
        return;
    const QDateTime Now = UtcNow();
    const std::int64_t Bytes = FWorker->BytesRead();
    const double Seconds = std::abs(static_cast<double>(FLastSampleTime.msecsTo(Now))) / 1000.0;
    std::int64_t Speed = 0;
    if (Seconds > 0)
        Speed = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(Bytes - FLastSampleBytes) / Seconds));
    SetSpeed(Speed);
    FLastSampleBytes = Bytes;
    FLastSampleTime = Now;
}

void TFormMain::SetSpeed(std::int64_t BytesPerSecond)
{
    StatusBar->SetPanelText(3, BytesPerSecond > 0 ? Q(FormatSpeed(static_cast<double>(BytesPerSecond))) : QString());
}

void TFormMain::CompareWithPrevious(const std::shared_ptr<THashFile>& Item)
{
    if (ActionCompareToNextFile->isChecked()) {
        const std::shared_ptr<THashFile> Previous = FFileList->Previous(Item.get());
        if (Previous) {
            ActionCompareToNextFile->setChecked(false);
            if (!CompareFilesWindow(Item, Previous)) {
                AddMessage(mlWarning, Q(shashesoffilesdontmatch));
                AddMessageLine(Q(Item->FileName));
                AddMessageLine(Q(Previous->FileName));
            }
        }
    }
    if (ActionCompareNextTwoFiles->isChecked()) {
        ActionCompareNextTwoFiles->setChecked(false);
        ActionCompareToNextFile->setChecked(true);
    }
}

// ---------------------------------------------------------------------------
// Message list and status bar

void TFormMain::AddMessage(TMessageLevel Level, const QString& Text)
{
    ListBox_Messages->AddMessage(Level, Text);
    RepaintStatusBar();
    ShowMessages(true, false);
}

void TFormMain::AddMessageLine(const QString& Text)
{
    ListBox_Messages->AddMessageLine(Text);
    ShowMessages(true, false);
}

void TFormMain::ClearMessages()
{
    ListBox_Messages->ClearMessages();
    RepaintStatusBar();
    ShowMessages(false, false);
}

int TFormMain::CompactClientHeight() const
{
    if (auto* L = centralWidget()->layout())
        L->activate();
    return height() - Panel_Messages->height();
}

bool TFormMain::MessagesVisible() const { return Panel_Messages->height() > 10; }

void TFormMain::ShowMessages(bool Show, bool Force)
{
    const bool Visible = MessagesVisible();
    const bool Normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    if (!Force && (Show == Visible || !Normal))
        return;
    const int Height = CompactClientHeight() + (Show && !Visible ? 80 : 0);
    resize(width(), Height);
    if (auto* L = centralWidget()->layout())
        L->activate();
}

void TFormMain::ActionToggleMessagesExecute() { ShowMessages(!MessagesVisible(), false); }

void TFormMain::ActionClearMessagesExecute()
{
    ClearMessages();
    SetStatusText(Q(sstatusmessagescleared));
}

void TFormMain::ActionCopyMessagesExecute()
{
    QGuiApplication::clipboard()->setText(ListBox_Messages->AllText());
}

void TFormMain::SetStatusText(const QString& Text) { StatusBar->SetPanelText(5, Text); }

QString TFormMain::StatusText() const { return StatusBar->PanelText(5); }

void TFormMain::SetApplicationHint(const QString& Text)
{
    if (Text == FApplicationHint)
        return;
    FApplicationHint = Text;
    ApplicationHint();
}

void TFormMain::ApplicationHint() { SetStatusText(FApplicationHint); }

void TFormMain::UpdateFileCounts()
{
    const std::int64_t N = FFileList ? FFileList->Count() : 0;
    const std::int64_t Waiting = FileQueue ? FileQueue->Count() : 0;
    QString Text;
    if (N > 0 || Waiting > 0) {
        Text = Q(IntToStrSep(N, ","));
        if (Waiting > 0)
            Text += QStringLiteral(" (") + Q(IntToStrSep(Waiting, ",")) + QLatin1Char(')');
    }
    StatusBar->SetPanelText(2, Text);
}

void TFormMain::RepaintStatusBar() { StatusBar->update(); }

int TFormMain::StatusImage(int Panel) const
{
    if (Panel == 0)
        return IsWorkerBusy() ? miBusy : miIdle;
    if (Panel == 1) {
        const TMessageLevel Level = MessageLevel();
        return Level == mlError ? miError : Level == mlWarning ? miWarning : miNoMessages;
    }
    return -1;
}

void TFormMain::StatusBarDrawPanel(QPainter& Painter, int Panel, const QRect& Rect)
{
    const int Image = StatusImage(Panel);
    if (Image < 0)
        return;
    TRect Inner = MakeRect(16, 16);
    CenterRect(Inner, TRect{Rect.left(), Rect.top(), Rect.left() + Rect.width(), Rect.top() + Rect.height()});
    Painter.drawPixmap(Inner.Left, Inner.Top, MainImage(Image).pixmap(16, 16));
}

void TFormMain::StatusBarClick(const QPoint& Pos)
{
    const QPoint L = StatusBar->LogicalPos(Pos);
    const int P = StatusPanelAt(*StatusBar, StatusBar->PanelWidths(), L.x(), L.y());
    if (P == 0 || P == 2)
        ActionViewLogExecute();
    else if (P == 1)
        ExecuteAction(ActionToggleMessages);
}

void TFormMain::StatusBarMouseMove(const QPoint& Pos)
{
    const QPoint L = StatusBar->LogicalPos(Pos);
    const int P = StatusPanelAt(*StatusBar, StatusBar->PanelWidths(), L.x(), L.y());
    if (P >= 0 && P <= 2) {
        StatusBar->setCursor(Qt::PointingHandCursor);
        SetApplicationHint(P == 1 ? ActionToggleMessages->statusTip() : ActionViewLog->statusTip());
    } else {
        StatusBar->setCursor(Qt::ArrowCursor);
        SetApplicationHint(QString());
    }
}

// ---------------------------------------------------------------------------
// Adding files and folders

void TFormMain::AddPath(const QString& Path)
{
    ShowFileControls();
    // Looked up by its bytes: Qt's own look-up loses a name that is not UTF-8.
    const std::string Name = QStringToFileName(Path);
    std::error_code Error;
    const std::filesystem::file_status Status = std::filesystem::status(Name, Error);
    // An empty path names nothing: its status is "not found".
    if (std::filesystem::is_directory(Status)) {
        SearchFolder(Name, [this](const std::string& File) { SearcherFileFound(File); });
    } else if (std::filesystem::exists(Status)) {
        EnqueueFile(Name);
    } else {
        AddMessage(mlWarning, Q(sfilenotfound));
        AddMessageLine(Path);
    }
}

void TFormMain::EnqueueFile(const std::string& FileName) { FileQueue->Push(FileName); }

void TFormMain::SearcherFileFound(const std::string& FileName) { EnqueueFile(FileName); }

void TFormMain::AddPaths(const QStringList& List)
{
    for (const QString& P : List)
        AddPath(P);
    UpdateFileCounts();
}

void TFormMain::AddCommandLineFiles()
{
    CheckCompareModifiers();
    for (const QString& A : CommandLineArguments)
        AddPath(A);
    UpdateFileCounts();
}

void TFormMain::CheckCompareModifiers()
{
    if (IsShiftDown())
        ActionCompareToNextFile->setChecked(true);
    if (IsCtrlDown())
        ActionCompareNextTwoFiles->setChecked(true);
}

void TFormMain::ActionAddFilesExecute()
{
    const QStringList Files = ChooseFiles ? ChooseFiles() : QStringList();
    if (Files.isEmpty())
        return;
    CheckCompareModifiers();
    AddPaths(Files);
}

void TFormMain::ActionAddFolderExecute()
{
    const QStringList Folders = ChooseFolders ? ChooseFolders() : QStringList();
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

// ---------------------------------------------------------------------------
// Commands

void TFormMain::HandleHashCopyClick(QObject* Sender)
{
    for (int T = htFirst; T <= htLast; ++T) {
        const THashRow& R = HashRows[static_cast<std::size_t>(T)];
        if (R.CopyButton != Sender)
            continue;
        R.Edit->selectAll();
        // An empty selection leaves the clipboard as it was.
        if (!R.Edit->text().isEmpty())
            QGuiApplication::clipboard()->setText(R.Edit->text());
        SetStatusText(Q(HashTypeToName(static_cast<THashType>(T))) + QLatin1Char(' ') + Q(shashcoppied));
        return;
    }
}

void TFormMain::HandleHashCompareClick(QObject* Sender)
{
    for (int T = htFirst; T <= htLast; ++T) {
        const THashRow& R = HashRows[static_cast<std::size_t>(T)];
        if (R.CompareButton == Sender) {
            THashList Hashes;
            FillHashList(Hashes);
            CompareWindowStart(Hashes, static_cast<THashType>(T), R.Edit->text());
            return;
        }
    }
}

void TFormMain::FillHashList(THashList& List) const
{
    List.Clear();
    for (int T = htFirst; T <= htLast; ++T) {
        const THashRow& R = HashRows[static_cast<std::size_t>(T)];
        if (R.CheckBox->isChecked() && !R.Edit->text().isEmpty())
            List.Put(static_cast<THashType>(T), R.Edit->text().toStdString());
    }
}

void TFormMain::ActionExportToClipboardExecute()
{
    QString Text;
    Text += EditFile->text() + CRLF;
    Text += LabelFileSize->text() + QLatin1Char(' ') + EditFileSize->text() + QStringLiteral(" (")
            + Q(FormatSizeInBytes(FCurrentFileProps.Size)) + QLatin1Char(')') + CRLF;
    Text += LabelAttributes->text() + QLatin1Char(' ') + EditAttributes->text() + CRLF;
    Text += LabelFileTimeCreated->text() + QLatin1Char(' ') + EditFileTimeCreated->text() + CRLF;
    Text += LabelFileTimeModified->text() + QLatin1Char(' ') + EditFileTimeModified->text() + CRLF;
    THashList Hashes;
    FillHashList(Hashes);
    for (int T = htFirst; T <= htLast; ++T)
        if (Hashes.Has(static_cast<THashType>(T)))
            Text += Q(HashTypeToName(static_cast<THashType>(T))) + QStringLiteral(": ")
                    + Q(Hashes.Get(static_cast<THashType>(T))) + CRLF;
    QGuiApplication::clipboard()->setText(Text);
}

bool TFormMain::NextLogItem(std::shared_ptr<THashFile>& Item)
{
    if (FLogEnumIndex >= 0 && FLogEnumIndex < FFileList->Count()) {
        Item = FFileList->GetItem(FLogEnumIndex);
        ++FLogEnumIndex;
        return true;
    }
    return false;
}

void TFormMain::ActionSaveLogExecute()
{
    TSaveLogChoice Choice;
    if (!SaveLogDialog(Choice))
        return;
    TBusyCursor Busy;
    try {
        ResetLogEnumerator();
        TVerificationWriter Writer;
        Writer.UpperCaseHash = Settings && Settings->UpperCaseHash;
        Writer.HashType = Choice.HashType;
        Writer.VerifyFormat = Choice.Format;
        Writer.UseFullPath = Choice.UseFullPath;
        Writer.OnNextItem = [this](std::shared_ptr<THashFile>& Item) { return NextLogItem(Item); };
        Writer.SaveToFile(Choice.TargetPath);
        SetStatusText(Q(slogfilesaved));
    } catch (const std::exception& E) {
        ShowErrorBox(Q(sfailedtosavelog) + CRLF + QString::fromUtf8(E.what()));
    }
}

void TFormMain::ActionViewLogExecute() { ShowLogViewer(); }

void TFormMain::ActionClearLogExecute()
{
    LogViewerClear();
    FFileList->Clear();
    UpdateFileCounts();
    SetStatusText(Q(sstatuslogcleared));
}

void TFormMain::ActionSkipExecute()
{
    if (FWorker)
        FWorker->CancelFile();
}

void TFormMain::ActionCancelExecute()
{
    FileQueue->Clear();
    if (FWorker)
        FWorker->CancelFile();
}

void TFormMain::ActionTextHashExecute() { ShowTextWindow(); }
void TFormMain::ActionSettingsExecute() { ShowSettingsDialog(); }
void TFormMain::ActionAboutExecute() { ShowAboutBox(); }
void TFormMain::ActionHelpExecute() { ShellOpen(HelpWebAddress); }
void TFormMain::ActionForumExecute() { ShellOpen(ForumWebAddress); }
void TFormMain::ActionHistoryExecute() { ShellOpen(GetAppFolder() + "History.txt"); }
void TFormMain::ActionCopyrightsExecute() { ShellOpen(GetAppFolder() + "Copyrights.txt"); }
void TFormMain::HowToTranslate() { ShellOpen(TranslationGuideWebAddress); }

void TFormMain::LanguageSelected(const QString& Code)
{
    if (!Settings || Q(Settings->LanguageCode) == Code)
        return;
    Settings->LanguageCode = Code.toStdString();
    QString Text = QStringLiteral("You have selected a different language.") + CRLF + CRLF
                   + QStringLiteral("Please restart the application.") + CRLF;
    TLanguageInfo Info;
    if (Languages.FindLanguage(Code, Info)) {
        Text += CRLF + QStringLiteral("Language") + QStringLiteral(": ") + TLanguages::LanguageCaption(Info);
        if (!Info.Translators.isEmpty())
            Text += CRLF + QStringLiteral("Translators") + QStringLiteral(": ") + Info.Translators;
    }
    if (InformationBox)
        InformationBox(TrimControls(Text));
}

void TFormMain::HashText(const QByteArray& Data)
{
    ClearFileInfo();
    TSorvikList Bank;
    Bank.Init(GetCheckedHashTypes());
    Bank.Update(Data.constData(), static_cast<std::size_t>(Data.size()));
    Bank.Final();
    THashList Hashes;
    Bank.GetHashes(Hashes);
    ShowHashes(Hashes);
    SetStatusText(Q(stexthashed));
}
