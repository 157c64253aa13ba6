#include "platform/qt/uQtMessageWindow.h"

#include <QCoreApplication>

#include <utility>

TWindowMessagesReadyEvent::TWindowMessagesReadyEvent() : QEvent(EventType()) {}

QEvent::Type TWindowMessagesReadyEvent::EventType()
{
    static const auto Type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return Type;
}

TQtMessageWindow::TQtMessageWindow(QObject* Receiver, std::uint32_t CoalescedMsg, std::intptr_t CoalescedWParam,
                                   std::intptr_t MarkedWParam)
    : FReceiver(Receiver), FCoalescedMsg(CoalescedMsg), FCoalescedWParam(CoalescedWParam),
      FMarkedWParam(MarkedWParam)
{
}

void TQtMessageWindow::Deliver(TWindowMessage Message)
{
    const bool Coalescable = FCoalescedMsg != 0 && Message.Msg == FCoalescedMsg && Message.WParam == FCoalescedWParam;
    const bool Marked = FMarkedWParam >= 0 && Message.WParam == FMarkedWParam;
    bool PostNow = false;
    {
        std::lock_guard<std::mutex> Guard(FLock);
        if (Coalescable && Message.LParam >= 0 && FLastValue == Message.LParam) {
            FCoalesced.fetch_add(1, std::memory_order_relaxed);
            return;
        }
        FLastValue = Coalescable ? Message.LParam : -1;
        FQueue.push_back(std::move(Message));
        if (Marked)
            FMarkedQueued.fetch_add(1, std::memory_order_relaxed);
        PostNow = !std::exchange(FReadyPending, true);
    }
    FPosted.fetch_add(1, std::memory_order_relaxed);
    // postEvent is thread-safe and never waits.
    if (PostNow)
        QCoreApplication::postEvent(FReceiver, new TWindowMessagesReadyEvent());
}

bool TQtMessageWindow::PopLocked(TWindowMessage& Message)
{
    if (FQueue.empty())
        return false;
    Message = std::move(FQueue.front());
    FQueue.pop_front();
    if (FMarkedWParam >= 0 && Message.WParam == FMarkedWParam)
        FMarkedQueued.fetch_sub(1, std::memory_order_relaxed);
    return true;
}

bool TQtMessageWindow::Take(TWindowMessage& Message)
{
    std::lock_guard<std::mutex> Guard(FLock);
    if (PopLocked(Message))
        return true;
    FReadyPending = false;
    return false;
}

bool TQtMessageWindow::TakeHolding(TWindowMessage& Message)
{
    std::lock_guard<std::mutex> Guard(FLock);
    return PopLocked(Message);
}

bool TQtMessageWindow::Release()
{
    std::lock_guard<std::mutex> Guard(FLock);
    if (!FQueue.empty())
        return false;
    FReadyPending = false;
    return true;
}

void TQtMessageWindow::PostReady() { QCoreApplication::postEvent(FReceiver, new TWindowMessagesReadyEvent()); }
