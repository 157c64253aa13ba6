// The main window as a user meets it: its components, shortcuts, menus,
// hash rows, message list and status bar, driven with keys and clicks.
#include "main_window_support.h"

#include "forms/fAbout.h"
#include "forms/fLogViewer.h"
#include "forms/uForms.h"
#include "pseudo_translation.h"
#include "support/design_texts.h"
#include "support/recorded_opener.h"
#include "support/resident_memory.h"

#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace maintest;

namespace {

QPoint PanelCenter(const TFormMain& F, int Panel) { return TMainParts(F).StatusBar->PanelRect(Panel).center(); }

} // namespace

TEST(MainWindow, EveryComponentCarriesItsName)
{
    TMainWindowFixture M;
    const char* const Names[] = {
        "MainToolBar", "TB_AddFiles", "TB_AddFolder", "TB_HashText", "TB_ViewLog", "TB_SaveLog", "TB_Skip",
        "TB_Cancel", "Panel_DragAndDrop", "Panel_HoldControl", "EditFile", "SB_Rehash", "GroupBoxFileInfo",
        "LabelFileSize", "EditFileSize", "LabelAttributes", "EditAttributes", "LabelFileTimeCreated",
        "EditFileTimeCreated", "LabelFileTimeModified", "EditFileTimeModified", "ProgressBar", "Panel_Messages",
        "Bevel_Border", "ListBox_Messages", "StatusBar", "TimerSpeed", "MainMenu", "MI_FileMenu", "MI_AddFiles",
        "MI_AddFolders", "MI_HashText", "MI_Settings", "MI_Exit", "MI_LogMenu", "MI_ViewLog", "MI_SaveLog",
        "MI_ClearLog", "MI_ToggleMessages", "MI_CopyMessages1", "MI_ClearMessages1", "MI_OptionsMenu", "MI_Skip",
        "MI_Cancel", "MI_SelectAll", "MI_SelectNone", "MI_CompareToNextFile", "MI_CompareNextTwoFiles",
        "MI_ExportToClipboard", "MI_Language", "MI_HelpMenu", "MI_Help", "MI_Forum", "MI_History", "MI_Copyrights",
        "MI_About", "PopupMenu_HashTypes", "MI_SelectAll2", "MI_SelectNone2", "PopupMenu_Messages",
        "MI_CopyMessages2", "MI_ClearMessages2"};
    for (const char* N : Names)
        EXPECT_NE(M.Form->findChild<QObject*>(QString::fromLatin1(N)), nullptr) << N;
    for (const char* Row : {"CRC32", "MD2", "MD4", "MD5", "SHA1", "SHA256", "SHA512", "RMD128", "RMD160", "ED2K"})
        for (const char* Kind : {"CheckBox", "Edit", "SB_Copy", "SB_Compare", "SB_Select"})
            EXPECT_NE(M.Form->findChild<QObject*>(QString::fromLatin1(Kind) + QString::fromLatin1(Row)), nullptr)
                << Kind << Row;
    const QList<QAction*> Actions = M.Ui.Actions();
    EXPECT_EQ(Actions.size(), 24);
    QSet<QString> ActionNames;
    for (QAction* A : Actions) {
        ASSERT_NE(A, nullptr);
        EXPECT_TRUE(A->objectName().startsWith("Action"));
        ActionNames.insert(A->objectName());
    }
    EXPECT_EQ(ActionNames.size(), 24);
    EXPECT_EQ(M.Ui.HashRow(htRIPEMD160).CheckBox->text(), "RMD160");
    EXPECT_EQ(M.Ui.HashRow(htMD5).CopyButton->statusTip(), "Copy to clipboard (MD5)");
    EXPECT_EQ(M.Ui.HashRow(htRIPEMD128).CompareButton->statusTip(), "Compare hash (RipeMD128)");
    EXPECT_EQ(M.Ui.TB_SaveLog->statusTip(), "Save Log");
    EXPECT_EQ(M.Form->windowTitle(), "Sorvik");
}

TEST(MainWindow, EveryDesignTextGoesThroughTheHelper)
{
    TPseudoTranslation Pseudo;
    TMainWindowFixture M;
    QStringList LanguageItems;
    for (QAction* A : M.Ui.MI_Language->actions())
        LanguageItems << A->text();
    for (const auto& [Where, Text] : CollectDesignTexts(M.Form.get())) {
        if (LanguageItems.contains(Text))
            continue; // the language list's own items
        EXPECT_TRUE(Text.startsWith(QChar(0xbb))) << Where.toStdString() << ": " << Text.toStdString();
    }
    EXPECT_TRUE(Pseudo.Keys.contains("TFORMMAIN.ACTIONADDFILES.CAPTION"));
    EXPECT_TRUE(Pseudo.Keys.contains("TFORMMAIN.PANEL_HOLDCONTROL.CAPTION"));
    // The row suffix follows the translated hint.
    EXPECT_TRUE(M.Ui.HashRow(htMD5).CopyButton->statusTip().endsWith(QChar(0xab) + QString(" (MD5)")));
}

