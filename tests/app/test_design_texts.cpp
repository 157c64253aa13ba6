#include "app/uTranslationKit.h"
#include "lang_fixtures.h"
#include "support/design_texts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

// A small window built the way every window of the program is: each
// component named, each design text set through the helper.
class TFormProbe : public QWidget {
    Q_OBJECT
public:
    explicit TFormProbe(bool WithStrayText = false)
    {
        setObjectName(Str("FormProbe"));
        auto* Layout = new QVBoxLayout(this);
        auto* Bar = new QMenuBar(this);
        Bar->setObjectName(Str("MainMenu"));
        auto* MenuFile = Bar->addMenu(QString());
        MenuFile->setObjectName(Str("MI_File"));
        auto* ActionAddFiles = new QAction(this);
        ActionAddFiles->setObjectName(Str("ActionAddFiles"));
        MenuFile->addAction(ActionAddFiles);
        MenuFile->addSeparator();
        auto* Group = new QGroupBox(this);
        Group->setObjectName(Str("GroupBox_Options"));
        auto* Check = new QCheckBox(Group);
        Check->setObjectName(Str("CheckBoxCRC32"));
        auto* Button = new QPushButton(this);
        Button->setObjectName(Str("Button_OK"));
        auto* Label = new QLabel(this);
        Label->setObjectName(Str("Label_Other"));
        auto* Edit = new QLineEdit(this);
        Edit->setObjectName(Str("Edit_File"));
        auto* List = new QTreeWidget(this);
        List->setObjectName(Str("ListView"));
        List->setColumnCount(2);
        for (QWidget* W : {static_cast<QWidget*>(Bar), static_cast<QWidget*>(Group), static_cast<QWidget*>(Button),
                           static_cast<QWidget*>(Label), static_cast<QWidget*>(Edit), static_cast<QWidget*>(List)})
            Layout->addWidget(W);

        SetDesignText(this, this, Str("Caption"), Str("Probe window"));
        SetDesignText(this, MenuFile, Str("Caption"), Str("&File"));
        SetDesignText(this, ActionAddFiles, Str("Caption"), Str("Add files..."));
        SetDesignText(this, ActionAddFiles, Str("Hint"), Str("Add files to the queue"));
        SetDesignText(this, Group, Str("Caption"), Str("Options"));
        SetDesignText(this, Check, Str("Caption"), Str("CRC32"));
        SetDesignText(this, Check, Str("Hint"), Str("Compute CRC32"));
        SetDesignText(this, Button, Str("Caption"), Str("OK"));
        SetDesignText(this, Label, Str("Caption"), Str("Label text"));
        SetDesignText(this, Edit, Str("Text"), Str("C:\\file.txt"));
        SetDesignText(this, Edit, Str("TextHint"), Str("Type a path"));
        List->setHeaderLabels({DesignText(this, List, Str("Columns[0].Caption"), Str("No.")),
                               DesignText(this, List, Str("Columns[1].Caption"), Str("File name"))});
        if (WithStrayText) {
            auto* Stray = new QLabel(Str("Set directly"), this);
            Stray->setObjectName(Str("Label_Stray"));
        }
    }
};

// Marks every text and records the keys it was asked for.
class TPseudoTranslator : public TAbstractTranslator {
public:
    explicit TPseudoTranslator(QStringList* Keys) : FKeys(Keys) {}
    void TranslateFormString(const TDesignProperty& Prop, QString& Content) override
    {
        *FKeys << GetTranslationKey(Prop);
        Content = Str("\u00bb") + Content + Str("\u00ab");
    }

private:
    QStringList* FKeys;
};

bool IsPseudo(const QString& S)
{
    return S.startsWith(QChar(0xbb)) && S.endsWith(QChar(0xab));
}

} // namespace

TEST(DesignTexts, KeysOfTheDesignPaths)
{
    EXPECT_EQ(GetTranslationKey({Str("TFormMain"), Str("CheckBoxCRC32"), Str("Caption")}),
              Str("TFORMMAIN.CHECKBOXCRC32.CAPTION"));
    EXPECT_EQ(GetTranslationKey({Str("TFormMain"), Str("MI_Language"), Str("Caption")}),
              Str("TFORMMAIN.MI_LANGUAGE.CAPTION"));
    EXPECT_EQ(GetTranslationKey({Str("TFormMain"), QString(), Str("Caption")}), Str("TFORMMAIN.CAPTION"));
    EXPECT_EQ(GetTranslationKey({Str("TFormLogViewer"), Str("ListView"), Str("Columns[0].Caption")}),
              Str("TFORMLOGVIEWER.LISTVIEW.COLUMNS[0].CAPTION"));
    EXPECT_EQ(GetTranslationKey({Str("TFormMain"), Str("x"), QString()}), QString());
}

