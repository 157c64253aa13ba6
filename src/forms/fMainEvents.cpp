// The main window and its worker: the worker's events, the file in hand
// with its information and digests, the progress and the reading speed.
#include "forms/fMain.h"

#include "app/uSettings.h"
#include "engine/uFileProperties.h"
#include "engine/uStrUtils.h"
#include "forms/fMainPrivate.h"
#include "forms/uFormBase.h"
#include "forms/uStatusPanels.h"
#include "forms/fCompareFiles.h"
#include "platform/qt/uFileNames.h"
#include "platform/qt/uQtMessageWindow.h"
#include "platform/qt/uTextDirection.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <cmath>

using namespace fmain;

bool TFormMain::event(QEvent* Event)
{
    if (Event->type() == TWindowMessagesReadyEvent::EventType()) {
        TakeWorkerMessages();
        return true;
    }
    return QMainWindow::event(Event);
}

void TFormMain::TakeWorkerMessages()
{
    if (!FMessageWindow)
        return;
    // In slices: input, timers and painting get their turn between two,
    // however far the worker is ahead.
    constexpr qint64 SliceNs = 20'000'000;
    QElapsedTimer Slice;
    Slice.start();
    // What the slice adds to the log viewer and the message list reaches
    // their views once, at its end.
    emit WorkerSliceStarted();
    struct TSliceEnd {
        TFormMain* Form;
        ~TSliceEnd() { emit Form->WorkerSliceEnded(); }
    } SliceEnd{this};
    const TMessageList::TBatch Messages(ListBox_Messages);
    struct TDeferFileInfo {
        TFormMain* Form;
        ~TDeferFileInfo()
        {
            Form->FDeferFileInfo = false;
            Form->ShowPendingFileInfoSoon();
        }
    } DeferFileInfo{this};
    FDeferFileInfo = true;
    TWindowMessage Message;
    int Taken = 0;
    for (;;) {
        if (!FMessageWindow->TakeHolding(Message)) {
            // After a slice that took messages the queue is looked at again
            // shortly: a worker ahead of the window then posts no wake-up
            // for each message. An empty look lets the next message post one.
            if (Taken > 0) {
                FMessagePoll->start();
                return;
            }
            if (FMessageWindow->Release())
                return;
            continue;
        }
        ++Taken;
        RunGuarded([&] { WMWorkerEvent(Message); });
        Message = TWindowMessage();
        if (Slice.nsecsElapsed() >= SliceNs) {
            FMessageWindow->PostReady();
            return;
        }
    }
}

void TFormMain::ShowPendingFileInfo()
{
    if (FFileInfoTimer)
        FFileInfoTimer->stop();
    if (!FPendingFileInfo.Any())
        return;
    FFileInfoShownAt.start();
    const TPendingFileInfo P = std::exchange(FPendingFileInfo, TPendingFileInfo());
    if (P.Clear)
        ClearFileInfo();
    if (P.Name)
        SetFileName(FileNameToQString(P.Name->FileName));
    if (P.HasProps)
        ShowFileInfo(P.Props);
    if (P.Hashes)
        ShowHashes(P.Hashes->Hashes);
    if (P.Progress)
        ShowProgressNow();
    if (P.Counts)
        UpdateFileCounts();
}

void TFormMain::ShowPendingFileInfoSoon()
{
    if (!FPendingFileInfo.Any())
        return;
    const qint64 Since = FFileInfoShownAt.isValid() ? FFileInfoShownAt.elapsed() : ProgressFrameMilliseconds;
    if (Since >= ProgressFrameMilliseconds)
        ShowPendingFileInfo();
    else if (!FFileInfoTimer->isActive())
        FFileInfoTimer->start(static_cast<int>(ProgressFrameMilliseconds - Since));
}

std::uint64_t TFormMain::WorkerMessagesCoalesced() const
{
    return FMessageWindow ? FMessageWindow->Coalesced() : 0;
}

namespace {

bool InLog(const THashFileList& List, const THashFile* Item)
{
    for (auto It = List.Items.rbegin(); It != List.Items.rend(); ++It)
        if (It->get() == Item)
            return true;
    return false;
}

} // namespace

