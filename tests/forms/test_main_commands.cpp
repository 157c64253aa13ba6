// The real worker on temporary files, and the commands of the main window:
// copy, export, save, clear, skip and cancel, the documents, the language
// notice.
#include "main_window_support.h"

#include "app/uLanguages.h"
#include "app/uSorvikPaths.h"
#include "forms/fSaveLog.h"
#include "forms/uForms.h"
#include "platform/qt/uPlatformPaths.h"
#include "support/recorded_opener.h"

#include <QClipboard>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace maintest;
namespace fs = std::filesystem;

namespace {

// Runs a shell command in Folder; its exit status.
int RunIn(const fs::path& Folder, const std::string& Command)
{
    const std::string Line = "cd '" + Folder.string() + "' && " + Command + " >/dev/null 2>&1";
    return std::system(Line.c_str());
}

// The save-log dialog with the given choices, confirmed as the user would.
bool SaveLogWith(TMainWindowFixture& M, TVerifyFormat Format, THashType Type, const std::string& Target)
{
    Settings->SaveLogVerifyFormat = Format;
    Settings->SaveLogHashType = Type;
    Settings->SaveLogFileName = Target;
    Settings->SaveLogUseFullPath = false;
    // A dialog of its own, which reads the choices above at its creation.
    TFormSaveLog* const Wired = FormSaveLog;
    FormSaveLog = new TFormSaveLog();
    M.Form->SetAnsweringWindows(FormSaveLog, FormCompareFiles);
    bool Confirmed = false;
    QTimer::singleShot(0, FormSaveLog, [&] {
        if (QApplication::activeModalWidget() != FormSaveLog)
            return FormSaveLog->reject();
        Confirmed = true;
        FormSaveLog->findChild<QPushButton*>("BitBtn_Save")->click();
    });
    M.Ui.ActionSaveLog->trigger();
    delete FormSaveLog;
    FormSaveLog = Wired;
    M.Form->SetAnsweringWindows(FormSaveLog, FormCompareFiles);
    return Confirmed;
}

} // namespace

TEST(MainWindowWorker, KnownDigestsInTheCaseTheSettingsAsk)
{
    TTempFolder T;
    const std::string Abc = T.Write("abc.txt", "abc");
    const std::string Nine = T.Write("nine.txt", "123456789");
    for (bool Upper : {false, true}) {
        SCOPED_TRACE(Upper ? "upper case" : "lower case");
        TMainWindowFixture M(AllHashTypes(), Upper);
        auto Cased = [Upper](const char* S) { return Upper ? QString(S).toUpper() : QString(S); };
        M.Access().AddPaths({Q(Abc)});
        ASSERT_TRUE(M.WaitIdle());
        EXPECT_EQ(M.Digest(htMD5), Cased("900150983cd24fb0d6963f7d28e17f72"));
        EXPECT_EQ(M.Digest(htSHA1), Cased("a9993e364706816aba3e25717850c26c9cd0d89d"));
        EXPECT_EQ(M.Ui.EditFileSize->text(), "3 B");
        EXPECT_EQ(M.Ui.StatusText(), "Finished");
        M.Access().AddPaths({Q(Nine)});
        ASSERT_TRUE(M.WaitIdle());
        EXPECT_EQ(M.Digest(htCRC32), Cased("cbf43926"));
        EXPECT_EQ(M.Access().FileList().Count(), 2);
    }
}

TEST(MainWindowWorker, WithEveryRowUncheckedAFileStillEntersTheLog)
{
    TTempFolder T;
    TMainWindowFixture M(0);
    M.Access().AddPaths({Q(T.Write("a", "abc"))});
    ASSERT_TRUE(M.WaitIdle());
    EXPECT_EQ(M.Access().FileList().Count(), 1);
    for (int H = htFirst; H <= htLast; ++H)
        EXPECT_EQ(M.Digest(static_cast<THashType>(H)), "");
}

TEST(MainWindowWorker, AFileThatCannotBeOpenedShowsTheError)
{
    TTempFolder T;
    const fs::path Pipe = T.Path() / "pipe";
    ASSERT_EQ(::mkfifo(Pipe.c_str(), 0600), 0);
    TMainWindowFixture M;
    M.Access().AddPaths({Q(Pipe.string())});
    ASSERT_TRUE(M.WaitIdle());
    const QStringList Texts = M.MessageTexts();
    ASSERT_EQ(Texts.size(), 2);
    EXPECT_EQ(Texts[0], "An error has occurred.");
    EXPECT_TRUE(Texts[1].startsWith("[EFOpenError] ")) << Texts[1].toStdString();
    EXPECT_EQ(M.Ui.StatusText(), "Finished") << "the idle event follows the error";
    ASSERT_EQ(M.Access().FileList().Count(), 1);
    EXPECT_EQ(M.Access().FileList().GetItem(0)->Hashes.HashTypes, 0u);
    EXPECT_EQ(Q(M.Access().FileList().GetItem(0)->ErrorText), Texts[1]);
}