TEST(DesignTexts, PseudoTranslationReachesEveryVisibleText)
{
    TTranslationGuard Guard;
    const TFormProbe English;
    const auto Before = CollectDesignTexts(const_cast<TFormProbe*>(&English));

    QStringList Keys;
    SetDesignTranslator(std::make_unique<TPseudoTranslator>(&Keys));
    TFormProbe Form;
    const auto After = CollectDesignTexts(&Form);
    ASSERT_EQ(After.size(), Before.size());
    ASSERT_GE(After.size(), 14u);
    for (const auto& [Where, Text] : After)
        EXPECT_TRUE(IsPseudo(Text)) << Where.toStdString() << ": " << Text.toStdString();

    // Every key names the window class and a component by its name.
    for (const char* Key : {"TFORMPROBE.CAPTION", "TFORMPROBE.MI_FILE.CAPTION",
                            "TFORMPROBE.ACTIONADDFILES.CAPTION", "TFORMPROBE.ACTIONADDFILES.HINT",
                            "TFORMPROBE.CHECKBOXCRC32.CAPTION", "TFORMPROBE.EDIT_FILE.TEXTHINT",
                            "TFORMPROBE.LISTVIEW.COLUMNS[1].CAPTION"})
        EXPECT_TRUE(Keys.contains(Str(Key))) << Key;
}

TEST(DesignTexts, StrayTextIsCaught)
{
    TTranslationGuard Guard;
    QStringList Keys;
    SetDesignTranslator(std::make_unique<TPseudoTranslator>(&Keys));
    TFormProbe Form(true);
    int Untranslated = 0;
    for (const auto& [Where, Text] : CollectDesignTexts(&Form))
        if (!IsPseudo(Text)) {
            ++Untranslated;
            EXPECT_EQ(Where, Str("Label_Stray.text"));
        }
    EXPECT_EQ(Untranslated, 1);
}

TEST(DesignTexts, CatalogueTranslatorByIdentifierThenText)
{
    TTranslationGuard Guard;
    QTemporaryDir Dir;
    const QString File = Dir.filePath(Str("app.de.po"));
    WriteFile(File, PoText({"Language: de\\n"},
                           "#: tformprobe.checkboxcrc32.caption\nmsgid \"CRC-32\"\nmsgstr \"Prüfsumme\"\n\n"
                           "msgid \"Options\"\nmsgstr \"Optionen\"\n\n"
                           "#, fuzzy\nmsgid \"OK\"\nmsgstr \"Gut\"\n\n"
                           "#: tformprobe.button_ok.objectname\nmsgid \"Button_OK\"\nmsgstr \"Umbenannt\"\n\n"
                           "msgid \"Label text\"\nmsgstr \"\"\n"));
    SetTranslationFile(File);
    ASSERT_NE(DesignTranslator(), nullptr);
    TFormProbe Form;
    EXPECT_EQ(Form.findChild<QCheckBox*>(Str("CheckBoxCRC32"))->text(), Str("Prüfsumme"));
    EXPECT_EQ(Form.findChild<QGroupBox*>(Str("GroupBox_Options"))->title(), Str("Optionen"));
    EXPECT_EQ(Form.findChild<QPushButton*>(Str("Button_OK"))->text(), Str("OK"));  // fuzzy
    EXPECT_EQ(Form.findChild<QLabel*>(Str("Label_Other"))->text(), Str("Label text"));
    EXPECT_NE(Form.findChild<QPushButton*>(Str("Button_OK")), nullptr); // names are never translated
    EXPECT_EQ(Form.windowTitle(), Str("Probe window"));

    ReleaseTranslation();
    EXPECT_EQ(DesignTranslator(), nullptr);
    TFormProbe English;
    EXPECT_EQ(English.findChild<QCheckBox*>(Str("CheckBoxCRC32"))->text(), Str("CRC32"));
}

#include "test_design_texts.moc"
