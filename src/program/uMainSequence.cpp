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
#include "platform/qt/uFileNames.h"
#include "platform/qt/uPlatformPaths.h"
#include "platform/qt/uQuitRequests.h"
#include "platform/uResourceStrings.h"

#include <QApplication>

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
    for (int I = 1; I < Argc; ++I) {
#ifdef Q_OS_WIN
        List.append(QString::fromLocal8Bit(Argv[I]));
#else
        // Paths keep their bytes even when they are not valid UTF-8.
        List.append(FileNameToQString(Argv[I]));
#endif
    }
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
    Languages.Apply(QString::fromStdString(GetAppFolder()) + QStringLiteral("Languages"),
                    QString::fromStdString(Settings->LanguageCode), QString::fromStdString(Settings->BiDiCode),
                    TLanguageSources::FromProcess(FArguments));
    // 6. The application's title.
    QCoreApplication::setOrganizationName(QString::fromLatin1(VendorName));
    QCoreApplication::setApplicationName(QString::fromLatin1(AppName));
    QGuiApplication::setWindowIcon(ProgramIcon());
    // Closing the main window ends the program, even with others open.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // 7. The windows, hidden, the main window first.
    FormMain = new TFormMain();
    FormMain->CommandLineArguments = FArguments;
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
    FSettingsSaved = Settings->TrySaveToFile(GetSettingsFilePath());
    FQuitRequests.reset();
    // A worker stuck in a read (a hung network mount) would hold the end for
    // ever. Once the settings are written nothing it holds is kept (the log
    // is not stored), so the process ends without waiting for it.
    if (TSorvikThread* Worker = FormMain ? FormMain->Worker() : nullptr) {
        Worker->DetachWindow();
        Worker->Terminate();
        if (!Worker->WaitFor(WorkerExitWait))
            EndProcess(FExitCode);
    }

    // The main window first: it stops and joins the worker before its log goes.
    delete FormMain;
    FormMain = nullptr;
    FWindows.reset();

    // Only now that the worker has ended.
    FileQueue.reset();
    Languages.OnLanguageSelected = nullptr;
    Languages.OnHowToTranslate = nullptr;
    Languages.Items.clear();
    ReleaseTranslation();
    ForEachResourceString([](TResourceString& S) { S.Restore(); });
    delete Settings;
    Settings = nullptr;
    ReleaseStoragePaths();
    if (!FAppFilePath.empty())
        SetPlatformAppFilePath({});
}
