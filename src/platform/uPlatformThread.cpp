#include "platform/uPlatformThread.h"

#include "platform/uPlatformThreadSystem.h"

#include <memory>
#include <system_error>

TPlatformThread::~TPlatformThread()
{
    Join();
}

void TPlatformThread::Start(std::function<void()> Body, std::size_t StackSize)
{
    if (FThread)
        throw std::system_error(std::make_error_code(std::errc::resource_deadlock_would_occur),
                                "thread already started");
    auto Arg = std::make_unique<std::function<void()>>(std::move(Body));
    FThread = TPlatformThreadSystem::Start(Arg.get(), StackSize);
    Arg.release();  // the thread frees it
}

void TPlatformThread::Join()
{
    if (!FThread)
        return;
    TPlatformThreadSystem::Join(FThread);
    FThread = nullptr;
}

bool TPlatformThread::Joinable() const
{
    return FThread != nullptr;
}

void TPlatformThreadSystem::RunBody(void* Arg)
{
    std::unique_ptr<std::function<void()>> Body(static_cast<std::function<void()>*>(Arg));
    (*Body)();
}
