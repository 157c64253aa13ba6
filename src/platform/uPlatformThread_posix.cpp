#include "platform/uPlatformThreadSystem.h"

#include <climits>
#include <memory>
#include <pthread.h>
#include <system_error>

struct TPlatformThread::TSystemThread {
    pthread_t Handle{};
};

namespace {

void* Trampoline(void* Arg)
{
    TPlatformThreadSystem::RunBody(Arg);
    return nullptr;
}

}  // namespace

TPlatformThreadSystem::TSystemThread* TPlatformThreadSystem::Start(void* Arg, std::size_t StackSize)
{
    auto Thread = std::make_unique<TSystemThread>();
    pthread_attr_t Attr;
    int Error = pthread_attr_init(&Attr);
    if (Error == 0) {
        std::size_t Size = StackSize < static_cast<std::size_t>(PTHREAD_STACK_MIN)
                               ? static_cast<std::size_t>(PTHREAD_STACK_MIN)
                               : StackSize;
        Error = pthread_attr_setstacksize(&Attr, Size);
        if (Error == 0)
            Error = pthread_create(&Thread->Handle, &Attr, Trampoline, Arg);
        pthread_attr_destroy(&Attr);
    }
    if (Error != 0)
        throw std::system_error(Error, std::generic_category(), "cannot create thread");
    return Thread.release();
}

void TPlatformThreadSystem::Join(TSystemThread* Thread)
{
    pthread_join(Thread->Handle, nullptr);
    delete Thread;
}
