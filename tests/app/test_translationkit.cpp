#include "app/uTranslationKit.h"
#include "lang_fixtures.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

SORVIK_RESOURCESTRING(uTestKit, sBytes, "%s bytes");
SORVIK_RESOURCESTRING(uTestKit, sBadPlaceholder, "%d of %d files");
SORVIK_RESOURCESTRING(uTestKit, sFuzzy, "Fuzzy text");
SORVIK_RESOURCESTRING(uTestKit, sNotInFile, "Not in the file");
SORVIK_RESOURCESTRING(uOtherKit, sBytes2, "%s bytes");

QString Str(const char* S) { return QString::fromUtf8(S); }
QString Fixture() { return CatalogueFixture(); }

} // namespace

TEST(ResourceStringPasses, ProgramAndUnitStrings)
{
    TTranslationGuard Guard;
    TranslateUnitStrings(Str("uOtherKit"), Fixture()); // nothing of uTestKit
    EXPECT_EQ(sBytes.Text(), "%s bytes");
    EXPECT_EQ(sBytes2.Text(), "%s Bytes"); // found by its English text
    TTranslationGuard::Reset();

    TranslateUnitStrings(Str("UTESTKIT"), Fixture());
    EXPECT_EQ(sBytes.Text(), "%s Bytes");
    EXPECT_EQ(sBytes2.Text(), "%s bytes");
    TTranslationGuard::Reset();

    TranslateProgramStrings(Fixture());
    EXPECT_EQ(sBytes.Text(), "%s Bytes");
    EXPECT_EQ(sBytes2.Text(), "%s Bytes");
    EXPECT_EQ(sBadPlaceholder.Text(), "%d of %d files");
    EXPECT_EQ(sFuzzy.Text(), "Fuzzy text");
    EXPECT_EQ(sNotInFile.Text(), "Not in the file");
    TTranslationGuard::Reset();

    for (const char* Name : {"", "/nonexistent.de.po"})
        TranslateProgramStrings(Str(Name));
    TranslateUnitStrings(QString(), Fixture());
    EXPECT_EQ(sBytes.Text(), "%s bytes");
}

TEST(ToolkitTranslator, InstalledForTheToolkitUnitOnly)
{
    TTranslationGuard Guard;
    TranslateUnitFromFile(Str("fMain"), Fixture());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), Str("Cancel"));
    TranslateUnitFromFile(Str("LCLStrConsts"), Fixture());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), Str("Abbrechen"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Apply"), Str("Apply"));
    ReleaseTranslation();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), Str("Cancel"));
}

TEST(ToolkitTranslator, NeverAnswersTheLayoutDirection)
{
    QTemporaryDir Dir;
    const QString File = Dir.filePath(Str("lclstrconsts.ar.po"));
    WriteFile(File, PoText({}, "msgid \"QT_LAYOUT_DIRECTION\"\nmsgstr \"RTL\"\n"));
    TToolkitTranslator T(File);
    EXPECT_FALSE(T.isEmpty());
    EXPECT_TRUE(T.translate("QGuiApplication", "QT_LAYOUT_DIRECTION", nullptr, -1).isEmpty());
}
