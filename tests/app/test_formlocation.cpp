#include "app/uFormLocation.h"

#include "platform/qt/uPlatformShell.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include <memory>

TEST(FormLocationText, ParseTable)
{
    struct Case {
        const char* Text;
        const char* Written;
        bool Enabled;
        bool Valid;
        int32_t State;
    };
    const Case Cases[] = {
        {"", "0", false, false, 0},
        {"0", "0", false, false, 0},
        {"1", "1", true, false, 0},
        {"1,10,20,300,200", "1,10,20,300,200,0", true, true, 0},
        {"1,10,20,300,200,", "1,10,20,300,200,0", true, true, 0},
        {"1,10,20,300,200,x", "1,10,20,300,200,0", true, true, 0},
        {"1,10,20,300,200,2,9", "1,10,20,300,200,2", true, true, 2},
        {"1,10,20,300,200,7", "1,10,20,300,200,7", true, true, 7},
        {"1,10,20,300", "1", true, false, 0},
        {"1,10,,300,200", "1", true, false, 0},
        {"1, 10,20,300,200", "1", true, false, 0},
        {"1,2147483648,0,1,1", "1", true, false, 0},
        {"1,-2147483648,-5,300,200,0", "1,-2147483648,-5,300,200,0", true, true, 0},
        {"0,120,80,640,480,2", "0,120,80,640,480,2", false, true, 2},
        {"01,10,20,300,200", "0,10,20,300,200,0", false, true, 0},
        {" 1,10,20,300,200", "0,10,20,300,200,0", false, true, 0},
        {"yes,10,20,300,200", "0,10,20,300,200,0", false, true, 0},
        {"1,0x10,20,300,200", "1", true, false, 0},
    };
    for (const Case& C : Cases) {
        TFormLocation L;
        L.SetText("1,9,9,9,9,2");   // nothing of an earlier text survives
        L.SetText(C.Text);
        EXPECT_EQ(L.GetText(), C.Written) << C.Text;
        EXPECT_EQ(L.Enabled, C.Enabled) << C.Text;
        EXPECT_EQ(L.Valid, C.Valid) << C.Text;
        EXPECT_EQ(L.WindowState, C.State) << C.Text;
    }
}

TEST(FormLocationText, FitToDesktop)
{
    const QRect Single(0, 0, 1920, 1080);
    const QRect Dual(-1280, -200, 3200, 1280);   // a second monitor left of and above the first
    struct Case {
        QRect Bounds;
        QRect Desktop;
        QRect Expected;
    };
    const Case Cases[] = {
        {{100, 100, 640, 480}, Single, {100, 100, 640, 480}},
        {{100, 100, 3000, 500}, Single, {0, 100, 1920, 500}},     // too wide: shrunk, moved to the left edge
        {{100, 100, 400, 2000}, Single, {100, 0, 400, 1080}},
        {{2500, 100, 400, 300}, Single, {1520, 100, 400, 300}},   // beyond the right edge
        {{100, 1000, 400, 300}, Single, {100, 780, 400, 300}},
        {{-50, -20, 400, 300}, Single, {0, 0, 400, 300}},
        {{1520, 780, 400, 300}, Single, {1520, 780, 400, 300}},   // touching the edges stays
        {{-1000, -100, 400, 300}, Dual, {-1000, -100, 400, 300}},
        {{-2000, -300, 400, 300}, Dual, {-1280, -200, 400, 300}},
        {{1800, 900, 400, 300}, Dual, {1520, 780, 400, 300}},
        {{10, 10, 400, 300}, QRect(), {10, 10, 400, 300}},        // no screen: left alone
    };
    for (const Case& C : Cases) {
        const QRect Fitted = FitToDesktop(C.Bounds, C.Desktop);
        EXPECT_EQ(Fitted, C.Expected) << C.Bounds.x() << "," << C.Bounds.y() << " " << C.Bounds.width() << "x"
                                      << C.Bounds.height();
    }
}

// Stored values anywhere in the 32-bit range: the sums are taken in 64 bits
// and the window still lands on the desktop.
TEST(FormLocationText, FitToDesktopNearTheIntegerLimits)
{
    const QRect Single(0, 0, 1920, 1080);
    const std::int64_t Max = std::numeric_limits<std::int32_t>::max();
    const std::int64_t Min = std::numeric_limits<std::int32_t>::min();
    const struct {
        std::int64_t Left, Top, Width, Height;
        QRect Desktop;
        QRect Expected;
    } Cases[] = {
        {2147483000, 100, 1000, 600, Single, {920, 100, 1000, 600}},
        {100, 2147483000, 1000, 600, Single, {100, 480, 1000, 600}},
        {Min, Min, Max, Max, Single, {0, 0, 1920, 1080}},
        {Max, Max, Max, Max, Single, {0, 0, 1920, 1080}},
        {Max, 0, 1, 1, QRect(Min + 1, 0, 1920, 1080), {Min + 1 + 1919, 0, 1, 1}},
        {100, 100, -5, -7, Single, {100, 100, 0, 0}},
        {Max, Min, Max, Max, QRect(), {1073741823, -1073741823, 1073741823, 1073741823}},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(FitToDesktop(C.Left, C.Top, C.Width, C.Height, C.Desktop), C.Expected)
            << C.Left << "," << C.Top << " " << C.Width << "x" << C.Height;
    }
}

