#include "platform/uRegionalSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

// Sets an environment variable for one scope.
class TEnv {
public:
    TEnv(const char* Name, const char* Value) : FName(Name)
    {
        const char* Old = std::getenv(Name);
        FHad = Old != nullptr;
        if (Old)
            FOld = Old;
        setenv(Name, Value, 1);
        tzset();
    }
    ~TEnv()
    {
        if (FHad)
            setenv(FName.c_str(), FOld.c_str(), 1);
        else
            unsetenv(FName.c_str());
        tzset();
    }

private:
    std::string FName, FOld;
    bool FHad = false;
};

TEST(RegionalSettings, CLocaleGivesAPointAndNoGrouping)
{
    TEnv Locale("LC_ALL", "C");
    const TNumberSeparators S = ReadNumberSeparators();
    EXPECT_EQ(S.Decimal, ".");
    EXPECT_EQ(S.Group, "");
}

TEST(RegionalSettings, DateAndTimeLeaveTheTimeOutAtMidnight)
{
    TEnv Locale("LC_ALL", "C");
    TEnv Zone("TZ", "UTC");
    EXPECT_EQ(FormatRegionalDateTime(0), "01/01/70");
    EXPECT_EQ(FormatRegionalDateTime(3661), "01/01/70 01:01:01");
    EXPECT_EQ(FormatRegionalDateTime(86399), "01/01/70 23:59:59");
}
