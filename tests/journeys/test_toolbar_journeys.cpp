// The main window's tool bar and message list as a user meets them on a
// desktop: the captions switched on and off while the window is shown, a
// start with many failing files.
#include "window_journey_support.h"

#include "support/message_list_view.h"

#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

using namespace journey;

namespace {

const char* const ToolButtons[] = {"TB_AddFiles", "TB_AddFolder", "TB_HashText", "TB_ViewLog",
                                   "TB_SaveLog",  "TB_Skip",      "TB_Cancel"};

class TToolBarJourney : public TWindowJourney {
protected:
    // What the user sees once the window has settled: every button whole and
    // within the bar, the bar no higher than its rows, the hash rows one
    // every 24 pixels, and the message panel still closed at the window's
    // minimum height.
    static void ExpectWholeWindow(bool Captions)
    {
        QTest::qWait(100);
        const TMainParts P = Parts(FormMain);
        QToolBar* Bar = P.MainToolBar;
        int Bottom = 0;
        std::vector<QRect> Taken;
        for (const char* Name : ToolButtons) {
            auto* B = FormMain->findChild<QToolButton*>(QString::fromLatin1(Name));
            ASSERT_NE(B, nullptr) << Name;
            SCOPED_TRACE(std::string(Name) + " " + B->text().toStdString());
            EXPECT_TRUE(B->isVisible());
            EXPECT_EQ(B->toolButtonStyle(), Captions ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
            const QRect R(B->mapTo(Bar, QPoint(0, 0)), B->size());
            EXPECT_TRUE(Bar->rect().contains(R)) << R.x() << "," << R.y() << " " << R.width() << "x" << R.height()
                                                 << " in " << Bar->width() << "x" << Bar->height();
            EXPECT_EQ(R.size(), B->sizeHint()) << "the button is cut or stretched";
            for (const QRect& Other : Taken)
                EXPECT_FALSE(R.intersects(Other));
            Taken.push_back(R);
            Bottom = std::max(Bottom, R.bottom() + 1);
        }
        EXPECT_LE(Bar->height() - Bottom, 4) << "an empty row below the buttons";
        for (QToolButton* Extension : Bar->findChildren<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
            EXPECT_FALSE(Extension->isVisible());
        for (int T = htFirst; T < htLast; ++T) {
            QWidget* Box = P.HashRow(THashType(T)).Edit;
            QWidget* Next = P.HashRow(THashType(T + 1)).Edit;
            EXPECT_EQ(Next->mapTo(FormMain, QPoint()).y() - Box->mapTo(FormMain, QPoint()).y(), 24) << "row " << T;
            EXPECT_EQ(Box->height(), 22) << "row " << T;
        }
        EXPECT_EQ(P.Panel_Messages->height(), 0) << "the message panel opened";
        EXPECT_EQ(FormMain->height(), FormMain->minimumHeight());
    }
};

} // namespace

// The captions switched on, off and on again in the Settings dialog while
// the window is shown re-flow the bar at once, and the window grows or
// shrinks with it; the next start shows them as left, and they go off again.
TEST_F(TToolBarJourney, CaptionsSwitchedInTheSettingsDialogReflowTheBarAndKeepTheRows)
{
    const QString Shots = qEnvironmentVariable("SORVIK_SCREENSHOTS");
    for (const char* Code : {"en", "de", "he"}) {
        SCOPED_TRACE(Code);
        // The language from the settings: on the command line it would also
        // be reported as a path that is not found.
        Folder.Write("Settings.ini", std::string("[General]\nToolbarCaptions=0\nLanguageCode=") + Code + "\n");
        Start();
        ExpectWholeWindow(false);
        const int Plain = FormMain->height();
        for (bool Captions : {true, false, true}) {
            SwitchCaptions(Captions);
            ExpectWholeWindow(Captions);
            if (Captions && !Shots.isEmpty())
                FormMain->grab().save(QDir(Shots).filePath(QStringLiteral("toolbar-captions-%1.png").arg(QLatin1String(Code))));
        }
        const int WithCaptions = FormMain->height();
        EXPECT_GT(WithCaptions, Plain) << "the captions take a second row at the designed width";
        EXPECT_EQ(Close(), 0);

        Start();
        ExpectWholeWindow(true);
        EXPECT_EQ(FormMain->height(), WithCaptions);
        // Wide enough for one row and back: the window follows the bar.
        FormMain->resize(1100, FormMain->height());
        ASSERT_TRUE(QTest::qWaitFor([] { return FormMain->width() == 1100; }, 5000));
        ExpectWholeWindow(true);
        FormMain->resize(FormMain->minimumWidth(), FormMain->height());
        ASSERT_TRUE(QTest::qWaitFor([] { return FormMain->width() == FormMain->minimumWidth(); }, 5000));
        ExpectWholeWindow(true);
        EXPECT_EQ(FormMain->height(), WithCaptions);
        SwitchCaptions(false);
        ExpectWholeWindow(false);
        EXPECT_EQ(FormMain->height(), Plain);
        EXPECT_EQ(Close(), 0);
        ExpectNothingSaid();
        Infos.clear();
    }
}

// 1,500 paths that name nothing on the command line: the panel opens on the
// newest of its 3,000 lines, not on the oldest or near line 2,000, at this
// start and at the next, in each language.
TEST_F(TToolBarJourney, AStartWithManyFailingPathsShowsTheNewestMessage)
{
    const QString Shots = qEnvironmentVariable("SORVIK_SCREENSHOTS");
    QStringList Missing;
    for (int I = 0; I < 1500; ++I)
        Missing.append(Q(Folder.Path() / ("gone-" + std::to_string(I) + ".iso")));
    for (const char* Code : {"en", "de", "he"}) {
        SCOPED_TRACE(Code);
        Folder.Write("Settings.ini", std::string("[General]\nLanguageCode=") + Code + "\n");
        Start(Missing);
        TMessageList* List = Parts(FormMain).ListBox_Messages;
        ASSERT_TRUE(QTest::qWaitFor([List] { return List->count() == 3000; }, 20000)) << List->count();
        EXPECT_TRUE(ShowsNewestLine(*List));
        EXPECT_GT(Parts(FormMain).Panel_Messages->height(), 10) << "the panel opened";
        EXPECT_EQ(List->item(List->count() - 1)->text(), Missing.back());
        if (!Shots.isEmpty())
            FormMain->grab().save(QDir(Shots).filePath(QStringLiteral("failing-start-%1.png").arg(QLatin1String(Code))));
        EXPECT_EQ(Close(), 0);
        ExpectNothingSaid();
    }
}
