// The program started through its own main sequence in a folder whose name
// is not valid UTF-8 (the Latin-1 "prég" an older system left): it finds
// its languages, its settings and the documents beside it in that folder by
// the name's bytes, and writes nothing anywhere else.
#include "engine/TempFolder.h"
#include "forms/fMain.h"
#include "forms/uForms.h"
#include "program/uMainSequence.h"
#include "support/recorded_interaction.h"
#include "support/recorded_opener.h"

#include <QAction>
#include <QByteArray>
#include <QGuiApplication>
#include <QMenu>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

QString Str(const char* S) { return QString::fromUtf8(S); }

std::string ReadAll(const fs::path& P)
{
    std::ifstream In(P, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

std::set<std::string> Entries(const fs::path& Folder)
{
    std::set<std::string> Names;
    for (const auto& E : fs::directory_iterator(Folder))
        Names.insert(E.path().filename().string());
    return Names;
}

// Each item of the language menu, with " [flag]" when it shows one.
QStringList LanguageItems()
{
    QStringList Items;
    for (QAction* A : FormMain->findChild<QMenu*>(Str("MI_Language"))->actions())
        if (!A->isSeparator())
            Items << QString(A->text()).remove(QChar(0x200E)) + (A->icon().isNull() ? QString() : Str(" [flag]"));
    return Items;
}

} // namespace

TEST(StartInALegacyNamedFolder, LanguagesSettingsAndDocumentsAreFoundInPlace)
{
    const struct {
        const char* Storage;    // Storage.ini's text, if there is one
        const char* DataFolder; // where Settings.ini is, within the program's folder
    } Cases[] = {
        {nullptr, "."},
        {"#APPDIR#data", "data"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Storage ? C.Storage : "no Storage.ini");
        // Removed by the bytes of its names, which Qt's own folder could not.
        TTempFolder Root, Work;
        const fs::path Folder = Root.Path() / "pr\xE9g";
        const fs::path Data = Folder / C.DataFolder;
        fs::create_directories(Data);
        fs::copy(SORVIK_APP_DIR "/Languages", Folder / "Languages", fs::copy_options::recursive);
        std::ofstream(Folder / "History.txt") << "history";
        if (C.Storage)
            std::ofstream(Folder / "Storage.ini") << C.Storage;
        std::ofstream(Data / "Settings.ini") << "[General]\nLanguageCode=de\nHashTypes=MD5\n";
        const fs::path Before = fs::current_path();
        fs::current_path(Work.Path());
        {
            TRecordedOpener Desktop;
            TRecordedInteraction User;
            TSorvikProgram Program({}, (Folder / "sorvik").string());
            Program.Start();
            EXPECT_EQ(FormMain->findChild<QMenu*>(Str("MI_FileMenu"))->title(), Str("Datei"));
            const QStringList Items = LanguageItems();
            EXPECT_TRUE(Items.contains(Str("German - Deutsch"))) << Items.join(Str(" | ")).toStdString();
            EXPECT_TRUE(Items.contains(Str("Hebrew - עברית [flag]"))) << Items.join(Str(" | ")).toStdString();
            FormMain->findChild<QAction*>(Str("ActionHistory"))->trigger();
            EXPECT_TRUE(User.Warnings.empty()) << User.Warnings.front().toStdString();
            ASSERT_EQ(Desktop.Opened.size(), 1u);
            const QByteArray Opened = QByteArray::fromPercentEncoding(Desktop.Opened[0].path(QUrl::FullyEncoded).toLatin1());
            EXPECT_EQ(Opened.toStdString(), (Folder / "History.txt").string());
            Program.Finish();
            EXPECT_TRUE(Program.SettingsSaved());
        }
        fs::current_path(Before);
        const std::string Ini = ReadAll(Data / "Settings.ini");
        EXPECT_NE(Ini.find("[Location]"), std::string::npos) << "written anew in place\n" << Ini;
        EXPECT_NE(Ini.find("LanguageCode=de\n"), std::string::npos) << Ini;
        EXPECT_NE(Ini.find("HashTypes=MD5\n"), std::string::npos) << Ini;
        EXPECT_EQ(Entries(Root.Path()), std::set<std::string>{"pr\xE9g"}) << "nothing beside the folder";
        EXPECT_TRUE(Entries(Work.Path()).empty()) << "nothing in the working folder";
    }
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}
