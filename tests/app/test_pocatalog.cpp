// The .po catalogue: look-ups, entries gettext leaves out, escapes,
// charsets and contexts.
#include "app/uPoCatalog.h"
#include "lang_fixtures.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }
QString Fixture() { return CatalogueFixture(); }

class Catalogue : public ::testing::Test {
protected:
    TPoCatalog C{Fixture()};
};

} // namespace

TEST(CatalogueFixture, IsValidForGettext)
{
    const QString Msgfmt = QStandardPaths::findExecutable(Str("msgfmt"));
    if (Msgfmt.isEmpty())
        GTEST_SKIP() << "msgfmt not installed";
    QProcess P;
    P.start(Msgfmt, {Str("-c"), Str("-o"), Str("/dev/null"), Fixture()});
    ASSERT_TRUE(P.waitForFinished());
    EXPECT_EQ(P.exitCode(), 0) << P.readAllStandardError().toStdString();
}

TEST_F(Catalogue, LooksUpByIdentifierBeforeText)
{
    ASSERT_GT(C.Entries().size(), 10);
    EXPECT_EQ(C.Translate(Str("tformprobe.label_other.caption"), Str("Other label")), Str("Nach Kennung"));
    EXPECT_EQ(C.Translate(Str("TFORMPROBE.LABEL_OTHER.CAPTION"), Str("x")), Str("Nach Kennung"));
    EXPECT_EQ(C.Translate(Str("tformprobe.unknown.caption"), Str("Other label")), Str("Nach Text"));
    EXPECT_EQ(C.Translate(QString(), Str("OK")), Str("Jawohl"));
    EXPECT_EQ(C.Translate(Str("x.y"), Str("Not there")), Str("Not there"));
    EXPECT_EQ(C.Translate(Str("x.y"), Str("ok")), Str("ok")); // msgid compared exactly
}

TEST_F(Catalogue, FuzzyEmptyAndObsoleteEntriesKeepTheEnglish)
{
    EXPECT_EQ(C.Translate(Str("utestkit.sfuzzy"), Str("Fuzzy text")), Str("Fuzzy text"));
    EXPECT_EQ(C.Translate(Str("utestkit.sempty"), Str("Untranslated")), Str("Untranslated"));
    EXPECT_EQ(C.Translate(QString(), Str("Obsolete")), Str("Obsolete"));
    // Found by identifier while the English has changed: the old msgid.
    EXPECT_EQ(C.Translate(Str("utestkit.sempty"), Str("Changed")), Str("Untranslated"));
    EXPECT_EQ(C.Translate(Str("utestkit.soldenglish"), Str("New English text")), Str("Neuer Text"));
}

TEST_F(Catalogue, MultiLineStringsAndEscapes)
{
    EXPECT_EQ(C.Translate(Str("utestkit.smultiline"), Str("?")),
              Str("Erste Zeile\nZweite \"zitierte\" Zeile\tmit Tab \\ Ende"));
    EXPECT_EQ(C.Translate(QString(), Str("First line\nSecond \"quoted\" line\twith tab")),
              Str("Erste Zeile\nZweite \"zitierte\" Zeile\tmit Tab \\ Ende"));
}

TEST_F(Catalogue, PlaceholdersMustMatchTheEnglish)
{
    EXPECT_EQ(C.Translate(Str("utestkit.sbytes"), Str("%s bytes")), Str("%s Bytes"));
    EXPECT_EQ(C.Translate(Str("utestkit.sbadplaceholder"), Str("%d of %d files")), Str("%d of %d files"));
    EXPECT_EQ(C.Translate(Str("utestkit.sswapped"), Str("%s in %d")), Str("%s in %d"));
    // Checked against the English the program formats with, not the old msgid.
    EXPECT_EQ(C.Translate(Str("utestkit.sbytes"), Str("%d bytes")), Str("%d bytes"));
}

TEST_F(Catalogue, TheEmptyTextIsNeverLookedUp)
{
    EXPECT_EQ(C.Translate(QString(), QString()), QString());
    EXPECT_EQ(C.Translate(Str("utestkit.sbytes"), QString()), QString());
    EXPECT_TRUE(C.TranslateInContext(QString(), QString()).isNull());
}

TEST_F(Catalogue, ContextLookUpForTheToolkit)
{
    EXPECT_EQ(C.TranslateInContext(Str("QPlatformTheme"), Str("Save")), Str("Speichern"));
    EXPECT_EQ(C.TranslateInContext(Str("OtherContext"), Str("Save")), Str("Sichern"));
    // Another context's entry is no answer.
    EXPECT_TRUE(C.TranslateInContext(Str("Unknown"), Str("Cancel")).isNull());
    EXPECT_TRUE(C.TranslateInContext(Str("QPlatformTheme"), Str("Apply")).isNull());
    EXPECT_TRUE(C.TranslateInContext(QString(), Str("Untranslated")).isNull());
    EXPECT_TRUE(C.TranslateInContext(QString(), Str("Fuzzy text")).isNull());
}

