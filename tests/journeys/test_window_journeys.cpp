// The windows as the window manager shows them: title bars, frames on the
// screen.
#include "window_journey_support.h"

#include "forms/fAbout.h"
#include "forms/fCompare.h"
#include "forms/fCompareFiles.h"
#include "forms/fLogViewer.h"
#include "forms/fSaveLog.h"
#include "forms/fSettings.h"
#include "forms/fText.h"

#include <QScreen>
#include <QToolBar>
#include <QToolButton>

using namespace journey;

namespace {

struct TTitled {
    QWidget* Window;
    const char* Caption;
};

std::vector<TTitled> EveryWindow()
{
    return {{FormMain, "Sorvik"},         {FormText, "Hash Text"},         {FormLogViewer, "Log Viewer"},
            {FormAbout, "About"},         {FormCompare, "Compare Hash"},   {FormCompareFiles, "Compare Files"},
            {FormSaveLog, "Save Log"},    {FormSettings, "Settings"}};
}

} // namespace

// Each title bar reads the window's caption and nothing else, in English
// and translated; the window class stays the program's name.
TEST_F(TWindowJourney, EveryTitleBarShowsExactlyItsCaption)
{
    for (const char* Language : {"en", "de", "he"}) {
        SCOPED_TRACE(Language);
        Start({QStringLiteral("--LANG=") + QLatin1String(Language)});
        for (const TTitled& T : EveryWindow()) {
            SCOPED_TRACE(T.Caption);
            if (T.Window != FormMain)
                T.Window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(T.Window));
            EXPECT_TRUE(QTest::qWaitFor([&] { return WindowName(T.Window) == T.Window->windowTitle(); }, 3000))
                << WindowName(T.Window).toStdString();
            if (QLatin1String(Language) == QLatin1String("en")) {
                EXPECT_EQ(WindowName(T.Window), QString::fromLatin1(T.Caption));
            }
            EXPECT_EQ(WindowClass(T.Window).value(1), QStringLiteral("Sorvik"));
            if (T.Window != FormMain)
                T.Window->hide();
        }
        EXPECT_EQ(Close(), 0);
    }
    ExpectNothingSaid();
}

// A remembered place partly off the screen, or larger than it: the whole
// frame, title bar included, opens on the desktop, and what is stored at the
// end is the frame's bounds. The main window opens with its message list
// closed, whatever height it had.
TEST_F(TWindowJourney, RememberedWindowsOpenWithTheirWholeFrameOnTheDesktop)
{
    Folder.Write("Settings.ini", "[Location]\nMainForm=1,-40,-30,520,720,0\nLogViewer=1,5000,5000,515,308,0\n");
    Start();
    const QRect Desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    ASSERT_TRUE(Framed(FormMain));
    EXPECT_TRUE(QTest::qWaitFor([&] { return FrameBounds(FormMain).topLeft() == QPoint(0, 0); }, 5000))
        << LocationText(FrameBounds(FormMain));
    EXPECT_EQ(FrameBounds(FormMain).width(), 520);
    EXPECT_EQ(FormMain->height(), FormMain->minimumHeight()) << "the message list closed";
    EXPECT_GT(FormMain->geometry().top(), 0) << "a title bar above the client area";
    EXPECT_TRUE(Desktop.contains(FrameBounds(FormMain)));

    Parts(FormMain).ActionViewLog->trigger();
    ASSERT_TRUE(Framed(FormLogViewer));
    const QRect Corner(Desktop.right() + 1 - 515, Desktop.bottom() + 1 - 308, 515, 308);
    EXPECT_TRUE(QTest::qWaitFor([&] { return FrameBounds(FormLogViewer) == Corner; }, 5000));
    EXPECT_TRUE(Desktop.contains(FrameBounds(FormLogViewer)));

    const QRect Main = FrameBounds(FormMain);
    const QRect Log = FrameBounds(FormLogViewer);
    EXPECT_EQ(Close(), 0);
    EXPECT_EQ(StoredLocation("MainForm"), LocationText(Main));
    EXPECT_EQ(StoredLocation("LogViewer"), LocationText(Log));

    // The same text opens the same frames again.
    Start();
    ASSERT_TRUE(Framed(FormMain));
    EXPECT_TRUE(QTest::qWaitFor([&] { return FrameBounds(FormMain) == Main; }, 5000))
        << LocationText(FrameBounds(FormMain)) << " " << LocationText(FormMain->geometry());
    EXPECT_EQ(Close(), 0);
    EXPECT_EQ(StoredLocation("MainForm"), LocationText(Main));
    ExpectNothingSaid();
}

