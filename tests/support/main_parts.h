// The main window's components, found by their names as any tool that
// drives the window finds them.
#pragma once

#include "forms/fMain.h"
#include "forms/uStatusPanels.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <stdexcept>
#include <string>

class TMainParts {
public:
    TMainParts() = default;
    explicit TMainParts(const TFormMain& Form)
        : FForm(&Form)
    {
        MainToolBar = Find<QToolBar>("MainToolBar");
        TB_AddFiles = Find<QToolButton>("TB_AddFiles");
        TB_AddFolder = Find<QToolButton>("TB_AddFolder");
        TB_HashText = Find<QToolButton>("TB_HashText");
        TB_ViewLog = Find<QToolButton>("TB_ViewLog");
        TB_SaveLog = Find<QToolButton>("TB_SaveLog");
        TB_Skip = Find<QToolButton>("TB_Skip");
        TB_Cancel = Find<QToolButton>("TB_Cancel");
        Panel_DragAndDrop = Find<QLabel>("Panel_DragAndDrop");
        Panel_HoldControl = Find<QLabel>("Panel_HoldControl");
        EditFile = Find<QLineEdit>("EditFile");
        SB_Rehash = Find<QToolButton>("SB_Rehash");
        GroupBoxFileInfo = Find<QGroupBox>("GroupBoxFileInfo");
        LabelFileSize = Find<QLabel>("LabelFileSize");
        EditFileSize = Find<QLineEdit>("EditFileSize");
        LabelAttributes = Find<QLabel>("LabelAttributes");
        EditAttributes = Find<QLineEdit>("EditAttributes");
        LabelFileTimeCreated = Find<QLabel>("LabelFileTimeCreated");
        EditFileTimeCreated = Find<QLineEdit>("EditFileTimeCreated");
        LabelFileTimeModified = Find<QLabel>("LabelFileTimeModified");
        EditFileTimeModified = Find<QLineEdit>("EditFileTimeModified");
        ProgressBar = Find<QProgressBar>("ProgressBar");
        Panel_Messages = Find<QFrame>("Panel_Messages");
        Bevel_Border = Find<QFrame>("Bevel_Border");
        ListBox_Messages = Find<TMessageList>("ListBox_Messages");
        StatusBar = Find<TStatusPanels>("StatusBar");
        TimerSpeed = Find<QTimer>("TimerSpeed");
        MI_FileMenu = Find<QMenu>("MI_FileMenu");
        MI_LogMenu = Find<QMenu>("MI_LogMenu");
        MI_OptionsMenu = Find<QMenu>("MI_OptionsMenu");
        MI_Language = Find<QMenu>("MI_Language");
        MI_HelpMenu = Find<QMenu>("MI_HelpMenu");
        PopupMenu_HashTypes = Find<QMenu>("PopupMenu_HashTypes");
        PopupMenu_Messages = Find<QMenu>("PopupMenu_Messages");
        ActionAddFiles = Find<QAction>("ActionAddFiles");
        ActionAddFolder = Find<QAction>("ActionAddFolder");
        ActionTextHash = Find<QAction>("ActionTextHash");
        ActionSettings = Find<QAction>("ActionSettings");
        ActionExit = Find<QAction>("ActionExit");
        ActionRehashFile = Find<QAction>("ActionRehashFile");
        ActionViewLog = Find<QAction>("ActionViewLog");
        ActionSaveLog = Find<QAction>("ActionSaveLog");
        ActionClearLog = Find<QAction>("ActionClearLog");
        ActionToggleMessages = Find<QAction>("ActionToggleMessages");
        ActionCopyMessages = Find<QAction>("ActionCopyMessages");
        ActionClearMessages = Find<QAction>("ActionClearMessages");
        ActionSkip = Find<QAction>("ActionSkip");
        ActionCancel = Find<QAction>("ActionCancel");
        ActionSelectAll = Find<QAction>("ActionSelectAll");
        ActionSelectNone = Find<QAction>("ActionSelectNone");
        ActionCompareToNextFile = Find<QAction>("ActionCompareToNextFile");
        ActionCompareNextTwoFiles = Find<QAction>("ActionCompareNextTwoFiles");
        ActionExportToClipboard = Find<QAction>("ActionExportToClipboard");
        ActionHelp = Find<QAction>("ActionHelp");
        ActionForum = Find<QAction>("ActionForum");
        ActionHistory = Find<QAction>("ActionHistory");
        ActionCopyrights = Find<QAction>("ActionCopyrights");
        ActionAbout = Find<QAction>("ActionAbout");
    }

