// The main sequence run in process, as main() runs it, with a program folder
// of the test's own.
#include "forms/main_window_support.h"

#include "app/uLanguages.h"
#include "app/uSettings.h"
#include "app/uSorvikPaths.h"
#include "engine/uFileStreams.h"
#include "forms/fLogViewer.h"
#include "forms/uForms.h"
#include "platform/qt/uFolderSearch.h"
#include "program/uMainSequence.h"
#include "support/thread_gate.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <filesystem>
#include <fstream>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

using namespace maintest;
namespace fs = std::filesystem;

namespace {

// The program's file inside Folder.
std::string ProgramIn(const TTempFolder& Folder) { return (Folder.Path() / "sorvik").string(); }

} // namespace

TEST(MainSequence, FirstStartRunsWithDefaultsAndWritesSettingsAtExit)
{
    TTempFolder Folder;
    {
        TSorvikProgram Program({}, ProgramIn(Folder));
        Program.Start();
        ASSERT_NE(FormMain, nullptr);
        EXPECT_TRUE(FormMain->isVisible());
        EXPECT_EQ(FormMain->windowTitle(), "Sorvik");
        EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Sorvik");
        ASSERT_NE(FormLogViewer, nullptr);
        EXPECT_FALSE(FormLogViewer->isVisible()) << "secondary windows start hidden";
        EXPECT_EQ(Settings->HashTypes, AllHashTypes()) << "the default set";
        EXPECT_EQ(Parts(FormMain).CheckedHashTypes(), Settings->HashTypes);
        EXPECT_FALSE(fs::exists(Folder.Path() / "Settings.ini")) << "nothing is written before exit";
        QTest::mouseClick(Parts(FormMain).HashRow(htSHA1).SelectButton, Qt::LeftButton);
        QTest::mouseClick(Parts(FormMain).HashRow(htED2K).CheckBox, Qt::LeftButton);
        QTimer::singleShot(0, FormMain, [] { Parts(FormMain).ActionExit->trigger(); });
        EXPECT_EQ(Program.Run(), 0);
        Program.Finish();
        EXPECT_TRUE(Program.SettingsSaved());
    }
    EXPECT_EQ(FormMain, nullptr);
    EXPECT_EQ(FileQueue, nullptr);
    EXPECT_EQ(Settings, nullptr);
    const std::string Ini = ReadAll(Folder.Path() / "Settings.ini");
    EXPECT_NE(Ini.find("HashTypes=SHA1,ED2K"), std::string::npos) << Ini;

    // The next start checks exactly the stored rows.
    TSorvikProgram Again({}, ProgramIn(Folder));
    Again.Start();
    EXPECT_EQ(Parts(FormMain).CheckedHashTypes(), StringToHashTypes("SHA1,ED2K"));
    Again.Finish();
}

TEST(MainSequence, AStorageFolderThatDoesNotExistIsCreatedOnlyAtExit)
{
    TTempFolder Folder;
    const fs::path Data = Folder.Path() / "data" / "deeper";
    Folder.Write("Storage.ini", Data.string());
    TSorvikProgram Program({}, ProgramIn(Folder));
    Program.Start();
    EXPECT_FALSE(fs::exists(Data));
    Program.Finish();
    EXPECT_TRUE(fs::exists(Data / "Settings.ini"));
    EXPECT_FALSE(fs::exists(Folder.Path() / "Settings.ini"));
}

