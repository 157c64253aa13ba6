#include "app/uLanguages.h"
#include "app/uTranslationKit.h"
#include "engine/uFileStreams.h"
#include "platform/uResourceStrings.h"
#include "support/text_direction.h"
#include "support/translation_guard.h"
#include "uLanguageTemplate.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>

#include <sys/stat.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

QString LanguagesDir() { return Str(SORVIK_APP_DIR "/Languages"); }
QString TemplateFile() { return LanguagesDir() + Str("/sorvik.pot"); }

// The program's translations shipped beside it (not the toolkit's).
QStringList ShippedTranslations()
{
    QStringList Files;
    ListPoFiles(LanguagesDir(), Files);
    return Files;
}

const TPoEntry* FindByMsgId(const TPoCatalog& C, const QString& MsgId)
{
    for (const TPoEntry& E : C.Entries())
        if (E.MsgId == MsgId)
            return &E;
    return nullptr;
}

// The languages as start-up applies them for a command line argument such
// as "--LANG=de".
void ApplyArgument(TLanguages& L, const char* Argument)
{
    TLanguageSources Sources;
    Sources.Arguments = QStringList{Str(Argument)};
    L.Apply(LanguagesDir(), QString(), QString(), Sources);
}

} // namespace

TEST(LanguageTemplate, CoversEveryProgramAndDesignText)
{
    ASSERT_TRUE(QFile::exists(TemplateFile())) << TemplateFile().toStdString();
    const TPoCatalog Template(TemplateFile());

    // What the program asks for now, gathered anew in this process.
    TLanguageTemplate Now;
    SetDesignTranslator(std::make_unique<TRecordingTranslator>(&Now));
    EXPECT_EQ(BuildEveryWindow(), 8); // the main window and the seven others
    SetDesignTranslator(nullptr);
    Now.AddSourceLiterals(Str(SORVIK_SOURCE_DIR "/src"));
    Now.AddResourceStrings();
    ASSERT_FALSE(Now.Entries().isEmpty());

    int Resource = 0;
    ForEachResourceString([&](TResourceString& S) {
        ++Resource;
        const QString Id = QString::fromStdString(S.Identifier());
        const TPoEntry* E = FindByMsgId(Template, QString::fromStdString(S.DefaultText()));
        ASSERT_NE(E, nullptr) << S.Identifier();
        EXPECT_TRUE(E->Identifiers.contains(Id)) << S.Identifier();
        EXPECT_EQ(E->Flags.contains(Str("object-pascal-format")),
                  !FormatPlaceholders(S.DefaultText()).empty()) << S.Identifier();
    });
    EXPECT_GT(Resource, 0);

    for (const TTemplateEntry& N : Now.Entries()) {
        const TPoEntry* E = FindByMsgId(Template, N.MsgId);
        ASSERT_NE(E, nullptr) << N.MsgId.toStdString();
        for (const QString& Ref : N.References)
            EXPECT_TRUE(E->Identifiers.contains(Ref)) << Ref.toStdString();
    }
    // Nothing stale either: the template is exactly what the program asks for.
    EXPECT_EQ(Template.Entries().size(), Now.Entries().size() + 1); // + the header

    // Every design key and identifier finds its entry the way a translation
    // is looked up (by identifier: the text given matches no msgid).
    for (const TTemplateEntry& N : Now.Entries())
        for (const QString& Ref : N.References)
            EXPECT_EQ(Template.Translate(UpperCaseAscii(Ref), Str("?") + N.MsgId), N.MsgId)
                << Ref.toStdString();
}

