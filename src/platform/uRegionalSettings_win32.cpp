#include "platform/uRegionalSettings.h"

#ifndef NOMINMAX
#  define NOMINMAX
#endif
#include <windows.h>

namespace {

std::string ReadLocaleText(LCTYPE Type)
{
    wchar_t Buffer[16] = {};
    const int Length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, Type, Buffer, 16);
    if (Length <= 1)
        return {};
    const int Bytes = WideCharToMultiByte(CP_UTF8, 0, Buffer, Length - 1, nullptr, 0, nullptr, nullptr);
    std::string Result(static_cast<std::size_t>(Bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Buffer, Length - 1, Result.data(), Bytes, nullptr, nullptr);
    return Result;
}

}  // namespace

TNumberSeparators ReadNumberSeparators()
{
    TNumberSeparators Result;
    Result.Group = ReadLocaleText(LOCALE_STHOUSAND);
    Result.Decimal = ReadLocaleText(LOCALE_SDECIMAL);
    if (Result.Decimal.empty())
        Result.Decimal.push_back('.');
    return Result;
}

std::string FormatRegionalDateTime(std::time_t Time)
{
    std::string Result;
    SYSTEMTIME St{};
    std::tm Tm{};
    localtime_s(&Tm, &Time);
    St.wYear = static_cast<WORD>(Tm.tm_year + 1900);
    St.wMonth = static_cast<WORD>(Tm.tm_mon + 1);
    St.wDay = static_cast<WORD>(Tm.tm_mday);
    St.wHour = static_cast<WORD>(Tm.tm_hour);
    St.wMinute = static_cast<WORD>(Tm.tm_min);
    St.wSecond = static_cast<WORD>(Tm.tm_sec);
    wchar_t Buffer[128] = {};
    auto Append = [&](int Length) {
        if (Length > 1) {
            const int Bytes = WideCharToMultiByte(CP_UTF8, 0, Buffer, Length - 1, nullptr, 0, nullptr, nullptr);
            std::string Part(static_cast<std::size_t>(Bytes), '\0');
            WideCharToMultiByte(CP_UTF8, 0, Buffer, Length - 1, Part.data(), Bytes, nullptr, nullptr);
            Result += Part;
        }
    };
    Append(GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &St, nullptr, Buffer, 128, nullptr));
    if (Tm.tm_hour != 0 || Tm.tm_min != 0 || Tm.tm_sec != 0) {
        Result += ' ';
        Append(GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &St, nullptr, Buffer, 128));
    }
    return Result;
}
