#include "platform/uProcessors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include <windows.h>

TEST(ProcessCoreCount, KeepsToTheCoresTheProcessMayUse)
{
    DWORD_PTR Saved = 0;
    DWORD_PTR System = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &Saved, &System));
    const int Machine = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    EXPECT_GE(ProcessCoreCount(), 1);
    EXPECT_LE(ProcessCoreCount(), Machine);
    // The lowest core the process may use, then the two lowest.
    const DWORD_PTR First = Saved & (~Saved + 1);
    const DWORD_PTR Rest = Saved & ~First;
    const DWORD_PTR Two = First | (Rest & (~Rest + 1));
    for (const DWORD_PTR Few : {First, Two}) {
        if (!SetProcessAffinityMask(GetCurrentProcess(), Few))
            GTEST_SKIP() << "the affinity cannot be narrowed here";
        EXPECT_EQ(ProcessCoreCount(), std::min(Machine, Few == First ? 1 : (Rest ? 2 : 1)));
    }
    ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), Saved));
}
