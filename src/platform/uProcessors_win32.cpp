#include "platform/uProcessors.h"

#include <algorithm>
#include <bitset>
#include <thread>

#include <windows.h>

int ProcessCoreCount()
{
    int Count = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    DWORD_PTR Process = 0;
    DWORD_PTR System = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &Process, &System) && Process != 0)
        Count = std::min(Count, static_cast<int>(std::bitset<sizeof(DWORD_PTR) * 8>(Process).count()));
    return Count;
}
