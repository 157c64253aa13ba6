// The Qt side of a window handle: messages posted from any thread become
// events that own their payload and reach one receiver on its thread, in
// posting order, without the poster ever waiting.
#pragma once

#include "platform/uWindowMessages.h"

#include <QEvent>
#include <QPointer>

#include <atomic>
#include <mutex>

class QObject;

class TWindowMessageEvent : public QEvent {
public:
    static QEvent::Type EventType();
    explicit TWindowMessageEvent(TWindowMessage AMessage);
    // Pending events of a destroyed receiver are deleted by Qt: the
    // payload goes with them.
    TWindowMessage Message;
};

// Posts every delivered message to Receiver as a TWindowMessageEvent.
// A message of the coalesced kind (progress) that repeats the value of the
// message delivered just before it would change nothing on screen and is
// not posted.
class TQtMessageWindow : public TMessageWindow {
public:
    explicit TQtMessageWindow(QObject* Receiver, std::uint32_t CoalescedMsg = 0, std::intptr_t CoalescedWParam = -1);
    void Deliver(TWindowMessage Message) override;
    // Messages posted and messages left out, for the figures of a benchmark.
    std::uint64_t Posted() const { return FPosted.load(std::memory_order_relaxed); }
    std::uint64_t Coalesced() const { return FCoalesced.load(std::memory_order_relaxed); }

private:
    QObject* FReceiver;
    std::uint32_t FCoalescedMsg;
    std::intptr_t FCoalescedWParam;
    std::mutex FLock;
    // The value of the last message delivered when it was of the coalesced
    // kind; -1 when it was of any other kind.
    std::intptr_t FLastValue = -1;
    std::atomic<std::uint64_t> FPosted{0};
    std::atomic<std::uint64_t> FCoalesced{0};
};
