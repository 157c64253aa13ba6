// Settings applied to the main window and, for stay-on-top, to the others.
#include "main_window_support.h"

#include "forms/fLogViewer.h"
#include "forms/uFormStyle.h"
#include "forms/uForms.h"

#include <QToolBar>
#include <QWindow>

#include <gtest/gtest.h>

using namespace maintest;

namespace {

bool OnTop(const QWidget* W) { return W->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

// Above the main window, as a window of it, and above nothing else.
bool AboveMain(const QWidget* W, const QWidget* Main)
{
    return FormStyleOf(*W) == fsStayOnTop && W->windowHandle()->transientParent() == Main->windowHandle();
}

} // namespace

TEST(MainWindowSettings, StayOnTopReachesTheOtherWindowsAtTheirNextShow)
{
    TMainWindowFixture M;
    Settings->StayOnTop = true;
    M.Form->ApplySettings(false);
    EXPECT_TRUE(OnTop(M.Form.get()));
    M.Form->show();
    for (int Opening = 1; Opening <= 2; ++Opening) {
        FormLogViewer->ShowAndRaise();
        EXPECT_TRUE(AboveMain(FormLogViewer, M.Form.get())) << "opening " << Opening;
        EXPECT_FALSE(OnTop(FormLogViewer)) << "above other programs' windows at opening " << Opening;
        FormLogViewer->close();
    }
    FormLogViewer->ShowAndRaise();

    Settings->StayOnTop = false;
    M.Form->ApplySettings(false);
    EXPECT_FALSE(OnTop(M.Form.get()));
    EXPECT_TRUE(M.Form->isVisible()) << "re-flagging shows the window again";
    EXPECT_TRUE(AboveMain(FormLogViewer, M.Form.get())) << "a window already open keeps its style";
    FormLogViewer->close();
    for (int Opening = 1; Opening <= 2; ++Opening) {
        FormLogViewer->ShowAndRaise();
        EXPECT_EQ(FormStyleOf(*FormLogViewer), fsNormal) << "opening " << Opening;
        EXPECT_EQ(FormLogViewer->windowHandle()->transientParent(), nullptr);
        FormLogViewer->close();
    }
}

TEST(MainWindowSettings, TheFirstShowRunsOnceEvenWhenStayOnTopShowsTheWindowAgain)
{
    TMainWindowFixture M;
    M.Form->SetCommandLineArguments({"no-such-file"});
    M.Form->show();
    QTest::qWait(20);
    ASSERT_EQ(M.MessageTexts(), QStringList({"File not found", "no-such-file"}));
    M.Access().SetStayOnTop(true);
    QTest::qWait(20);
    M.Access().SetStayOnTop(false);
    QTest::qWait(20);
    EXPECT_EQ(M.Messages().size(), 2) << "the command line is added once";
}

TEST(MainWindowSettings, DigestCaseAndToolbarCaptions)
{
    TMainWindowFixture M;
    M.Ui.HashRow(htMD5).Edit->setText("abcdef");
    Settings->UpperCaseHash = true;
    Settings->ToolbarCaptions = true;
    M.Form->ApplySettings(true);
    EXPECT_EQ(M.Digest(htMD5), "abcdef") << "creation re-cases nothing";
    EXPECT_EQ(M.Ui.MainToolBar->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    M.Form->ApplySettings(false);
    EXPECT_EQ(M.Digest(htMD5), "ABCDEF");
    Settings->ToolbarCaptions = false;
    M.Form->ApplySettings(false);
    EXPECT_EQ(M.Ui.MainToolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);
}

TEST(MainWindowSettings, HashTextShowsTheDigestsOfTheCheckedTypes)
{
    TMainWindowFixture M(StringToHashTypes("MD5,CRC32"), true);
    M.Ui.EditFile->setText("old.bin");
    M.Form->HashText(QByteArray("abc"));
    EXPECT_EQ(M.Digest(htMD5), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(M.Digest(htCRC32), "352441C2");
    EXPECT_EQ(M.Digest(htSHA1), "");
    EXPECT_EQ(M.Ui.EditFile->text(), "");
    EXPECT_EQ(M.Ui.StatusText(), "Text hashed");
    EXPECT_EQ(M.Access().FileList().Count(), 0);
}
