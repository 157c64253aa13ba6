// One table shape for both systems' path-delimiter cases.
#pragma once

#include "platform/uPlatformFiles.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

struct TPathDelimiterCase {
    const char* Path;
    bool EndsWithDelimiter;
    const char* WithTrailingDelimiter;
    std::size_t NameStart;
};

template <std::size_t N>
void ExpectPathDelimiterCases(const TPathDelimiterCase (&Cases)[N])
{
    for (const TPathDelimiterCase& C : Cases) {
        SCOPED_TRACE(C.Path);
        EXPECT_EQ(EndsWithPathDelimiter(C.Path), C.EndsWithDelimiter);
        EXPECT_EQ(IncludeTrailingPathDelimiter(C.Path), C.WithTrailingDelimiter);
        EXPECT_EQ(FileNameStart(C.Path), C.NameStart);
    }
}
