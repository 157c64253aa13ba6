// The program itself started on a folder whose search takes long, or whose
// listing never returns (a dead network mount), and ended meanwhile by the
// desktop (SIGTERM) or by the window manager's close: it ends at once, with
// its settings written, and starts again as it ended.
#include "journeys/journey_support.h"
#include "journeys/window_manager.h"

#ifdef SORVIK_LISTING_HOOK

#include <QElapsedTimer>
#include <QProcess>

#include <csignal>
#include <iostream>

namespace journey {

namespace {

void MakeFiles(const fs::path& Folder, int Count)
{
    fs::create_directories(Folder);
    for (int I = 0; I < Count; ++I)
        std::ofstream(Folder / ("f" + std::to_string(10000 + I) + ".txt")) << I;
}

} // namespace

TEST_F(TJourney, EndingDuringALongSearchOrAHangingListingIsPromptWithSettingsWritten)
{
    std::error_code Ec;
    fs::copy_file(SORVIK_APP_DIR "/sorvik", ProgramFile(), Ec);
    ASSERT_FALSE(Ec) << Ec.message();
    // Searched in this order: "first" at full speed, then "held", then
    // "many", whose 20,000 entries take a millisecond each when slowed.
    const fs::path Top = Folder.Path() / "top";
    MakeFiles(Top / "first", 30);
    MakeFiles(Top / "held", 3);
    MakeFiles(Top / "many", 20000);
    const fs::path Mark = Folder.Path() / "listing.mark";

    const struct {
        const char* Way;
        bool Hangs;          // else slowed
        bool WindowManager;  // else SIGTERM
    } Cases[] = {
        {"SIGTERM during a long search", false, false},
        {"the window manager's close during a long search", false, true},
        {"SIGTERM while a listing hangs", true, false},
        {"the window manager's close while a listing hangs", true, true},
    };
    for (const auto& C : Cases) {
        // Twice: the second start reads what the first end wrote.
        for (int Run = 1; Run <= 2; ++Run) {
            SCOPED_TRACE(std::string(C.Way) + ", run " + std::to_string(Run));
            std::ofstream(SettingsFile()) << "[General]\nHashTypes=MD5\n";
            fs::remove(Mark);
            QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
            Env.insert("LD_PRELOAD", SORVIK_LISTING_HOOK);
            Env.insert("SORVIK_LISTING_UNDER", Q(Top / (C.Hangs ? "held" : "many")));
            Env.insert("SORVIK_LISTING_MARK", Q(Mark));
            if (C.Hangs)
                Env.insert("SORVIK_LISTING_HOLD", "1");
            else
                Env.insert("SORVIK_LISTING_DELAY_US", "1000");
            QProcess P;
            P.setProcessEnvironment(Env);
            P.setProcessChannelMode(QProcess::ForwardedChannels);
            P.start(Q(ProgramFile()), {Q(Top)});
            ASSERT_TRUE(P.waitForStarted(30000));
            ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(Mark); }, 30000)) << "the search never got there";
            QTest::qWait(C.Hangs ? 100 : 500);

            QElapsedTimer Clock;
            Clock.start();
            if (C.WindowManager)
                ASSERT_TRUE(RequestClose(P.processId())) << "no window to close";
            else
                ::kill(static_cast<pid_t>(P.processId()), SIGTERM);
            const bool Finished = P.waitForFinished(30000);
            const qint64 Ms = Clock.elapsed();
            if (!Finished) {
                P.kill();
                P.waitForFinished();
            }
            ASSERT_TRUE(Finished) << "still running after half a minute";
            std::cout << "[ measured ] " << C.Way << ", run " << Run << ": ended " << Ms << " ms after the request\n";
            // About half a second is expected; the search would take
            // twenty seconds, the hanging listing for ever.
            EXPECT_LT(Ms, 5000);
            EXPECT_EQ(P.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(P.exitCode(), 0);
            const std::string Ini = ReadAll(SettingsFile());
            EXPECT_NE(Ini.find("[Location]"), std::string::npos) << "written anew\n" << Ini;
            EXPECT_NE(Ini.find("HashTypes=MD5\n"), std::string::npos) << "the choices kept\n" << Ini;
        }
    }
}

} // namespace journey

#endif
