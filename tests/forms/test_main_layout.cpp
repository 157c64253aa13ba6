// The main window as designed: where the focus is when it opens.
#include "main_window_support.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace maintest;

TEST(MainWindowLayout, TheFocusStartsOnTheFirstCheckBox)
{
    TMainWindowFixture M;
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(M.Form.get()));
    EXPECT_EQ(QApplication::focusWidget(), M.Ui.HashRow(htFirst).CheckBox)
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none");
}
