#include "app/uVersionInfo.h"
#include "app/ufunctions.h"
#include "dialog_support.h"
#include "forms/fAbout.h"
#include "support/design_texts.h"
#include "support/recorded_opener.h"
#include "support/recorded_interaction.h"

#include <QClipboard>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace dialogtest;

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

QString Version() { return QString::fromStdString(GetVersionString()); }

// Translates the design texts the about box offers, by key.
class TSpanishTranslator : public TAbstractTranslator {
public:
    void TranslateFormString(const TDesignProperty& Prop, QString& Content) override
    {
        const QString Key = GetTranslationKey(Prop);
        if (Key == Str("TFORMABOUT.LABEL_VERSION.CAPTION"))
            Content = Str("Versión:");
        else if (Key == Str("TFORMABOUT.LABEL_DATE.CAPTION"))
            Content = Str("Fecha:");
        else if (Key == Str("TFORMABOUT.LABEL_TITLE.CAPTION"))
            Content = Str("Otro nombre");
        else if (Key == Str("TFORMABOUT.CAPTION"))
            Content = Str("Acerca de");
    }
};

QLabel* Label(TFormAbout& Form, const char* Name) { return Form.findChild<QLabel*>(Str(Name)); }
QWidget* Header(TFormAbout& Form) { return Form.findChild<QWidget*>(Str("Panel_Header")); }

// A point of the header that no label or picture covers.
QPoint Background(QWidget* Panel)
{
    for (int Y = 1; Y < Panel->height(); Y += 2)
        for (int X = 1; X < Panel->width(); X += 2)
            if (!Panel->childAt(X, Y))
                return QPoint(X, Y);
    return QPoint(-1, -1);
}

const QString Sentinel = Str("clipboard before the click");

} // namespace

TEST(AboutBox, LabelsShowTheVersionAndReleaseDate)
{
    TFormAbout Form;
    EXPECT_EQ(Form.windowTitle(), Str("About"));
    EXPECT_EQ(Label(Form, "Label_Title")->text(), Str("Sorvik"));
    EXPECT_EQ(Label(Form, "Label_Version")->text(), Str("Version: ") + Version());
    EXPECT_EQ(Label(Form, "Label_Date")->text(), Str("Date: 2026-05-24"));
    EXPECT_EQ(Label(Form, "Label_Author")->text(), Str(TFormAbout::AuthorName));
    EXPECT_EQ(Label(Form, "Label_Email")->text(), Str(TFormAbout::SupportEmail));
    EXPECT_EQ(Label(Form, "Label_Website")->text(), Str(TFormAbout::WebSite));
    EXPECT_FALSE(Form.isModal());
}

TEST(AboutBox, ARightClickOnTheHeaderBackgroundCopiesTheIdentificationLine)
{
    TFormAbout Form;
    Form.ShowAndRaise();
    QWidget* Panel = Header(Form);
    ASSERT_NE(Panel, nullptr);
    const QPoint Free = Background(Panel);
    ASSERT_GE(Free.x(), 0);

    QApplication::clipboard()->setText(Sentinel);
    QTest::mouseClick(Panel, Qt::RightButton, {}, Free);
    EXPECT_EQ(QApplication::clipboard()->text(), Str("Sorvik ") + Version() + Str(" (2026-05-24)"));
    EXPECT_EQ(QApplication::clipboard()->text(), TFormAbout::IdentificationLine());
    Form.hide();
}

// The labels are as wide as their texts: beside each, the header is its own
// background, in either direction of writing.
TEST(AboutBox, TheWhiteBesideTheHeaderLabelsIsBackground)
{
    for (Qt::LayoutDirection Direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        SCOPED_TRACE(Direction == Qt::LeftToRight ? "left to right" : "right to left");
        QGuiApplication::setLayoutDirection(Direction);
        TFormAbout Form;
        Form.ShowAndRaise();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
        QWidget* Panel = Header(Form);
        for (const char* Name : {"Label_Title", "Label_Version", "Label_Date"}) {
            SCOPED_TRACE(Name);
            QLabel* L = Label(Form, Name);
            const QPoint Centre = L->mapTo(Panel, L->rect().center());
            // Near the header's far edge, on the label's line.
            const int FarX = Direction == Qt::LeftToRight ? Panel->width() - 16 : 16;
            QApplication::clipboard()->setText(Sentinel);
            QTest::mouseClick(Panel, Qt::RightButton, {}, QPoint(FarX, Centre.y()));
            EXPECT_EQ(QApplication::clipboard()->text(), TFormAbout::IdentificationLine());
        }
        Form.hide();
    }
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}

