// A remembered location is the window's frame, title bar and borders
// included: here the platform draws a frame of its own around each window.
#include "app/uFormLocation.h"
#include "platform/qt/uPlatformShell.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class FramedWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Window.setMinimumSize(50, 50);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
        Window.hide();
        ASSERT_FALSE(FrameMarginsOf(Window).isNull()) << "the platform gives no frame";
    }
    QWidget Window;
    TFormLocationTracker T;
};

} // namespace

TEST_F(FramedWindow, TheFrameIsAppliedAndCaptured)
{
    T.Attach(&Window);
    T.SetText("1,50,60,320,240,0");
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    EXPECT_EQ(Window.frameGeometry(), QRect(50, 60, 320, 240));
    EXPECT_EQ(Window.geometry(), QRect(50, 60, 320, 240) - FrameMarginsOf(Window));

    Window.move(70, 80);
    Window.hide();
    EXPECT_EQ(T.GetText(), "1,70,80,320,240,0");
}

TEST_F(FramedWindow, TheWholeFrameIsFittedIntoTheDesktop)
{
    const QRect Desktop = PlatformVirtualDesktop();
    struct TCase {
        const char* Text;
        QRect Frame;
    } Cases[] = {
        {"1,-40,-30,320,240,0", QRect(Desktop.topLeft(), QSize(320, 240))},
        {"1,100000,100000,320,240,0", QRect(Desktop.right() + 1 - 320, Desktop.bottom() + 1 - 240, 320, 240)},
        {"1,10,10,100000,100000,0", Desktop},
    };
    T.Attach(&Window);
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        T.SetText(C.Text);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
        EXPECT_EQ(Window.frameGeometry(), C.Frame);
        EXPECT_TRUE(Desktop.contains(Window.frameGeometry()));
        Window.hide();
    }
}

TEST_F(FramedWindow, MaximizedTheRestoredFrameIsCaptured)
{
    T.Attach(&Window);
    T.SetText("1,40,50,300,200,0");
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    Window.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Window.isMaximized(); }));
    EXPECT_EQ(T.GetText(), "1,40,50,300,200,2");
    Window.hide();
}

// Bounds applied before the frame was known stood for the client area; once
// the frame is known they are the frame's again, except a size the window
// has set itself meanwhile (the main window's height with its message list
// closed).
TEST_F(FramedWindow, AFrameKnownLateKeepsWhatTheWindowChangedMeanwhile)
{
    TFormLocation L;
    L.SetText("1,50,60,320,240,0");
    struct TCase {
        const char* Meanwhile;
        QSize Client;     // the size the window sets itself, or none
        QSize Expected;   // the frame's size after the fit
    } Cases[] = {
        {"nothing", {}, {320, 240}},
        {"its height", {320, 150}, {320, 150 + FrameMarginsOf(Window).top() + FrameMarginsOf(Window).bottom()}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Meanwhile);
        const QRect Placed(50, 60, 320, 240);
        Window.setGeometry(Placed);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
        if (C.Client.isValid())
            Window.resize(C.Client);
        L.FitFrame(Window, Placed);
        EXPECT_EQ(Window.frameGeometry(), QRect(QPoint(50, 60), C.Expected));
        Window.hide();
    }
}
