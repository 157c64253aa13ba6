// What each system's thread file gives uPlatformThread.cpp: starting a
// thread with a stack size and waiting for it.
#pragma once

#include "platform/uPlatformThread.h"

#include <cstddef>

struct TPlatformThreadSystem {
    using TSystemThread = TPlatformThread::TSystemThread;

    // A new thread that calls RunBody(Arg) with at least StackSize bytes of
    // stack; std::system_error when it cannot be created.
    static TSystemThread* Start(void* Arg, std::size_t StackSize);
    // Waits for the thread to end and frees its handle.
    static void Join(TSystemThread* Thread);
    // The new thread's first call: runs and frees the body Start was given.
    static void RunBody(void* Arg);
};
