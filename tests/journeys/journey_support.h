// What every journey shares: a program folder of its own (the program's file,
// "Languages" beside it, by default "Settings.ini" in it), runs of the real
// main sequence in it, and replacements for what would block or leave the
// process: message boxes, the save-file chooser, the desktop opener.
#pragma once

#include "app/uSettings.h"
#include "app/ufunctions.h"
#include "forms/fMain.h"
#include "forms/fSaveLog.h"
#include "forms/uFormBase.h"
#include "forms/uForms.h"
#include "program/uMainSequence.h"
#include "platform/qt/uPlatformShell.h"
#include "support/main_parts.h"
#include "support/main_window_access.h"
#include "support/recorded_interaction.h"

#include "engine/TempFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace journey {

namespace fs = std::filesystem;

inline QString Q(const std::string& S) { return QString::fromStdString(S); }
inline QString Q(const fs::path& P) { return QString::fromStdString(P.string()); }

inline std::string ReadAll(const fs::path& P)
{
    std::ifstream In(P, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

// Whether the process has a handler of its own for Signal (its SigCgt mask
// in Linux's /proc): a started program has come that far.
inline bool Catches(qint64 Pid, int Signal)
{
    std::ifstream Status("/proc/" + std::to_string(Pid) + "/status");
    for (std::string Line; std::getline(Status, Line);)
        if (Line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(Line.substr(7), nullptr, 16) >> (Signal - 1)) & 1u;
    return false;
}

// Runs a reference tool; its exit code and what it printed.
struct TToolResult {
    int ExitCode = -1;
    QString Output;
};
inline TToolResult RunTool(const QString& Program, const QStringList& Arguments, const fs::path& WorkDir)
{
    QProcess P;
    P.setWorkingDirectory(Q(WorkDir));
    P.setProcessChannelMode(QProcess::MergedChannels);
    P.start(Program, Arguments);
    TToolResult R;
    if (!P.waitForFinished(60000))
        return R;
    R.ExitCode = P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -1;
    R.Output = QString::fromLocal8Bit(P.readAll());
    return R;
}

// Drives the next modal dialog from inside its own loop, once it is shown.
// A dialog the driver leaves open is rejected so that no journey hangs.
inline void WhenModal(std::function<void(QWidget*)> Drive)
{
    QTimer::singleShot(0, qApp, [Drive = std::move(Drive)] {
        QWidget* Modal = nullptr;
        (void)QTest::qWaitFor([&] { return (Modal = QApplication::activeModalWidget()) != nullptr; }, 5000);
        if (!Modal) {
            ADD_FAILURE() << "no modal dialog was shown";
            return;
        }
        QPointer<QWidget> Guard(Modal);
        // Clicks land where the user sees the controls only once the dialog
        // is mapped and laid out.
        if (!QTest::qWaitForWindowExposed(Modal))
            ADD_FAILURE() << "the dialog never came on the screen";
        Drive(Modal);
        if (Guard && Guard->isVisible()) {
            ADD_FAILURE() << "the dialog was left open";
            if (auto* D = qobject_cast<QDialog*>(Guard.data()))
                D->reject();
        }
    });
}

// Holds a modifier key down on the X server, as a user's finger does; the
// program reads the server's key state, not the events.
class THeldKey {
public:
    explicit THeldKey(Qt::KeyboardModifier Key);
    ~THeldKey();
    THeldKey(const THeldKey&) = delete;
    THeldKey& operator=(const THeldKey&) = delete;

private:
    void* FDisplay = nullptr;
    unsigned FCode = 0;
    TModifiersSource FPrevious;
};

// One program folder and the runs of the program in it, one at a time.
class TJourney : public ::testing::Test {
protected:
    TJourney()
    {
        std::error_code Ignored;
        fs::create_directory_symlink(SORVIK_APP_DIR "/Languages", Folder.Path() / "Languages", Ignored);
        FPreviousOpener = SetUrlOpener([this](const QUrl& U) {
            Opened.push_back(U.toString());
            return true;
        });
        User.Choose = [](QFileDialog& Dialog) {
            ADD_FAILURE() << "the chooser " << Dialog.objectName().toStdString() << " was not expected";
            return QStringList();
        };
    }
    ~TJourney() override
    {
        if (Program)
            Program->Finish();
        Program.reset();
        SetUrlOpener(FPreviousOpener);
    }

    fs::path ProgramFile() const { return Folder.Path() / "sorvik"; }
    fs::path SettingsFile() const { return Folder.Path() / "Settings.ini"; }

    // Starts the program as main() does, with these command-line arguments,
    // and waits until its main window is on the screen.
    void Start(const QStringList& Arguments = {})
    {
        ASSERT_FALSE(Program) << "one run at a time";
        Program = std::make_unique<TSorvikProgram>(Arguments, ProgramFile().string());
        Program->Start();
        ASSERT_NE(FormMain, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FormMain));
    }

    // The user closes the main window with its title-bar button; the message
    // loop ends and the program finishes. Returns the loop's result.
    int Close()
    {
        return CloseWith([] {
            if (FormMain && FormMain->windowHandle())
                FormMain->windowHandle()->close();
        });
    }

    // The same, the close asked for by Request once the loop runs.
    int CloseWith(const std::function<void()>& Request)
    {
        QTimer::singleShot(0, qApp, Request);
        const int Result = Program->Run();
        Program->Finish();
        SettingsSaved = Program->SettingsSaved();
        Program.reset();
        return Result;
    }

    // Every queued file taken up and the worker reporting idle.
    bool WaitIdle(int Count, int Timeout = 20000)
    {
        return QTest::qWaitFor(
            [Count] {
                const TFormMainTestAccess Main(*FormMain);
                Main.UpdateActions();
                return Main.FileList().Count() == Count && FileQueue->Count() == 0 && !Main.IsWorkerBusy()
                       && Parts(FormMain).ActionClearLog->isEnabled();
            },
            Timeout);
    }

    // The message list without the "[HH:MM:SS] " stamps.
    static QStringList MessageTexts()
    {
        QStringList L;
        for (int I = 0; I < Parts(FormMain).ListBox_Messages->count(); ++I) {
            QString S = Parts(FormMain).ListBox_Messages->item(I)->text();
            if (S.size() > 11 && S.startsWith(QLatin1Char('[')) && S.at(9) == QLatin1Char(']'))
                S = S.mid(11);
            L.append(S);
        }
        return L;
    }

    // Nothing was said to the user in a box, and no program was opened.
    void ExpectNothingSaid() const
    {
        EXPECT_TRUE(Errors.empty()) << Errors.front().toStdString();
        EXPECT_TRUE(Warnings.empty()) << Warnings.front().toStdString();
        EXPECT_TRUE(Infos.empty()) << Infos.front().toStdString();
        EXPECT_TRUE(Opened.empty());
    }

    TTempFolder Folder;
    // Every box and chooser of the run.
    TRecordedInteraction User;
    std::unique_ptr<TSorvikProgram> Program;
    bool SettingsSaved = false;
    std::vector<QString>& Errors = User.Errors;
    std::vector<QString>& Warnings = User.Warnings;
    std::vector<QString>& Infos = User.Infos;
    std::vector<QString> Opened;

private:
    TUrlOpener FPreviousOpener;
};

} // namespace journey
