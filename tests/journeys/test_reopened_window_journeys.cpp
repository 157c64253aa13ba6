// The windows over time: the second start, the third opening, a setting
// changed while a window is shown. Every window is closed as the user closes
// it, with the window manager's close request.
#include "window_journey_support.h"

#include "forms/fAbout.h"
#include "forms/fCompare.h"
#include "forms/fCompareFiles.h"
#include "forms/fLogViewer.h"
#include "forms/fSaveLog.h"
#include "forms/fSettings.h"
#include "forms/fText.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include <sstream>

using namespace journey;

namespace {

const QString Above = QStringLiteral("_NET_WM_STATE_ABOVE");

std::string Text(const QRect& R)
{
    std::ostringstream S;
    S << R.x() << "," << R.y() << " " << R.width() << "x" << R.height();
    return S.str();
}

QRect Desktop() { return QGuiApplication::primaryScreen()->virtualGeometry(); }

struct TSecondary {
    QWidget* Window;
    // Opens it as the user does.
    std::function<void()> Open;
    bool Modal = false;
};

// The program's windows other than the main window, each opened by the
// command that opens it.
std::vector<TSecondary> SecondaryWindows()
{
    return {
        {FormText, [] { Parts(FormMain).ActionTextHash->trigger(); }},
        {FormLogViewer, [] { Parts(FormMain).ActionViewLog->trigger(); }},
        {FormAbout, [] { Parts(FormMain).ActionAbout->trigger(); }},
        {FormCompare, [] { QTest::mouseClick(Parts(FormMain).HashRow(htMD5).CompareButton, Qt::LeftButton); }},
        // Opened by a comparison of two files; its own show is the path.
        {FormCompareFiles, [] { FormCompareFiles->ShowAndRaise(); }},
        {FormSaveLog, [] { Parts(FormMain).ActionSaveLog->trigger(); }, true},
        {FormSettings, [] { Parts(FormMain).ActionSettings->trigger(); }, true},
    };
}

class TReopenedWindowJourney : public TWindowJourney {
protected:
    // W's frame comes to rest at Frame.
    static bool FrameAt(QWidget* W, const QRect& Frame)
    {
        return QTest::qWaitFor([&] { return FrameBounds(W) == Frame; }, 5000);
    }

    // The user closes a secondary window with its title bar's close button.
    static bool CloseWindow(QWidget* W)
    {
        RequestClose(W);
        return QTest::qWaitFor([W] { return !W->isVisible(); }, 5000);
    }

    // Opens each of Windows as the user does, Times times over, has Check
    // look at it while it is shown and closes it with its close button.
    static void OpenEach(const std::vector<TSecondary>& Windows, int Times,
                         const std::function<void(const TSecondary&)>& Check)
    {
        for (const TSecondary& S : Windows) {
            SCOPED_TRACE(S.Window->objectName().toStdString());
            for (int Opening = 1; Opening <= Times; ++Opening) {
                SCOPED_TRACE("opening " + std::to_string(Opening));
                auto Shown = [&] {
                    ASSERT_TRUE(Framed(S.Window));
                    Check(S);
                    EXPECT_TRUE(CloseWindow(S.Window));
                };
                if (S.Modal)
                    WhenModal([&](QWidget*) { Shown(); });
                S.Open();
                if (!S.Modal)
                    Shown();
            }
        }
    }

    // The frame's bounds with the maximized state, as stored.
    static std::string Maximized(const std::string& Normal) { return Normal.substr(0, Normal.size() - 1) + "2"; }
};

} // namespace

