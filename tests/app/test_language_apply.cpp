#include "app/uLanguages.h"
#include "lang_fixtures.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

SORVIK_RESOURCESTRING(uTestLang, sProbe, "Probe");

QString Str(const char* S) { return QString::fromUtf8(S); }

// Each file translates the probe text to its own name, so the test sees
// which one was loaded.
QByteArray ProgramFile(const QString& Name)
{
    return PoText({"Language: x\\n"},
                  "#: utestlang.sprobe\nmsgid \"Probe\"\nmsgstr \"" + Name.toUtf8() + "\"\n");
}

QByteArray ToolkitFile(const QString& Name)
{
    return PoText({}, "msgctxt \"QPlatformTheme\"\nmsgid \"Cancel\"\nmsgstr \"" + Name.toUtf8()
                          + "\"\n\nmsgid \"QT_LAYOUT_DIRECTION\"\nmsgstr \"RTL\"\n");
}

QString ToolkitCancel()
{
    return QCoreApplication::translate("QPlatformTheme", "Cancel");
}

class ApplyLanguage : public ::testing::Test {
protected:
    TTranslationGuard Guard;
    QTemporaryDir Dir;
    TLanguages L;
    TLanguageSources Sources;

    void SetUp() override
    {
        Sources.SystemLanguageId = Str("de_DE");
        Sources.SystemLanguageCode = Str("de");
    }
    void Program(const char* Name) { WriteFile(Dir.filePath(Str(Name)), ProgramFile(Str(Name))); }
    void Toolkit(const char* Name)
    {
        WriteFile(Dir.filePath(Str("LCLStrConsts/") + Str(Name)), ToolkitFile(Str(Name)));
    }
    void Apply(const char* Code, const char* BiDi = "")
    {
        L.Apply(Dir.path(), Str(Code), Str(BiDi), Sources);
    }
};

} // namespace

TEST_F(ApplyLanguage, SystemLanguageWithFallbacksForBothFiles)
{
    Program("app.de.po");
    Program("app.de_DE.po");
    Toolkit("lclstrconsts.de.po");
    Apply("");
    EXPECT_EQ(L.LanguageCode, Str("AUTOMATIC"));
    EXPECT_EQ(L.BiDiCode, Str("AUTO"));
    EXPECT_EQ(sProbe.Text(), "app.de_DE.po");
    EXPECT_NE(DesignTranslator(), nullptr);
    EXPECT_EQ(ToolkitCancel(), Str("lclstrconsts.de.po"));
    QCoreApplication::processEvents(); // the toolkit reacts to a new translator here
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight); // the file's "RTL" is not taken
}

TEST_F(ApplyLanguage, FallbackProgramFileAndToolkitFileFromTheCode)
{
    Program("app.de.po");
    Toolkit("lclstrconsts.de_DE.po");
    Toolkit("lclstrconsts.de.po");
    Apply("AUTOMATIC");
    EXPECT_EQ(sProbe.Text(), "app.de.po");
    EXPECT_EQ(ToolkitCancel(), Str("lclstrconsts.de_DE.po"));
}

// The stored code's case does not matter, for the toolkit's file as for
// the program's.
TEST_F(ApplyLanguage, ToolkitFileFoundWhateverTheCaseOfTheCode)
{
    Program("app.he.po");
    Toolkit("lclstrconsts.he.po");
    Toolkit("LCLSTRCONSTS.PT_br.PO");
    const struct {
        const char* Code;
        const char* Program;
        const char* Toolkit;
    } Cases[] = {
        {"he", "app.he.po", "lclstrconsts.he.po"},
        {"HE", "app.he.po", "lclstrconsts.he.po"},
        {"He", "app.he.po", "lclstrconsts.he.po"},
        {"pt_BR", "Probe", "LCLSTRCONSTS.PT_br.PO"},
        {"hex", "Probe", "Cancel"},
    };
    for (const auto& C : Cases) {
        TTranslationGuard::Reset();
        Apply(C.Code);
        EXPECT_EQ(sProbe.Text(), C.Program) << C.Code;
        EXPECT_EQ(ToolkitCancel(), Str(C.Toolkit)) << C.Code;
    }
}

TEST_F(ApplyLanguage, StoredCodeWinsOverTheCommandLine)
{
    Program("app.fr.po");
    Program("app.de.po");
    Sources.Arguments = QStringList{"--LANG=de"};
    Apply("fr");
    EXPECT_EQ(sProbe.Text(), "app.fr.po");
}

TEST_F(ApplyLanguage, CommandLineAndEnvironmentWhenAutomatic)
{
    Program("app.pt.po");
    Program("app.es.po");
    Sources.Arguments = QStringList{"--lang=pt_BR"};
    Apply("automatic");
    EXPECT_EQ(sProbe.Text(), "app.pt.po");

    TTranslationGuard::Reset();
    Sources.Arguments.clear();
    Sources.LangVariable = Str("es_ES.UTF-8");
    Apply("");
    EXPECT_EQ(sProbe.Text(), "app.es.po");
}

TEST_F(ApplyLanguage, DefaultAndMissingFilesLoadNothing)
{
    Program("app.de.po");
    Toolkit("lclstrconsts.de.po");
    for (const char* Code : {"default", "de_AT_x", "xx", "*", "../de", "de/../de"}) {
        TTranslationGuard::Reset();
        Apply(Code);
        EXPECT_EQ(sProbe.Text(), Code == Str("de_AT_x") ? "app.de.po" : "Probe") << Code;
    }
    TTranslationGuard::Reset();
    Program("app.fr_FR.po");
    Apply("fr"); // no "_": no fallback search, and "fr" is not "fr_FR"
    EXPECT_EQ(sProbe.Text(), "Probe");
    EXPECT_EQ(DesignTranslator(), nullptr);
    EXPECT_EQ(ToolkitCancel(), Str("Cancel"));
}

TEST_F(ApplyLanguage, TextDirection)
{
    const struct {
        const char* Code;
        const char* BiDi;
        Qt::LayoutDirection Expected;
    } Cases[] = {
        {"ar", "", Qt::RightToLeft},          // no Arabic file: direction still follows
        {"he_IL", "auto", Qt::RightToLeft},
        {"de", "", Qt::LeftToRight},
        {"DEFAULT", "rtl", Qt::RightToLeft},
        {"ar", "LTR", Qt::LeftToRight},
        {"ar", "xyz", Qt::LeftToRight},       // unknown: the toolkit's left to right
        {"DEFAULT", "", Qt::LeftToRight},
    };
    for (const auto& C : Cases) {
        QGuiApplication::setLayoutDirection(C.Expected == Qt::LeftToRight ? Qt::RightToLeft
                                                                          : Qt::LeftToRight);
        Apply(C.Code, C.BiDi);
        EXPECT_EQ(QGuiApplication::layoutDirection(), C.Expected) << C.Code << " " << C.BiDi;
    }
    EXPECT_EQ(L.BiDiCode, Str("AUTO"));
}

TEST_F(ApplyLanguage, DetectedRightToLeftFromTheEnvironment)
{
    Sources.LangVariable = Str("ar_EG.UTF-8");
    Apply("");
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::RightToLeft);
}
