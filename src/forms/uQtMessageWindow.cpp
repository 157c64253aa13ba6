#include "forms/uQtMessageWindow.h"

#include <QCoreApplication>

QEvent::Type TWindowMessageEvent::EventType()
{
    static const auto Type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return Type;
}

TWindowMessageEvent::TWindowMessageEvent(TWindowMessage AMessage)
    : QEvent(EventType()), Message(std::move(AMessage))
{
}

TQtMessageWindow::TQtMessageWindow(QObject* Receiver, std::uint32_t CoalescedMsg, std::intptr_t CoalescedWParam)
    : FReceiver(Receiver), FCoalescedMsg(CoalescedMsg), FCoalescedWParam(CoalescedWParam)
{
}

void TQtMessageWindow::Deliver(TWindowMessage Message)
{
    const bool Coalescable = FCoalescedMsg != 0 && Message.Msg == FCoalescedMsg && Message.WParam == FCoalescedWParam;
    {
        std::lock_guard<std::mutex> Guard(FLock);
        if (Coalescable && Message.LParam >= 0 && FLastValue == Message.LParam) {
            FCoalesced.fetch_add(1, std::memory_order_relaxed);
            return;
        }
        FLastValue = Coalescable ? Message.LParam : -1;
    }
    FPosted.fetch_add(1, std::memory_order_relaxed);
    // postEvent is thread-safe, keeps the order per receiver and never waits.
    QCoreApplication::postEvent(FReceiver, new TWindowMessageEvent(std::move(Message)));
}