void TFormMain::WMWorkerEvent(const TWindowMessage& Message)
{
    if (Message.Msg != WM_WORKER_NOTIFY)
        return;
    ++FMessagesHandled;
    const TWorkerEvent Event = WorkerEvent(Message);
    // Payloads are read only for the events that carry one.
    TWorkerPayload* Payload = nullptr;
    switch (Event) {
    case weError:
    case weFileStarted:
    case weFileFinished:
    case weFileProperties:
    case weFileCancelled:
        Payload = WorkerPayload(Message);
        break;
    default:
        break;
    }
    // What the worker found goes into the record before anything reads it.
    StoreWorkerResult(Message);
    // When the next file's start is already queued, whatever the boxes would
    // show of this file is replaced before it could be painted: only the log
    // and the log viewer take it. The boxes end the same either way (the
    // progress, which the next start leaves as it is, excepted below).
    const bool Superseded = FMessageWindow->MarkedQueued() > 0;

    switch (Event) {
    case weStarted:
        break;
    case weError:
        SetStatusText(Q(sstatuserror));
        AddMessage(mlError, Q(serroroccurred));
        if (Payload && Payload->Text)
            AddMessageLine(FileNameToQString(Payload->Text->Text), true); // may hold a name's bytes
        break;
    case weFileStarted:
        if (!Payload || !Payload->File)
            break;
        FFileList->Add(Payload->File);
        emit FileTakenUp(Payload->File);
        SetStatusText(Q(sstatusworking));
        if (Superseded)
            break;
        FPendingFileInfo.Clear = true;
        FPendingFileInfo.Name = Payload->File;
        FPendingFileInfo.HasProps = false;
        FPendingFileInfo.Hashes.reset();
        FPendingFileInfo.Counts = true;
        break;
    case weFileFinished:
        // A record of a cleared log is no longer shown anywhere.
        if (!Payload || !Payload->File || !InLog(*FFileList, Payload->File.get()))
            break;
        if (!Superseded) {
            FPendingFileInfo.Counts = true;
            FPendingFileInfo.Hashes = Payload->File;
        }
        emit FileFinished(Payload->File);
        CompareWithPrevious(Payload->File);
        break;
    case weFileProperties:
        if (!Payload || !Payload->File || !InLog(*FFileList, Payload->File.get()))
            break;
        FCurrentFileProps = Payload->File->Properties;
        if (!Superseded) {
            FPendingFileInfo.HasProps = true;
            FPendingFileInfo.Props = Payload->File->Properties;
        }
        break;
    case weProgress:
        // Taken even when superseded: the next file's start does not reset
        // the bar, and one that fails before its first chunk sends no
        // progress, so the bar ends on this one's.
        SetProgress(static_cast<int>(Message.LParam));
        break;
    case weFileCancelled:
        UpdateFileCounts();
        SetStatusText(Q(sstatuscancelled));
        SetProgress(-1);
        // The reset is shown with the status, not a frame later.
        ShowPendingFileInfo();
        AddMessage(mlWarning, Q(sfilecancelled));
        if (Payload && Payload->Text)
            AddMessageLine(FileNameToQString(Payload->Text->Text)); // may hold a name's bytes
        break;
    case weBusy:
        FIdleSinceBusy = false;
        RepaintStatusBar();
        SetStatusText(Q(sstatusworking));
        break;
    case weIdle:
        // What the run leaves in the boxes is there when the worker is idle.
        ShowPendingFileInfo();
        ++FIdleMessagesHandled;
        FIdleSinceBusy = true;
        RepaintStatusBar();
        SetStatusText(Q(sstatusfinished));
        break;
    default:
        break;
    }
}

void TFormMain::ClearFileInfo()
{
    EditFile->clear();
    EditFileSize->clear();
    EditAttributes->clear();
    EditFileTimeCreated->clear();
    EditFileTimeModified->clear();
    ClearHashEdits();
}