TEST(LanguageTemplate, TextsSurviveTheFileFormat)
{
    const struct {
        const char* Text;
        const char* Quoted;
    } Cases[] = {
        {"Plain", "msgid \"Plain\"\n"},
        {"Say \"hi\" \\ there", "msgid \"Say \\\"hi\\\" \\\\ there\"\n"},
        {"Tab\there", "msgid \"Tab\\there\"\n"},
        {"One\nTwo", "msgid \"\"\n\"One\\n\"\n\"Two\"\n"},
        {"Ends\n", "msgid \"Ends\\n\"\n"},
        {"CR\r\nLF", "msgid \"\"\n\"CR\\r\\n\"\n\"LF\"\n"},
        {"B\x01", "msgid \"B\\001\"\n"},
    };
    TLanguageTemplate T;
    int N = 0;
    for (const auto& C : Cases) {
        EXPECT_EQ(PoQuoted(Str("msgid"), Str(C.Text)), QByteArray(C.Quoted)) << C.Text;
        T.Add(Str("unit.s%1").arg(N++), Str(C.Text));
    }
    T.Add(Str("unit.sfmt"), Str("%s of %d files, 100%%"));
    T.Add(Str("TFormX.Button.Caption"), Str("Plain")); // same text: one entry, two places
    T.Add(Str("unit.sempty"), QString());              // never an entry: it would be a header
    ASSERT_EQ(T.Entries().size(), 8);
    EXPECT_EQ(T.Entries()[0].References, (QStringList{Str("unit.s0"), Str("tformx.button.caption")}));
    EXPECT_TRUE(T.Entries()[7].PascalFormat);
    EXPECT_FALSE(T.Entries()[0].PascalFormat);

    QTemporaryDir Dir;
    const QString File = Dir.filePath(Str("t.pot"));
    {
        QFile F(File);
        ASSERT_TRUE(F.open(QIODevice::WriteOnly));
        F.write(T.ToPot());
    }
    const TPoCatalog Back(File);
    ASSERT_EQ(Back.Entries().size(), 9);
    for (qsizetype I = 0; I < T.Entries().size(); ++I) {
        EXPECT_EQ(Back.Entries()[I + 1].MsgId, T.Entries()[I].MsgId);
        EXPECT_EQ(Back.Entries()[I + 1].Identifiers, T.Entries()[I].References);
    }

    const QString Msgfmt = QStandardPaths::findExecutable(Str("msgfmt"));
    if (Msgfmt.isEmpty())
        GTEST_SKIP() << "msgfmt is not installed";
    QProcess P;
    P.start(Msgfmt, {Str("-c"), Str("--check-format"), Str("-o"), Dir.filePath(Str("t.mo")), File});
    ASSERT_TRUE(P.waitForFinished(30000));
    EXPECT_EQ(P.exitCode(), 0) << P.readAllStandardError().toStdString();
}

TEST(LanguageTemplate, DesignTextLiteralsInTheSources)
{
    const QByteArray Source = R"cpp(
QString DesignText(const QObject* Window, const QObject* Component, const QString& Property,
                   const QString& English);
void TFormMain::Build()
{
    SetDesignText(this, Label_A, QStringLiteral("Caption"), QStringLiteral("Size, in \"bytes\""));
    QFileDialog D(this, DesignText(this, this, QStringLiteral("OpenDialog.Title"),
                                   QStringLiteral("Add files")));
    D.setNameFilters({DesignText(this, this, Str("Filter0"), Str("All files")) + QStringLiteral(" (*)")});
    SetDesignText(this, Edit, Str("Text"), Caption);
    SetDesignText(this, Edit, Str("TextHint"), tr(Caption));
    SetDesignText(this, Memo, Str("Text"), "Two " "parts\n");
    MySetDesignText(this, Memo, Str("Text"), Str("not ours"));
    SetDesignText(this, Memo, Str("Hint"), Str(""));
}
)cpp";
    const auto Found = ScanDesignTextCalls(Str("src/forms/fMain.cpp"), Source);
    ASSERT_EQ(Found.size(), 4);
    EXPECT_EQ(Found[0].Text, Str("Size, in \"bytes\""));
    EXPECT_EQ(Found[0].Reference, QString()); // the component's name is known only at run time
    EXPECT_EQ(Found[1].Text, Str("Add files"));
    EXPECT_EQ(Found[1].Reference, Str("TFormMain.OpenDialog.Title"));
    EXPECT_EQ(Found[2].Text, Str("All files"));
    EXPECT_EQ(Found[2].Reference, Str("TFormMain.Filter0"));
    EXPECT_EQ(Found[3].Text, Str("Two parts\n"));
    EXPECT_EQ(ScanDesignTextCalls(Str("uOther.cpp"), Source)[1].Reference, QString());
    // A window written in several units: each unit's texts belong to the window itself.
    EXPECT_EQ(ScanDesignTextCalls(Str("src/forms/fMainAdding.cpp"), Source)[1].Reference,
              Str("TFormMain.OpenDialog.Title"));
}

