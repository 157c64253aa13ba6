#include "platform/uPlatformThread.h"

#include <climits>
#include <pthread.h>
#include <system_error>

struct TPlatformThread::TImpl {
    pthread_t Handle{};
    bool Running = false;
};

namespace {

void* Trampoline(void* Arg)
{
    std::unique_ptr<std::function<void()>> Body(static_cast<std::function<void()>*>(Arg));
    (*Body)();
    return nullptr;
}

}  // namespace

TPlatformThread::TPlatformThread() : FImpl(std::make_unique<TImpl>()) {}

TPlatformThread::~TPlatformThread()
{
    Join();
}

void TPlatformThread::Start(std::function<void()> Body, std::size_t StackSize)
{
    if (FImpl->Running)
        throw std::system_error(std::make_error_code(std::errc::resource_deadlock_would_occur),
                                "thread already started");
    auto Arg = std::make_unique<std::function<void()>>(std::move(Body));
    pthread_attr_t Attr;
    int Error = pthread_attr_init(&Attr);
    if (Error == 0) {
        std::size_t Size = StackSize < static_cast<std::size_t>(PTHREAD_STACK_MIN)
                               ? static_cast<std::size_t>(PTHREAD_STACK_MIN)
                               : StackSize;
        Error = pthread_attr_setstacksize(&Attr, Size);
        if (Error == 0)
            Error = pthread_create(&FImpl->Handle, &Attr, Trampoline, Arg.get());
        pthread_attr_destroy(&Attr);
    }
    if (Error != 0)
        throw std::system_error(Error, std::generic_category(), "cannot create thread");
    Arg.release();  // the thread frees it
    FImpl->Running = true;
}

void TPlatformThread::Join()
{
    if (!FImpl || !FImpl->Running)
        return;
    pthread_join(FImpl->Handle, nullptr);
    FImpl->Running = false;
}

bool TPlatformThread::Joinable() const
{
    return FImpl->Running;
}
