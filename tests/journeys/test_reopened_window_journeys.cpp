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
const QString MaximizedVert = QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT");

class TReopenedWindowJourney : public TWindowJourney {
protected:
    // The window manager shows W maximized, or no longer.
    static bool ShownMaximized(QWidget* W, bool Maximized)
    {
        return QTest::qWaitFor(
            [&] { return WindowStates(W).contains(MaximizedVert) == Maximized && W->isMaximized() == Maximized; },
            5000);
    }

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

    // The frame's bounds with the maximized state, as stored.
    static std::string Maximized(const std::string& Normal) { return Normal.substr(0, Normal.size() - 1) + "2"; }
};

} // namespace

namespace {

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

} // namespace

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
    auto OpenEachWindow = [this](bool OnTop, int Times) {
        const unsigned long Main = static_cast<unsigned long>(FormMain->winId());
        for (const TSecondary& S : SecondaryWindows()) {
            SCOPED_TRACE(S.Window->objectName().toStdString());
            for (int Opening = 1; Opening <= Times; ++Opening) {
                SCOPED_TRACE("opening " + std::to_string(Opening));
                auto Check = [&] {
                    ASSERT_TRUE(Framed(S.Window));
                    EXPECT_FALSE(WindowStates(S.Window).contains(Above)) << WindowStates(S.Window).join(' ').toStdString();
                    EXPECT_EQ(TransientFor(S.Window), OnTop || S.Modal ? Main : 0UL);
                    EXPECT_TRUE(CloseWindow(S.Window));
                };
                if (S.Modal)
                    WhenModal([&](QWidget*) { Check(); });
                S.Open();
                if (!S.Modal)
                    Check();
            }
        }
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
