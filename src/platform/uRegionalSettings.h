// The user's regional number separators, as UTF-8 strings (some locales use
// several bytes, such as a narrow no-break space for grouping).
#pragma once

#include <ctime>
#include <string>

struct TNumberSeparators {
    std::string Group;    // may be empty: no grouping
    std::string Decimal;  // never empty
};

// Reads them from the user's regional settings (on POSIX the LC_NUMERIC
// category of the environment, without touching the process locale).
TNumberSeparators ReadNumberSeparators();

// Time as local time in the user's short date format, one blank and the
// long time format; the blank and the time are left out at 00:00:00.
std::string FormatRegionalDateTime(std::time_t Time);
