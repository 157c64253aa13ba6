#include "platform/uPlatformThread.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  include <process.h>
#  include <windows.h>
#else
#  include <climits>
#  include <pthread.h>
#endif

struct TPlatformThread::TImpl {
#ifdef _WIN32
    HANDLE Handle = nullptr;
#else
    pthread_t Handle{};
#endif
    bool Running = false;
};

namespace {

#ifdef _WIN32
unsigned __stdcall Trampoline(void* Arg)
#else
void* Trampoline(void* Arg)
#endif
{
    std::unique_ptr<std::function<void()>> Body(static_cast<std::function<void()>*>(Arg));
    (*Body)();
#ifdef _WIN32
    return 0;
#else
    return nullptr;
#endif
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
#ifdef _WIN32
    const auto Handle = _beginthreadex(nullptr, static_cast<unsigned>(StackSize), Trampoline, Arg.get(),
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (Handle == 0)
        throw std::system_error(errno, std::generic_category(), "cannot create thread");
    FImpl->Handle = reinterpret_cast<HANDLE>(Handle);
#else
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
#endif
    Arg.release();  // the thread frees it
    FImpl->Running = true;
}

void TPlatformThread::Join()
{
    if (!FImpl || !FImpl->Running)
        return;
#ifdef _WIN32
    WaitForSingleObject(FImpl->Handle, INFINITE);
    CloseHandle(FImpl->Handle);
#else
    pthread_join(FImpl->Handle, nullptr);
#endif
    FImpl->Running = false;
}

bool TPlatformThread::Joinable() const
{
    return FImpl->Running;
}
