#include "app/uIniFile.h"
#include "app/uSettings.h"
#include "platform/uPlatformFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// The expected file, with the writer's line end in place of "\n".
std::string Lines(const std::string& Text)
{
    std::string Result;
    for (char C : Text) {
        if (C == '\n')
            Result += TextLineBreak;
        else
            Result += C;
    }
    return Result;
}

const std::string DefaultFile = Lines(
    "[General]\n"
    "UpperCaseHash=0\n"
    "HashTypes=CRC32,MD2,MD4,MD5,SHA1,SHA256,SHA512,RipeMD128,RipeMD160,ED2K\n"
    "ToolbarCaptions=0\n"
    "CompareToAnyHash=0\n"
    "LanguageCode=\n"
    "BiDiCode=\n"
    "StayOnTop=0\n"
    "\n"
    "[SaveLog]\n"
    "HashType=\n"
    "VerifyFormat=SFV\n"
    "FileName=\n"
    "UseFullPath=0\n"
    "\n"
    "[LogViewer]\n"
    "IncludeHeaderInExport=1\n"
    "\n"
    "[Location]\n"
    "MainForm=0\n"
    "LogViewer=0\n");

const std::string GoldenFile = Lines(
    "[General]\n"
    "UpperCaseHash=1\n"
    "HashTypes=MD5,SHA1,ED2K\n"
    "ToolbarCaptions=1\n"
    "CompareToAnyHash=1\n"
    "LanguageCode=pt_BR\n"
    "BiDiCode=RTL\n"
    "StayOnTop=1\n"
    "\n"
    "[SaveLog]\n"
    "HashType=RipeMD160\n"
    "VerifyFormat=SUM\n"
    "FileName=/home/u/Логи/run 1.sfv\n"
    "UseFullPath=1\n"
    "\n"
    "[LogViewer]\n"
    "IncludeHeaderInExport=0\n"
    "\n"
    "[Location]\n"
    "MainForm=1,120,80,640,480,2\n"
    "LogViewer=0,-1280,0,300,200,0\n");

std::string Written(TSettings& S)
{
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    S.WriteIni(Buffer);
    return Buffer.data().toStdString();
}

void Read(TSettings& S, const std::string& Text)
{
    QByteArray Data = QByteArray::fromStdString(Text);
    QBuffer Buffer(&Data);
    Buffer.open(QIODevice::ReadOnly);
    S.ReadIni(Buffer);
}

std::string FileText(const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return File.readAll().toStdString();
}

void WriteFile(const QString& Path, const std::string& Text)
{
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Text.data(), static_cast<qint64>(Text.size()));
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        S.Reset();
    }
    std::string Path(const QString& Name = "Settings.ini") const { return Dir.filePath(Name).toStdString(); }

    QTemporaryDir Dir;
    TSettings S;
};

} // namespace

TEST(Settings, CreatedEmptyDefaultsOnlyFromReset)
{
    TSettings S;
    EXPECT_EQ(S.HashTypes, 0u);
    EXPECT_FALSE(S.IncludeHeaderInExport);
    EXPECT_EQ(S.SaveLogVerifyFormat, vfNone);
    EXPECT_EQ(S.MainFormLocation->GetText(), "0");
    EXPECT_EQ(S.MainFormLocation->Form(), nullptr);
    S.Reset();
    EXPECT_EQ(Written(S), DefaultFile);
}

TEST(Settings, ResetClearsTheTrackers)
{
    TSettings S;
    S.MainFormLocation->SetText("1,1,2,3,4,0");
    S.Reset();
    EXPECT_EQ(S.MainFormLocation->GetText(), "0");
}

TEST_F(SettingsFile, GoldenRoundTripIsByteExact)
{
    WriteFile(Dir.filePath("Settings.ini"), GoldenFile);
    ASSERT_TRUE(S.LoadIfExists(Path()));
    EXPECT_EQ(S.SaveLogHashType, htRIPEMD160);
    EXPECT_EQ(S.SaveLogVerifyFormat, vfSUM);
    EXPECT_EQ(S.HashTypes, HashTypeBit(htMD5) | HashTypeBit(htSHA1) | HashTypeBit(htED2K));
    ASSERT_TRUE(S.TrySaveToFile(Path("Copy.ini")));
    EXPECT_EQ(FileText(Dir.filePath("Copy.ini")), GoldenFile);

    TSettings Again;
    Again.Reset();
    Again.LoadFromFile(Path("Copy.ini"));
    EXPECT_EQ(Written(Again), GoldenFile);
}