TEST(ShippedLanguages, ListedWithNamesAndFlags)
{
    TLanguages L;
    L.Scan(LanguagesDir(), LanguagesDir() + Str("/Flags"));
    TLanguageInfo De, He;
    ASSERT_TRUE(L.FindLanguage(Str("de"), De));
    ASSERT_TRUE(L.FindLanguage(Str("he"), He));
    EXPECT_EQ(TLanguages::LanguageCaption(De), Str("German - Deutsch"));
    EXPECT_EQ(TLanguages::LanguageCaption(He), Str("Hebrew - עברית"));
    EXPECT_EQ(LanguageDirection(He.Code), Qt::RightToLeft);
    for (const TLanguageInfo* I : {&De, &He}) {
        EXPECT_FALSE(I->Translators.isEmpty()) << I->Code.toStdString();
        const QImage Flag(I->FlagFileName);
        ASSERT_FALSE(Flag.isNull()) << I->FlagFileName.toStdString();
        EXPECT_EQ(Flag.height(), 11);
    }
    EXPECT_EQ(L.Items.size(), ShippedTranslations().size());
}

TEST(ShippedLanguages, EveryTextTranslated)
{
    const TPoCatalog Template(TemplateFile());
    const QStringList Files = ShippedTranslations();
    ASSERT_GE(Files.size(), 2);
    for (const QString& File : Files) {
        const TPoCatalog Po(File);
        int Missing = 0;
        for (const TPoEntry& T : Template.Entries()) {
            if (T.MsgId.isEmpty())
                continue;
            const TPoEntry* E = FindByMsgId(Po, T.MsgId);
            const bool Ok = E && !E->MsgStr.isEmpty() && !E->Flags.contains(Str("fuzzy"))
                            && SamePlaceholders(T.MsgId.toStdString(), E->MsgStr.toStdString());
            if (!Ok && ++Missing <= 10)
                ADD_FAILURE() << QFileInfo(File).fileName().toStdString() << ": no translation of \""
                              << T.MsgId.toStdString() << "\"";
        }
        EXPECT_EQ(Missing, 0) << QFileInfo(File).fileName().toStdString()
                              << ": run scripts/update-translations and translate the new texts";
    }
}

TEST(ShippedLanguages, StartingInEachLanguage)
{
    const struct {
        const char* Argument;
        Qt::LayoutDirection Direction;
        const char* Cancel; // the toolkit's own button text
    } Cases[] = {
        {"--LANG=de", Qt::LeftToRight, "Abbrechen"},
        {"--LANG=he", Qt::RightToLeft, "ביטול"},
    };
    for (const auto& C : Cases) {
        TTranslationGuard Reset;
        TLanguages L;
        ApplyArgument(L, C.Argument);
        EXPECT_EQ(QGuiApplication::layoutDirection(), C.Direction) << C.Argument;
        QWidget W;
        EXPECT_EQ(W.layoutDirection(), C.Direction) << C.Argument;
        QDialogButtonBox Buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        EXPECT_EQ(Buttons.button(QDialogButtonBox::Cancel)->text(), Str(C.Cancel)) << C.Argument;

        // Every program text now reads as its translation.
        QString File;
        ASSERT_TRUE(FindFirstPoFile(LanguagesDir(), Str(C.Argument).mid(7), File));
        const TPoCatalog Po(File);
        ForEachResourceString([&](TResourceString& S) {
            const QString Expected = Po.Translate(QString::fromStdString(S.Identifier()),
                                                  QString::fromStdString(S.DefaultText()));
            EXPECT_EQ(QString::fromStdString(S.Text()), Expected) << S.Identifier();
        });
        EXPECT_NE(DesignTranslator(), nullptr);
    }
}