namespace {

class Tracker : public ::testing::Test {
protected:
    void SetUp() override
    {
        Window = std::make_unique<QWidget>();
        Window->setMinimumSize(50, 50);
    }

    void Show()
    {
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    }

    TFormLocationTracker T;
    std::unique_ptr<QWidget> Window;
};

} // namespace

TEST_F(Tracker, AppliesWhenShownAndCapturesWhenHidden)
{
    T.Attach(Window.get());
    T.SetText("1,50,60,320,240,0");
    Show();
    EXPECT_EQ(Window->geometry(), QRect(50, 60, 320, 240));
    EXPECT_TRUE(Window->testAttribute(Qt::WA_Moved));

    Window->setGeometry(70, 80, 300, 200);
    Window->hide();
    EXPECT_EQ(T.GetText(), "1,70,80,300,200,0");
}

TEST_F(Tracker, RememberingOffStillCapturesButNeverApplies)
{
    Window->setGeometry(30, 40, 200, 150);
    T.Attach(Window.get());
    T.SetText("0,300,300,320,240,0");
    Show();
    EXPECT_EQ(Window->geometry(), QRect(30, 40, 200, 150));
    Window->close();
    EXPECT_EQ(T.GetText(), "0,30,40,200,150,0");
}

TEST_F(Tracker, ShownInsideTheDesktop)
{
    const QRect Desktop = PlatformVirtualDesktop();
    T.Attach(Window.get());
    T.SetText("1,100000,100000,320,240,0");
    Show();
    EXPECT_EQ(Window->geometry(), QRect(Desktop.right() + 1 - 320, Desktop.bottom() + 1 - 240, 320, 240));
}

TEST_F(Tracker, HandEditedValuesNearTheLimitsStayOnTheDesktop)
{
    const QRect Desktop = PlatformVirtualDesktop();
    T.Attach(Window.get());
    T.SetText("1,2147483000,100,300,200,0");
    Show();
    EXPECT_EQ(Window->geometry(), QRect(Desktop.right() + 1 - 300, 100, 300, 200));
    Window->hide();
    T.SetText("1,-2147483648,2147483647,300,200,0");
    Show();
    EXPECT_EQ(Window->geometry(), QRect(Desktop.x(), Desktop.bottom() + 1 - 200, 300, 200));
}

TEST_F(Tracker, StoredStates)
{
    T.Attach(Window.get());
    T.SetText("1,50,60,320,240,2");
    Show();
    EXPECT_TRUE(Window->isMaximized());
    EXPECT_EQ(Window->normalGeometry(), QRect(50, 60, 320, 240));
    // Once the state has changed, a capture of the maximized window takes
    // its restored bounds.
    EXPECT_TRUE(T.StateChanged());
    EXPECT_EQ(T.GetText(), "1,50,60,320,240,2");

    Window->hide();
    T.SetText("1,50,60,320,240,1");   // minimized: bounds only, state unchanged
    Window->showNormal();
    EXPECT_FALSE(Window->isMinimized());
}

TEST_F(Tracker, MaximizedWithoutStateChangeKeepsTheEarlierBounds)
{
    T.SetText("1,10,20,300,200,0");
    Window->showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    T.Attach(Window.get());
    EXPECT_FALSE(T.StateChanged());
    EXPECT_EQ(T.GetText(), "1,10,20,300,200,2");
}

TEST_F(Tracker, MaximizingAfterAttachTakesTheRestoredBounds)
{
    Window->setGeometry(40, 50, 260, 180);
    T.Attach(Window.get());
    Show();
    Window->showMaximized();
    EXPECT_TRUE(T.StateChanged());
    EXPECT_EQ(T.GetText(), "0,40,50,260,180,2");
}

TEST_F(Tracker, DestroyedWindowDetachesAndKeepsItsLocation)
{
    T.Attach(Window.get());
    T.SetEnabled(true);
    Window->setGeometry(20, 30, 240, 160);
    Show();
    Window.reset();
    EXPECT_EQ(T.Form(), nullptr);
    EXPECT_EQ(T.GetText(), "1,20,30,240,160,0");
    EXPECT_FALSE(T.Apply());
}

TEST_F(Tracker, AttachingElsewhereDropsTheOldHooks)
{
    QWidget Other;
    T.Attach(Window.get());
    T.SetText("1,50,60,320,240,0");
    T.Attach(&Other);
    Window->setGeometry(5, 6, 200, 150);
    Show();
    EXPECT_EQ(Window->geometry(), QRect(5, 6, 200, 150));
    Other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Other));
    EXPECT_EQ(Other.geometry(), QRect(50, 60, 320, 240));
}

TEST(TrackerAlone, WithoutWindowNothingHappens)
{
    TFormLocationTracker T;
    T.SetText("1,1,2,3,4,0");
    T.Capture();
    EXPECT_FALSE(T.Apply());
    EXPECT_EQ(T.GetText(), "1,1,2,3,4,0");
    T.Reset();
    EXPECT_EQ(T.GetText(), "0");
    EXPECT_FALSE(T.Enabled());
}
