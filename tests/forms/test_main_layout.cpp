// The main window as designed: its heights and fonts, and where the focus
// is when it opens.
#include "main_window_support.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace maintest;

namespace {

int TopIn(const QWidget* W, const QWidget* Window) { return W->mapTo(Window, QPoint(0, 0)).y(); }

} // namespace

TEST(MainWindowLayout, RowsFontsAndBandsFollowTheDesign)
{
    TMainWindowFixture M;
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    QWidget* Window = M.Form.get();
    for (int T = htFirst; T <= htLast; ++T) {
        SCOPED_TRACE(T);
        QCheckBox* Box = M.Ui.HashRow(THashType(T)).CheckBox;
        EXPECT_EQ(Box->font().pixelSize(), 15);
        if (T > htFirst) {
            EXPECT_EQ(TopIn(Box, Window) - TopIn(M.Ui.HashRow(THashType(T - 1)).CheckBox, Window), 24);
        }
        EXPECT_EQ(TopIn(M.Ui.HashRow(THashType(T)).Edit, Window), TopIn(Box, Window)) << "one line per row";
    }
    // The tool bar fits its 32-pixel icons, about 40 high; the hints or the
    // file box fill the 51 pixels between it and the file information.
    const int BarBottom = TopIn(M.Ui.MainToolBar, Window) + M.Ui.MainToolBar->height();
    EXPECT_GE(M.Ui.MainToolBar->height(), 38);
    EXPECT_LE(M.Ui.MainToolBar->height(), 44);
    EXPECT_EQ(TopIn(M.Ui.GroupBoxFileInfo, Window) - BarBottom, 51);
    EXPECT_EQ(M.Ui.GroupBoxFileInfo->height(), 80);
    // The first 24-pixel row 93 pixels below its top; a box sits mid-row.
    QCheckBox* First = M.Ui.HashRow(htFirst).CheckBox;
    EXPECT_EQ(TopIn(First, Window) + First->height() / 2 - TopIn(M.Ui.GroupBoxFileInfo, Window), 93 + 12);
}

TEST(MainWindowLayout, TheFocusStartsOnTheFirstCheckBox)
{
    TMainWindowFixture M;
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(M.Form.get()));
    EXPECT_EQ(QApplication::focusWidget(), M.Ui.HashRow(htFirst).CheckBox)
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none");
}
