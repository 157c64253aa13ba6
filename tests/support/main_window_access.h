// What tests and benchmarks drive and read of the main window beyond its
// components. The window lets this one class in; the program never uses it.
// Whatever a component shows is read from the component (main_parts.h).
#pragma once

#include "forms/fMain.h"
#include "platform/qt/uQtMessageWindow.h"

#include <QDateTime>
#include <QStringList>

#include <cstdint>
#include <functional>

class TFormMainTestAccess {
public:
    explicit TFormMainTestAccess(TFormMain& Form) : F(Form) {}

    // ---- what the window holds
    // The log: every file the worker took up, in that order.
    THashFileList& FileList() const { return *F.FFileList; }
    // The properties of the file last reported.
    const TFileProperties& CurrentFileProps() const { return F.FCurrentFileProps; }
    bool IsWorkerBusy() const { return F.IsWorkerBusy(); }
    // The image panels 0 and 1 of the status bar show now.
    int StatusImage(int Panel) const { return F.StatusImage(Panel); }
    bool MessagesVisible() const { return F.MessagesVisible(); }
    // Worker messages taken so far, the idle ones among them, and those the
    // channel left out because they would not change what is shown.
    std::uint64_t WorkerMessagesHandled() const { return F.FMessagesHandled; }
    std::uint64_t IdleMessagesHandled() const { return F.FIdleMessagesHandled; }
    std::uint64_t WorkerMessagesCoalesced() const { return F.WorkerMessagesCoalesced(); }
    // Every worker message delivered so far is taken, and what the window
    // leaves to show at a slice's end (at most once a frame) is shown.
    bool WorkerMessagesSettled() const
    {
        return F.FMessagesHandled == F.FMessageWindow->Posted() && !F.FPendingFileInfo.Any();
    }
    static constexpr int ProgressFrameMilliseconds = TFormMain::ProgressFrameMilliseconds;

    // ---- driving it where a user's way would need a chooser or a drop
    void AddPaths(const QStringList& List) const { F.AddPaths(List); }
    void AddCommandLineFiles() const { F.AddCommandLineFiles(); }
    // The update handlers, as when the program is about to wait for input.
    void UpdateActions() const { F.UpdateActions(); }
    void AddMessage(TMessageLevel Level, const QString& Text) const { F.AddMessage(Level, Text); }
    void AddMessageLine(const QString& Text) const { F.AddMessageLine(Text); }
    void ClearMessages() const { F.ClearMessages(); }
    void SetStatusText(const QString& Text) const { F.SetStatusText(Text); }
    void UpdateFileCounts() const { F.UpdateFileCounts(); }
    void SetStayOnTop(bool Value) const { F.SetStayOnTop(Value); }

    // ---- the reading speed with a clock of the test's own
    void SetUtcNow(std::function<QDateTime()> Now) const { F.FUtcNow = std::move(Now); }
    void ResetSpeedSample() const { F.ResetSpeedSample(); }
    void TimerSpeedTimer() const { F.TimerSpeedTimer(); }
    void SetSpeed(std::int64_t BytesPerSecond) const { F.SetSpeed(BytesPerSecond); }

private:
    TFormMain& F;
};

inline TFormMainTestAccess MainWindowAccess(TFormMain& Form) { return TFormMainTestAccess(Form); }
