#include "app/uLanguages.h"
#include "lang_fixtures.h"

#include <QAction>
#include <QImage>
#include <QKeySequence>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

class LanguageMenu : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    TLanguages L;
    QMenu Menu;
    QStringList Selected;
    std::vector<QObject*> HowToSenders;

    void SetUp() override
    {
        L.LanguageCode = Str("AUTOMATIC");
        QObject::connect(&L, &TLanguages::LanguageSelected, [this](const QString& Code) { Selected << Code; });
    }
    void Po(const char* Name, const QStringList& Header) { WriteFile(Dir.filePath(Str(Name)), PoText(Header)); }
    void Flag(const char* Country)
    {
        QImage Image(16, 11, QImage::Format_RGB32);
        Image.fill(Qt::red);
        QDir().mkpath(Dir.filePath(Str("Flags")));
        ASSERT_TRUE(Image.save(Dir.filePath(Str("Flags/") + Str(Country) + Str(".png")), "PNG"));
    }
    void Build()
    {
        L.Scan(Dir.path(), Dir.filePath(Str("Flags")));
        L.BuildMenu(&Menu);
    }
    QStringList Captions() const
    {
        QStringList R;
        for (QAction* A : Menu.actions())
            R << (A->isSeparator() ? Str("-") : A->text());
        return R;
    }
    QAction* Item(const QString& Caption) const
    {
        for (QAction* A : Menu.actions())
            if (A->text() == Caption)
                return A;
        ADD_FAILURE() << "no item " << Caption.toStdString();
        return nullptr;
    }
    QStringList Checked() const
    {
        QStringList R;
        for (QAction* A : Menu.actions())
            if (A->isChecked())
                R << A->text();
        return R;
    }
};

} // namespace

TEST_F(LanguageMenu, NoLanguageFiles)
{
    QObject::connect(&L, &TLanguages::HowToTranslateRequested,
                     [this](QObject* Sender) { HowToSenders.push_back(Sender); });
    Build();
    EXPECT_EQ(Captions(), QStringList({"Original (English)", "-", "How to translate?"}));
    EXPECT_TRUE(Checked().isEmpty());
    QAction* HowTo = Item(Str("How to translate?"));
    ASSERT_NE(HowTo, nullptr);
    HowTo->trigger();
    ASSERT_EQ(HowToSenders.size(), 1u);
    EXPECT_EQ(HowToSenders[0], HowTo);
    EXPECT_TRUE(Selected.isEmpty());
    EXPECT_EQ(L.MenuCodes, QStringList({"DEFAULT"}));
}

TEST_F(LanguageMenu, ItemsTagsAndCaptions)
{
    Po("a.de.po", {"X-Language-Name: German\\n", "X-Language-Name-Native: Deutsch\\n"});
    Po("a.fr.po", {"X-Language-Name: French\\n"});
    Po("a.xx.po", {"X-Language-Name-Native: Native only\\n"});
    Menu.addAction(Str("Existing"));
    L.MenuCodes << Str("EARLIER");
    Build();
    EXPECT_EQ(Captions(), QStringList({"Existing", "Original (English)", "Autodetect", "-", "[xx]",
                                       "French", "German - Deutsch"}));
    EXPECT_EQ(L.MenuCodes, QStringList({"EARLIER", "DEFAULT", "AUTOMATIC", "xx", "fr", "de"}));
    for (int I = 1; I < L.MenuCodes.size(); ++I) {
        const QString Caption = Captions()[I < 3 ? I : I + 1];
        EXPECT_EQ(Item(Caption)->data().toInt(), I) << Caption.toStdString();
    }
    EXPECT_EQ(Checked(), QStringList({"Autodetect"}));
}

TEST_F(LanguageMenu, CheckMarkAndFlags)
{
    Po("a.de.po", {"X-Language-Name: German\\n", "X-Country: DE\\n"});
    Po("a.fr.po", {"X-Language-Name: French\\n", "X-Country: Fr\\n"});
    Po("a.it.po", {"X-Language-Name: Italian\\n", "X-Country: IT\\n"});   // no flag file
    Po("a.nl.po", {"X-Language-Name: Dutch\\n", "X-Country: NL\\n"});     // not a PNG
    Flag("de");
    Flag("fr");
    WriteFile(Dir.filePath(Str("Flags/nl.png")), "not a picture");
    L.LanguageCode = Str("DE");
    Build();
    EXPECT_EQ(Checked(), QStringList({"German"}));
    EXPECT_TRUE(Item(Str("German"))->icon().isNull()); // the checked item has no flag
    EXPECT_FALSE(Item(Str("French"))->icon().isNull());
    EXPECT_TRUE(Item(Str("Italian"))->icon().isNull());
    EXPECT_TRUE(Item(Str("Dutch"))->icon().isNull());
    EXPECT_TRUE(L.FlagPicture.isNull());
}

