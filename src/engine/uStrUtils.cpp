#include "engine/uStrUtils.h"

#include "platform/uRegionalSettings.h"

#include <cmath>

SORVIK_RESOURCESTRING(ustrutils, ssizeinbytes, "%s bytes");
SORVIK_RESOURCESTRING(ustrutils, ssizebytes, "B");
SORVIK_RESOURCESTRING(ustrutils, ssizekb, "KB");
SORVIK_RESOURCESTRING(ustrutils, ssizemb, "MB");
SORVIK_RESOURCESTRING(ustrutils, ssizegb, "GB");
SORVIK_RESOURCESTRING(ustrutils, sspeedpersecbytes, "B/s");
SORVIK_RESOURCESTRING(ustrutils, sspeedperseckb, "KB/s");
SORVIK_RESOURCESTRING(ustrutils, sspeedpersecmb, "MB/s");
SORVIK_RESOURCESTRING(ustrutils, sspeedpersecgb, "GB/s");

void TStringQueue::Push(std::string S)
{
    Items.emplace_front(std::move(S));
}

bool TStringQueue::Pop(std::string& S)
{
    S.clear();
    if (Items.empty())
        return false;
    S = std::move(Items.back().Text);
    Items.pop_back();
    return true;
}

namespace {

constexpr char32_t ReplacementChar = 0xFFFD;

std::u16string Utf8ToUtf16(const std::string& Text)
{
    std::u16string Result;
    Result.reserve(Text.size());
    const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
    const std::size_t N = Text.size();
    std::size_t I = 0;
    while (I < N) {
        const unsigned char C = P[I];
        char32_t Code = ReplacementChar;
        std::size_t Length = 1;
        int Trail = 0;
        char32_t Min = 0;
        if (C < 0x80) {
            Code = C;
        } else if (C >= 0xC2 && C <= 0xDF) {
            Code = C & 0x1F; Trail = 1; Min = 0x80;
        } else if (C >= 0xE0 && C <= 0xEF) {
            Code = C & 0x0F; Trail = 2; Min = 0x800;
        } else if (C >= 0xF0 && C <= 0xF4) {
            Code = C & 0x07; Trail = 3; Min = 0x10000;
        }
        if (Trail > 0) {
            bool Ok = I + static_cast<std::size_t>(Trail) < N;
            for (int K = 1; Ok && K <= Trail; ++K) {
                const unsigned char T = P[I + static_cast<std::size_t>(K)];
                if ((T & 0xC0) != 0x80)
                    Ok = false;
                else
                    Code = (Code << 6) | (T & 0x3F);
            }
            if (Ok && Code >= Min && Code <= 0x10FFFF && !(Code >= 0xD800 && Code <= 0xDFFF))
                Length = static_cast<std::size_t>(Trail) + 1;
            else
                Code = ReplacementChar;
        } else if (C >= 0x80) {
            Code = ReplacementChar;
        }
        I += Length;
        if (Code >= 0x10000) {
            Code -= 0x10000;
            Result.push_back(static_cast<char16_t>(0xD800 + (Code >> 10)));
            Result.push_back(static_cast<char16_t>(0xDC00 + (Code & 0x3FF)));
        } else {
            Result.push_back(static_cast<char16_t>(Code));
        }
    }
    return Result;
}

void AppendUtf8(std::string& Out, char32_t Code)
{
    if (Code < 0x80) {
        Out.push_back(static_cast<char>(Code));
    } else if (Code < 0x800) {
        Out.push_back(static_cast<char>(0xC0 | (Code >> 6)));
        Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
    } else if (Code < 0x10000) {
        Out.push_back(static_cast<char>(0xE0 | (Code >> 12)));
        Out.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
    } else {
        Out.push_back(static_cast<char>(0xF0 | (Code >> 18)));
        Out.push_back(static_cast<char>(0x80 | ((Code >> 12) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
    }
}

std::string Utf16ToUtf8(const std::u16string& Text)
{
    std::string Result;
    Result.reserve(Text.size());
    for (std::size_t I = 0; I < Text.size(); ++I) {
        char32_t Code = Text[I];
        if (Code >= 0xD800 && Code <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 &&
            Text[I + 1] <= 0xDFFF) {
            Code = 0x10000 + ((Code - 0xD800) << 10) + (Text[I + 1] - 0xDC00);
            ++I;
        } else if (Code >= 0xD800 && Code <= 0xDFFF) {
            Code = ReplacementChar;
        }
        AppendUtf8(Result, Code);
    }
    return Result;
}

}  // namespace

std::string EncodeText(const std::string& Text, TTextEncoding Encoding, std::string& Bytes)
{
    switch (Encoding) {
    case teUnicode: {
        const std::u16string Wide = Utf8ToUtf16(Text);
        Bytes.clear();
        Bytes.reserve(Wide.size() * 2);
        for (char16_t Unit : Wide) {
            Bytes.push_back(static_cast<char>(Unit & 0xFF));
            Bytes.push_back(static_cast<char>(Unit >> 8));
        }
        return Utf16ToUtf8(Wide);
    }
    case teANSI:
        // The process-wide 8-bit code page is UTF-8.
        Bytes = Utf16ToUtf8(Utf8ToUtf16(Text));
        return Bytes;
    case teUTF8:
    default:
        Bytes = Text;
        return Text;
    }
}

std::string IntToStrSep(std::int64_t N, std::string_view Separator)
{
    const std::string Digits = std::to_string(N);
    const std::size_t Sign = (!Digits.empty() && Digits[0] == '-') ? 1 : 0;
    std::string Result;
    const std::size_t Count = Digits.size() - Sign;
    Result.append(Digits, 0, Sign);
    for (std::size_t I = 0; I < Count; ++I) {
        if (I > 0 && (Count - I) % 3 == 0)
            Result.append(Separator);
        Result.push_back(Digits[Sign + I]);
    }
    return Result;
}

std::string FormatSizeInBytes(std::int64_t N)
{
    return FormatText(ssizeinbytes, {IntToStrSep(N, ",")});
}

namespace {

TNumberSeparators& Separators()
{
    static TNumberSeparators Value = ReadNumberSeparators();
    return Value;
}

// Value / Divisor with the pattern "#,##0.00": exact halves go away from
// zero (1152 / 1024 = 1.125 reads 1.13). The 64-bit mantissa keeps the
// scaled quotient exact for every value this program shows.
std::string FormatDivided(long double Value, long double Divisor)
{
    const long double Hundredths = std::round(Value / Divisor * 100.0L);
    const auto Whole = static_cast<std::int64_t>(std::floor(Hundredths / 100.0L));
    const auto Fraction = static_cast<int>(Hundredths - static_cast<long double>(Whole) * 100.0L);
    const TNumberSeparators& Sep = Separators();
    std::string Result = IntToStrSep(Whole, Sep.Group);
    Result += Sep.Decimal;
    Result.push_back(static_cast<char>('0' + Fraction / 10));
    Result.push_back(static_cast<char>('0' + Fraction % 10));
    return Result;
}

struct TUnitWords {
    const TResourceString* Bytes;
    const TResourceString* KB;
    const TResourceString* MB;
    const TResourceString* GB;
};

// The thresholds are decimal and the divisors binary; V < 1000 is left to the caller.
std::string FormatScaled(long double V, const TUnitWords& Words)
{
    if (V < 1000000.0L)
        return FormatDivided(V, 1024.0L) + " " + Words.KB->Text();
    if (V < 1000000000.0L)
        return FormatDivided(V, 1048576.0L) + " " + Words.MB->Text();
    return FormatDivided(V, 1073741824.0L) + " " + Words.GB->Text();
}

}  // namespace

const TNumberSeparators& NumberSeparators()
{
    return Separators();
}

void SetNumberSeparators(const TNumberSeparators& Value)
{
    Separators() = Value;
}

std::string FormatSize(std::int64_t N)
{
    if (N < 0)
        return {};
    if (N < 1000)
        return std::to_string(N) + " " + ssizebytes.Text();
    return FormatScaled(static_cast<long double>(N), {&ssizebytes, &ssizekb, &ssizemb, &ssizegb});
}

std::string FormatSpeed(double BytesPerSecond)
{
    if (!(BytesPerSecond >= 0) || !std::isfinite(BytesPerSecond))
        return {};
    if (BytesPerSecond < 1000) {
        // nearbyint rounds in the default mode: exact halves go to the even neighbour.
        const auto Whole = static_cast<std::int64_t>(std::nearbyint(BytesPerSecond));
        return std::to_string(Whole) + " " + sspeedpersecbytes.Text();
    }
    return FormatScaled(static_cast<long double>(BytesPerSecond),
                        {&sspeedpersecbytes, &sspeedperseckb, &sspeedpersecmb, &sspeedpersecgb});
}

void SplitText(std::string_view Text, std::string_view SeparatorChars, std::vector<std::string>& List)
{
    std::size_t Start = 0;
    while (Start <= Text.size()) {
        const std::size_t End = Text.find_first_of(SeparatorChars, Start);
        const std::size_t Stop = End == std::string_view::npos ? Text.size() : End;
        if (Stop > Start)
            List.emplace_back(Text.substr(Start, Stop - Start));
        if (End == std::string_view::npos)
            break;
        Start = End + 1;
    }
}

int HexValue(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}
