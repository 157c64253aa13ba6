#include "platform/uPlatformThread.h"

#include <cerrno>
#include <system_error>

#ifndef NOMINMAX
#  define NOMINMAX
#endif
#include <process.h>
#include <windows.h>

struct TPlatformThread::TImpl {
    HANDLE Handle = nullptr;
    bool Running = false;
};

namespace {

unsigned __stdcall Trampoline(void* Arg)
{
    std::unique_ptr<std::function<void()>> Body(static_cast<std::function<void()>*>(Arg));
    (*Body)();
    return 0;
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
    // The size is the stack's reservation, not only what is committed at once.
    const auto Handle = _beginthreadex(nullptr, static_cast<unsigned>(StackSize), Trampoline, Arg.get(),
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (Handle == 0)
        throw std::system_error(errno, std::generic_category(), "cannot create thread");
    FImpl->Handle = reinterpret_cast<HANDLE>(Handle);
    Arg.release();  // the thread frees it
    FImpl->Running = true;
}

void TPlatformThread::Join()
{
    if (!FImpl || !FImpl->Running)
        return;
    WaitForSingleObject(FImpl->Handle, INFINITE);
    CloseHandle(FImpl->Handle);
    FImpl->Running = false;
}

bool TPlatformThread::Joinable() const
{
    return FImpl->Running;
}