TEST(MainSequence, CommandLinePathsAreAddedOnlyAfterTheFirstShow)
{
    TTempFolder Folder;
    const std::string File = Folder.Write("abc.txt", "abc");
    TSorvikProgram Program({"--LANG=de", QString::fromStdString(File)}, ProgramIn(Folder));
    Program.Start();
    EXPECT_EQ(FileQueue->Count(), 0) << "nothing is queued while the windows are built";
    EXPECT_EQ(Parts(FormMain).ListBox_Messages->count(), 0);
    ASSERT_TRUE(QTest::qWaitFor([] {
        const TFormMainTestAccess Main(*FormMain);
        return Main.FileList().Count() == 1 && !Main.IsWorkerBusy();
    }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([] { return Parts(FormMain).HashRow(htMD5).Edit->text().size() == 32; }, 10000));
    EXPECT_EQ(MainWindowAccess(*FormMain).FileList().GetItem(0)->FileName, File);
    QStringList Lines;
    for (int I = 0; I < Parts(FormMain).ListBox_Messages->count(); ++I)
        Lines.append(Parts(FormMain).ListBox_Messages->item(I)->text());
    ASSERT_EQ(Lines.size(), 2);
    EXPECT_TRUE(Lines[0].endsWith("] File not found"));
    EXPECT_EQ(Lines[1], "--LANG=de");
    Program.Finish();
}

TEST(MainSequence, ClosingWhileHashingSavesSettingsThenStopsTheWorkerMidFile)
{
    TTempFolder Folder;
    // MD2 is slow enough that this file is still being read at the close.
    const fs::path Big = Folder.Path() / "big.bin";
    {
        std::ofstream Out(Big, std::ios::binary);
        std::string Chunk(1 << 20, 'x');
        for (int I = 0; I < 64; ++I)
            Out << Chunk;
    }
    Folder.Write("Settings.ini", "[General]\nHashTypes=MD2,SHA512\n");
    std::shared_ptr<THashFile> InHand;
    {
        TSorvikProgram Program({QString::fromStdString(Big.string())}, ProgramIn(Folder));
        Program.Start();
        ASSERT_TRUE(QTest::qWaitFor([] { return MainWindowAccess(*FormMain).FileList().Count() == 1; }, 10000));
        InHand = MainWindowAccess(*FormMain).FileList().GetItem(0);
        Parts(FormMain).HashRow(htCRC32).CheckBox->setChecked(true);
        FormMain->close();
        Program.Finish();
    }
    EXPECT_EQ(InHand->Hashes.HashTypes, 0u) << "the worker gave the file up";
    EXPECT_EQ(InHand.use_count(), 1) << "the log let the record go";
    EXPECT_NE(ReadAll(Folder.Path() / "Settings.ini").find("CRC32,MD2,SHA512"), std::string::npos);
}

namespace {

// A read that hangs, as one on a dead network mount does, until released
// (or, so that a fault shows as a failure and not as a hung test, a while).
struct THangingRead {
    std::mutex Lock;
    std::condition_variable Changed;
    std::string File;
    bool Entered = false;
    bool Released = false;
};
THangingRead Hanging;

void HangOnRead(const std::string& FileName)
{
    if (FileName != Hanging.File)
        return;
    std::unique_lock<std::mutex> Guard(Hanging.Lock);
    Hanging.Entered = true;
    Hanging.Changed.notify_all();
    Hanging.Changed.wait_for(Guard, std::chrono::seconds(30), [] { return Hanging.Released; });
}

} // namespace

TEST(MainSequence, AWorkerStuckInAReadDoesNotHoldTheEnd)
{
    TTempFolder Folder;
    const std::string Stuck = Folder.Write("stuck.bin", std::string(3 * TSorvikThread::DefaultBufferSize, 's'));
    Hanging.File = Stuck;
    const TReadHook Previous = SetReadHook(HangOnRead);
    bool Ended = false;
    bool SettingsWritten = false;
    int ExitCode = -1;
    {
        TSorvikProgram Program({QString::fromStdString(Stuck)}, ProgramIn(Folder));
        Program.EndProcess = [&](int Code) {
            Ended = true;
            ExitCode = Code;
            SettingsWritten = fs::exists(Folder.Path() / "Settings.ini");
            // The test's process goes on: let the worker end after all.
            std::lock_guard<std::mutex> Guard(Hanging.Lock);
            Hanging.Released = true;
            Hanging.Changed.notify_all();
        };
        Program.Start();
        ASSERT_TRUE(QTest::qWaitFor(
            [] {
                std::lock_guard<std::mutex> Guard(Hanging.Lock);
                return Hanging.Entered;
            },
            10000));
        FormMain->close();
        Program.Finish();
    }
    SetReadHook(Previous);
    EXPECT_TRUE(Ended) << "the end waited for the stuck read";
    EXPECT_TRUE(SettingsWritten) << "the settings are written before the process ends";
    EXPECT_EQ(ExitCode, 0);
}

namespace {

std::string HangingFolder;
TGate* HangingListing = nullptr;

void HangInListing(const std::string& Folder)
{
    if (Folder == HangingFolder)
        HangingListing->Pass();
}

} // namespace

// The same for a folder search whose listing hangs: the settings are
// written and the process ends; the search's thread is not waited for.
TEST(MainSequence, AListingThatHangsDoesNotHoldTheEnd)
{
    TTempFolder Folder;
    Folder.WriteFiles({"top/a.txt", "top/held/b.txt"});
    TGate Gate;
    HangingFolder = (Folder.Path() / "top" / "held").string();
    HangingListing = &Gate;
    const TFolderEntryHook Previous = SetFolderEntryHook(HangInListing);
    bool Ended = false;
    bool SettingsWritten = false;
    {
        TSorvikProgram Program({QString::fromStdString((Folder.Path() / "top").string())}, ProgramIn(Folder));
        Program.EndProcess = [&](int) {
            Ended = true;
            SettingsWritten = fs::exists(Folder.Path() / "Settings.ini");
            // The test's process goes on: let the search end after all.
            Gate.Open();
        };
        Program.Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Gate.Reached(); }, 10000));
        FormMain->close();
        Program.Finish();
    }
    SetFolderEntryHook(Previous);
    EXPECT_TRUE(Ended) << "the end waited for the hanging listing";
    EXPECT_TRUE(SettingsWritten) << "the settings are written before the process ends";
}