TEST(MainWindowCommands, CopyADigest)
{
    TMainWindowFixture M;
    QGuiApplication::clipboard()->setText("before");
    M.Ui.HashRow(htMD2).CopyButton->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before") << "an empty row copies nothing";
    EXPECT_EQ(M.Ui.StatusText(), "MD2 copied");
    M.Ui.HashRow(htRIPEMD160).Edit->setText("ABCDEF");
    M.Ui.HashRow(htRIPEMD160).CopyButton->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "ABCDEF");
    EXPECT_EQ(M.Ui.StatusText(), "RipeMD160 copied");
    EXPECT_EQ(M.Ui.HashRow(htRIPEMD160).Edit->selectedText(), "ABCDEF");
}

TEST(MainWindowCommands, ExportBeforeAndAfterAFile)
{
    TTempFolder T;
    const std::string A = T.Write("a.txt", std::string(1234, 'a'));
    TMainWindowFixture M(StringToHashTypes("CRC32,MD5,SHA1"));
    M.Ui.ActionExportToClipboard->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "\r\nFile size:  (0 bytes)\r\nAttributes: \r\nCreated: \r\nModified: \r\n");

    M.Access().AddPaths({Q(A)});
    ASSERT_TRUE(M.WaitIdle());
    M.Ui.HashRow(htCRC32).Edit->clear(); // checked but empty: left out
    M.Ui.ActionExportToClipboard->trigger();
    const QStringList Lines = QGuiApplication::clipboard()->text().split("\r\n");
    ASSERT_EQ(Lines.size(), 8);
    EXPECT_EQ(Lines[0], Q(A));
    EXPECT_EQ(Lines[1], "File size: " + M.Ui.EditFileSize->text() + " (1,234 bytes)");
    EXPECT_EQ(Lines[2], "Attributes: " + M.Ui.EditAttributes->text());
    EXPECT_TRUE(Lines[4].startsWith("Modified: 20"));
    EXPECT_EQ(Lines[5], "MD5: " + M.Digest(htMD5));
    EXPECT_EQ(Lines[6], "SHA1: " + M.Digest(htSHA1));
    EXPECT_EQ(Lines[7], "");
}

TEST(MainWindowCommands, SaveLogWritesFilesTheCheckersAccept)
{
    TTempFolder T;
    const std::string A = T.Write("a.txt", "abc"), B = T.Write("b b.txt", "123456789");
    TMainWindowFixture M;
    M.Access().AddPaths({Q(A), Q(B)});
    ASSERT_TRUE(M.WaitIdle());
    struct TCase {
        TVerifyFormat Format;
        THashType Type;
        const char* Name;
        const char* Check;
    };
    for (const TCase& C : {TCase{vfSUM, htMD5, "log.md5", "md5sum -c log.md5"},
                           TCase{vfSUM, htSHA256, "log.sha256", "sha256sum -c log.sha256"},
                           TCase{vfSFV, htCRC32, "log.sfv", "cksfv -q -f log.sfv"},
                           TCase{vfSFV, htNone, "auto.sfv", "cksfv -q -f auto.sfv"},
                           // a target whose name is not UTF-8 is made under that name
                           TCase{vfSUM, htMD5, "caf\xE9.md5", "md5sum -c caf\xE9.md5"}}) {
        SCOPED_TRACE(C.Name);
        ASSERT_TRUE(SaveLogWith(M, C.Format, C.Type, (T.Path() / C.Name).string()));
        EXPECT_EQ(M.Ui.StatusText(), "Log file saved");
        EXPECT_EQ(RunIn(T.Path(), C.Check), 0) << ReadAll(T.Path() / C.Name);
    }
    EXPECT_TRUE(M.Errors.empty());

    M.Access().SetStatusText("unchanged");
    ASSERT_TRUE(SaveLogWith(M, vfSUM, htMD5, (T.Path() / "no-such-folder" / "x.md5").string()));
    ASSERT_EQ(M.Errors.size(), 1u);
    EXPECT_TRUE(M.Errors[0].startsWith("Failed to save the log:\r\n")) << M.Errors[0].toStdString();
    EXPECT_EQ(M.Ui.StatusText(), "unchanged");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone after a failure";
}

TEST(MainWindowCommands, SaveLogWhileBusyWritesTheFileInHandWithoutADigest)
{
    TMainWindowFixture M;
    auto Done = std::make_shared<THashFile>("done.bin");
    auto InHand = std::make_shared<THashFile>("inhand.bin");
    M.Post(weBusy);
    M.Post(weFileStarted, 0, M.FilePayload(Done));
    auto Finished = M.FilePayload(Done);
    Finished->Hashes.Put(htMD5, "00112233445566778899aabbccddeeff");
    M.Post(weFileFinished, 0, Finished);
    M.Post(weFileStarted, 0, M.FilePayload(InHand));
    // The worker has the in-hand digests, but the window has not been told.
    InHand->Hashes.Put(htMD5, "half-done");
    InHand->Hashes.HashTypes = 0;
    TTempFolder T;
    ASSERT_TRUE(SaveLogWith(M, vfSUM, htMD5, (T.Path() / "busy.md5").string()));
    const std::string Text = ReadAll(T.Path() / "busy.md5");
    EXPECT_NE(Text.find("00112233445566778899aabbccddeeff  done.bin\r\n"), std::string::npos) << Text;
    EXPECT_NE(Text.find("inhand.bin\r\n"), std::string::npos) << "listed, without a digest: " << Text;
    EXPECT_EQ(Text.find("half-done"), std::string::npos);
}

