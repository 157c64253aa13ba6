#include "app/uLanguages.h"
#include "lang_fixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

class LanguageFolder : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString Folder() const { return Dir.path(); }
    QString Path(const QString& Name) const { return Dir.filePath(Name); }
    void Po(const QString& Name, const QStringList& Header, const QByteArray& Body = {})
    {
        WriteFile(Path(Name), PoText(Header, Body));
    }
};

QStringList Codes(const TLanguages& L)
{
    QStringList R;
    for (const TLanguageInfo& I : L.Items)
        R << I.Code;
    return R;
}

} // namespace

TEST(LanguageFiles, CodeFromFileName)
{
    const struct {
        const char* Name;
        const char* Code;
    } Cases[] = {
        {"app.de.po", "de"},
        {"/x/y/app.pt_BR.po", "pt_BR"},
        {"APP.FR.PO", "FR"},
        {"de.po", ""},
        {".po", ""},
        {"readme.txt", ""},
        {"app.de.pot", ""},
        {"my.app.sr@latin.po", "sr@latin"},
        {"/dir.with.dots/de.po", ""},
        {"app..po", ""},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(CodeFromFileName(Str(C.Name)), Str(C.Code)) << C.Name;
}

TEST(LanguageFiles, UnescapeTable)
{
    const struct {
        const char* In;
        const char* Out;
    } Cases[] = {
        {"plain", "plain"},
        {"say \\\"hi\\\"", "say \"hi\""},
        {"a\\\\b", "a\\b"},
        {"line\\nnext", "line\r\nnext"},
        {"tab\\there", "tab\there"},
        {"\\q\\x", "qx"},
        {"ends\\", "ends"},
        {"\\\\n", "\\n"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(UnescapePoString(Str(C.In)), Str(C.Out)) << C.In;
}

TEST_F(LanguageFolder, HeaderPiecesAreUnescapedAndKeptApart)
{
    // CR LF line ends; one piece holds two keys; a continuation line ends
    // the header at the first line that is not quoted.
    WriteFile(Path("a.de.po"),
              "# comment\r\nmsgid \"\"\r\nmsgstr \"\"\r\n\"Language: de\\nX-Country: DE\\n\"\r\n"
              "\"X-Translators: Jan \\\"Hans\\\" Muster\\n\"\r\n\r\n\"Not: header\\n\"\r\n");
    QStringList Lines;
    ASSERT_TRUE(ReadPoHeader(Path("a.de.po"), Lines));
    EXPECT_EQ(Lines, QStringList({Str(""), Str("Language: de\r\nX-Country: DE\r\n"),
                                  Str("X-Translators: Jan \"Hans\" Muster\r\n")}));

    TLanguageInfo Info;
    ASSERT_TRUE(ReadLanguageInfo(Path("a.de.po"), Info));
    EXPECT_EQ(Info.Language, Str("de\r\nX-Country: DE")); // the rest of the piece, trimmed
    EXPECT_EQ(Info.Country, QString());
    EXPECT_EQ(Info.Translators, Str("Jan \"Hans\" Muster"));
}

TEST_F(LanguageFolder, HeaderKeysIgnoreCaseTrimAndLaterWins)
{
    Po("a.de.po", {"Language: de\\n", "x-language-name:German\\n", "X-Country:   DE  \\n",
                   "X-Language-Name-Native: Deutsch\\n", "X-Country-Name: Germany\\n",
                   "X-Language-Name: German (new)\\n", "Unknown-Key: x\\n"});
    TLanguages L;
    L.Scan(Folder(), Path("Flags"));
    ASSERT_EQ(L.Items.size(), 1);
    const TLanguageInfo& I = L.Items[0];
    EXPECT_EQ(I.Code, Str("de"));
    EXPECT_EQ(I.Language, Str("de"));
    EXPECT_EQ(I.LanguageName, Str("German (new)"));
    EXPECT_EQ(I.LanguageNameNative, Str("Deutsch"));
    EXPECT_EQ(I.Country, Str("DE"));
    EXPECT_EQ(I.CountryName, Str("Germany"));
    EXPECT_EQ(I.FlagFileName, Path("Flags/de.png"));
    EXPECT_EQ(I.FileName, Path("a.de.po"));
}

TEST_F(LanguageFolder, EmptyHeaderAndMissingCountry)
{
    Po("empty.xx.po", {});                         // msgstr "" then a blank line
    Po("nocountry.yy.po", {"X-Country: \\n", "X-Language-Name: Y\\n"});
    WriteFile(Path("noheader.zz.po"), "msgid \"Hello\"\nmsgstr \"Hallo\"\n");
    TLanguages L;
    L.Scan(Folder(), Path("Flags"));
    ASSERT_EQ(Codes(L), QStringList({"xx", "yy"}));
    TLanguageInfo Empty = L.Items[0];
    EXPECT_TRUE(Empty.Language.isEmpty() && Empty.LanguageName.isEmpty() && Empty.Country.isEmpty());
    EXPECT_EQ(TLanguages::LanguageCaption(Empty), Str("[xx]"));
    EXPECT_TRUE(L.Items[1].FlagFileName.isEmpty());
}

// The header is read in the charset it declares, as the catalogue reads the
// texts: the native name is the same in the menu as in the translations.
TEST_F(LanguageFolder, HeaderInTheCharsetItDeclares)
{
    const struct {
        const char* Charset;
        QByteArray Native; // "Русский", "עברית", "Français" in that charset
        const char* Expected;
    } Cases[] = {
        {"windows-1251", QByteArray("\xD0\xF3\xF1\xF1\xEA\xE8\xE9"), "Русский"},
        {"ISO-8859-8", QByteArray("\xF2\xE1\xF8\xE9\xFA"), "עברית"},
        {"ISO-8859-1", QByteArray("Fran\xE7" "ais"), "Français"},
        {"UTF-8", QByteArray("Fran\xC3\xA7" "ais"), "Français"},
        {"CHARSET", QByteArray("Fran\xC3\xA7" "ais"), "Français"},
    };
    int N = 0;
    for (const auto& C : Cases) {
        const QString File = Path(QStringLiteral("f%1.x%1.po").arg(N++));
        WriteFile(File, "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=" + QByteArray(C.Charset)
                            + "\\n\"\n\"X-Language-Name: Some\\n\"\n\"X-Language-Name-Native: " + C.Native
                            + "\\n\"\n\nmsgid \"Name\"\nmsgstr \"" + C.Native + "\"\n");
        TLanguageInfo Info;
        ASSERT_TRUE(ReadLanguageInfo(File, Info)) << C.Charset;
        EXPECT_EQ(Info.LanguageNameNative, Str(C.Expected)) << C.Charset;
        EXPECT_EQ(TLanguages::LanguageCaption(Info), Str("Some - ") + Str(C.Expected)) << C.Charset;
        EXPECT_EQ(TPoCatalog(File).Translate(QString(), Str("Name")), Str(C.Expected)) << C.Charset;
    }
}

// One byte-order mark is the file's; a second one is text, to the header
// reader as to the catalogue, so neither finds a header behind it.
TEST_F(LanguageFolder, ByteOrderMarksAsTheCatalogueReadsThem)
{
    const QByteArray Bom = "\xEF\xBB\xBF";
    const QByteArray Body = PoText({"X-Language-Name: German\\n"}, "msgid \"Yes\"\nmsgstr \"Ja\"\n");
    WriteFile(Path("one.de.po"), Bom + Body);
    WriteFile(Path("two.de.po"), Bom + Bom + Body);

    TLanguageInfo Info;
    ASSERT_TRUE(ReadLanguageInfo(Path("one.de.po"), Info));
    EXPECT_EQ(Info.LanguageName, Str("German"));
    const TPoCatalog One(Path("one.de.po"));
    ASSERT_FALSE(One.Entries().isEmpty());
    EXPECT_TRUE(One.Entries()[0].MsgId.isEmpty());
    EXPECT_TRUE(One.Entries()[0].MsgStr.startsWith(Str("X-Language-Name: German")));

    QStringList Lines;
    EXPECT_FALSE(ReadPoHeader(Path("two.de.po"), Lines));
    EXPECT_FALSE(ReadLanguageInfo(Path("two.de.po"), Info));
    const TPoCatalog Two(Path("two.de.po"));
    for (const TPoEntry& E : Two.Entries())
        EXPECT_FALSE(E.MsgId.isEmpty()) << "a header entry";
    EXPECT_EQ(Two.Translate(QString(), Str("Yes")), Str("Ja"));
}

TEST_F(LanguageFolder, ScanListsOnlyLanguageFilesOfTheFolder)
{
    Po("app.de.po", {"X-Language-Name: German\\n"});
    Po("app.pt_BR.po", {"X-Language-Name: Portuguese\\n"});
    Po("APP.FR.PO", {"X-Language-Name: French\\n"});
    Po("de.po", {"X-Language-Name: No code\\n"});
    Po(".po", {"X-Language-Name: Dot file\\n"});
    Po("readme.txt", {"X-Language-Name: Text\\n"});
    Po("app.it.po.bak", {"X-Language-Name: Backup\\n"});
    Po("sub/app.es.po", {"X-Language-Name: Spanish\\n"});
    QDir().mkpath(Path("folder.nl.po"));
    TLanguages L;
    L.Scan(Folder(), Path("Flags"));
    EXPECT_EQ(Codes(L), QStringList({"FR", "de", "pt_BR"}));
    L.Scan(Path("missing"), Path("Flags"));
    EXPECT_TRUE(L.Items.isEmpty());
}

TEST_F(LanguageFolder, SortByNameThenCountryThenCodeIgnoringCase)
{
    Po("a.de_DE.po", {"X-Language-Name: German\\n", "X-Country-Name: Germany\\n"});
    Po("a.de_AT.po", {"X-Language-Name: german\\n", "X-Country-Name: Austria\\n"});
    Po("a.fr.po", {"X-Language-Name: French\\n"});
    Po("a.zz.po", {});
    Po("a.de_b.po", {"X-Language-Name: German\\n", "X-Country-Name: germany\\n"});
    Po("a.en.po", {"X-Language-Name: english\\n"});
    TLanguages L;
    L.Scan(Folder(), Folder());
    EXPECT_EQ(Codes(L), QStringList({"zz", "en", "fr", "de_AT", "de_b", "de_DE"}));
}

TEST_F(LanguageFolder, FindLanguage)
{
    Po("a.pt_BR.po", {"X-Language-Name: Portuguese\\n"});
    Po("a.automatic.po", {});
    Po("a.Default.po", {});
    TLanguages L;
    L.Scan(Folder(), Folder());
    TLanguageInfo Info;
    EXPECT_TRUE(L.FindLanguage(Str("PT_br"), Info));
    EXPECT_EQ(Info.Code, Str("pt_BR"));
    for (const char* Code : {"automatic", "DEFAULT", "pt", ""}) {
        EXPECT_FALSE(L.FindLanguage(Str(Code), Info)) << Code;
        EXPECT_TRUE(Info.Code.isEmpty() && Info.FileName.isEmpty());
    }
}

TEST_F(LanguageFolder, FindFirstPoFileMatchesTheCodeOnly)
{
    Po("b.de.po", {});
    Po("a.DE.PO", {});
    Po("a.de_DE.po", {});
    QString File;
    ASSERT_TRUE(FindFirstPoFile(Folder(), Str("de"), File));
    EXPECT_EQ(File, Path("a.DE.PO"));
    EXPECT_FALSE(FindFirstPoFile(Folder(), Str("fr"), File));
    EXPECT_TRUE(File.isEmpty());
    // Wildcards and paths never reach the file name.
    for (const char* Code : {"*", "d?", "../de", "[d]e", "de/..", ""})
        EXPECT_FALSE(FindFirstPoFile(Folder(), Str(Code), File)) << Code;
}

TEST(LanguageCodes, FallbackAndDirection)
{
    EXPECT_EQ(LanguageFromCode(Str("pt_BR")), Str("pt"));
    EXPECT_EQ(LanguageFromCode(Str("de")), QString());
    EXPECT_EQ(LanguageFromCode(Str("zh_Hant_TW")), Str("zh"));
    EXPECT_EQ(LanguageFromCode(Str("_x")), QString());

    for (const char* Rtl : {"ar", "he", "yi", "dv", "ps", "az", "fa", "ks", "ku", "pa", "sd", "tk",
                            "ug", "ur", "ar_SA", "AR", "ar-SA", "he_IL", "FA-ir_x"})
        EXPECT_EQ(LanguageDirection(Str(Rtl)), Qt::RightToLeft) << Rtl;
    for (const char* Ltr : {"arz", "ar_EG.UTF-8", "de", "en_US", "", "_ar", "heb"})
        EXPECT_EQ(LanguageDirection(Str(Ltr)), Qt::LeftToRight) << Ltr;
}

TEST(LanguageCodes, ValidCodesAndLocaleValues)
{
    for (const char* Ok : {"de", "pt_BR", "zh-Hant", "sr@latin", "de_DE.UTF-8", "x1"})
        EXPECT_TRUE(IsValidLanguageCode(Str(Ok))) << Ok;
    for (const char* Bad : {"", "..", "a..b", "../x", "de/x", "de\\x", "*", "d?", "de po", "[de]",
                            "d\xc3\xa9"})
        EXPECT_FALSE(IsValidLanguageCode(Str(Bad))) << Bad;

    EXPECT_EQ(LocaleLanguageAndCountry(Str("pt_BR.UTF-8")), Str("pt_BR"));
    EXPECT_EQ(LocaleLanguageAndCountry(Str("de_DE@euro")), Str("de_DE"));
    EXPECT_EQ(LocaleLanguageAndCountry(Str("sr_RS.UTF-8@latin")), Str("sr_RS"));
    EXPECT_EQ(LocaleLanguageAndCountry(Str("fr")), Str("fr"));
}

TEST(LanguageDetection, RequestedLanguageTable)
{
    const struct {
        QStringList Args;
        const char* Lang;     // LANG
        const char* Expected; // Lang
        const char* Fallback; // FallbackLang from DetectLanguage
    } Cases[] = {
        {{}, "", "de_DE", "de"},                              // the system decides
        {{"--lang=pt_BR"}, "", "pt_BR", "pt"},
        {{"--LANG", "es"}, "fr_FR", "es", ""},
        {{"--LANG"}, "fr_FR.UTF-8", "fr_FR", "fr"},           // last and alone: ignored
        {{"--LANG=de", "--LANG="}, "", "de_DE", "de"},        // emptied again
        {{"--LANG=de", "x", "--Lang", "it"}, "", "it", ""},   // the last one wins
        {{"--LANG", "--LANG=xx"}, "", "de_DE", "de"},         // "--LANG=xx" is the value: no code
        {{"--LANGUAGE=de"}, "", "de_DE", "de"},
        {{}, "de_DE.UTF-8", "de_DE", "de"},
        {{}, "de_DE@euro", "de_DE", "de"},
        {{}, "ar_EG.UTF-8", "ar_EG", "ar"},
        {{}, "C.UTF-8", "de_DE", "de"},                       // no language: the system
        {{}, "POSIX", "de_DE", "de"},
        {{"--LANG=../../etc/x"}, "", "de_DE", "de"},          // refused: not a code
        {{}, "de/../x", "de_DE", "de"},
    };
    TLanguageSources S;
    S.SystemLanguageId = Str("de_DE");
    S.SystemLanguageCode = Str("de");
    for (const auto& C : Cases) {
        S.Arguments = C.Args;
        S.LangVariable = Str(C.Lang);
        QString Lang, Fallback;
        const QString Where = C.Args.join(' ') + " / LANG=" + C.Lang;
        ASSERT_TRUE(DetectLanguage(S, Lang, Fallback)) << Where.toStdString();
        EXPECT_EQ(Lang, Str(C.Expected)) << Where.toStdString();
        EXPECT_EQ(Fallback, Str(C.Fallback)) << Where.toStdString();
    }
}

TEST(LanguageDetection, SystemFallbackComesWithTheSystemLanguage)
{
    TLanguageSources S;
    S.SystemLanguageId = Str("zh_TW");
    S.SystemLanguageCode = Str("zh");
    QString Lang, Fallback;
    ASSERT_TRUE(GetRequestedLanguage(S, Lang, Fallback));
    EXPECT_EQ(Lang, Str("zh_TW"));
    EXPECT_EQ(Fallback, Str("zh"));
    S.SystemLanguageId.clear();
    S.SystemLanguageCode.clear();
    EXPECT_FALSE(GetRequestedLanguage(S, Lang, Fallback));
}
