// The main window's components as designed: actions, menus, tool bar and
// client area, their names, texts and images, and what each is connected to.
#include "forms/fMain.h"

#include "forms/fMainPrivate.h"
#include "forms/uFileDialogs.h"
#include "forms/uFormBase.h"
#include "forms/uMainIcons.h"
#include "forms/uWrappingToolBar.h"
#include "forms/uStatusPanels.h"
#include "app/uTranslationKit.h"
#include "platform/qt/uTextDirection.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStackedLayout>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

using namespace fmain;

namespace {

const char* const RowSuffix[HashTypeCount] = {"",       "CRC32",  "MD2",    "MD4",    "MD5",   "SHA1",
                                              "SHA256", "SHA512", "RMD128", "RMD160", "ED2K"};

} // namespace

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
            Text += QLatin1Char('\t') + LeftToRightUnit(Source->shortcut().toString(QKeySequence::NativeText));
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
        Field = NewComponent<QMenu>(this, this, Name, Caption);
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

    PopupMenu_HashTypes = NewComponent<QMenu>(this, this, "PopupMenu_HashTypes");
    connect(PopupMenu_HashTypes, &QMenu::aboutToShow, this, &TFormMain::UpdateActions);
    AddMenuItem(PopupMenu_HashTypes, "MI_SelectAll2", ActionSelectAll, Exec);
    AddMenuItem(PopupMenu_HashTypes, "MI_SelectNone2", ActionSelectNone, Exec);

    PopupMenu_Messages = NewComponent<QMenu>(this, this, "PopupMenu_Messages");
    connect(PopupMenu_Messages, &QMenu::aboutToShow, this, &TFormMain::UpdateActions);
    AddMenuItem(PopupMenu_Messages, "MI_CopyMessages2", ActionCopyMessages, Exec);
    AddMenuItem(PopupMenu_Messages, "MI_ClearMessages2", ActionClearMessages, Exec);
}

