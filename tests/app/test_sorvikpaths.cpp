#include "app/uSettings.h"
#include "app/uSorvikPaths.h"
#include "engine/TempFolder.h"
#include "platform/uPlatformFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string Vendor = "lumvo";
const std::string App = "Sorvik";

std::string CurrentDir()
{
    return QDir::toNativeSeparators(QDir::currentPath()).toStdString();
}

struct Case {
    std::string Text;
    std::string Expected;
};

} // namespace

TEST(PathMacros, TableOfPlaceholders)
{
    const std::string AppDir = GetAppFolder();
    const Case Cases[] = {
        {"#APPDIR#data", AppDir + "data"},
        {"#WORKINGDIR#data", CurrentDir() + "data"},          // no delimiter: glued to the last name
        {"#USERPROFILE#x", GetUserProfileFolder() + "x"},
        {"#USERDOCUMENTS#", GetUserDocumentsFolder()},
        {"#APPVENDOR##APPNAME#", "lumvoSorvik"},              // glued tokens
        {"#APPNAME#/#APPVENDOR#", "Sorvik/lumvo"},
        {"#appdir#", "#appdir#"},                             // exact case only
        {"#APPDIR #", "#APPDIR #"},
        {"#FOO#APPDIR#", "#FOO#APPDIR#"},                     // a closing "#" opens nothing
        {"#FOO##APPNAME#", "#FOO#Sorvik"},
        {"##", "##"},
        {"a#b", "a#b"},
        {"", ""},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ExpandPathMacros(C.Text, Vendor, App), C.Expected) << C.Text;
}

TEST(PathMacros, InsertedValuesAreNotSearchedAgain)
{
    EXPECT_EQ(ExpandPathMacros("#APPVENDOR#", "#APPNAME#", App), "#APPNAME#");
    EXPECT_EQ(ExpandPathMacros("#APPVENDOR#APPNAME#", "x#", App), "x#APPNAME#");
    // A placeholder without a value stays as written.
    EXPECT_EQ(ExpandPathMacros("#APPVENDOR#/d", "", App), "#APPVENDOR#/d");
}

TEST(PathMacros, UserAndAllUsersFolders)
{
    const std::string Docs = GetUserDocumentsFolder();
    ASSERT_FALSE(Docs.empty());
    EXPECT_EQ(ExpandPathMacros("#USER#", Vendor, App), JoinPath(Docs, {Vendor, App}));
    EXPECT_EQ(ExpandPathMacros("#USER#", Vendor, App), Docs + "lumvo/Sorvik/");
#ifdef Q_OS_LINUX
    // No shared documents folder: the tokens have no value and stay.
    EXPECT_EQ(ExpandPathMacros("#ALL#", Vendor, App), "#ALL#");
    EXPECT_EQ(ExpandPathMacros("#PUBLICDOCUMENTS#x", Vendor, App), "#PUBLICDOCUMENTS#x");
#endif
}

TEST(PathMacros, FindMacroTokenCountsFromOne)
{
    std::size_t Position = 0, Length = 0;
    ASSERT_TRUE(FindMacroToken("ab#CD#ef#", "#", 1, Position, Length));
    EXPECT_EQ(Position, 3u);
    EXPECT_EQ(Length, 4u);
    ASSERT_TRUE(FindMacroToken("ab#CD#ef#", "#", 4, Position, Length));
    EXPECT_EQ(Position, 6u);
    EXPECT_EQ(Length, 4u);
    EXPECT_FALSE(FindMacroToken("ab#CD#ef#", "#", 7, Position, Length));
    EXPECT_FALSE(FindMacroToken("no token", "#", 1, Position, Length));
}

TEST(PathMacros, JoinPathSkipsEmptyParts)
{
    EXPECT_EQ(JoinPath("/base", {"a", "", "b"}), "/base/a/b/");
    EXPECT_EQ(JoinPath("/base/", {"a"}), "/base/a/");
    EXPECT_EQ(JoinPath("", {"a", "b"}), "a/b/");
    EXPECT_EQ(JoinPath("", {}), "");
}

TEST(EnvVariables, Table)
{
    qputenv("SORVIK_T_A", "alpha");
    qputenv("SORVIK_T_EMPTY", "");
    qputenv("SORVIK_T_REF", "%SORVIK_T_A%");
    qunsetenv("SORVIK_T_UNDEF");
    const Case Cases[] = {
        {"%SORVIK_T_A%/data", "alpha/data"},
        {"%SORVIK_T_A%%SORVIK_T_A%", "alphaalpha"},           // glued
        {"x%SORVIK_T_A%y%", "xalphay%"},
        {"%SORVIK_T_UNDEF%/data", "%SORVIK_T_UNDEF%/data"},
        {"%SORVIK_T_EMPTY%", "%SORVIK_T_EMPTY%"},
        {"%SORVIK_T_UNDEF%SORVIK_T_A%", "%SORVIK_T_UNDEF%SORVIK_T_A%"}, // closing "%" opens nothing
        {"%SORVIK_T_REF%", "%SORVIK_T_A%"},                   // a value is not searched again
        {"%sorvik_t_a%", "%sorvik_t_a%"},                     // names as written (Linux is case-sensitive)
        {"100%", "100%"},
        {"%", "%"},
        {"%%", "%%"},
        {"%%SORVIK_T_A%", "%%SORVIK_T_A%"},
        {"%SORVIK_T_A=x%", "%SORVIK_T_A=x%"},
    };
    for (const Case& C : Cases) {
#ifndef Q_OS_LINUX
        if (C.Text == "%sorvik_t_a%")
            continue;
#endif
        EXPECT_EQ(ExpandEnvVariables(C.Text), C.Expected) << C.Text;
    }
}