// The file layer's errors are texts like any other: in the template, and a
// German or Hebrew user reads them in their language, class name first.
TEST(ShippedLanguages, FileLayerErrorsTranslated)
{
    const char* const Ids[] = {"rtlconsts.sfopenerrorex", "rtlconsts.sfcreateerrorex", "rtlconsts.sreaderror",
                               "rtlconsts.swriteerror", "rtlconsts.snotaregularfile"};
    const TPoCatalog Template(TemplateFile());
    for (const char* Id : Ids) {
        bool InTemplate = false;
        for (const TPoEntry& E : Template.Entries())
            InTemplate = InTemplate || E.Identifiers.contains(Str(Id));
        EXPECT_TRUE(InTemplate) << Id;
    }

    QTemporaryDir Dir;
    const std::string Missing = Dir.filePath(Str("missing/x.txt")).toStdString();
    const std::string Fifo = Dir.filePath(Str("fifo")).toStdString();
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
    const struct {
        const char* Argument;
        const char* Open;   // the start of the open error's text
        const char* Create; // the start of the create error's text
        const char* Read;
        const char* NotRegular; // the reason a FIFO is not opened
    } Cases[] = {
        {"--LANG=de", "Datei „", "Datei „", "Fehler beim Lesen aus dem Datenstrom", "Keine reguläre Datei"},
        {"--LANG=he", "לא ניתן לפתוח את הקובץ", "לא ניתן ליצור את הקובץ", "שגיאה בקריאה מהזרם", "אינו קובץ רגיל"},
    };
    for (const auto& C : Cases) {
        TTranslationGuard Reset;
        TLanguages L;
        ApplyArgument(L, C.Argument);

        try {
            TFileReader Reader(Missing);
            ADD_FAILURE() << "opened " << Missing;
        } catch (const EFOpenError& E) {
            const QString Text = QString::fromStdString(E.Describe());
            EXPECT_TRUE(Text.startsWith(Str("[EFOpenError] ") + Str(C.Open))) << Text.toStdString();
            EXPECT_TRUE(Text.contains(QString::fromStdString(Missing))) << Text.toStdString();
            EXPECT_FALSE(Text.contains(Str("Unable"))) << Text.toStdString();
        }
        try {
            TFileReader Reader(Fifo);
            ADD_FAILURE() << "opened " << Fifo;
        } catch (const EFOpenError& E) {
            const QString Text = directiontest::WithoutMarks(QString::fromStdString(E.Describe()));
            EXPECT_TRUE(Text.startsWith(Str("[EFOpenError] ") + Str(C.Open))) << Text.toStdString();
            EXPECT_TRUE(Text.endsWith(Str(C.NotRegular))) << Text.toStdString();
        }
        try {
            SaveFileReplacing(Missing, [](std::ostream&) {});
            ADD_FAILURE() << "saved " << Missing;
        } catch (const EFCreateError& E) {
            const QString Text = QString::fromStdString(E.Describe());
            EXPECT_TRUE(Text.startsWith(Str("[EFCreateError] ") + Str(C.Create))) << Text.toStdString();
            EXPECT_TRUE(Text.contains(QString::fromStdString(Missing))) << Text.toStdString();
        }
        EXPECT_EQ(QString::fromStdString(SReadError.Text()), Str(C.Read)) << C.Argument;
        EXPECT_NE(SWriteError.Text(), SWriteError.DefaultText()) << C.Argument;
    }
}