void TFormMain::SetFileName(const QString& Name) { EditFile->setText(Name); }

void TFormMain::ShowFileInfo(const TFileProperties& Props)
{
    EditFileSize->setText(Q(FormatSize(Props.Size)));
    EditAttributes->setText(Q(AttributesToText(Props.Attributes)));
    EditFileTimeCreated->setText(Q(DateTimeToText(Props.Created)));
    EditFileTimeModified->setText(Q(DateTimeToText(Props.Modified)));
}

void TFormMain::ShowHashes(const THashList& Hashes)
{
    const bool Upper = Settings && Settings->UpperCaseHash;
    for (int T = htFirst; T <= htLast; ++T) {
        QLineEdit* E = HashRows[static_cast<std::size_t>(T)].Edit;
        E->setText(Q(CaseHash(Hashes.Get(static_cast<THashType>(T)), Upper)));
        // A digest wider than its box shows its beginning.
        E->setCursorPosition(0);
    }
}

void TFormMain::SetProgress(int Percent)
{
    // Most progress events repeat what is shown already.
    if (Percent < 0)
        Percent = -1;
    if (Percent == FShownProgress)
        return;
    FShownProgress = Percent;
    // Within a slice of worker messages only recorded: painting the bar is
    // most of what a progress message costs, and the slice's end shows the
    // last step.
    if (FDeferFileInfo) {
        FPendingFileInfo.Progress = true;
        return;
    }
    ShowProgressNow();
}

void TFormMain::ShowProgressNow()
{
    const int Percent = FShownProgress;
    // QProgressBar repaints at once on a visible change, flushing the window
    // to the screen: with small files that is twice per file, and the
    // window falls behind the worker. With updates off for the call the
    // change is painted with everything else when the loop is idle.
    ProgressBar->setUpdatesEnabled(false);
    ProgressBar->setValue(Percent >= 0 ? std::min(Percent, 100) : 0);
    ProgressBar->setUpdatesEnabled(true);
    StatusBar->SetPanelText(4, Percent >= 0 ? QString::number(Percent) + QLatin1Char('%') : QString());
}

void TFormMain::ResetSpeedSample()
{
    FLastSampleTime = FUtcNow ? FUtcNow() : QDateTime::currentDateTimeUtc();
    FLastSampleBytes = 0;
}

void TFormMain::TimerSpeedTimer()
{
    if (!FWorker)
        return;
    const QDateTime Now = FUtcNow();
    const std::int64_t Bytes = FWorker->BytesRead();
    const double Seconds = std::abs(static_cast<double>(FLastSampleTime.msecsTo(Now))) / 1000.0;
    std::int64_t Speed = 0;
    if (Seconds > 0)
        Speed = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(Bytes - FLastSampleBytes) / Seconds));
    SetSpeed(Speed);
    FLastSampleBytes = Bytes;
    FLastSampleTime = Now;
}

void TFormMain::SetSpeed(std::int64_t BytesPerSecond)
{
    // Number and unit stay one left-to-right unit in a right-to-left window.
    StatusBar->SetPanelText(3, BytesPerSecond > 0
                                   ? LeftToRightUnit(Q(FormatSpeed(static_cast<double>(BytesPerSecond))), layoutDirection())
                                   : QString());
}

void TFormMain::CompareWithPrevious(const std::shared_ptr<THashFile>& Item)
{
    if (ActionCompareToNextFile->isChecked()) {
        const std::shared_ptr<THashFile> Previous = FFileList->Previous(Item.get());
        if (Previous) {
            ActionCompareToNextFile->setChecked(false);
            if (!FCompareFiles->Compare(*Item, *Previous)) {
                AddMessage(mlWarning, Q(shashesoffilesdontmatch));
                AddMessageLine(FileNameToQString(Item->FileName));
                AddMessageLine(FileNameToQString(Previous->FileName));
            }
        }
    }
    if (ActionCompareNextTwoFiles->isChecked()) {
        ActionCompareNextTwoFiles->setChecked(false);
        ActionCompareToNextFile->setChecked(true);
    }
}