namespace {

class StorageFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Dir.isValid()); }

    std::string Write(const QByteArray& Content)
    {
        QFile File(Dir.filePath("Storage.ini"));
        EXPECT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Content);
        return File.fileName().toStdString();
    }

    std::string Resolve(const std::string& Path, bool& Found)
    {
        return ResolveStorageFolder(Path, Vendor, App, &Found);
    }

    QTemporaryDir Dir;
};

} // namespace

TEST_F(StorageFile, MissingOrEmptyGivesTheProgramFolder)
{
    bool Found = true;
    EXPECT_EQ(Resolve(Dir.filePath("Storage.ini").toStdString(), Found), GetAppFolder());
    EXPECT_FALSE(Found);
    EXPECT_EQ(Resolve(Write(""), Found), GetAppFolder());
    EXPECT_TRUE(Found);
    EXPECT_EQ(Resolve(Write("\n/elsewhere"), Found), GetAppFolder());
    EXPECT_TRUE(Found);
}

TEST_F(StorageFile, FirstLineOnlyWithoutByteOrderMark)
{
    const std::string Target = Dir.filePath("data").toStdString();
    const QByteArray Path = QByteArray::fromStdString(Target);
    bool Found = false;
    for (const QByteArray& Content : {Path, Path + "\n", Path + "\r\n", Path + "/\r\nsecond line\n",
                                      "\xEF\xBB\xBF" + Path + "\n"}) {
        EXPECT_EQ(Resolve(Write(Content), Found), Target + "/") << Content.toStdString();
        EXPECT_TRUE(Found);
    }
}

TEST_F(StorageFile, PlaceholdersThenVariablesThenAbsolute)
{
    qputenv("SORVIK_T_SUB", "sub");
    qputenv("SORVIK_T_MACRO", "#APPNAME#");
    bool Found = false;
    EXPECT_EQ(Resolve(Write("#APPDIR#%SORVIK_T_SUB%"), Found), GetAppFolder() + "sub/");
    EXPECT_EQ(Resolve(Write("/d/%SORVIK_T_MACRO%"), Found), "/d/#APPNAME#/");
    EXPECT_EQ(Resolve(Write("/d/%SORVIK_T_UNDEF2%"), Found), "/d/%SORVIK_T_UNDEF2%/");
    EXPECT_EQ(Resolve(Write("#USER#"), Found), GetUserDocumentsFolder() + "lumvo/Sorvik/");
    EXPECT_EQ(Resolve(Write("relative/data"), Found), CurrentDir() + "/relative/data/");
}

TEST(StorageFolder, InitWithoutStorageFileUsesTheProgramFolder)
{
    EXPECT_FALSE(InitStorageFolder("no-such-storage-file.ini", Vendor, App));
    EXPECT_EQ(GetStorageFolder(), GetAppFolder());
    EXPECT_TRUE(EndsWithPathDelimiter(GetAppFolder()));
}

TEST(StorageFolder, SettingsPathIsKeptAfterFirstUse)
{
    QTemporaryDir Target;
    ASSERT_TRUE(Target.isValid());
    ASSERT_FALSE(InitStorageFolder("no-such-storage-file.ini", Vendor, App));
    const std::string First = GetSettingsFilePath();
    EXPECT_EQ(First, GetAppFolder() + "Settings.ini");

    // A storage file beside the program, under a name no other test uses.
    QFile Storage(QString::fromStdString(GetAppFolder() + "Storage-kept-path-test.ini"));
    ASSERT_TRUE(Storage.open(QIODevice::WriteOnly));
    Storage.write(Target.path().toUtf8());
    Storage.close();
    const bool Found = InitStorageFolder("Storage-kept-path-test.ini", Vendor, App);
    Storage.remove();
    EXPECT_TRUE(Found);
    EXPECT_EQ(GetStorageFolder(), Target.path().toStdString() + "/");
    EXPECT_EQ(GetSettingsFilePath(), First);
}