void TFormMain::CreateToolBar()
{
    auto* Bar = NewComponent<TWrappingToolBar>(this, this, "MainToolBar");
    MainToolBar = Bar;
    MainToolBar->setMovable(false);
    MainToolBar->setFloatable(false);
    MainToolBar->setIconSize(QSize(32, 32));
    MainToolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    MainToolBar->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, MainToolBar);
    // Once the bar's new height is laid out, not inside that layout. Rows
    // the bar took at the maximized width are left out as they come: the
    // call could otherwise arrive after the window is restored but before
    // it has its normal width back, and size it by the wrong rows.
    connect(Bar, &TWrappingToolBar::HeightChanged, this, [this] {
        if (ToolBarRowsCount())
            QMetaObject::invokeMethod(this, &TFormMain::FollowToolBarHeight, Qt::QueuedConnection);
    });
    auto Button = [&](QToolButton*& Field, const char* Name, QAction* Action) {
        Field = Bar->AddButton(Action);
        Field->setObjectName(QString::fromLatin1(Name));
    };
    Button(TB_AddFiles, "TB_AddFiles", ActionAddFiles);
    Button(TB_AddFolder, "TB_AddFolder", ActionAddFolder);
    Button(TB_HashText, "TB_HashText", ActionTextHash);
    Bar->AddSeparator();
    Button(TB_ViewLog, "TB_ViewLog", ActionViewLog);
    Button(TB_SaveLog, "TB_SaveLog", ActionSaveLog);
    Bar->AddSeparator();
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
    // The design's heights: the hints or the file box in the 48 pixels
    // below the tool bar, the file information 3 pixels lower, the hash
    // rows every 24 pixels from 13 pixels below it, the progress bar 14
    // pixels below the last row.
    BodyLayout->setContentsMargins(16, 0, 16, 15);
    BodyLayout->setSpacing(0);
    Outer->addWidget(Body);

    // The first-use hints and the file box share one place.
    auto* Top = new QWidget(Body);
    auto* TopStack = new QStackedLayout(Top);
    auto* Hints = new QWidget(Top);
    auto* HintsLayout = new QVBoxLayout(Hints);
    HintsLayout->setContentsMargins(0, 0, 0, 0);
    HintsLayout->setSpacing(0);
    auto HintLabel = [&](QLabel*& Field, const char* Name, const QString& Caption, int PixelSize) {
        Field = NewComponent<QLabel>(this, Hints, Name, Caption);
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
    FileLayout->setContentsMargins(0, 16, 0, 7);
    FileLayout->setSpacing(4);
    EditFile = NewComponent<QLineEdit>(this, FileRow, "EditFile");
    EditFile->installEventFilter(this);
    // Files dropped on the box are added like files dropped anywhere else
    // on the window, not pasted into it as text.
    EditFile->setAcceptDrops(false);
    SB_Rehash = NewComponent<QToolButton>(this, FileRow, "SB_Rehash");
    SB_Rehash->setAutoRaise(true);
    SB_Rehash->setDefaultAction(ActionRehashFile);
    FileLayout->addWidget(EditFile, 1);
    FileLayout->addWidget(SB_Rehash);
    TopStack->addWidget(Hints);
    TopStack->addWidget(FileRow);
    // The same height for both, so that nothing below moves at the first
    // path: the design's 48 pixels, or what the hints need at the designed
    // width where a translation takes more lines.
    const int HintsWidth = 449 - 32;
    Top->setFixedHeight(std::max({48, FileRow->sizeHint().height(),
                                  std::max(32, Panel_DragAndDrop->heightForWidth(HintsWidth))
                                      + std::max(16, Panel_HoldControl->heightForWidth(HintsWidth))}));
    BodyLayout->addWidget(Top);
    BodyLayout->addSpacing(3);

    GroupBoxFileInfo = NewComponent<QGroupBox>(this, Body, "GroupBoxFileInfo");
    auto* Info = new QGridLayout(GroupBoxFileInfo);
    Info->setContentsMargins(8, 4, 8, 4);
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
    GroupBoxFileInfo->setFixedHeight(std::max(80, GroupBoxFileInfo->sizeHint().height()));
    BodyLayout->addWidget(GroupBoxFileInfo);
    BodyLayout->addSpacing(13);

    auto* Rows = new QGridLayout();
    Rows->setHorizontalSpacing(2);
    Rows->setVerticalSpacing(0);
    constexpr int RowHeight = 24;
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
        {
            QFont F = R.CheckBox->font();
            F.setPixelSize(15);
            R.CheckBox->setFont(F);
        }
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
        // One row every 24 pixels; the buttons 23 wide.
        for (QWidget* W : {static_cast<QWidget*>(R.SelectButton), static_cast<QWidget*>(R.CheckBox),
                           static_cast<QWidget*>(R.Edit)})
            W->setFixedHeight(RowHeight - 2);
        R.CopyButton->setFixedSize(23, RowHeight - 2);
        R.CompareButton->setFixedSize(23, RowHeight - 2);
        const int Row = T - htFirst;
        Rows->addWidget(R.SelectButton, Row, 0);
        Rows->addWidget(R.CheckBox, Row, 1);
        Rows->addWidget(R.Edit, Row, 2);
        Rows->addWidget(R.CopyButton, Row, 3);
        Rows->addWidget(R.CompareButton, Row, 4);
    }
    Rows->setColumnStretch(2, 1);
    for (int Row = 0; Row <= htLast - htFirst; ++Row)
        Rows->setRowMinimumHeight(Row, RowHeight);
    BodyLayout->addLayout(Rows);
    BodyLayout->addSpacing(14);

    ProgressBar = NewComponent<QProgressBar>(this, Body, "ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    ProgressBar->setFixedHeight(20);
    BodyLayout->addWidget(ProgressBar);

    Panel_Messages = NewComponent<QFrame>(this, Client, "Panel_Messages");
    Panel_Messages->setMinimumHeight(0);
    Panel_Messages->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    auto* MessagesLayout = new QVBoxLayout(Panel_Messages);
    MessagesLayout->setContentsMargins(0, 0, 0, 0);
    MessagesLayout->setSpacing(0);
    Bevel_Border = NewComponent<QFrame>(this, Panel_Messages, "Bevel_Border");
    Bevel_Border->setFrameShape(QFrame::HLine);
    Bevel_Border->setFrameShadow(QFrame::Sunken);
    ListBox_Messages = NewComponent<TMessageList>(this, Panel_Messages, "ListBox_Messages");
    ListBox_Messages->setContextMenuPolicy(Qt::CustomContextMenu);
    ListBox_Messages->setMinimumHeight(0);
    ListBox_Messages->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    MessagesLayout->addWidget(Bevel_Border);
    MessagesLayout->addWidget(ListBox_Messages, 1);
    Outer->addWidget(Panel_Messages, 1);

    StatusBar = NewComponent<TStatusPanels>(this, Client, "StatusBar");
    StatusBar->AddPanel(30, TStatusPanels::paOwnerDraw);
    StatusBar->AddPanel(30, TStatusPanels::paOwnerDraw);
    StatusBar->AddPanel(70, TStatusPanels::paCenter);
    StatusBar->AddPanel(100, TStatusPanels::paCenter);
    StatusBar->AddPanel(50, TStatusPanels::paCenter);
    StatusBar->AddPanel(50, TStatusPanels::paLeft);
    connect(StatusBar, &TStatusPanels::DrawPanel, this, &TFormMain::StatusBarDrawPanel);
    connect(StatusBar, &TStatusPanels::Clicked, this,
            [this](const QPoint& Pos) { RunGuarded([&] { StatusBarClick(Pos); }); });
    connect(StatusBar, &TStatusPanels::MouseMoved, this, &TFormMain::StatusBarMouseMove);
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

    FFileInfoTimer = new QTimer(this);
    FFileInfoTimer->setSingleShot(true);
    connect(FFileInfoTimer, &QTimer::timeout, this, [this] { ShowPendingFileInfo(); });
    FMessagePoll = new QTimer(this);
    FMessagePoll->setSingleShot(true);
    FMessagePoll->setTimerType(Qt::PreciseTimer);
    FMessagePoll->setInterval(1);
    connect(FMessagePoll, &QTimer::timeout, this, [this] { TakeWorkerMessages(); });

    TimerSpeed = NewComponent<QTimer>(this, this, "TimerSpeed");
    TimerSpeed->setInterval(1000);
    connect(TimerSpeed, &QTimer::timeout, this, [this] { RunGuarded([this] { TimerSpeedTimer(); }); });

    ConnectActions();

    // The designed client size, centred on the screen; a remembered
    // location replaces it when the window is shown.
    resize(449, 600);
    if (QScreen* S = screen())
        move(S->availableGeometry().center() - rect().center());

    FUtcNow = [] { return QDateTime::currentDateTimeUtc(); };
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