// Each case: a state before reading (applied to both sides), the file text,
// and what reading it must change relative to that state.
TEST(Settings, ReadingRules)
{
    using Change = std::function<void(TSettings&)>;
    struct Case {
        const char* Name;
        Change Before;
        std::string Text;
        Change Expected;
    };
    const Change Nothing = [](TSettings&) {};
    const Case Cases[] = {
        {"only StayOnTop", Nothing, "[General]\nStayOnTop=1\n", [](TSettings& S) { S.StayOnTop = true; }},
        {"true is not 1", Nothing, "[LogViewer]\nIncludeHeaderInExport=true\n",
         [](TSettings& S) { S.IncludeHeaderInExport = false; }},
        {"yes is not 1", Nothing, "[SaveLog]\nUseFullPath=yes\n", Nothing},
        {"first character 1", Nothing, "[General]\nUpperCaseHash=1x\nToolbarCaptions=10\n",
         [](TSettings& S) { S.UpperCaseHash = S.ToolbarCaptions = true; }},
        {"empty Boolean keeps", Nothing, "[LogViewer]\nIncludeHeaderInExport=\n", Nothing},
        {"empty HashTypes", Nothing, "[General]\nHashTypes=\n", [](TSettings& S) { S.HashTypes = 0; }},
        {"missing HashTypes keeps", Nothing, "[General]\nStayOnTop=0\n", Nothing},
        {"HashType case matters", Nothing, "[SaveLog]\nHashType=md5\n", Nothing},
        {"HashType", Nothing, "[SaveLog]\nHashType=MD5\n", [](TSettings& S) { S.SaveLogHashType = htMD5; }},
        {"VerifyFormat case matters", Nothing, "[SaveLog]\nVerifyFormat=sfv\n",
         [](TSettings& S) { S.SaveLogVerifyFormat = vfNone; }},
        {"missing text keeps", [](TSettings& S) { S.LanguageCode = "de"; }, "[General]\nBiDiCode=RTL\n",
         [](TSettings& S) { S.BiDiCode = "RTL"; }},
        {"empty text is taken", [](TSettings& S) { S.LanguageCode = "de"; }, "[General]\nLanguageCode=\n",
         [](TSettings& S) { S.LanguageCode.clear(); }},
        {"names in any case", Nothing, "[general]\nstayontop=1\n[SAVELOG]\nFILENAME=a.sfv\n",
         [](TSettings& S) { S.StayOnTop = true; S.SaveLogFileName = "a.sfv"; }},
        {"quotes kept", Nothing, "[SaveLog]\nFileName=\"C:\\x y.sfv\"\n",
         [](TSettings& S) { S.SaveLogFileName = "\"C:\\x y.sfv\""; }},
        {"BOM and CR LF", Nothing, "\xEF\xBB\xBF[General]\r\nStayOnTop=1\r\nLanguageCode=de\r\n",
         [](TSettings& S) { S.StayOnTop = true; S.LanguageCode = "de"; }},
        {"lone CR", Nothing, "[General]\rStayOnTop=1\rBiDiCode=LTR",
         [](TSettings& S) { S.StayOnTop = true; S.BiDiCode = "LTR"; }},
        {"final backslash joins nothing", Nothing, "[SaveLog]\nFileName=C:\\logs\\\nUseFullPath=1\n",
         [](TSettings& S) { S.SaveLogFileName = "C:\\logs\\"; S.SaveLogUseFullPath = true; }},
        {"blanks around names and values", Nothing, "  [ General ]\n StayOnTop = 1 \n", [](TSettings& S) { S.StayOnTop = true; }},
        {"comments, stray lines, keys outside sections", Nothing,
         "StayOnTop=1\n[General]\n;StayOnTop=1\n#StayOnTop=1\nStayOnTop\n", Nothing},
        {"first of repeated keys", Nothing, "[General]\nStayOnTop=1\nStayOnTop=0\n[General]\nStayOnTop=0\n",
         [](TSettings& S) { S.StayOnTop = true; }},
        {"key of another section", Nothing, "[SaveLog]\nStayOnTop=1\n", Nothing},
        {"locations", Nothing, "[Location]\nMainForm=1,10,20,300,200,2\nLogViewer=1,10,20\n",
         [](TSettings& S) {
             S.MainFormLocation->SetText("1,10,20,300,200,2");
             S.LogViewerLocation->SetText("1");
         }},
        {"missing location clears", [](TSettings& S) { S.MainFormLocation->SetText("1,1,1,1,1"); }, "",
         [](TSettings& S) { S.MainFormLocation->Reset(); }},
    };
    for (const Case& C : Cases) {
        TSettings Actual, Wanted;
        Actual.Reset();
        Wanted.Reset();
        C.Before(Actual);
        C.Before(Wanted);
        C.Expected(Wanted);
        Read(Actual, C.Text);
        EXPECT_EQ(Written(Actual), Written(Wanted)) << C.Name;
        EXPECT_EQ(Actual.HashTypes, Wanted.HashTypes) << C.Name;
    }
}