// Stay on top: the main window alone stays above other programs; the
// program's other windows stay above it, as its windows, and no higher.
TEST_F(TWindowJourney, StayingOnTopTheOtherWindowsStayAboveTheMainWindowOnly)
{
    Folder.Write("Settings.ini", "[General]\nStayOnTop=1\n");
    Start();
    const QString Above = QStringLiteral("_NET_WM_STATE_ABOVE");
    EXPECT_TRUE(QTest::qWaitFor([&] { return WindowStates(FormMain).contains(Above); }, 3000));
    for (QWidget* W : std::initializer_list<QWidget*>{FormLogViewer, FormText, FormAbout, FormCompareFiles}) {
        SCOPED_TRACE(W->objectName().toStdString());
        W->show();
        ASSERT_TRUE(Framed(W));
        EXPECT_FALSE(WindowStates(W).contains(Above)) << WindowStates(W).join(' ').toStdString();
        EXPECT_EQ(TransientFor(W), static_cast<unsigned long>(FormMain->winId()));
        W->hide();
    }

    // Switched off: opened again, a window is the main window's no more.
    Settings->StayOnTop = false;
    FormMain->ApplySettings(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !WindowStates(FormMain).contains(Above); }, 3000));
    FormLogViewer->show();
    ASSERT_TRUE(Framed(FormLogViewer));
    EXPECT_FALSE(WindowStates(FormLogViewer).contains(Above));
    EXPECT_NE(TransientFor(FormLogViewer), static_cast<unsigned long>(FormMain->winId()));
    FormLogViewer->hide();
    EXPECT_EQ(Close(), 0);
    ExpectNothingSaid();
}

// Changing "Stay on top" while the main window is maximized keeps it
// maximized, on the screen, and with its normal size for later.
TEST_F(TWindowJourney, StayOnTopChangedWhileMaximizedKeepsTheNormalBounds)
{
    Folder.Write("Settings.ini", "[Location]\nMainForm=1,100,80,520,700,0\n");
    Start();
    ASSERT_TRUE(Framed(FormMain));
    ASSERT_TRUE(QTest::qWaitFor([] { return FrameBounds(FormMain).topLeft() == QPoint(100, 80); }, 5000));
    const QRect Normal = FormMain->geometry();
    const QRect NormalFrame = FrameBounds(FormMain);
    EXPECT_EQ(NormalFrame.width(), 520);
    FormMain->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([] { return FormMain->isMaximized() && FormMain->width() > 1000; }, 5000));
    const QString Above = QStringLiteral("_NET_WM_STATE_ABOVE");
    for (bool OnTop : {true, false}) {
        SCOPED_TRACE(OnTop ? "switched on" : "switched off");
        Settings->StayOnTop = OnTop;
        FormMain->ApplySettings(false);
        EXPECT_TRUE(QTest::qWaitFor([&] { return WindowStates(FormMain).contains(Above) == OnTop; }, 3000));
        EXPECT_TRUE(FormMain->isVisible());
        EXPECT_TRUE(FormMain->isMaximized());
        EXPECT_TRUE(WindowStates(FormMain).contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT")));
    }
    FormMain->showNormal();
    EXPECT_TRUE(QTest::qWaitFor([&] { return FormMain->geometry() == Normal; }, 5000))
        << LocationText(FormMain->geometry()) << " instead of " << LocationText(Normal);
    EXPECT_EQ(Close(), 0);
    EXPECT_EQ(StoredLocation("MainForm"), LocationText(NormalFrame));
    ExpectNothingSaid();
}

