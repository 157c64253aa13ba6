// The main sequence run in process, as main() runs it, with a program folder
// of the test's own.
#include "main_window_support.h"

#include "app/uSettings.h"
#include "app/uSorvikPaths.h"
#include "forms/fLogViewer.h"
#include "forms/uForms.h"
#include "forms/uMainSequence.h"

#include <QTimer>

#include <filesystem>
#include <fstream>

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
        EXPECT_EQ(FormMain->GetCheckedHashTypes(), Settings->HashTypes);
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
    EXPECT_EQ(FormMain->GetCheckedHashTypes(), StringToHashTypes("SHA1,ED2K"));
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
    ASSERT_TRUE(QTest::qWaitFor([] { return FormMain->FileList().Count() == 1 && !FormMain->IsWorkerBusy(); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([] { return Parts(FormMain).HashRow(htMD5).Edit->text().size() == 32; }, 10000));
    EXPECT_EQ(FormMain->FileList().GetItem(0)->FileName, File);
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
        ASSERT_TRUE(QTest::qWaitFor([] { return FormMain->FileList().Count() == 1; }, 10000));
        InHand = FormMain->FileList().GetItem(0);
        Parts(FormMain).HashRow(htCRC32).CheckBox->setChecked(true);
        FormMain->close();
        Program.Finish();
    }
    EXPECT_EQ(InHand->Hashes.HashTypes, 0u) << "the worker gave the file up";
    EXPECT_EQ(InHand.use_count(), 1) << "the log let the record go";
    EXPECT_NE(ReadAll(Folder.Path() / "Settings.ini").find("CRC32,MD2,SHA512"), std::string::npos);
}
