#include "program/uMainSequence.h"

#include "app/uLanguages.h"
#include "app/uSettings.h"
#include "app/uSorvikPaths.h"
#include "app/uTranslationKit.h"
#include "engine/uThreads.h"
#include "forms/fMain.h"
#include "forms/uForms.h"
#include "forms/uMainIcons.h"
#include "program/uProgramWindows.h"
#include "platform/qt/uClipboardText.h"
#include "platform/qt/uFileNames.h"
#include "platform/qt/uFolderSearcher.h"
#include "platform/qt/uPlatformPaths.h"
#include "platform/qt/uQuitRequests.h"
#include "platform/uResourceStrings.h"

#include <QApplication>

#include <algorithm>
#include <cstdlib>

namespace {
const char* const VendorName = "lumvo";
const char* const AppName = "Sorvik";
} // namespace

TSorvikProgram::TSorvikProgram(QStringList Arguments, std::string AppFilePath)
    : EndProcess([](int ExitCode) { std::_Exit(ExitCode); }), FArguments(std::move(Arguments)),
      FAppFilePath(std::move(AppFilePath))
{
}

TSorvikProgram::~TSorvikProgram() { Finish(); }

QStringList TSorvikProgram::ArgumentsFromArgv(int Argc, char** Argv)
{
    QStringList List;
    for (int I = 1; I < Argc; ++I)
        List.append(CommandLineArgument(Argv[I]));
    return List;
}

void TSorvikProgram::Start()
{
    if (FStarted)
        return;
    FStarted = true;
    if (!FAppFilePath.empty())
        SetPlatformAppFilePath(FAppFilePath);

    // 1. The process-wide objects, after the toolkit's.
    Settings = new TSettings();
    Languages.Items.clear();
    FileQueue = std::make_unique<TFileQueue>();
    // 2. The data folder.
    InitStorageFolder("Storage.ini", VendorName, AppName);
    // 3, 4. Defaults, then the file when there is one.
    Settings->Reset();
    Settings->LoadIfExists(GetSettingsFilePath());
    // 5. The language, before any window exists.
    Languages.Apply(FileNameToQString(GetLanguagesFolder()),
                    QString::fromStdString(Settings->LanguageCode), QString::fromStdString(Settings->BiDiCode),
                    TLanguageSources::FromProcess(FArguments));
    // 6. The application's title.
    QCoreApplication::setOrganizationName(QString::fromLatin1(VendorName));
    QCoreApplication::setApplicationName(QString::fromLatin1(AppName));
    QGuiApplication::setWindowIcon(ProgramIcon());
    // Closing the main window ends the program, even with others open.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // Names copied from any window reach other programs as they are shown.
    FClipboardGuard = std::make_unique<TClipboardGuard>();
    // 7. The windows, hidden, the main window first.
    FormMain = new TFormMain();
    FormMain->SetCommandLineArguments(FArguments);
    FWindows = std::make_unique<TProgramWindows>(*FormMain);
    // Logout, "kill" and Ctrl+C close the main window as the user would.
    FQuitRequests = std::make_unique<TQuitRequests>();
    QObject::connect(FQuitRequests.get(), &TQuitRequests::QuitRequested, [] {
        if (FormMain)
            FormMain->close();
    });
    // 8. The main window is shown; it adds the command-line paths once shown.
    FormMain->show();
}

int TSorvikProgram::Run()
{
    FExitCode = QApplication::exec();
    return FExitCode;
}

void TSorvikProgram::Finish()
{
    if (!FStarted)
        return;
    FStarted = false;
    // The close handler stored the checked types; a sequence ended without
    // closing the window stores them here.
    if (FormMain && FormMain->isVisible())
        FormMain->close();
    // Stopped while the settings are written: it ends at its next entry.
    TFolderSearcher* const Searcher = FormMain ? FormMain->Searcher() : nullptr;
    if (Searcher)
        Searcher->Stop();
    FSettingsSaved = Settings->TrySaveToFile(GetSettingsFilePath());
    FQuitRequests.reset();
    // A worker stuck in a read or a search stuck in a listing (a hung network
    // mount) would hold the end for ever. Once the settings are written
    // nothing they hold is kept (the log is not stored), so the process ends
    // without waiting for them.
    TSorvikThread* const Worker = FormMain ? FormMain->Worker() : nullptr;
    if (Worker) {
        Worker->DetachWindow();
        Worker->Terminate();
    }
    const auto Deadline = std::chrono::steady_clock::now() + ExitWait;
    bool Ended = !Searcher || Searcher->WaitUntil(Deadline);
    if (Worker) {
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now());
        Ended = Worker->WaitFor(std::max(Left, std::chrono::milliseconds(0))) && Ended;
    }
    if (!Ended)
        EndProcess(FExitCode);

    // The main window first: it stops and joins the worker before its log goes.
    delete FormMain;
    FormMain = nullptr;
    FWindows.reset();
    FClipboardGuard.reset();

    // Only now that the worker has ended.
    FileQueue.reset();
    Languages.Items.clear();
    ReleaseTranslation();
    ForEachResourceString([](TResourceString& S) { S.Restore(); });
    delete Settings;
    Settings = nullptr;
    ReleaseStoragePaths();
    if (!FAppFilePath.empty())
        SetPlatformAppFilePath({});
}
