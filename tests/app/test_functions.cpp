#include "app/ufunctions.h"

#include "platform/qt/uPlatformShell.h"
#include "support/recorded_opener.h"
#include "support/recorded_interaction.h"

#include <QCursor>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

TEST(StatusPanels, PanelEdges)
{
    const std::vector<int32_t> Widths{100, 50, 200};
    struct Case {
        int32_t BarWidth, X, Y, Expected;
    };
    const Case Cases[] = {
        {400, 0, 5, 0},   {400, 99, 5, 0},  {400, 100, 5, 1},  {400, 149, 5, 1}, {400, 150, 5, 2},
        {400, 349, 5, 2}, {400, 350, 5, -1}, {400, 400, 5, -1}, {400, -1, 5, -1}, {400, 10, -1, -1},
        {400, 10, 20, 0},  // Y equal to the height is still inside
        {400, 10, 21, -1},
        {300, 299, 5, 2},  {300, 300, 5, 2}, // X equal to the width is inside
        {300, 301, 5, -1},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(StatusPanelAt(C.BarWidth, 20, Widths, C.X, C.Y), C.Expected)
            << "width " << C.BarWidth << " at " << C.X << "," << C.Y;
    EXPECT_EQ(StatusPanelAt(400, 20, {}, 0, 0), -1);
    EXPECT_EQ(StatusPanelAt(400, 20, {0, 10}, 0, 0), 1);   // an empty panel covers nothing
}

TEST(StatusPanels, UnderTheCursor)
{
    QWidget Bar;
    Bar.setGeometry(100, 100, 400, 20);
    Bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Bar));
    QCursor::setPos(Bar.mapToGlobal(QPoint(120, 5)));
    if (QCursor::pos() != Bar.mapToGlobal(QPoint(120, 5)))
        GTEST_SKIP() << "the platform cannot move the pointer";
    EXPECT_EQ(StatusPanelUnderCursor(Bar, {100, 50, 200}), 1);
    QCursor::setPos(Bar.mapToGlobal(QPoint(-5, 5)));
    EXPECT_EQ(StatusPanelUnderCursor(Bar, {100, 50, 200}), -1);
}

TEST(Rectangles, MakeAndCenter)
{
    EXPECT_EQ(MakeRect(16, 9), (TRect{0, 0, 16, 9}));
    EXPECT_EQ(MakeRect(16, 9).ToQRect(), QRect(0, 0, 16, 9));

    TRect Icon = MakeRect(16, 16);
    CenterRect(Icon, TRect{100, 2, 151, 20});
    EXPECT_EQ(Icon.Left, 117);   // (51 - 16) div 2 = 17
    EXPECT_EQ(Icon.Top, 3);      // (18 - 16) div 2 = 1
    EXPECT_EQ(Icon.Width(), 16);
    EXPECT_EQ(Icon.Height(), 16);

    // Larger than the panel: the odd negative difference rounds toward zero.
    TRect Big = MakeRect(20, 20);
    CenterRect(Big, TRect{10, 10, 25, 25});
    EXPECT_EQ(Big.Left, 8);      // 10 + (-5 / 2) = 10 - 2
    EXPECT_EQ(Big.Top, 8);
}

TEST(KeyState, ShiftAndCtrlFromTheKeyboard)
{
    Qt::KeyboardModifiers Held;
    const TModifiersSource Previous = SetKeyboardModifiersSource([&] { return Held; });
    const struct {
        Qt::KeyboardModifiers Keys;
        bool Shift, Ctrl;
    } Cases[] = {
        {Qt::NoModifier, false, false},
        {Qt::ShiftModifier, true, false},
        {Qt::ControlModifier, false, true},
        {Qt::ShiftModifier | Qt::ControlModifier, true, true},
        {Qt::AltModifier | Qt::KeypadModifier, false, false},
    };
    for (const auto& C : Cases) {
        Held = C.Keys;
        EXPECT_EQ(IsShiftDown(), C.Shift);
        EXPECT_EQ(IsCtrlDown(), C.Ctrl);
    }
    SetKeyboardModifiersSource(Previous);
}

namespace {

// Nothing is started and no box blocks: both are recorded instead.
class Shell : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        User.OnWarning = [this](const QString& Text) { Warnings.push_back(Text.toStdString()); };
    }

    QTemporaryDir Dir;
    TRecordedOpener Desktop;
    std::vector<QUrl>& Opened = Desktop.Opened;
    TRecordedInteraction User;
    std::vector<std::string> Warnings;
};

} // namespace

TEST_F(Shell, MissingPathShowsTheWarningWithThePath)
{
    const std::string Path = Dir.filePath("History.txt").toStdString();
    EXPECT_FALSE(ShellOpen(Path));
    EXPECT_TRUE(Opened.empty());
    ASSERT_EQ(Warnings.size(), 1u);
    EXPECT_EQ(Warnings[0], "Could not open the following path:\n\n" + Path);
    EXPECT_FALSE(OpenPath(Path));
    EXPECT_EQ(Warnings.size(), 1u);   // OpenPath itself shows nothing
}

TEST_F(Shell, OpenedPathsShowNothing)
{
    QFile File(Dir.filePath("Copyrights.txt"));
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.close();
    EXPECT_TRUE(ShellOpen(File.fileName().toStdString()));
    EXPECT_TRUE(ShellOpen("https://example.org/forum"));
    EXPECT_TRUE(Warnings.empty());
    ASSERT_EQ(Opened.size(), 2u);
    EXPECT_EQ(Opened[0], QUrl::fromLocalFile(File.fileName()));
}

TEST_F(Shell, DesktopRefusalIsReported)
{
    Desktop.Answer = false;
    EXPECT_FALSE(ShellOpen("https://example.org/help"));
    ASSERT_EQ(Warnings.size(), 1u);
    EXPECT_EQ(Warnings[0], "Could not open the following path:\n\nhttps://example.org/help");
}

TEST_F(Shell, WarningTextFollowsTheTranslation)
{
    sshellopenfileerror.SetText("Pfad nicht zu öffnen:");
    ShellOpen("/no/such/path");
    sshellopenfileerror.Restore();
    ASSERT_EQ(Warnings.size(), 1u);
    EXPECT_EQ(Warnings[0], "Pfad nicht zu öffnen:\n\n/no/such/path");
    EXPECT_EQ(sshellopenfileerror.Identifier(), "ufunctions.sshellopenfileerror");
}
