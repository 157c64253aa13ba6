#include "platform/uRegionalSettings.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {

std::time_t LocalTime(int Year, int Month, int Day, int Hour, int Minute, int Second)
{
    std::tm Tm{};
    Tm.tm_year = Year - 1900;
    Tm.tm_mon = Month - 1;
    Tm.tm_mday = Day;
    Tm.tm_hour = Hour;
    Tm.tm_min = Minute;
    Tm.tm_sec = Second;
    Tm.tm_isdst = -1;
    return std::mktime(&Tm);
}

TEST(RegionalSettings, TheUsersSeparatorsAreThere)
{
    const TNumberSeparators S = ReadNumberSeparators();
    EXPECT_FALSE(S.Decimal.empty());
    EXPECT_NE(S.Decimal, S.Group);
}

TEST(RegionalSettings, DateAndTimeLeaveTheTimeOutAtMidnight)
{
    const std::string Midnight = FormatRegionalDateTime(LocalTime(2024, 7, 15, 0, 0, 0));
    const std::string Later = FormatRegionalDateTime(LocalTime(2024, 7, 15, 13, 1, 2));
    EXPECT_NE(Midnight.find("15"), std::string::npos) << Midnight;
    EXPECT_NE(Midnight.find("24"), std::string::npos) << Midnight;
    EXPECT_EQ(Midnight.find(' '), std::string::npos) << Midnight;
    // The same date, one blank, then the time.
    EXPECT_EQ(Later.rfind(Midnight + " ", 0), 0u) << Later;
    EXPECT_NE(Later.find("01"), std::string::npos) << Later;
    EXPECT_NE(Later.find("02"), std::string::npos) << Later;
}

}  // namespace