#ifdef Q_OS_LINUX
// Special files where the program's files belong count as unreadable: the
// start neither waits for a FIFO's writer nor reads /dev/zero without end,
// and the file is left as it is.
TEST(MainSequence, SpecialFilesInTheProgramFolderCountAsUnreadable)
{
    const struct {
        const char* Name;
        bool Fifo;   // else a link to /dev/zero
    } Cases[] = {
        {"Settings.ini", true},
        {"Settings.ini", false},
        {"Storage.ini", true},
        {"Storage.ini", false},
        {"Languages/sorvik.de.po", true},
        {"Languages/sorvik.fr.po", false},
        {"Languages/Flags/xx.png", true},
        {"Languages/Flags/xx.png", false},
    };
    // A mistake shows as a failure, not as a machine out of memory or a wait for ever.
    rlimit OldMemory{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &OldMemory), 0);
    rlimit Memory = OldMemory;
    Memory.rlim_cur = std::min<rlim_t>(OldMemory.rlim_cur, rlim_t(8) << 30);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &Memory), 0);
    for (const auto& C : Cases) {
        TTempFolder Folder;
        fs::create_directories(Folder.Path() / "Languages" / "Flags");
        Folder.Write("Languages/sorvik.xx.po",
                     "msgid \"\"\nmsgstr \"\"\n\"Language: xx\\n\"\n\"X-Country: XX\\n\"\n\"X-Language-Name: Test\\n\"\n");
        const fs::path Special = Folder.Path() / C.Name;
        if (C.Fifo)
            ASSERT_EQ(::mkfifo(Special.c_str(), 0644), 0);
        else
            fs::create_symlink("/dev/zero", Special);
        // A writer that never writes, so that reading the FIFO would block.
        const int Writer = C.Fifo ? ::open(Special.c_str(), O_RDWR | O_NONBLOCK) : -1;
        ::alarm(60);
        {
            TSorvikProgram Program({"--LANG=de"}, ProgramIn(Folder));
            Program.Start();
            ASSERT_NE(FormMain, nullptr) << C.Name;
            EXPECT_TRUE(FormMain->isVisible()) << C.Name;
            EXPECT_EQ(Settings->HashTypes, AllHashTypes()) << C.Name;
            EXPECT_EQ(Languages.Items.size(), 1u) << C.Name << ": only the regular language file is listed";
            Program.Finish();
        }
        ::alarm(0);
        if (Writer >= 0)
            ::close(Writer);
        EXPECT_EQ(fs::is_fifo(Special), C.Fifo) << C.Name;
        EXPECT_EQ(fs::is_symlink(Special), !C.Fifo) << C.Name;
    }
    setrlimit(RLIMIT_AS, &OldMemory);
}
#endif
