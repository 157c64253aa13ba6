#include "platform/uProcessors.h"

#include <algorithm>
#include <thread>

#include <sched.h>

int ProcessCoreCount()
{
    int Count = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    cpu_set_t Allowed;
    CPU_ZERO(&Allowed);
    if (::sched_getaffinity(0, sizeof Allowed, &Allowed) == 0 && CPU_COUNT(&Allowed) > 0)
        Count = std::min(Count, CPU_COUNT(&Allowed));
    return Count;
}
