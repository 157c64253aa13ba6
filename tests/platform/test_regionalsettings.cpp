#include "platform/uRegionalSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(RegionalSettings, CLocaleGivesAPointAndNoGrouping)
{
    const char* Saved = std::getenv("LC_ALL");
    const std::string Old = Saved ? Saved : "";
    setenv("LC_ALL", "C", 1);
    const TNumberSeparators S = ReadNumberSeparators();
    EXPECT_EQ(S.Decimal, ".");
    EXPECT_EQ(S.Group, "");
    if (Saved)
        setenv("LC_ALL", Old.c_str(), 1);
    else
        unsetenv("LC_ALL");
}
