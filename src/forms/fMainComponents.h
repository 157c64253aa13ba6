// The main window's components, each by its type and its name (the
// member's name and the objectName alike): the window declares them from
// this list, and whatever drives the window by the names finds them from it.
#pragma once

#define SORVIK_MAIN_WINDOW_COMPONENTS(X) \
    X(QToolBar, MainToolBar)              \
    X(QToolButton, TB_AddFiles)           \
    X(QToolButton, TB_AddFolder)          \
    X(QToolButton, TB_HashText)           \
    X(QToolButton, TB_ViewLog)            \
    X(QToolButton, TB_SaveLog)            \
    X(QToolButton, TB_Skip)               \
    X(QToolButton, TB_Cancel)             \
    X(QLabel, Panel_DragAndDrop)          \
    X(QLabel, Panel_HoldControl)          \
    X(QLineEdit, EditFile)                \
    X(QToolButton, SB_Rehash)             \
    X(QGroupBox, GroupBoxFileInfo)        \
    X(QLabel, LabelFileSize)              \
    X(QLineEdit, EditFileSize)            \
    X(QLabel, LabelAttributes)            \
    X(QLineEdit, EditAttributes)          \
    X(QLabel, LabelFileTimeCreated)       \
    X(QLineEdit, EditFileTimeCreated)     \
    X(QLabel, LabelFileTimeModified)      \
    X(QLineEdit, EditFileTimeModified)    \
    X(QProgressBar, ProgressBar)          \
    X(QFrame, Panel_Messages)             \
    X(QFrame, Bevel_Border)               \
    X(TMessageList, ListBox_Messages)     \
    X(TStatusPanels, StatusBar)           \
    X(QTimer, TimerSpeed)                 \
    X(QMenu, MI_FileMenu)                 \
    X(QMenu, MI_LogMenu)                  \
    X(QMenu, MI_OptionsMenu)              \
    X(QMenu, MI_Language)                 \
    X(QMenu, MI_HelpMenu)                 \
    X(QMenu, PopupMenu_HashTypes)         \
    X(QMenu, PopupMenu_Messages)          \
    X(QAction, ActionAddFiles)            \
    X(QAction, ActionAddFolder)           \
    X(QAction, ActionTextHash)            \
    X(QAction, ActionSettings)            \
    X(QAction, ActionExit)                \
    X(QAction, ActionRehashFile)          \
    X(QAction, ActionViewLog)             \
    X(QAction, ActionSaveLog)             \
    X(QAction, ActionClearLog)            \
    X(QAction, ActionToggleMessages)      \
    X(QAction, ActionCopyMessages)        \
    X(QAction, ActionClearMessages)       \
    X(QAction, ActionSkip)                \
    X(QAction, ActionCancel)              \
    X(QAction, ActionSelectAll)           \
    X(QAction, ActionSelectNone)          \
    X(QAction, ActionCompareToNextFile)   \
    X(QAction, ActionCompareNextTwoFiles) \
    X(QAction, ActionExportToClipboard)   \
    X(QAction, ActionHelp)                \
    X(QAction, ActionForum)               \
    X(QAction, ActionHistory)             \
    X(QAction, ActionCopyrights)          \
    X(QAction, ActionAbout)