// Texts Qt would read as resource paths (":...") or that a second
// byte-order mark makes relative are made absolute all the same, and the
// settings saved there are read back from the same place.
TEST_F(StorageFile, RelativeIsDecidedOnThePathItself)
{
    const QString Saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Dir.path()));
    const std::string Cwd = CurrentDir() + "/";
    const struct {
        QByteArray Content;
        std::string Expected;
    } Cases[] = {
        {":data", Cwd + ":data/"},
        {":/data", Cwd + ":/data/"},
        {"\xEF\xBB\xBF\xEF\xBB\xBF/data", Cwd + "\xEF\xBB\xBF/data/"},
        {"./data", Cwd + "./data/"},
    };
    bool Found = false;
    for (const auto& C : Cases)
        EXPECT_EQ(Resolve(Write(C.Content), Found), C.Expected) << C.Content.toStdString();

    const std::string Folder = Resolve(Write(":data"), Found);
    TSettings Written;
    Written.Reset();
    Written.StayOnTop = true;
    EXPECT_TRUE(Written.TrySaveToFile(Folder + "Settings.ini"));
    EXPECT_TRUE(std::filesystem::exists(Dir.path().toStdString() + "/:data/Settings.ini"));
    TSettings Read;
    Read.Reset();
    EXPECT_TRUE(Read.LoadIfExists(Folder + "Settings.ini"));
    EXPECT_TRUE(Read.StayOnTop);
    QDir::setCurrent(Saved);
}

// Megabytes of placeholders and references expand in one pass.
TEST(PathMacros, LongTextsExpandWhole)
{
    qputenv("SORVIK_T_LONG", "ab");
    const std::size_t Count = 400000;
    std::string Macros, Variables, Unknown, ExpectedMacros, ExpectedVariables;
    for (std::size_t I = 0; I < Count; ++I) {
        Macros += "#APPNAME#/";
        ExpectedMacros += "Sorvik/";
        Variables += "%SORVIK_T_LONG%-";
        ExpectedVariables += "ab-";
        Unknown += "#X#%Y%";
    }
    EXPECT_EQ(ExpandPathMacros(Macros, Vendor, App), ExpectedMacros);
    EXPECT_EQ(ExpandEnvVariables(Variables), ExpectedVariables);
    EXPECT_EQ(ExpandPathMacros(Unknown, Vendor, App), Unknown);
    EXPECT_EQ(ExpandEnvVariables(Unknown), Unknown);
}

#ifdef Q_OS_LINUX
namespace {

// Sets an environment variable for one test and puts the old value back.
class TEnvironmentValue {
public:
    TEnvironmentValue(const char* Name, const QByteArray* Value)
        : FName(Name), FWasSet(qEnvironmentVariableIsSet(Name)), FOld(qgetenv(Name))
    {
        if (Value)
            qputenv(Name, *Value);
        else
            qunsetenv(Name);
    }
    ~TEnvironmentValue()
    {
        if (FWasSet)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }

private:
    const char* FName;
    bool FWasSet;
    QByteArray FOld;
};

} // namespace

// A home, a working folder and a variable whose names are not valid UTF-8
// (Latin-1 "é") give their folders by the bytes, so that the data folder
// named with them is the real one.
TEST_F(StorageFile, FoldersWhoseNamesAreNotUtf8KeepTheirBytes)
{
    // Removed by the bytes of their names, which Qt's own folder could not.
    const TTempFolder Root;
    const std::string Home = Root.Path().string() + "/h\xE9me";
    const std::string Work = Root.Path().string() + "/w\xF6rk";
    std::filesystem::create_directory(Home);
    std::filesystem::create_directory(Work);
    const QByteArray HomeBytes = QByteArray::fromStdString(Home);
    const QByteArray Value = QByteArray::fromStdString(Work + "/v\xE9");
    const TEnvironmentValue HomeVariable("HOME", &HomeBytes);
    const TEnvironmentValue NoUserDirs("XDG_CONFIG_HOME", nullptr); // the documents folder within the home
    const TEnvironmentValue Variable("SORVIK_T_LEGACY", &Value);
    const std::filesystem::path Before = std::filesystem::current_path();
    std::filesystem::current_path(Work);

    const Case Cases[] = {
        {"#USERPROFILE#", Home + "/"},
        {"#USERDOCUMENTS#", Home + "/Documents/"},
        {"#USER#", Home + "/Documents/lumvo/Sorvik/"},
        {"#WORKINGDIR#/data", Work + "/data"},
        {"%SORVIK_T_LEGACY%", Work + "/v\xE9"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ExpandEnvVariables(ExpandPathMacros(C.Text, Vendor, App)), C.Expected) << C.Text;
    bool Found = false;
    EXPECT_EQ(Resolve(Write("relative"), Found), Work + "/relative/");
    EXPECT_EQ(Resolve(Write("#USERPROFILE#data"), Found), Home + "/data/");

    // The settings go where the data folder names, and are read back there.
    const std::string Folder = Resolve(Write("%SORVIK_T_LEGACY%"), Found);
    TSettings Written;
    Written.Reset();
    Written.StayOnTop = true;
    EXPECT_TRUE(Written.TrySaveToFile(Folder + "Settings.ini"));
    EXPECT_TRUE(std::filesystem::is_regular_file(Work + "/v\xE9/Settings.ini"));
    TSettings Read;
    Read.Reset();
    EXPECT_TRUE(Read.LoadIfExists(Folder + "Settings.ini"));
    EXPECT_TRUE(Read.StayOnTop);
    std::filesystem::current_path(Before);
}
#endif