TEST(MainWindowCommands, CancelEmptiesTheQueueAndCancelsTheFileInHand)
{
    TTempFolder T;
    // MD2 keeps the worker on the big file long enough to cancel it.
    const fs::path Big = T.Path() / "big.bin";
    {
        std::ofstream Out(Big, std::ios::binary);
        const std::string Chunk(1 << 20, 'x');
        for (int I = 0; I < 48; ++I)
            Out << Chunk;
    }
    TMainWindowFixture M(StringToHashTypes("MD2"));
    M.Access().AddPaths({Q(Big.string()), Q(T.Write("1", "1")), Q(T.Write("2", "2")), Q(T.Write("3", "3"))});
    ASSERT_TRUE(QTest::qWaitFor([&] { return M.Access().FileList().Count() == 1 && M.Access().IsWorkerBusy(); }, 10000));
    M.Access().UpdateActions();
    ASSERT_TRUE(M.Ui.ActionCancel->isEnabled());
    M.Ui.ActionCancel->trigger();
    ASSERT_TRUE(M.WaitIdle());
    ASSERT_TRUE(QTest::qWaitFor([&] { return M.Ui.StatusText() == "Cancelled"; }, 5000));
    EXPECT_EQ(M.MessageTexts(), QStringList({"File cancelled", Q(Big.string())}));
    EXPECT_EQ(M.Access().FileList().Count(), 1) << "the queued files are neither hashed nor logged";
    EXPECT_EQ(M.Ui.StatusBar->PanelText(2), "1");
    EXPECT_EQ(M.Ui.ProgressBar->value(), 0);
    EXPECT_EQ(M.Access().StatusImage(0), 0);
}

TEST(MainWindowCommands, DocumentsAndWebPages)
{
    TTempFolder T;
    SetPlatformAppFilePath((T.Path() / "sorvik").string());
    TRecordedOpener Opener;
    {
        TMainWindowFixture M;
        M.Ui.ActionHistory->trigger();
        ASSERT_EQ(M.Warnings.size(), 1u) << "no History.txt beside the program";
        EXPECT_EQ(M.Warnings[0], "Could not open the following path:\n\n" + Q((T.Path() / "History.txt").string()));
        EXPECT_TRUE(Opener.Opened.empty());
        T.Write("History.txt", "1.0");
        T.Write("Copyrights.txt", "Qt");
        M.Ui.ActionHistory->trigger();
        M.Ui.ActionCopyrights->trigger();
        M.Ui.ActionForum->trigger();
        M.Ui.MI_Language->actions().last()->trigger(); // "How to translate?"
        EXPECT_EQ(M.Warnings.size(), 1u);
        ASSERT_EQ(Opener.Opened.size(), 4u);
        EXPECT_EQ(Opener.Opened[0], QUrl::fromLocalFile(Q((T.Path() / "History.txt").string())));
        EXPECT_EQ(Opener.Opened[1], QUrl::fromLocalFile(Q((T.Path() / "Copyrights.txt").string())));
        EXPECT_EQ(Opener.Opened[2].toString().toStdString(), ForumWebAddress);
        EXPECT_EQ(Opener.Opened[3].toString().toStdString(), TranslationGuideWebAddress);
    }
    SetPlatformAppFilePath({});
}

TEST(MainWindowCommands, LanguageNotice)
{
    TTempFolder T;
    T.Write("sorvik.xx.po",
            "msgid \"\"\nmsgstr \"\"\n\"Language: xx\\n\"\n\"X-Language-Name: Testish\\n\"\n"
            "\"X-Language-Name-Native: Testisch\\n\"\n\"X-Translators: Ann, Bo\\n\"\n");
    TMainWindowFixture M;
    Languages.Scan(Q(T.Path().string()), Q((T.Path() / "Flags").string()));
    Settings->LanguageCode = "";
    emit Languages.LanguageSelected("AUTOMATIC");
    EXPECT_EQ(Settings->LanguageCode, "AUTOMATIC");
    ASSERT_EQ(M.Infos.size(), 1u);
    EXPECT_EQ(M.Infos[0], "You have selected a different language.\r\n\r\nPlease restart the application.");
    emit Languages.LanguageSelected("AUTOMATIC");
    EXPECT_EQ(M.Infos.size(), 1u) << "the stored language again shows nothing";
    emit Languages.LanguageSelected("xx");
    ASSERT_EQ(M.Infos.size(), 2u);
    EXPECT_EQ(M.Infos[1], "You have selected a different language.\r\n\r\nPlease restart the application.\r\n\r\n"
                          "Language: Testish - Testisch\r\nTranslators: Ann, Bo");
    emit Languages.LanguageSelected("XX");
    EXPECT_EQ(M.Infos.size(), 3u) << "codes are compared with their case";
    EXPECT_EQ(Settings->LanguageCode, "XX");
    Languages.Items.clear();
}