TEST(AboutBox, OtherButtonsAndClicksOnTheHeaderLabelsCopyNothing)
{
    TFormAbout Form;
    Form.ShowAndRaise();
    QWidget* Panel = Header(Form);
    ASSERT_NE(Panel, nullptr);
    struct TClick {
        const char* Where; // a child of the header, or nullptr for its background
        Qt::MouseButton Button;
    };
    const TClick Clicks[] = {
        {nullptr, Qt::LeftButton},           {nullptr, Qt::MiddleButton},
        {"Label_Title", Qt::RightButton},    {"Label_Version", Qt::RightButton},
        {"Label_Date", Qt::RightButton},     {"Image_Icon", Qt::RightButton},
        {"Label_Author", Qt::RightButton},
    };
    for (const auto& C : Clicks) {
        SCOPED_TRACE(C.Where ? C.Where : "background");
        QApplication::clipboard()->setText(Sentinel);
        if (C.Where) {
            QWidget* W = Form.findChild<QWidget*>(Str(C.Where));
            ASSERT_NE(W, nullptr);
            QTest::mouseClick(W, C.Button);
        } else {
            QTest::mouseClick(Panel, C.Button, {}, Background(Panel));
        }
        EXPECT_EQ(QApplication::clipboard()->text(), Sentinel);
    }
    Form.hide();
}

TEST(AboutBox, TranslatedPrefixesKeepTheVersionAndTheCopiedLineStaysEnglish)
{
    TTranslatorGuard Translator(std::make_unique<TSpanishTranslator>());
    TFormAbout Form;
    EXPECT_EQ(Form.windowTitle(), Str("Acerca de"));
    EXPECT_EQ(Label(Form, "Label_Version")->text(), Str("Versión: ") + Version());
    EXPECT_EQ(Label(Form, "Label_Date")->text(), Str("Fecha: 2026-05-24"));
    EXPECT_EQ(Label(Form, "Label_Title")->text(), Str("Sorvik"));

    Form.ShowAndRaise();
    QTest::mouseClick(Header(Form), Qt::RightButton, {}, Background(Header(Form)));
    EXPECT_EQ(QApplication::clipboard()->text(), Str("Sorvik ") + Version() + Str(" (2026-05-24)"));
    Form.hide();
}

TEST(AboutBox, LinksOpenTheMailAddressAndTheWebSite)
{
    TRecordedOpener Opener;
    TFormAbout Form;
    Form.ShowAndRaise();
    QTest::mouseClick(Label(Form, "Label_Email"), Qt::LeftButton);
    QTest::mouseClick(Label(Form, "Label_Website"), Qt::LeftButton);
    QTest::mouseClick(Label(Form, "Label_Website"), Qt::RightButton);
    QTest::mouseClick(Label(Form, "Label_Author"), Qt::LeftButton);
    ASSERT_EQ(Opener.Opened.size(), 2u);
    EXPECT_EQ(Opener.Opened[0], QUrl(Str("mailto:support@sorvik.example.org?subject=Sorvik")));
    EXPECT_EQ(Opener.Opened[1], QUrl(Str("https://sorvik.example.org/")));
    EXPECT_EQ(Label(Form, "Label_Email")->cursor().shape(), Qt::PointingHandCursor);
    Form.hide();
}

TEST(AboutBox, ALinkTheDesktopCannotOpenGivesTheWarning)
{
    TRecordedOpener Opener;
    Opener.Answer = false;
    std::vector<std::string> Warnings;
    auto User = std::make_unique<TRecordedInteraction>();
    User->OnWarning = [&](const QString& Text) { Warnings.push_back(Text.toStdString()); };
    TFormAbout Form;
    Form.ShowAndRaise();
    QTest::mouseClick(Label(Form, "Label_Website"), Qt::LeftButton);
    User.reset();
    ASSERT_EQ(Warnings.size(), 1u);
    EXPECT_NE(Warnings[0].find("https://sorvik.example.org/"), std::string::npos);
    Form.hide();
}

