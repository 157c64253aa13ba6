#include "platform/uPlatformThreadSystem.h"

#include <cerrno>
#include <system_error>

#ifndef NOMINMAX
#  define NOMINMAX
#endif
#include <process.h>
#include <windows.h>

struct TPlatformThread::TSystemThread {
    HANDLE Handle = nullptr;
};

namespace {

unsigned __stdcall Trampoline(void* Arg)
{
    TPlatformThreadSystem::RunBody(Arg);
    return 0;
}

}  // namespace

TPlatformThreadSystem::TSystemThread* TPlatformThreadSystem::Start(void* Arg, std::size_t StackSize)
{
    // The size is the stack's reservation, not only what is committed at once.
    const auto Handle = _beginthreadex(nullptr, static_cast<unsigned>(StackSize), Trampoline, Arg,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (Handle == 0)
        throw std::system_error(errno, std::generic_category(), "cannot create thread");
    return new TSystemThread{reinterpret_cast<HANDLE>(Handle)};
}

void TPlatformThreadSystem::Join(TSystemThread* Thread)
{
    WaitForSingleObject(Thread->Handle, INFINITE);
    CloseHandle(Thread->Handle);
    delete Thread;
}