// Maximized at every start: the remembered normal bounds stay exactly what
// they were, however often the program starts and closes, and restoring the
// window puts its whole frame, title bar included, where it was.
TEST_F(TReopenedWindowJourney, MaximizedStartsKeepTheNormalBoundsExactly)
{
    Folder.Write("Settings.ini", "[Location]\nMainForm=1,300,60,451,541,0\nLogViewer=1,700,90,515,308,0\n");
    // The first start settles the normal bounds: the main window opens at
    // the height that leaves the message list closed.
    Start();
    ASSERT_TRUE(Framed(FormMain));
    Parts(FormMain).ActionViewLog->trigger();
    ASSERT_TRUE(Framed(FormLogViewer));
    ASSERT_TRUE(FrameAt(FormLogViewer, QRect(700, 90, 515, 308))) << Text(FrameBounds(FormLogViewer));
    const QRect MainFrame = FrameBounds(FormMain);
    EXPECT_EQ(MainFrame.topLeft(), QPoint(300, 60));
    ASSERT_TRUE(CloseWindow(FormLogViewer));
    EXPECT_EQ(CloseByWindowManager(), 0);
    const std::string Main = LocationText(MainFrame);
    const std::string Log = "1,700,90,515,308,0";
    ASSERT_EQ(StoredLocation("MainForm"), Main);
    ASSERT_EQ(StoredLocation("LogViewer"), Log);

    // Maximized by the user, closed maximized.
    Start();
    ASSERT_TRUE(Framed(FormMain));
    ASSERT_TRUE(SetMaximized(FormMain, true));
    Parts(FormMain).ActionViewLog->trigger();
    ASSERT_TRUE(Framed(FormLogViewer));
    ASSERT_TRUE(SetMaximized(FormLogViewer, true));
    ASSERT_TRUE(CloseWindow(FormLogViewer));
    EXPECT_EQ(CloseByWindowManager(), 0);
    EXPECT_EQ(StoredLocation("MainForm"), Maximized(Main));
    EXPECT_EQ(StoredLocation("LogViewer"), Maximized(Log));

    for (int Run = 1; Run <= 4; ++Run) {
        SCOPED_TRACE("maximized start " + std::to_string(Run));
        Start();
        ASSERT_TRUE(ShownMaximized(FormMain, true));
        ASSERT_TRUE(SetMaximized(FormMain, false));
        EXPECT_TRUE(FrameAt(FormMain, MainFrame)) << Text(FrameBounds(FormMain)) << " instead of " << Text(MainFrame);
        EXPECT_TRUE(Desktop().contains(FrameBounds(FormMain)));
        ASSERT_TRUE(SetMaximized(FormMain, true));

        // The log viewer, opened twice in the run, alike.
        for (int Opening = 1; Opening <= 2; ++Opening) {
            SCOPED_TRACE("log viewer opening " + std::to_string(Opening));
            Parts(FormMain).ActionViewLog->trigger();
            ASSERT_TRUE(ShownMaximized(FormLogViewer, true));
            ASSERT_TRUE(SetMaximized(FormLogViewer, false));
            EXPECT_TRUE(FrameAt(FormLogViewer, QRect(700, 90, 515, 308))) << Text(FrameBounds(FormLogViewer));
            ASSERT_TRUE(SetMaximized(FormLogViewer, true));
            ASSERT_TRUE(CloseWindow(FormLogViewer));
        }
        EXPECT_EQ(CloseByWindowManager(), 0);
        EXPECT_EQ(StoredLocation("MainForm"), Maximized(Main));
        EXPECT_EQ(StoredLocation("LogViewer"), Maximized(Log));
    }
    ExpectNothingSaid();
}

// "Stay on top" on: the main window alone stays above other programs, and
// each other window, at every opening, stays above the main window and no
// higher. Switched off in the Settings dialog, a window that is open keeps
// its place in the stack until it is closed; opened again it is a window of
// its own. A modal dialog stays above the window it holds up either way.
TEST_F(TReopenedWindowJourney, StayOnTopHoldsAtEveryOpeningAndEndsWhenSwitchedOff)
{
    Folder.Write("Settings.ini", "[General]\nStayOnTop=1\n");
    // Each window opened, checked and closed with its close button, Times
    // times; OnTop: what the setting is.
    auto OpenEachWindow = [](bool OnTop, int Times) {
        const unsigned long Main = static_cast<unsigned long>(FormMain->winId());
        OpenEach(SecondaryWindows(), Times, [&](const TSecondary& S) {
            EXPECT_FALSE(WindowStates(S.Window).contains(Above)) << WindowStates(S.Window).join(' ').toStdString();
            EXPECT_EQ(TransientFor(S.Window), OnTop || S.Modal ? Main : 0UL);
        });
        EXPECT_EQ(WindowStates(FormMain).contains(Above), OnTop);
    };

    Start();
    ASSERT_TRUE(Framed(FormMain));
    ASSERT_TRUE(QTest::qWaitFor([] { return WindowStates(FormMain).contains(Above); }, 3000));
    OpenEachWindow(true, 3);

    // Switched off in the dialog while the log viewer is open.
    Parts(FormMain).ActionViewLog->trigger();
    ASSERT_TRUE(Framed(FormLogViewer));
    WhenModal([](QWidget* Dialog) {
        auto* Box = Dialog->findChild<QCheckBox*>(QStringLiteral("CB_StayOnTop"));
        ASSERT_TRUE(Box && Box->isChecked());
        QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(8, Box->height() / 2));
        EXPECT_FALSE(Box->isChecked());
        QTest::mouseClick(Dialog->findChild<QPushButton*>(QStringLiteral("BB_Save")), Qt::LeftButton);
    });
    Parts(FormMain).ActionSettings->trigger();
    EXPECT_TRUE(QTest::qWaitFor([] { return !WindowStates(FormMain).contains(Above); }, 3000));
    EXPECT_EQ(TransientFor(FormLogViewer), static_cast<unsigned long>(FormMain->winId())) << "kept while open";
    EXPECT_TRUE(CloseWindow(FormLogViewer));
    OpenEachWindow(false, 2);
    EXPECT_EQ(CloseByWindowManager(), 0);

    // The next start keeps it off.
    Start();
    ASSERT_TRUE(Framed(FormMain));
    OpenEachWindow(false, 2);
    EXPECT_EQ(CloseByWindowManager(), 0);
    EXPECT_NE(ReadAll(SettingsFile()).find("StayOnTop=0"), std::string::npos);
    ExpectNothingSaid();
}