TEST(MainWindow, ShortcutsSelectAndExport)
{
    TMainWindowFixture M;
    TRecordedOpener Opener;
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    QTest::keyClick(M.Form.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(M.Ui.CheckedHashTypes(), 0u);
    EXPECT_EQ(M.Form->Worker()->HashTypes.load(), 0u);
    QTest::keyClick(M.Form.get(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(M.Ui.CheckedHashTypes(), AllHashTypes());
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(M.Form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("\r\nFile size:  (0 bytes)\r\n"));
    QTest::keyClick(M.Form.get(), Qt::Key_F1);
    ASSERT_EQ(Opener.Opened.size(), 1u);
    EXPECT_EQ(Opener.Opened[0].toString().toStdString(), HelpWebAddress);
    {
        // The about box the main window is connected to.
        const struct { TFormAbout* Form; } About{FormAbout};
        QTest::keyClick(M.Form.get(), Qt::Key_F1, Qt::ShiftModifier);
        EXPECT_TRUE(About.Form->isVisible());
    }
    EXPECT_EQ(Opener.Opened.size(), 1u) << "Shift+F1 is About, not Help";
}

TEST(MainWindow, MenusRunTheirActions)
{
    TMainWindowFixture M;
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    auto ClickItem = [](QMenu* Menu, const char* Name) {
        auto* Item = Menu->findChild<QAction*>(QString::fromLatin1(Name));
        ASSERT_NE(Item, nullptr) << Name;
        Menu->popup(QPoint(10, 10));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Menu));
        QTest::mouseClick(Menu, Qt::LeftButton, {}, Menu->actionGeometry(Item).center());
        QTest::qWait(1);
    };
    ClickItem(M.Ui.MI_OptionsMenu, "MI_SelectNone");
    EXPECT_EQ(M.Ui.CheckedHashTypes(), 0u);
    ClickItem(M.Ui.PopupMenu_HashTypes, "MI_SelectAll2");
    EXPECT_EQ(M.Ui.CheckedHashTypes(), AllHashTypes());
    ClickItem(M.Ui.MI_OptionsMenu, "MI_CompareToNextFile");
    EXPECT_TRUE(M.Ui.ActionCompareToNextFile->isChecked()) << "toggled once";
    auto* Mark = M.Ui.MI_OptionsMenu->findChild<QAction*>("MI_CompareToNextFile");
    EXPECT_TRUE(Mark->isChecked()) << "the menu shows the check mark";
    ClickItem(M.Ui.MI_OptionsMenu, "MI_CompareToNextFile");
    EXPECT_FALSE(M.Ui.ActionCompareToNextFile->isChecked());
    // Skip and Cancel are disabled while the worker is idle, in the menu too.
    M.Ui.MI_OptionsMenu->popup(QPoint(10, 10));
    EXPECT_FALSE(M.Ui.MI_OptionsMenu->findChild<QAction*>("MI_Skip")->isEnabled());
    EXPECT_FALSE(M.Ui.MI_OptionsMenu->findChild<QAction*>("MI_Cancel")->isEnabled());
    M.Ui.MI_OptionsMenu->hide();
    // Exit closes the window, asking it first.
    M.Ui.HashRow(htSHA1).SelectButton->click();
    M.Ui.MI_FileMenu->findChild<QAction*>("MI_Exit")->trigger();
    EXPECT_FALSE(M.Form->isVisible());
    EXPECT_EQ(Settings->HashTypes, HashTypeBit(htSHA1));
}

TEST(MainWindow, SelectButtonLeavesItsRowTheOnlyOneChecked)
{
    TMainWindowFixture M;
    M.Form->show();
    QTest::mouseClick(M.Ui.HashRow(htMD5).SelectButton, Qt::LeftButton);
    EXPECT_EQ(M.Ui.CheckedHashTypes(), HashTypeBit(htMD5));
    EXPECT_EQ(M.Form->Worker()->HashTypes.load(), HashTypeBit(htMD5));
}

TEST(MainWindow, SettingsNamingNoTypeCheckNoRow)
{
    TMainWindowFixture M(StringToHashTypes("Whirlpool,,sha1"));
    EXPECT_EQ(M.Ui.CheckedHashTypes(), 0u);
}

TEST(MainWindow, MessagesOpenThePanelAndCopyAndClear)
{
    TMainWindowFixture M;
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    EXPECT_FALSE(M.Access().MessagesVisible()) << "closed at the first show";
    const int Compact = M.Form->height();
    EXPECT_EQ(M.Form->minimumHeight(), Compact);
    M.Access().AddMessage(mlWarning, "first");
    M.Access().AddMessageLine("a.bin");
    EXPECT_TRUE(M.Access().MessagesVisible());
    M.Access().AddMessage(mlError, "second");
    M.Access().AddMessageLine("b.bin");
    EXPECT_EQ(M.Access().StatusImage(1), 14);
    EXPECT_EQ(M.Ui.ListBox_Messages->item(0)->data(Qt::UserRole + 1).toInt(), mlWarning);
    EXPECT_EQ(M.Ui.ListBox_Messages->item(1)->data(Qt::UserRole + 1).toInt(), mlNone);
    EXPECT_EQ(M.Ui.ListBox_Messages->item(1)->text(), "a.bin") << "no stamp on a continuation line";
    M.Ui.ActionCopyMessages->trigger();
    const QStringList Lines = QGuiApplication::clipboard()->text().split("\r\n");
    ASSERT_EQ(Lines.size(), 5);
    EXPECT_TRUE(Lines[0].endsWith("] first"));
    EXPECT_EQ(Lines[3], "b.bin");
    EXPECT_EQ(Lines[4], "");

    M.Ui.ActionToggleMessages->trigger();
    EXPECT_FALSE(M.Access().MessagesVisible());
    EXPECT_EQ(M.Form->height(), Compact);
    M.Ui.ActionToggleMessages->trigger();
    EXPECT_TRUE(M.Access().MessagesVisible());

    M.Ui.ActionClearMessages->trigger();
    EXPECT_EQ(M.Ui.ListBox_Messages->count(), 0);
    EXPECT_EQ(M.Access().StatusImage(1), 12);
    EXPECT_FALSE(M.Access().MessagesVisible());
    EXPECT_EQ(M.Ui.StatusText(), "Messages cleared");
    M.Ui.ActionCopyMessages->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
}

// 200,000 lines are many small blocks; once they are cleared the process
// kept their pages (167 MB stayed resident) while Clear Log gave its back.
TEST(MainWindow, ClearMessagesHandsTheListsMemoryBack)
{
#if !defined(__GLIBC__)
    GTEST_SKIP() << "only glibc's allocator is asked to hand memory back";
#else
    if (ResidentKiB() < 0)
        GTEST_SKIP() << "no /proc/self/status";
    TTempFolder Folder;
    QStringList Missing;
    for (int I = 0; I < 100000; ++I)
        Missing.append(Q((Folder.Path() / ("gone-" + std::to_string(I) + ".iso")).string()));
    TMainWindowFixture M;
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    const long Before = ResidentKiB();
    M.Access().AddPaths(Missing);
    ASSERT_EQ(M.Ui.ListBox_Messages->count(), 200000);
    QTest::qWait(50);
    const long Full = ResidentKiB();
    ASSERT_GT(Full - Before, 32 * 1024) << "the lines took less memory than this test needs to see";
    M.Ui.ActionClearMessages->trigger();
    EXPECT_EQ(M.Ui.ListBox_Messages->count(), 0);
    const long Cleared = ResidentKiB();
    EXPECT_LT(Cleared - Before, (Full - Before) / 4)
        << "before: " << Before << " KiB, with the lines: " << Full << " KiB, cleared: " << Cleared << " KiB";
#endif
}

TEST(MainWindow, AMaximizedWindowListsMessagesWithoutOpeningThePanel)
{
    TMainWindowFixture M;
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    M.Form->showMaximized();
    QTest::qWait(10);
    const int Height = M.Form->height();
    M.Access().AddMessage(mlWarning, "listed");
    EXPECT_EQ(M.Ui.ListBox_Messages->count(), 1);
    EXPECT_EQ(M.Form->height(), Height);
    M.Ui.ActionToggleMessages->trigger();
    EXPECT_EQ(M.Form->height(), Height);
}

TEST(MainWindow, StatusBarClicksAndHints)
{
    TMainWindowFixture M;
    // The log viewer the main window is connected to.
    const struct { TFormLogViewer* Form; } Viewer{FormLogViewer};
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    TStatusPanels* Bar = M.Ui.StatusBar;
    QTest::mouseClick(Bar, Qt::LeftButton, {}, PanelCenter(*M.Form, 1));
    EXPECT_TRUE(M.Access().MessagesVisible()) << "panel 1 opens the messages";
    QTest::mouseClick(Bar, Qt::LeftButton, {}, PanelCenter(*M.Form, 1));
    EXPECT_FALSE(M.Access().MessagesVisible()) << "and closes them again";
    QTest::mouseClick(Bar, Qt::LeftButton, {}, PanelCenter(*M.Form, 3));
    EXPECT_FALSE(Viewer.Form->isVisible());
    QTest::mouseClick(Bar, Qt::LeftButton, {}, PanelCenter(*M.Form, 2));
    EXPECT_TRUE(Viewer.Form->isVisible()) << "panel 2 shows the log viewer";
    Viewer.Form->hide();
    QTest::mouseClick(Bar, Qt::LeftButton, {}, PanelCenter(*M.Form, 0));
    EXPECT_TRUE(Viewer.Form->isVisible());

    QTest::mouseMove(Bar, PanelCenter(*M.Form, 0));
    EXPECT_EQ(M.Ui.StatusText(), "View Log");
    EXPECT_EQ(Bar->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(Bar, PanelCenter(*M.Form, 1));
    EXPECT_EQ(M.Ui.StatusText(), "Toggle Messages");
    QTest::mouseMove(Bar, PanelCenter(*M.Form, 4));
    EXPECT_EQ(M.Ui.StatusText(), "");
    EXPECT_EQ(Bar->cursor().shape(), Qt::ArrowCursor);
}

TEST(MainWindow, HintsGoToTheLastPanelAndTooltipsNeverShow)
{
    TMainWindowFixture M;
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    QStatusTipEvent Tip("Add Files");
    QCoreApplication::sendEvent(M.Ui.TB_AddFiles, &Tip);
    EXPECT_EQ(M.Ui.StatusText(), "Add Files");
    M.Access().SetStatusText("Finished");
    QStatusTipEvent Same("Add Files");
    QCoreApplication::sendEvent(M.Ui.TB_AddFiles, &Same);
    EXPECT_EQ(M.Ui.StatusText(), "Finished") << "the same hint again changes nothing";
    QHelpEvent Help(QEvent::ToolTip, QPoint(2, 2), M.Ui.TB_AddFiles->mapToGlobal(QPoint(2, 2)));
    EXPECT_TRUE(QApplication::sendEvent(M.Ui.TB_AddFiles, &Help)) << "eaten";
}

TEST(MainWindow, FileCounts)
{
    TMainWindowFixture M;
    // The worker stays out of the queue for this test.
    M.Form->Worker()->Terminate();
    M.Form->Worker()->WaitFor();
    M.Access().UpdateFileCounts();
    EXPECT_EQ(M.Ui.StatusBar->PanelText(2), "");
    FileQueue->Push("x");
    FileQueue->Push("y");
    M.Access().UpdateFileCounts();
    EXPECT_EQ(M.Ui.StatusBar->PanelText(2), "0 (2)");
    FileQueue->Clear();
    for (int I = 0; I < 1000; ++I)
        M.Access().FileList().Add(std::make_shared<THashFile>("f"));
    M.Access().UpdateFileCounts();
    EXPECT_EQ(M.Ui.StatusBar->PanelText(2), "1,000");
}

TEST(MainWindow, TheWindowKeepsItsMinimumSize)
{
    TMainWindowFixture M;
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    const QSize Min = M.Form->minimumSize();
    EXPECT_GE(Min.width(), 449);
    M.Form->resize(100, 100);
    EXPECT_GE(M.Form->width(), Min.width());
    EXPECT_GE(M.Form->height(), Min.height());
}

TEST(MainWindow, RightToLeftTheStatusPanelsRunFromTheRight)
{
    TMainWindowFixture M;
    M.Form->setLayoutDirection(Qt::RightToLeft);
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    TStatusPanels* Bar = M.Ui.StatusBar;
    EXPECT_EQ(Bar->PanelRect(0).right(), Bar->width() - 1);
    EXPECT_EQ(Bar->PanelRect(5).left(), 0);
    QTest::mouseClick(Bar, Qt::LeftButton, {}, QPoint(Bar->width() - 45, Bar->height() / 2));
    EXPECT_TRUE(M.Access().MessagesVisible()) << "the second panel from the right toggles the messages";
    QTest::mouseMove(Bar, QPoint(Bar->width() - 15, Bar->height() / 2));
    EXPECT_EQ(M.Ui.StatusText(), "View Log");
}
