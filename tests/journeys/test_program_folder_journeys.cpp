// The built program started from a folder whose name is not valid UTF-8
// (the Latin-1 "prég" an older system left).
#include "journey_support.h"

#include <csignal>
#include <set>

namespace journey {

#ifdef Q_OS_LINUX
namespace {

std::set<std::string> Entries(const fs::path& Folder)
{
    std::set<std::string> Names;
    for (const auto& E : fs::directory_iterator(Folder))
        Names.insert(E.path().filename().string());
    return Names;
}

} // namespace

// The program takes its own path by the bytes, so it reads its settings in
// its folder and writes them back there, twice, with nothing made beside
// that folder or in the working folder.
TEST(ProgramFolderJourney, AFolderNamedInLatin1KeepsTheSettingsInPlace)
{
    TTempFolder Root;
    const fs::path Folder = Root.Path() / "pr\xE9g";
    const fs::path Work = Root.Path() / "work";
    fs::create_directory(Folder);
    fs::create_directory(Work);
    std::error_code Ec;
    fs::copy_file(SORVIK_APP_DIR "/sorvik", Folder / "sorvik", Ec);
    ASSERT_FALSE(Ec) << Ec.message();
    fs::create_directory_symlink(SORVIK_APP_DIR "/Languages", Folder / "Languages", Ec);
    std::ofstream(Folder / "Settings.ini") << "[General]\nLanguageCode=de\nHashTypes=MD5\n";
    for (int Run = 1; Run <= 2; ++Run) {
        SCOPED_TRACE(Run);
        QProcess P;
        P.setWorkingDirectory(Q(Work));
        P.setProcessChannelMode(QProcess::ForwardedChannels);
        // A program's name is text to QProcess, which cannot hold the
        // folder's byte: the shell finds the program by a pattern.
        P.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exec ../pr*/sorvik")});
        ASSERT_TRUE(P.waitForStarted(30000));
        (void)QTest::qWaitFor([&] { return Catches(P.processId(), SIGTERM); }, 10000);
        QTest::qWait(300);
        ::kill(static_cast<pid_t>(P.processId()), SIGTERM);
        ASSERT_TRUE(P.waitForFinished(30000));
        EXPECT_EQ(P.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(P.exitCode(), 0);
        const std::string Ini = ReadAll(Folder / "Settings.ini");
        EXPECT_NE(Ini.find("[Location]"), std::string::npos) << "written anew in place\n" << Ini;
        EXPECT_NE(Ini.find("HashTypes=MD5\n"), std::string::npos) << "read in place\n" << Ini;
        EXPECT_NE(Ini.find("LanguageCode=de\n"), std::string::npos) << Ini;
        EXPECT_EQ(Entries(Root.Path()), (std::set<std::string>{"pr\xE9g", "work"}));
        EXPECT_TRUE(Entries(Work).empty());
    }
}
#endif

} // namespace journey
