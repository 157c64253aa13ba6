#include "digest/uException.h"

#include <gtest/gtest.h>

namespace {
SORVIK_EXCEPTION_CLASS(EOuter, Exception);
SORVIK_EXCEPTION_CLASS(EInner, EOuter);
}

TEST(Exception, ClassNameFollowsTheMostDerivedClass)
{
    try {
        throw EInner("Stream read error");
    } catch (const Exception& e) {
        EXPECT_STREQ(e.ClassName(), "EInner");
        EXPECT_EQ(e.Message(), "Stream read error");
        EXPECT_STREQ(e.what(), "Stream read error");
        EXPECT_EQ(e.Describe(), "[EInner] Stream read error");
    }
    EXPECT_STREQ(Exception("x").ClassName(), "Exception");
}