TEST_F(LanguageMenu, UnknownCodeChecksNothingAndSameCodeChecksBoth)
{
    Po("a.de.po", {"X-Language-Name: German\\n"});
    Po("b.de.po", {"X-Language-Name: German\\n", "X-Country-Name: Austria\\n"});
    L.LanguageCode = Str("xx");
    Build();
    EXPECT_TRUE(Checked().isEmpty());

    QMenu Second;
    L.LanguageCode = Str("de");
    L.BuildMenu(&Second);
    int Marks = 0;
    for (QAction* A : Second.actions())
        Marks += A->isChecked();
    EXPECT_EQ(Marks, 2);
}

TEST_F(LanguageMenu, ClicksReportTheCodeAndNeverMoveTheCheckMark)
{
    Po("app.pt_BR.po", {"X-Language-Name: Portuguese\\n"});
    Build();
    const QStringList Order = {"Original (English)", "Autodetect", "Portuguese", "Autodetect"};
    for (const QString& Caption : Order) {
        QAction* A = Item(Caption);
        ASSERT_NE(A, nullptr);
        A->trigger();
        EXPECT_EQ(Checked(), QStringList({"Autodetect"})) << "after " << Caption.toStdString();
    }
    EXPECT_FALSE(Item(Str("Portuguese"))->isCheckable()); // no empty box beside it
    EXPECT_EQ(Selected, QStringList({"DEFAULT", "AUTOMATIC", "pt_BR", "AUTOMATIC"}));
}

TEST_F(LanguageMenu, WithoutHowToTranslateHandler)
{
    Po("a.de.po", {"X-Language-Name: German\\n"});
    QObject::disconnect(&L, &TLanguages::LanguageSelected, nullptr, nullptr);
    Build();
    EXPECT_EQ(Captions(), QStringList({"Original (English)", "Autodetect", "-", "German"}));
    Item(Str("German"))->trigger(); // no handler: nothing happens
    EXPECT_TRUE(Selected.isEmpty());
}

TEST_F(LanguageMenu, FixedEnglishItemsKeepTheirPunctuationAtTheEndRightToLeft)
{
    // Where a text's last character is drawn, relative to its first.
    const auto LastIsRightOfFirst = [](const QString& Text, Qt::LayoutDirection Direction) {
        QTextLayout Layout(Text);
        QTextOption Option;
        Option.setTextDirection(Direction);
        Layout.setTextOption(Option);
        Layout.beginLayout();
        QTextLine Line = Layout.createLine();
        Line.setLineWidth(1000);
        Layout.endLayout();
        return Line.cursorToX(static_cast<int>(Text.indexOf(QLatin1Char('?')))) > Line.cursorToX(0);
    };
    QObject::connect(&L, &TLanguages::HowToTranslateRequested, [](QObject*) {});
    for (const Qt::LayoutDirection Direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        QMenu Parent;
        Parent.setLayoutDirection(Direction);
        L.BuildMenu(&Parent);
        const QString HowTo = Parent.actions().last()->text();
        EXPECT_TRUE(HowTo.startsWith(Str("How to translate?")));
        EXPECT_TRUE(LastIsRightOfFirst(HowTo, Direction)) << Direction;
    }
}

// A name is shown as written: "&" in it is no shortcut marker.
TEST_F(LanguageMenu, AmpersandInANameIsShownLiterally)
{
    Po("a.bs.po", {"X-Language-Name: Bosnian & Croatian\\n", "X-Language-Name-Native: B&H\\n"});
    Build();
    QAction* A = Menu.actions().last();
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(A->iconText(), Str("Bosnian & Croatian - B&H")); // the text without mnemonics
    EXPECT_TRUE(QKeySequence::mnemonic(A->text()).isEmpty());
    TLanguageInfo Info;
    ASSERT_TRUE(L.FindLanguage(Str("bs"), Info));
    EXPECT_EQ(TLanguages::LanguageCaption(Info), Str("Bosnian & Croatian - B&H")); // the notice's text
    A->trigger();
    EXPECT_EQ(Selected, QStringList({"bs"}));
}
