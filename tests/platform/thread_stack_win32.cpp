#include "platform/thread_stack.h"

#include <windows.h>

std::size_t CurrentThreadStackSize()
{
    // The whole reservation, not the part committed so far.
    ULONG_PTR Low = 0;
    ULONG_PTR High = 0;
    GetCurrentThreadStackLimits(&Low, &High);
    return static_cast<std::size_t>(High - Low);
}