TEST(Settings, UnknownHashNamesSetBitZeroAndVanishOnWrite)
{
    TSettings S;
    S.Reset();
    Read(S, "[General]\nHashTypes=MD5,md5,, SHA1,SHA1\n");
    EXPECT_EQ(S.HashTypes, HashTypeBit(htNone) | HashTypeBit(htMD5) | HashTypeBit(htSHA1));
    EXPECT_NE(Written(S).find(Lines("HashTypes=MD5,SHA1\n")), std::string::npos);
}

TEST_F(SettingsFile, UnknownKeysAndSectionsAreDroppedAtSave)
{
    WriteFile(Dir.filePath("Settings.ini"),
              "; hand-written\n[Extra]\nFoo=1\n[General]\nUnknown=5\nStayOnTop=0\n");
    ASSERT_TRUE(S.LoadIfExists(Path()));
    ASSERT_TRUE(S.TrySaveToFile(Path()));
    EXPECT_EQ(FileText(Dir.filePath("Settings.ini")), DefaultFile);
}

TEST_F(SettingsFile, LineBreaksInValuesCannotInjectKeys)
{
    S.SaveLogFileName = "a.sfv\r\n[General]\r\nStayOnTop=1";
    S.LanguageCode = "de\nx";
    ASSERT_TRUE(S.TrySaveToFile(Path()));
    TSettings Back;
    Back.Reset();
    Back.LoadFromFile(Path());
    EXPECT_EQ(Back.SaveLogFileName, "a.sfv");
    EXPECT_EQ(Back.LanguageCode, "de");
    EXPECT_FALSE(Back.StayOnTop);
}

TEST_F(SettingsFile, SaveCreatesMissingFolders)
{
    const std::string Deep = Path("a/b/c/Settings.ini");
    ASSERT_TRUE(S.TrySaveToFile(Deep));
    EXPECT_EQ(FileText(QString::fromStdString(Deep)), DefaultFile);
}

TEST_F(SettingsFile, NameWithoutFolderGoesToTheCurrentDirectory)
{
    const QString Before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Dir.path()));
    const bool Saved = S.TrySaveToFile("Plain.ini");
    QDir::setCurrent(Before);
    EXPECT_TRUE(Saved);
    EXPECT_EQ(FileText(Dir.filePath("Plain.ini")), DefaultFile);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Plain.ini"});
}

TEST_F(SettingsFile, MissingFileKeepsDefaultsAndErrorsPropagate)
{
    S.StayOnTop = true;
    EXPECT_FALSE(S.LoadIfExists(Path()));
    EXPECT_TRUE(S.StayOnTop);
    EXPECT_THROW(S.LoadFromFile(Path()), ESettingsError);
    WriteFile(Dir.filePath("Blocker"), "x");
    EXPECT_FALSE(S.TrySaveToFile(Path("Blocker/Settings.ini")));
    EXPECT_THROW(S.SaveToFile(Path("Blocker/Settings.ini")), ESettingsError);
}

// An editor may save the file as UTF-16; its choices are read all the same,
// and the file is written back in UTF-8.
TEST_F(SettingsFile, Utf16FileIsReadAndWrittenBackAsUtf8)
{
    const QString Text = QString::fromUtf8("[General]\r\nStayOnTop=1\r\nLanguageCode=he\r\n"
                                           "[SaveLog]\r\nFileName=C:\\Prüfsummen\\שלום.sfv\r\n");
    for (const bool Little : {true, false}) {
        QByteArray Data = Little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (const QChar C : Text) {
            const char Low = static_cast<char>(C.unicode() & 0xFF);
            const char High = static_cast<char>(C.unicode() >> 8);
            Data.append(Little ? Low : High).append(Little ? High : Low);
        }
        WriteFile(Dir.filePath("Settings.ini"), Data.toStdString());
        TSettings Loaded;
        Loaded.Reset();
        ASSERT_TRUE(Loaded.LoadIfExists(Path())) << Little;
        EXPECT_TRUE(Loaded.StayOnTop) << Little;
        EXPECT_EQ(Loaded.LanguageCode, "he") << Little;
        EXPECT_EQ(Loaded.SaveLogFileName, "C:\\Prüfsummen\\שלום.sfv") << Little;
        EXPECT_EQ(Loaded.HashTypes, AllHashTypes()) << Little;

        ASSERT_TRUE(Loaded.TrySaveToFile(Path())) << Little;
        EXPECT_EQ(FileText(Dir.filePath("Settings.ini")), Written(Loaded)) << Little;
        EXPECT_EQ(FileText(Dir.filePath("Settings.ini")).rfind("[General]", 0), 0u) << Little;
    }
}