TEST(CatalogueCharset, ConvertedFromTheHeadersCharset)
{
    // "Файл" in windows-1251, "Größe" in ISO-8859-1, and an unknown charset
    // read as UTF-8.
    const struct {
        const char* Charset;
        QByteArray Bytes;
        const char* Expected;
    } Cases[] = {
        {"CP1251", QByteArray("\xD4\xE0\xE9\xEB"), "Файл"},
        {"ISO-8859-1", QByteArray("Gr\xF6\xDF" "e"), "Größe"},
        {"UTF-8", QByteArray("Gr\xC3\xB6\xC3\x9F" "e"), "Größe"},
        {"CHARSET", QByteArray("Gr\xC3\xB6\xC3\x9F" "e"), "Größe"},
        {"no-such-charset", QByteArray("Gr\xC3\xB6\xC3\x9F" "e"), "Größe"},
    };
    for (const auto& Case : Cases) {
        TPoCatalog C;
        C.LoadFromData("\xEF\xBB\xBFmsgid \"\"\r\nmsgstr \"Content-Type: text/plain; charset="
                       + QByteArray(Case.Charset) + "\\n\"\r\n\r\nmsgid \"File\"\r\nmsgstr \"" + Case.Bytes
                       + "\"\r\n");
        EXPECT_EQ(C.Translate(QString(), Str("File")), Str(Case.Expected)) << Case.Charset;
    }
}

// As gettext: a look-up without context sees only entries without one, a
// look-up in a context that context's entries and then those without one.
TEST(CatalogueContext, EntriesAnswerOnlyTheirOwnContext)
{
    for (const bool ContextFirst : {true, false}) {
        const QByteArray WithContext = "msgctxt \"Menu\"\nmsgid \"Open\"\nmsgstr \"Menü öffnen\"\n\n"
                                       "msgctxt \"Dialog\"\nmsgid \"Close\"\nmsgstr \"Dialog schließen\"\n\n";
        const QByteArray Plain = "msgid \"Open\"\nmsgstr \"Öffnen\"\n\n";
        TPoCatalog C;
        C.LoadFromData(ContextFirst ? WithContext + Plain : Plain + WithContext);
        EXPECT_EQ(C.Translate(QString(), Str("Open")), Str("Öffnen")) << ContextFirst;
        EXPECT_EQ(C.TranslateInContext(Str("Menu"), Str("Open")), Str("Menü öffnen")) << ContextFirst;
        EXPECT_EQ(C.TranslateInContext(Str("Toolbar"), Str("Open")), Str("Öffnen")) << ContextFirst;
        EXPECT_EQ(C.Translate(QString(), Str("Close")), Str("Close")) << ContextFirst;
        EXPECT_TRUE(C.TranslateInContext(Str("Menu"), Str("Close")).isNull()) << ContextFirst;
        EXPECT_EQ(C.TranslateInContext(Str("Dialog"), Str("Close")), Str("Dialog schließen")) << ContextFirst;
    }
}

// Each string is decoded on its own: a leading U+FEFF inside it stays, an
// incomplete sequence at its end becomes U+FFFD; only the file's own
// byte-order mark is dropped.
TEST(CatalogueCharset, EveryStringDecodedWhole)
{
    for (const char* Charset : {"UTF-8", "CHARSET"}) {
        TPoCatalog C;
        C.LoadFromData("\xEF\xBB\xBFmsgid \"\"\nmsgstr \"Content-Type: text/plain; charset=" + QByteArray(Charset)
                       + "\\n\"\n\n"
                         "msgid \"Mark\"\nmsgstr \"\xEF\xBB\xBFZeichen\"\n\n"
                         "msgid \"Cut\"\nmsgstr \"Gr\xC3\"\n\n"
                         "msgid \"Cut2\"\nmsgstr \"x\xE2\x82\"\n\n"
                         "msgid \"Next\"\nmsgstr \"N\xC3\xA4" "chste\"\n");
        EXPECT_EQ(C.Translate(QString(), Str("Mark")), QString(QChar(0xFEFF)) + Str("Zeichen")) << Charset;
        EXPECT_EQ(C.Translate(QString(), Str("Cut")), Str("Gr") + QChar(0xFFFD)) << Charset;
        EXPECT_TRUE(C.Translate(QString(), Str("Cut2")).startsWith(Str("x") + QChar(0xFFFD))) << Charset;
        EXPECT_EQ(C.Translate(QString(), Str("Next")), Str("Nächste")) << Charset;
    }
}

TEST(CatalogueFile, MissingFileGivesAnEmptyCatalogue)
{
    TPoCatalog C;
    EXPECT_FALSE(C.LoadFromFile(Str("/nonexistent/x.de.po")));
    EXPECT_TRUE(C.Entries().isEmpty());
    EXPECT_EQ(C.Translate(Str("a.b"), Str("Text")), Str("Text"));
}