namespace {

// The languages shipped beside the program, by their codes.
QStringList ShippedLanguages()
{
    QStringList Codes{QStringLiteral("en")};
    for (const auto& E : fs::directory_iterator(SORVIK_APP_DIR "/Languages")) {
        const std::string Name = E.path().filename().string();
        if (Name.rfind("sorvik.", 0) == 0 && E.path().extension() == ".po")
            Codes.append(Q(Name.substr(7, Name.size() - 10)));
    }
    return Codes;
}

// Every button wholly inside its bar, none over another, and no overflow
// button in sight.
void ExpectAllButtonsShown(QToolBar* Bar, const std::vector<QToolButton*>& Buttons)
{
    const QRect Area = Bar->rect();
    for (std::size_t I = 0; I < Buttons.size(); ++I) {
        QToolButton* B = Buttons[I];
        SCOPED_TRACE(B->objectName().toStdString() + " " + B->text().toStdString());
        EXPECT_TRUE(B->isVisible());
        const QRect R(B->mapTo(Bar, QPoint(0, 0)), B->size());
        EXPECT_TRUE(Area.contains(R)) << R.x() << "," << R.y() << " " << R.width() << "x" << R.height();
        EXPECT_GE(R.width(), B->sizeHint().width()) << "the caption is cut";
        for (std::size_t J = I + 1; J < Buttons.size(); ++J)
            EXPECT_FALSE(R.intersects(QRect(Buttons[J]->mapTo(Bar, QPoint(0, 0)), Buttons[J]->size())))
                << "over " << Buttons[J]->objectName().toStdString();
    }
    for (QToolButton* Extension : Bar->findChildren<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        EXPECT_FALSE(Extension->isVisible()) << "buttons behind the overflow button";
}

std::vector<QToolButton*> Buttons(QWidget* Form, std::initializer_list<const char*> Names)
{
    std::vector<QToolButton*> L;
    for (const char* N : Names) {
        auto* B = Form->findChild<QToolButton*>(QString::fromLatin1(N));
        EXPECT_NE(B, nullptr) << N;
        if (B)
            L.push_back(B);
    }
    return L;
}

} // namespace

// With captions on, at the designed width, every tool button shows whole in
// every shipped language: the bars wrap onto further rows instead.
TEST_F(TWindowJourney, ToolBarsShowEveryButtonWithItsCaptionInEveryLanguage)
{
    const QStringList Languages = ShippedLanguages();
    ASSERT_GE(Languages.size(), 3);
    for (const QString& Code : Languages) {
        SCOPED_TRACE(Code.toStdString());
        Folder.Write("Settings.ini", "[General]\nToolbarCaptions=1\n");
        Start({QStringLiteral("--LANG=") + Code});
        ASSERT_TRUE(Framed(FormMain));
        QTest::qWait(50);
        auto* MainBar = FormMain->findChild<QToolBar*>(QStringLiteral("MainToolBar"));
        ASSERT_NE(MainBar, nullptr);
        ExpectAllButtonsShown(MainBar, Buttons(FormMain, {"TB_AddFiles", "TB_AddFolder", "TB_HashText", "TB_ViewLog",
                                                          "TB_SaveLog", "TB_Skip", "TB_Cancel"}));

        FormLogViewer->show();
        ASSERT_TRUE(Framed(FormLogViewer));
        QTest::qWait(50);
        ExpectAllButtonsShown(FormLogViewer->ToolBar,
                              Buttons(FormLogViewer, {"TB_SaveToFile", "TB_ClearLog", "TB_CopyToClipboard"}));
        FormLogViewer->hide();
        EXPECT_EQ(Close(), 0);
        Infos.clear();
    }
}
