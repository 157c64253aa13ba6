// The Qt side of a window handle: messages posted from any thread wait, with
// their payloads, in a queue that one receiver takes on its own thread in
// posting order, told by an event when they come; the poster never waits.
#pragma once

#include "platform/uWindowMessages.h"

#include <QEvent>

#include <atomic>
#include <deque>
#include <mutex>

class QObject;

// Queues every delivered message for Receiver, in delivery order, and posts
// Receiver one TWindowMessagesReadyEvent whenever the queue stops being
// empty. The receiver takes the messages with Take: as many at a time as it
// likes, so that a worker that delivers faster than the window can show
// never keeps input, timers and painting waiting behind thousands of
// events. The poster never waits for the receiver.
// A message of the coalesced kind (progress) that repeats the value of the
// message delivered just before it would change nothing on screen and is
// not queued.
class TQtMessageWindow : public TMessageWindow {
public:
    // MarkedWParam: the kind of message counted by MarkedQueued (the start of
    // a file: what is shown of the file before it will be replaced).
    explicit TQtMessageWindow(QObject* Receiver, std::uint32_t CoalescedMsg = 0, std::intptr_t CoalescedWParam = -1,
                              std::intptr_t MarkedWParam = -1);
    void Deliver(TWindowMessage Message) override;
    // The oldest queued message; False when none is left, and the next
    // delivery posts a new ready event.
    bool Take(TWindowMessage& Message);
    // The same, but an empty queue leaves the receiver marked as busy taking
    // messages: deliveries post no ready event until Release. A receiver
    // that looks again shortly spares a fast poster a wake-up per message.
    bool TakeHolding(TWindowMessage& Message);
    // True when the queue is empty: the next delivery posts a ready event.
    // False when messages came meanwhile; the receiver goes on taking.
    bool Release();
    // The receiver stops before the queue is empty and wants to go on later.
    void PostReady();
    // Queued messages of the marked kind, not yet taken.
    std::size_t MarkedQueued() const { return FMarkedQueued.load(std::memory_order_relaxed); }
    // Messages queued and messages left out, for the figures of a benchmark.
    std::uint64_t Posted() const { return FPosted.load(std::memory_order_relaxed); }
    std::uint64_t Coalesced() const { return FCoalesced.load(std::memory_order_relaxed); }

private:
    // Moves the oldest message into Message; FLock held. False when none.
    bool PopLocked(TWindowMessage& Message);

    QObject* FReceiver;
    std::uint32_t FCoalescedMsg;
    std::intptr_t FCoalescedWParam;
    std::intptr_t FMarkedWParam;
    std::mutex FLock;
    std::deque<TWindowMessage> FQueue;
    // A ready event is on its way, or the receiver is taking messages.
    bool FReadyPending = false;
    // The value of the last message delivered when it was of the coalesced
    // kind; -1 when it was of any other kind.
    std::intptr_t FLastValue = -1;
    std::atomic<std::size_t> FMarkedQueued{0};
    std::atomic<std::uint64_t> FPosted{0};
    std::atomic<std::uint64_t> FCoalesced{0};
};

// Tells the receiver that its TQtMessageWindow holds messages.
class TWindowMessagesReadyEvent : public QEvent {
public:
    static QEvent::Type EventType();
    TWindowMessagesReadyEvent();
};
