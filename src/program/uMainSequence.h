// The program's main sequence: the one order in which the process-wide
// objects, the data folder, the settings, the language and the windows come
// into being, the message loop, and the mirror order of shutdown. main()
// and the tests run the same steps.
#pragma once

#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class TClipboardGuard;
class TProgramWindows;
class TQuitRequests;

class TSorvikProgram {
public:
    // Arguments: the command line after the program's own path.
    // AppFilePath: where the program's file is taken to be (its folder holds
    // "Storage.ini", "Languages" and by default "Settings.ini"); empty for
    // the real one.
    explicit TSorvikProgram(QStringList Arguments, std::string AppFilePath = {});
    ~TSorvikProgram();
    TSorvikProgram(const TSorvikProgram&) = delete;
    TSorvikProgram& operator=(const TSorvikProgram&) = delete;

    // The arguments after the program's path, copied before the toolkit
    // sees them (it would take "-style", "-reverse", ... for itself).
    static QStringList ArgumentsFromArgv(int Argc, char** Argv);

    // Every step up to the shown main window; the application object must exist.
    void Start();
    // The message loop, until the main window is closed.
    int Run();
    // Settings written, windows destroyed (the worker first stopped),
    // process-wide objects released. Runs once; the destructor calls it.
    void Finish();

    // How the process ends when the worker or the folder search is still
    // stuck in a system call once the settings are written (the default ends
    // it at once, with the loop's result); tests put their own here.
    std::function<void(int ExitCode)> EndProcess;
    // How long the end waits for the worker and the folder search, together,
    // after asking them to stop.
    static constexpr std::chrono::milliseconds ExitWait{500};

    bool Started() const { return FStarted; }
    // The result of the one write of the settings file.
    bool SettingsSaved() const { return FSettingsSaved; }

private:
    QStringList FArguments;
    std::unique_ptr<TProgramWindows> FWindows;
    std::unique_ptr<TQuitRequests> FQuitRequests;
    std::unique_ptr<TClipboardGuard> FClipboardGuard;
    std::string FAppFilePath;
    bool FStarted = false;
    bool FSettingsSaved = false;
    int FExitCode = 0;
};