// Each window opens centred on the main window, its frame included, at the
// first opening as at the later ones; Save Log too when the log viewer's
// button opens it.
TEST_F(TReopenedWindowJourney, WindowsOpenCentredOnTheMainWindowFromTheFirstOpening)
{
    Folder.Write("Settings.ini", "[Location]\nMainForm=1,150,120,520,600,0\nLogViewer=1,700,500,515,308,0\n");
    for (int Run = 1; Run <= 2; ++Run) {
        SCOPED_TRACE("run " + std::to_string(Run));
        Start();
        ASSERT_TRUE(Framed(FormMain));
        ASSERT_TRUE(FrameAt(FormMain, QRect(150, 120, 520, FrameBounds(FormMain).height())));
        const QPoint Centre = FrameBounds(FormMain).center();
        std::vector<TSecondary> Windows = SecondaryWindows();
        // The log viewer opens where it was left.
        std::erase_if(Windows, [](const TSecondary& S) { return S.Window == FormLogViewer; });
        OpenEach(Windows, 2, [&](const TSecondary& S) {
            EXPECT_LE((FrameBounds(S.Window).center() - Centre).manhattanLength(), 1)
                << Text(FrameBounds(S.Window)) << " around " << Text(FrameBounds(FormMain));
        });
        Parts(FormMain).ActionViewLog->trigger();
        ASSERT_TRUE(Framed(FormLogViewer));
        ASSERT_TRUE(FrameAt(FormLogViewer, QRect(700, 500, 515, 308)));
        FormLogViewer->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(FormLogViewer));
        WhenModal([&](QWidget* Dialog) {
            ASSERT_TRUE(Framed(Dialog));
            EXPECT_LE((FrameBounds(Dialog).center() - Centre).manhattanLength(), 1) << Text(FrameBounds(Dialog));
            EXPECT_TRUE(CloseWindow(Dialog));
        });
        QTest::mouseClick(FormLogViewer->findChild<QToolButton*>(QStringLiteral("TB_SaveToFile")), Qt::LeftButton);
        EXPECT_TRUE(CloseWindow(FormLogViewer));
        EXPECT_EQ(CloseByWindowManager(), 0);
    }
    ExpectNothingSaid();
}

