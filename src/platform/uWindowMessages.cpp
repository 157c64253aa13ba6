#include "platform/uWindowMessages.h"

void TWindowHandle::Attach(TMessageWindow* Window)
{
    std::lock_guard<std::mutex> Guard(FLock);
    FWindow = Window;
}

bool TWindowHandle::Attached() const
{
    std::lock_guard<std::mutex> Guard(FLock);
    return FWindow != nullptr;
}

bool TWindowHandle::Post(TWindowMessage& Message)
{
    // Held across the hand-over: PostMessage never waits for the receiver,
    // so this only delays a concurrent Detach by the length of one post.
    std::lock_guard<std::mutex> Guard(FLock);
    if (!FWindow)
        return false;
    FWindow->Deliver(std::move(Message));
    return true;
}

void TMessageQueue::Deliver(TWindowMessage Message)
{
    {
        std::lock_guard<std::mutex> Guard(FLock);
        FMessages.push_back(std::move(Message));
    }
    FArrived.notify_all();
}

bool TMessageQueue::Take(TWindowMessage& Message, std::chrono::milliseconds Timeout)
{
    std::unique_lock<std::mutex> Guard(FLock);
    if (!FArrived.wait_for(Guard, Timeout, [this] { return !FMessages.empty(); }))
        return false;
    Message = std::move(FMessages.front());
    FMessages.pop_front();
    return true;
}

std::size_t TMessageQueue::Count() const
{
    std::lock_guard<std::mutex> Guard(FLock);
    return FMessages.size();
}

void TMessageQueue::Clear()
{
    std::deque<TWindowMessage> Dropped;
    {
        std::lock_guard<std::mutex> Guard(FLock);
        Dropped.swap(FMessages);
    }
    // Payloads are freed outside the lock.
}
