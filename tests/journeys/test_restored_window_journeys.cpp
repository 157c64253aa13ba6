// The main window maximized and restored by the user, now and then with the
// tool bar's captions switched while it is maximized: back in its normal
// bounds, the window is as high as its bar asks for there, and the message
// panel is as the user left it, at every restore and every start.
#include "window_journey_support.h"

#include <optional>

using namespace journey;

namespace {

class TRestoredWindowJourney : public TWindowJourney {
protected:
    // Two starts in the language Code, the message panel closed in the
    // first and opened by a warning in the second. In each, the window is
    // maximized and restored twice as it is, then with the captions
    // switched off and on again while it is maximized.
    void MaximizeAndRestoreTwice(const char* Code)
    {
        SCOPED_TRACE(Code);
        Folder.Write("Settings.ini", std::string("[General]\nToolbarCaptions=1\nLanguageCode=") + Code + "\n");
        for (const bool Warned : {false, true}) {
            SCOPED_TRACE(Warned ? "messages open" : "messages closed");
            Start(Warned ? QStringList{Q(Folder.Path() / "missing.txt")} : QStringList{});
            ASSERT_TRUE(Framed(FormMain));
            const int Panel = Warned ? 80 : 0;
            ASSERT_TRUE(QTest::qWaitFor([Panel] { return Parts(FormMain).Panel_Messages->height() == Panel; }, 5000));
            QTest::qWait(100);
            const int WithCaptions = FormMain->height();
            ASSERT_EQ(WithCaptions - FormMain->minimumHeight(), Panel);
            std::optional<int> WithoutCaptions;
            const std::optional<bool> Switches[] = {std::nullopt, std::nullopt, false, true};
            for (const std::optional<bool>& Captions : Switches) {
                SCOPED_TRACE(Captions ? (*Captions ? "captions switched on" : "captions switched off") : "as it is");
                ASSERT_TRUE(SetMaximized(FormMain, true));
                if (Captions)
                    SwitchCaptions(*Captions);
                ASSERT_TRUE(SetMaximized(FormMain, false));
                // The window follows its bar once it has its normal width.
                QTest::qWait(150);
                EXPECT_EQ(Parts(FormMain).Panel_Messages->height(), Panel);
                EXPECT_EQ(FormMain->height() - FormMain->minimumHeight(), Panel);
                EXPECT_GE(FrameBounds(FormMain).top(), 0);
                EXPECT_EQ(FormMain->width(), FormMain->minimumWidth()) << "restored at its normal width";
                if (Captions && !*Captions) {
                    WithoutCaptions = FormMain->height();
                    EXPECT_LT(*WithoutCaptions, WithCaptions) << "the bar has fewer rows without captions";
                } else {
                    EXPECT_EQ(FormMain->height(), WithCaptions);
                }
            }
            // Once more from the normal state: the window follows the bar
            // as it always did.
            SwitchCaptions(false);
            EXPECT_TRUE(QTest::qWaitFor([&] { return FormMain->height() == *WithoutCaptions; }, 3000))
                << FormMain->height();
            EXPECT_EQ(Parts(FormMain).Panel_Messages->height(), Panel);
            SwitchCaptions(true);
            EXPECT_TRUE(QTest::qWaitFor([&] { return FormMain->height() == WithCaptions; }, 3000))
                << FormMain->height();
            EXPECT_EQ(CloseByWindowManager(), 0);
        }
        Infos.clear();
    }
};

// The journeys of a small screen run on an X server of 800 by 600 pixels.
class TSmallScreenRestoredWindowJourney : public TRestoredWindowJourney {
protected:
    void SetUp() override
    {
        if (QGuiApplication::primaryScreen()->virtualGeometry().size() != QSize(800, 600))
            GTEST_SKIP() << "for an 800x600 screen";
        TRestoredWindowJourney::SetUp();
    }
};

} // namespace

TEST_F(TRestoredWindowJourney, MaximizedAndRestoredTheWindowKeepsItsHeightAndItsMessagePanel)
{
    for (const char* Code : {"en", "de", "he"})
        MaximizeAndRestoreTwice(Code);
}

// With captions, German is higher than the screen in its normal bounds, and
// so is Hebrew with the messages open: the window manager gives such a
// window its normal bounds back a side at a time.
TEST_F(TSmallScreenRestoredWindowJourney, MaximizedAndRestoredTheWindowKeepsItsHeightAndItsMessagePanel)
{
    for (const char* Code : {"en", "de", "he"})
        MaximizeAndRestoreTwice(Code);
}
