#include "platform/uMemory.h"
#include "support/resident_memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

TEST(FreedMemory, IsHandedBackAfterManySmallBlocks)
{
#if !defined(__GLIBC__)
    GTEST_SKIP() << "only glibc's allocator is asked to hand memory back";
#elif defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's allocator stands in for glibc's";
#else
    if (ResidentKiB() < 0)
        GTEST_SKIP() << "no /proc/self/status";
    // 64 MiB in blocks of the size of a log record, each touched, then all
    // freed but one made last, which keeps the top of the heap where it is:
    // the allocator keeps the pages below it until it is asked.
    constexpr std::size_t Count = 256 * 1024;
    std::vector<std::unique_ptr<char[]>> Blocks(Count);
    for (auto& B : Blocks) {
        B.reset(new char[256]);
        B[0] = B[255] = 1;
    }
    const std::unique_ptr<char[]> Last(new char[256]);
    Last[0] = 1;
    const long Full = ResidentKiB();
    Blocks.clear();
    Blocks.shrink_to_fit();
    const long Freed = ResidentKiB();
    ReturnFreedMemory();
    const long Returned = ResidentKiB();
    EXPECT_LT(Returned, Full - 48 * 1024) << "freed: " << Freed << " KiB, returned: " << Returned << " KiB";
#endif
}
