#include "engine/uThreads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>

namespace {

// The percent of a file done: the quotient is rounded to a 64-bit mantissa
// before the multiplication, whatever the platform's own long double is.
TEST(ProgressPercent, RoundsAsA64BitMantissaOnEveryPlatform)
{
    const std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    const struct {
        std::int64_t Done, Total;
        int Expected;
    } Cases[] = {
        {53, 100, 52},   // 0.53 rounds down; times 100 stays below 53
        {1, 3, 33},
        {2, 3, 66},
        {59, 100, 58},
        {29, 100, 29},   // a 53-bit double would give 28 here
        {57, 100, 57},   // and 56 here
        {0, 100, 0},
        {100, 100, 100},
        {99, 100, 99},
        {1, 100, 1},
        {7, 10, 70},
        {1, Max, 0},
        {Max - 1, Max, 99},
        {Max / 2, Max, 49},
        {5, 0, 100},      // an empty file is done
        {150, 100, 100},  // a file that grew while read: never above 100
        {-5, 100, 0},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(ProgressPercent(C.Done, C.Total), C.Expected) << C.Done << "/" << C.Total;

    // Chunks of 262,144 bytes over 100 chunks: the 53rd reports 52.
    EXPECT_EQ(ProgressPercent(53 * 262144LL, 100 * 262144LL), 52);
}

// Where long double has a 64-bit mantissa (x86-64 Linux), the integer
// computation agrees with it everywhere, including right at the percent
// boundaries, where the rounding decides.
TEST(ProgressPercent, AgreesWithAnExtendedLongDouble)
{
    if (std::numeric_limits<long double>::digits != 64)
        GTEST_SKIP() << "long double has no 64-bit mantissa here";
    const auto Reference = [](std::int64_t Done, std::int64_t Total) {
        const long double Quotient = static_cast<long double>(Done) / static_cast<long double>(Total);
        return static_cast<int>(Quotient * 100.0L);
    };
    std::mt19937_64 Random(20261210);
    for (int I = 0; I < 200000; ++I) {
        const int Bits = 1 + static_cast<int>(Random() % 62);
        const std::int64_t Total = 1 + static_cast<std::int64_t>(Random() >> (64 - Bits));
        std::int64_t Done = static_cast<std::int64_t>(Random() % static_cast<std::uint64_t>(Total + 1));
        if (I % 2 == 0) {
            // Near a whole percent: Done = k * Total / 100 and its neighbours.
            const auto K = static_cast<std::int64_t>(Random() % 101);
            Done = Total / 100 * K + Total % 100 * K / 100 + static_cast<std::int64_t>(Random() % 3) - 1;
            Done = std::clamp<std::int64_t>(Done, 0, Total);
        }
        ASSERT_EQ(ProgressPercent(Done, Total), Reference(Done, Total)) << Done << "/" << Total;
    }
    for (std::int64_t Total = 1; Total <= 2000; ++Total)
        for (std::int64_t Done = 0; Done <= Total; ++Done)
            ASSERT_EQ(ProgressPercent(Done, Total), Reference(Done, Total)) << Done << "/" << Total;
}

}  // namespace