    // The components of one hash row.
    THashRow HashRow(THashType T) const
    {
        static const char* const Suffix[HashTypeCount]
            = { "", "CRC32", "MD2", "MD4", "MD5", "SHA1", "SHA256", "SHA512", "RMD128", "RMD160", "ED2K" };
        const QString S = QString::fromLatin1(Suffix[T]);
        THashRow R;
        R.Edit = Find<QLineEdit>("Edit" + S);
        R.CheckBox = Find<QCheckBox>("CheckBox" + S);
        R.CopyButton = Find<QToolButton>("SB_Copy" + S);
        R.CompareButton = Find<QToolButton>("SB_Compare" + S);
        R.SelectButton = Find<QToolButton>("SB_Select" + S);
        return R;
    }

    QToolBar* MainToolBar = nullptr;
    QToolButton* TB_AddFiles = nullptr;
    QToolButton* TB_AddFolder = nullptr;
    QToolButton* TB_HashText = nullptr;
    QToolButton* TB_ViewLog = nullptr;
    QToolButton* TB_SaveLog = nullptr;
    QToolButton* TB_Skip = nullptr;
    QToolButton* TB_Cancel = nullptr;
    QLabel* Panel_DragAndDrop = nullptr;
    QLabel* Panel_HoldControl = nullptr;
    QLineEdit* EditFile = nullptr;
    QToolButton* SB_Rehash = nullptr;
    QGroupBox* GroupBoxFileInfo = nullptr;
    QLabel* LabelFileSize = nullptr;
    QLineEdit* EditFileSize = nullptr;
    QLabel* LabelAttributes = nullptr;
    QLineEdit* EditAttributes = nullptr;
    QLabel* LabelFileTimeCreated = nullptr;
    QLineEdit* EditFileTimeCreated = nullptr;
    QLabel* LabelFileTimeModified = nullptr;
    QLineEdit* EditFileTimeModified = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QFrame* Panel_Messages = nullptr;
    QFrame* Bevel_Border = nullptr;
    TMessageList* ListBox_Messages = nullptr;
    TStatusPanels* StatusBar = nullptr;
    QTimer* TimerSpeed = nullptr;
    QMenu* MI_FileMenu = nullptr;
    QMenu* MI_LogMenu = nullptr;
    QMenu* MI_OptionsMenu = nullptr;
    QMenu* MI_Language = nullptr;
    QMenu* MI_HelpMenu = nullptr;
    QMenu* PopupMenu_HashTypes = nullptr;
    QMenu* PopupMenu_Messages = nullptr;
    QAction* ActionAddFiles = nullptr;
    QAction* ActionAddFolder = nullptr;
    QAction* ActionTextHash = nullptr;
    QAction* ActionSettings = nullptr;
    QAction* ActionExit = nullptr;
    QAction* ActionRehashFile = nullptr;
    QAction* ActionViewLog = nullptr;
    QAction* ActionSaveLog = nullptr;
    QAction* ActionClearLog = nullptr;
    QAction* ActionToggleMessages = nullptr;
    QAction* ActionCopyMessages = nullptr;
    QAction* ActionClearMessages = nullptr;
    QAction* ActionSkip = nullptr;
    QAction* ActionCancel = nullptr;
    QAction* ActionSelectAll = nullptr;
    QAction* ActionSelectNone = nullptr;
    QAction* ActionCompareToNextFile = nullptr;
    QAction* ActionCompareNextTwoFiles = nullptr;
    QAction* ActionExportToClipboard = nullptr;
    QAction* ActionHelp = nullptr;
    QAction* ActionForum = nullptr;
    QAction* ActionHistory = nullptr;
    QAction* ActionCopyrights = nullptr;
    QAction* ActionAbout = nullptr;

private:
    template <class T> T* Find(const QString& Name) const
    {
        T* P = FForm->findChild<T*>(Name);
        if (!P)
            throw std::logic_error("no component " + Name.toStdString());
        return P;
    }
    template <class T> T* Find(const char* Name) const { return Find<T>(QString::fromLatin1(Name)); }
    const TFormMain* FForm = nullptr;
};

inline TMainParts Parts(const TFormMain* Form) { return TMainParts(*Form); }
