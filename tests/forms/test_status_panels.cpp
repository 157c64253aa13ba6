// The panelled status bar shows what its panels exist to show: numbers whole,
// and of a hint too long for the last panel, its end.
#include "forms/uStatusPanels.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

class Panels : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The main window's panels.
        Bar.AddPanel(30, TStatusPanels::paOwnerDraw);
        Bar.AddPanel(30, TStatusPanels::paOwnerDraw);
        Bar.AddPanel(70, TStatusPanels::paCenter);
        Bar.AddPanel(100, TStatusPanels::paCenter);
        Bar.AddPanel(50, TStatusPanels::paCenter);
        Bar.AddPanel(50, TStatusPanels::paLeft);
        Bar.resize(449, Bar.sizeHint().height());
    }
    TStatusPanels Bar;
};

} // namespace

TEST_F(Panels, ATextPanelGrowsToItsTextAndBack)
{
    for (const char* Text : {"1,234 (5)", "1 (40,000)", "123,456,789 (987,654,321)", "100%", "1,023.99 MB/s"}) {
        SCOPED_TRACE(Text);
        for (int Panel : {2, 3, 4}) {
            Bar.SetPanelText(Panel, Str(Text));
            EXPECT_EQ(Bar.ShownText(Panel), Str(Text));
            EXPECT_GE(Bar.PanelRect(Panel).width(), Bar.fontMetrics().horizontalAdvance(Str(Text)));
            // Hit-testing goes by the widths the panels have now.
            int Left = 0;
            for (int I = 0; I < Panel; ++I)
                Left += Bar.PanelWidths()[static_cast<std::size_t>(I)];
            EXPECT_EQ(Bar.PanelRect(Panel).left(), Left);
            EXPECT_EQ(Bar.PanelRect(Panel).width(), Bar.PanelWidths()[static_cast<std::size_t>(Panel)]);
        }
    }
    Bar.SetPanelText(2, Str("3"));
    EXPECT_EQ(Bar.PanelWidths()[2], 70) << "a short text takes the designed width again";
    Bar.SetPanelText(2, QString());
    EXPECT_EQ(Bar.PanelWidths()[2], 70);
}

TEST_F(Panels, AHintTooLongForTheLastPanelKeepsItsEnd)
{
    const QString Hint = Str("In die Zwischenablage kopieren (RipeMD160)");
    Bar.SetPanelText(5, Hint);
    const QString Shown = Bar.ShownText(5);
    EXPECT_LT(Shown.size(), Hint.size()) << "the test needs a hint that does not fit";
    EXPECT_TRUE(Shown.endsWith(Str("(RipeMD160)"))) << Shown.toStdString();
    EXPECT_TRUE(Shown.startsWith(QChar(0x2026))) << Shown.toStdString();

    Bar.resize(1200, Bar.height());
    EXPECT_EQ(Bar.ShownText(5), Hint) << "whole where it fits";

    // Right to left, the text's end is its left end on the screen: still kept.
    Bar.resize(449, Bar.height());
    const QString Hebrew = Str("העתקה ללוח הגזירים, העתקה ללוח הגזירים (RipeMD160)");
    Bar.SetPanelText(5, Hebrew);
    EXPECT_TRUE(Bar.ShownText(5).endsWith(Str("(RipeMD160)"))) << Bar.ShownText(5).toStdString();
}
