#include "platform/uRegionalSettings.h"

#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

namespace {

// nl_langinfo answers in the locale's own code set; the program's texts are UTF-8.
std::string ToUtf8(const char* Text, const char* CodeSet)
{
    std::string Source = Text ? Text : "";
    bool Ascii = true;
    for (unsigned char C : Source)
        Ascii = Ascii && C < 0x80;
    if (Ascii || !CodeSet || std::strcmp(CodeSet, "UTF-8") == 0)
        return Source;
    iconv_t Conv = iconv_open("UTF-8", CodeSet);
    if (Conv == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string Result(Source.size() * 4 + 4, '\0');
    char* In = Source.data();
    std::size_t InLeft = Source.size();
    char* Out = Result.data();
    std::size_t OutLeft = Result.size();
    const std::size_t Done = iconv(Conv, &In, &InLeft, &Out, &OutLeft);
    iconv_close(Conv);
    if (Done == static_cast<std::size_t>(-1))
        return {};
    Result.resize(Result.size() - OutLeft);
    return Result;
}

}  // namespace

TNumberSeparators ReadNumberSeparators()
{
    TNumberSeparators Result;
    // The code set comes with LC_CTYPE; both are taken from the environment.
    const int Mask = LC_NUMERIC_MASK | LC_CTYPE_MASK;
    locale_t Locale = newlocale(Mask, "", static_cast<locale_t>(0));
    if (Locale == static_cast<locale_t>(0))
        Locale = newlocale(Mask, "C", static_cast<locale_t>(0));
    if (Locale != static_cast<locale_t>(0)) {
        const char* CodeSet = nl_langinfo_l(CODESET, Locale);
        const std::string Set = CodeSet ? CodeSet : "";
        Result.Group = ToUtf8(nl_langinfo_l(THOUSEP, Locale), Set.c_str());
        Result.Decimal = ToUtf8(nl_langinfo_l(RADIXCHAR, Locale), Set.c_str());
        freelocale(Locale);
    }
    if (Result.Decimal.empty())
        Result.Decimal.push_back('.');
    return Result;
}

std::string FormatRegionalDateTime(std::time_t Time)
{
    std::string Result;
    std::tm Tm{};
    localtime_r(&Time, &Tm);
    const int Mask = LC_TIME_MASK | LC_CTYPE_MASK;
    locale_t Locale = newlocale(Mask, "", static_cast<locale_t>(0));
    if (Locale == static_cast<locale_t>(0))
        Locale = newlocale(Mask, "C", static_cast<locale_t>(0));
    if (Locale == static_cast<locale_t>(0))
        return Result;
    const char* CodeSet = nl_langinfo_l(CODESET, Locale);
    const std::string Set = CodeSet ? CodeSet : "";
    char Buffer[128];
    const bool WithTime = Tm.tm_hour != 0 || Tm.tm_min != 0 || Tm.tm_sec != 0;
    const std::size_t N = strftime_l(Buffer, sizeof Buffer, WithTime ? "%x %X" : "%x", &Tm, Locale);
    freelocale(Locale);
    Result = ToUtf8(std::string(Buffer, N).c_str(), Set.c_str());
    return Result;
}