#ifdef Q_OS_LINUX
// A full disk mid-write: the file-size limit makes the write fail after a
// few bytes, as running out of space would.
TEST_F(SettingsFile, FailedSaveKeepsTheOldFile)
{
    WriteFile(Dir.filePath("Settings.ini"), GoldenFile);
    S.StayOnTop = true;

    rlimit Old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &Old), 0);
    rlimit Small = Old;
    Small.rlim_cur = 32;
    const auto PreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &Small), 0);
    const bool Saved = S.TrySaveToFile(Path());
    setrlimit(RLIMIT_FSIZE, &Old);
    std::signal(SIGXFSZ, PreviousHandler);

    EXPECT_FALSE(Saved);
    EXPECT_EQ(FileText(Dir.filePath("Settings.ini")), GoldenFile);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Settings.ini"});
}
#endif

#ifdef Q_OS_UNIX
// A settings file kept elsewhere through a link, with private permissions,
// stays so after the program writes it.
TEST_F(SettingsFile, SaveKeepsTheLinkAndTheMode)
{
    const QString Real = Dir.filePath("real.ini");
    WriteFile(Real, GoldenFile);
    ASSERT_TRUE(QFile::setPermissions(Real, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::link(Real, Dir.filePath("Settings.ini")));

    S.StayOnTop = true;
    ASSERT_TRUE(S.TrySaveToFile(Path()));

    EXPECT_TRUE(QFileInfo(Dir.filePath("Settings.ini")).isSymLink());
    EXPECT_EQ(FileText(Real), Written(S));
    // Owner, group and others: read and write for the owner alone.
    EXPECT_EQ(QFile::permissions(Real) & QFileDevice::Permissions(0x7077), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"Settings.ini", "real.ini"}));
}
#endif

TEST_F(SettingsFile, UnreadableFileLeavesDefaultsAndIsNotReplaced)
{
    // A folder in the file's place cannot be read, whoever runs the test.
    ASSERT_TRUE(QDir(Dir.path()).mkdir("Settings.ini"));
    EXPECT_FALSE(S.LoadIfExists(Path()));
    EXPECT_EQ(Written(S), DefaultFile);
    ASSERT_TRUE(QDir(Dir.path()).rmdir("Settings.ini"));
    // Whatever took the fault's place, the run that could not read the file
    // does not write over it.
    EXPECT_FALSE(S.TrySaveToFile(Path()));
    EXPECT_FALSE(QFile::exists(Dir.filePath("Settings.ini")));
    EXPECT_TRUE(S.TrySaveToFile(Path("Other.ini")));
}

#ifdef Q_OS_UNIX
TEST_F(SettingsFile, FileWithoutReadPermissionIsKept)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    WriteFile(Dir.filePath("Settings.ini"), GoldenFile);
    QFile::setPermissions(Dir.filePath("Settings.ini"), QFileDevice::WriteOwner);
    EXPECT_FALSE(S.LoadIfExists(Path()));
    EXPECT_EQ(Written(S), DefaultFile);
    EXPECT_FALSE(S.TrySaveToFile(Path()));
    QFile::setPermissions(Dir.filePath("Settings.ini"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(FileText(Dir.filePath("Settings.ini")), GoldenFile);
}
#endif

namespace {

// A device that fails half-way through.
class BrokenDevice : public QIODevice {
public:
    BrokenDevice() { open(QIODevice::ReadOnly); }
    qint64 size() const override { return 1000; }

protected:
    qint64 readData(char* Data, qint64 MaxSize) override
    {
        static const char Part[] = "[General]\nStayOnTop=1\n";
        const qint64 Length = sizeof Part - 1;
        if (pos() > 0 || MaxSize < Length)
            return -1;
        memcpy(Data, Part, Length);
        return Length;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

} // namespace

TEST(Settings, ReadFailureChangesNothing)
{
    TSettings S;
    S.Reset();
    BrokenDevice Device;
    EXPECT_THROW(S.ReadIni(Device), ESettingsError);
    EXPECT_EQ(Written(S), DefaultFile);
}

// Blanks and tabs at either end of a text setting are part of it.
TEST(Settings, TextValuesSurviveExactly)
{
    for (const std::string Value : {" my log.sfv ", "\tx\t", "   ", "a = b", " de", "RTL ", "", "=x="}) {
        TSettings Before;
        Before.Reset();
        Before.SaveLogFileName = Value;
        Before.LanguageCode = Value;
        Before.BiDiCode = Value;
        TSettings After;
        After.Reset();
        After.LanguageCode = "unchanged";
        Read(After, Written(Before));
        EXPECT_EQ(After.SaveLogFileName, Value);
        EXPECT_EQ(After.LanguageCode, Value);
        EXPECT_EQ(After.BiDiCode, Value);
    }
}