// The message list starts closed whatever height was remembered: after a
// run that showed a warning, and with a tall window remembered.
TEST_F(TReopenedWindowJourney, ARememberedTallWindowStartsWithTheMessagesClosed)
{
    Folder.Write("Settings.ini", "[Location]\nMainForm=1,200,100,451,800,0\n");
    auto ExpectCollapsed = [] {
        ASSERT_TRUE(Framed(FormMain));
        // Nothing comes to put the remembered height back meanwhile.
        QTest::qWait(300);
        EXPECT_LE(Parts(FormMain).Panel_Messages->height(), 10);
        EXPECT_EQ(FormMain->height(), FormMain->minimumHeight()) << "the height with the list closed";
        EXPECT_EQ(FrameBounds(FormMain).topLeft(), QPoint(200, 100));
    };
    Start();
    ExpectCollapsed();
    const int Collapsed = FrameBounds(FormMain).height();
    EXPECT_EQ(CloseByWindowManager(), 0);
    EXPECT_EQ(StoredLocation("MainForm"), LocationText(QRect(200, 100, 451, Collapsed)));

    for (int Run = 1; Run <= 2; ++Run) {
        SCOPED_TRACE("run " + std::to_string(Run));
        // A warning opens the list, and the window is closed so.
        Start({Q(Folder.Path() / "missing.txt")});
        ASSERT_TRUE(QTest::qWaitFor([] { return Parts(FormMain).Panel_Messages->height() > 10; }, 5000));
        EXPECT_EQ(CloseByWindowManager(), 0);
        const std::string Tall = StoredLocation("MainForm");
        EXPECT_NE(Tall, LocationText(QRect(200, 100, 451, Collapsed))) << "stored with the list open";

        Start();
        ExpectCollapsed();
        EXPECT_EQ(FrameBounds(FormMain).height(), Collapsed);
        EXPECT_EQ(CloseByWindowManager(), 0);
    }
}

namespace {

// The journeys of a small screen run on an X server of 800 by 600 pixels.
class TSmallScreenJourney : public TReopenedWindowJourney {
protected:
    void SetUp() override
    {
        if (Desktop().size() != QSize(800, 600))
            GTEST_SKIP() << "for an 800x600 screen";
        TReopenedWindowJourney::SetUp();
    }
};

} // namespace

// Remembered larger than the screen and maximized: restored, the window's
// whole frame lies on the screen, at every start.
TEST_F(TSmallScreenJourney, AMaximizedWindowLargerThanTheScreenRestoresOntoIt)
{
    Folder.Write("Settings.ini", "[Location]\nMainForm=1,-500,-400,900,700,2\n");
    std::string Stored;
    for (int Run = 1; Run <= 3; ++Run) {
        SCOPED_TRACE("run " + std::to_string(Run));
        Start();
        ASSERT_TRUE(ShownMaximized(FormMain, true));
        ASSERT_TRUE(SetMaximized(FormMain, false));
        EXPECT_TRUE(QTest::qWaitFor([] { return FrameBounds(FormMain).topLeft() == QPoint(0, 0); }, 5000))
            << Text(FrameBounds(FormMain));
        EXPECT_TRUE(Desktop().contains(FrameBounds(FormMain))) << Text(FrameBounds(FormMain));
        EXPECT_EQ(FrameBounds(FormMain).width(), 800);
        ASSERT_TRUE(SetMaximized(FormMain, true));
        EXPECT_EQ(CloseByWindowManager(), 0);
        if (Run > 1) {
            EXPECT_EQ(StoredLocation("MainForm"), Stored) << "the same at every start";
        }
        Stored = StoredLocation("MainForm");
        EXPECT_EQ(Stored.substr(0, 10), "1,0,0,800,");
    }
}

// German with the tool bar's captions needs more height than the screen
// has: the window keeps its height (nothing is squeezed) and opens with its
// title bar at the top of the screen, centred or where it was remembered.
TEST_F(TSmallScreenJourney, AWindowTallerThanTheScreenOpensWithItsTitleBarOnIt)
{
    Folder.Write("Settings.ini", "[General]\nToolbarCaptions=1\n");
    for (int Run = 1; Run <= 3; ++Run) {
        SCOPED_TRACE("run " + std::to_string(Run));
        Start({QStringLiteral("--LANG=de")});
        ASSERT_TRUE(Framed(FormMain));
        QTest::qWait(100);
        const QRect Frame = FrameBounds(FormMain);
        EXPECT_GE(Frame.top(), 0) << Text(Frame);
        EXPECT_GE(Frame.left(), 0) << Text(Frame);
        EXPECT_LE(Frame.right(), 799) << Text(Frame);
        if (Frame.height() > 600) {
            EXPECT_EQ(Frame.top(), 0) << Text(Frame);
        } else {
            EXPECT_LE(Frame.bottom(), 599) << Text(Frame);
        }
        EXPECT_GE(FormMain->height(), FormMain->minimumHeight());
        // The second run remembers where the first one closed, the third
        // one a place lower down.
        if (Run == 1)
            Settings->MainFormLocation->SetEnabled(true);
        EXPECT_EQ(CloseByWindowManager(), 0);
        if (Run == 2)
            Folder.Write("Settings.ini", "[General]\nToolbarCaptions=1\n[Location]\nMainForm=1,200,300,451,541,0\n");
    }
    Infos.clear();
}
