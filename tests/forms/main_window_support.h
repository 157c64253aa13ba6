// What the main-window tests share: the program-wide objects the window
// needs, every box and chooser replaced so that nothing blocks, a key state
// of the test's choosing, and worker messages posted where the worker posts.
#pragma once

#include "app/ufunctions.h"
#include "engine/uThreads.h"
#include "forms/fMain.h"
#include "platform/qt/uFolderSearcher.h"
#include "forms/uFormBase.h"
#include "platform/qt/uQtMessageWindow.h"
#include "forms/uStatusPanels.h"
#include "platform/qt/uPlatformShell.h"
#include "settings_scope.h"
#include "program/uProgramWindows.h"
#include "support/main_parts.h"
#include "support/main_window_access.h"
#include "support/recorded_interaction.h"

#include "engine/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <QApplication>
#include <QCoreApplication>
#include <QCheckBox>
#include <QLabel>
#include <QToolButton>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace maintest {

inline QString Q(const std::string& S) { return QString::fromStdString(S); }

inline std::string ReadAll(const std::filesystem::path& P)
{
    std::ifstream In(P, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

// A worker message as the worker's window handle delivers it.
inline TWindowMessage WorkerMessage(TWorkerEvent Event, std::intptr_t Number = 0,
                                    std::shared_ptr<TWorkerPayload> Payload = nullptr)
{
    TWindowMessage M;
    M.Msg = WM_WORKER_NOTIFY;
    M.WParam = Event;
    M.LParam = Number;
    M.Object = std::move(Payload);
    return M;
}

// The window with its own settings, queue and injected boxes.
class TMainWindowFixture {
public:
    explicit TMainWindowFixture(THashTypes Types = AllHashTypes(), bool UpperCase = false)
    {
        Set->HashTypes = Types;
        Set->UpperCaseHash = UpperCase;
        FPreviousQueue = std::move(FileQueue);
        FileQueue = std::make_unique<TFileQueue>();
        User.Choose = [this](QFileDialog& Dialog) {
            if (Dialog.objectName() == QLatin1String("SelectDirectoryDialog")) {
                ++FolderDialogs;
                return FoldersToChoose;
            }
            ++FileDialogs;
            return FilesToChoose;
        };
        FPreviousKeys = SetKeyboardModifiersSource([this] { return Keys; });
        Form = std::make_unique<TFormMain>();
        Windows = std::make_unique<TProgramWindows>(*Form);
        Ui = TMainParts(*Form);
        // The worker's first message, that it has started, is taken before
        // a test posts its own.
        EXPECT_TRUE(QTest::qWaitFor([this] { return Access().WorkerMessagesHandled() > 0; }, 10000));
        Settle();
    }
    ~TMainWindowFixture()
    {
        Form.reset();
        Windows.reset();
        FileQueue = std::move(FPreviousQueue);
        SetKeyboardModifiersSource(FPreviousKeys);
    }
    TMainWindowFixture(const TMainWindowFixture&) = delete;
    TMainWindowFixture& operator=(const TMainWindowFixture&) = delete;

    // Posts one worker message to the worker's own window handle, and waits
    // until the window has taken it and shows what it leaves to show.
    void Post(TWorkerEvent Event, std::intptr_t Number = 0, std::shared_ptr<TWorkerPayload> Payload = nullptr)
    {
        Deliver(Event, Number, std::move(Payload));
        Settle();
    }
    // The same without waiting.
    void Deliver(TWorkerEvent Event, std::intptr_t Number = 0, std::shared_ptr<TWorkerPayload> Payload = nullptr)
    {
        TWindowMessage M = WorkerMessage(Event, Number, std::move(Payload));
        EXPECT_TRUE(Form->Worker()->WindowHandle.Post(M));
    }
    void Settle()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return Access().WorkerMessagesSettled(); }, 5000));
    }
    static std::shared_ptr<TWorkerPayload> FilePayload(std::shared_ptr<THashFile> File)
    {
        auto P = std::make_shared<TWorkerPayload>();
        P->File = std::move(File);
        return P;
    }
    static std::shared_ptr<TWorkerPayload> TextPayload(const std::string& Text,
                                                       std::shared_ptr<THashFile> File = nullptr)
    {
        auto P = std::make_shared<TWorkerPayload>();
        P->Text = std::make_unique<TStringObject>(Text);
        P->File = std::move(File);
        return P;
    }

    // Waits until the worker has taken every queued file and reported idle:
    // an idle message newer than the last wait, and nothing left to do.
    bool WaitIdle(int Timeout = 10000)
    {
        const bool Done = QTest::qWaitFor(
            [this] {
                Access().UpdateActions();
                return Access().IdleMessagesHandled() > FIdleSeen && FileQueue->Count() == 0 && !Access().IsWorkerBusy()
                       && Ui.ActionClearLog->isEnabled() && !Form->Searcher()->Searching();
            },
            Timeout);
        FIdleSeen = Access().IdleMessagesHandled();
        return Done;
    }

    // What the window holds beyond its components.
    TFormMainTestAccess Access() const { return TFormMainTestAccess(*Form); }
    QString Digest(THashType T) const { return Ui.HashRow(T).Edit->text(); }
    QStringList Messages() const
    {
        QStringList L;
        auto* List = Ui.ListBox_Messages;
        for (int I = 0; I < List->count(); ++I)
            L.append(List->item(I)->text());
        return L;
    }
    // The messages without their "[HH:MM:SS] " stamps.
    QStringList MessageTexts() const
    {
        QStringList L = Messages();
        for (QString& S : L)
            if (S.size() > 11 && S.startsWith(QLatin1Char('[')) && S.at(9) == QLatin1Char(']'))
                S = S.mid(11);
        return L;
    }
    // The file names of the log, in the order the worker took them up (the
    // order of the queue).
    std::vector<std::string> Logged() const
    {
        std::vector<std::string> Names;
        for (const auto& F : Access().FileList().Items)
            Names.push_back(F->FileName);
        return Names;
    }

    TSettingsScope Set;
    // Every box and chooser, answered as set below.
    TRecordedInteraction User;
    std::unique_ptr<TFormMain> Form;
    // The other windows, connected to it as in the program.
    std::unique_ptr<TProgramWindows> Windows;
    // The window's components by name.
    TMainParts Ui;
    Qt::KeyboardModifiers Keys = Qt::NoModifier;
    QStringList FilesToChoose;
    QStringList FoldersToChoose;
    int FileDialogs = 0;
    int FolderDialogs = 0;
    std::vector<QString>& Errors = User.Errors;
    std::vector<QString>& Warnings = User.Warnings;
    std::vector<QString>& Infos = User.Infos;

private:
    std::uint64_t FIdleSeen = 0;
    std::unique_ptr<TFileQueue> FPreviousQueue;
    TModifiersSource FPreviousKeys;
};

} // namespace maintest
