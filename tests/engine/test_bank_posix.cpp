#include "engine/uSorvik.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include <sched.h>

// A process confined to fewer cores than the machine has gets no more
// threads than it may run at once.
TEST(Bank, CoreCountKeepsToTheCoresTheProcessMayUse)
{
    cpu_set_t Saved;
    CPU_ZERO(&Saved);
    ASSERT_EQ(::sched_getaffinity(0, sizeof Saved, &Saved), 0);
    std::vector<int> Cores;
    for (int C = 0; C < CPU_SETSIZE; ++C)
        if (CPU_ISSET(C, &Saved))
            Cores.push_back(C);
    const int Machine = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    EXPECT_EQ(TSorvikList::CoreCount(), std::min(Machine, static_cast<int>(Cores.size())));
    for (std::size_t Keep : {std::size_t{1}, std::size_t{2}}) {
        if (Keep > Cores.size())
            continue;
        cpu_set_t Few;
        CPU_ZERO(&Few);
        for (std::size_t I = 0; I < Keep; ++I)
            CPU_SET(Cores[I], &Few);
        ASSERT_EQ(::sched_setaffinity(0, sizeof Few, &Few), 0);
        EXPECT_EQ(TSorvikList::CoreCount(), std::min(Machine, static_cast<int>(Keep))) << Keep << " cores";
        ASSERT_EQ(::sched_setaffinity(0, sizeof Saved, &Saved), 0);
    }
}
