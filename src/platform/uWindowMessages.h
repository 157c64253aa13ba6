// Posting messages to a window from another thread. A message owns its
// payload: one that is never delivered, or is discarded with its receiver,
// frees it. A toolkit adapter implements TMessageWindow (for Qt, by wrapping
// the message in an event given to QCoreApplication::postEvent).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

// The first message number free for a program's own use (WM_USER).
inline constexpr std::uint32_t UserMessageBase = 0x0400;

struct TWindowMessage {
    std::uint32_t Msg = 0;
    std::intptr_t WParam = 0;
    std::intptr_t LParam = 0;
    // The object the message carries; shared so that a record the sender
    // still fills stays alive while either side holds it.
    std::shared_ptr<void> Object;
};

// A receiver of posted messages.
class TMessageWindow {
public:
    TMessageWindow() = default;
    TMessageWindow(const TMessageWindow&) = delete;
    TMessageWindow& operator=(const TMessageWindow&) = delete;
    virtual ~TMessageWindow() = default;

    // Called on the posting thread. Queues Message for the receiver's thread
    // in posting order and returns without waiting for the receiver.
    virtual void Deliver(TWindowMessage Message) = 0;
};

// A window handle that its owner can clear. Posting and clearing exclude
// each other: once Detach has returned no post is under way and none
// follows, so the receiver may then be destroyed.
class TWindowHandle {
public:
    explicit TWindowHandle(TMessageWindow* Window = nullptr) : FWindow(Window) {}
    TWindowHandle(const TWindowHandle&) = delete;
    TWindowHandle& operator=(const TWindowHandle&) = delete;

    void Attach(TMessageWindow* Window);
    void Detach() { Attach(nullptr); }
    bool Attached() const;

    // True when Message was handed to the window (it is then moved from);
    // false when detached, Message and its payload left to the caller.
    bool Post(TWindowMessage& Message);

private:
    mutable std::mutex FLock;
    TMessageWindow* FWindow;
};

// A message queue read by one thread: messages come out in posting order.
// Serves a thread without a toolkit loop, and tests.
class TMessageQueue : public TMessageWindow {
public:
    void Deliver(TWindowMessage Message) override;

    // Takes the oldest message, waiting up to Timeout for one; false when none came.
    bool Take(TWindowMessage& Message, std::chrono::milliseconds Timeout);
    bool TryTake(TWindowMessage& Message) { return Take(Message, std::chrono::milliseconds(0)); }
    std::size_t Count() const;
    // Discards every pending message with its payload.
    void Clear();

private:
    mutable std::mutex FLock;
    std::condition_variable FArrived;
    std::deque<TWindowMessage> FMessages;
};
