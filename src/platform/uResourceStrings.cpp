#include "platform/uResourceStrings.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <utility>

namespace {

std::vector<TResourceString*>& Registry()
{
    // Built on first use, so texts defined in any unit's statics find it.
    static std::vector<TResourceString*> List;
    return List;
}

std::string LowerAscii(std::string S)
{
    for (char& C : S)
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
    return S;
}

bool IsConversion(char C)
{
    switch (std::tolower(static_cast<unsigned char>(C))) {
    case 'd': case 'u': case 'e': case 'f': case 'g': case 'n':
    case 'm': case 'p': case 's': case 'x':
        return true;
    default:
        return false;
    }
}

struct TPlaceholder {
    size_t Start = 0;
    size_t Length = 0;
    int Index = -1;   // explicit "N:" index, or -1
    char Conversion = 0;
};

// Reads one placeholder at Text[Pos] == '%': "%" [index ":"] ["-"] [width]
// ["." prec] conversion. False when what follows is no placeholder.
bool ReadPlaceholder(const std::string& Text, size_t Pos, TPlaceholder& P)
{
    size_t I = Pos + 1;
    auto Digits = [&](size_t From) {
        size_t J = From;
        while (J < Text.size() && std::isdigit(static_cast<unsigned char>(Text[J])))
            ++J;
        return J;
    };
    P = TPlaceholder{};
    P.Start = Pos;
    size_t J = Digits(I);
    if (J > I && J < Text.size() && Text[J] == ':') {
        P.Index = std::stoi(Text.substr(I, std::min<size_t>(J - I, 6)));
        I = J + 1;
    }
    if (I < Text.size() && Text[I] == '-')
        ++I;
    if (I < Text.size() && Text[I] == '*')
        ++I;
    else
        I = Digits(I);
    if (I < Text.size() && Text[I] == '.') {
        ++I;
        if (I < Text.size() && Text[I] == '*')
            ++I;
        else
            I = Digits(I);
    }
    if (I >= Text.size() || !IsConversion(Text[I]))
        return false;
    P.Conversion = static_cast<char>(std::tolower(static_cast<unsigned char>(Text[I])));
    P.Length = I + 1 - Pos;
    return true;
}

template <typename F>
void WalkPlaceholders(const std::string& Text, F OnPlaceholder)
{
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] != '%')
            continue;
        if (I + 1 < Text.size() && Text[I + 1] == '%') {
            ++I;
            continue;
        }
        TPlaceholder P;
        if (ReadPlaceholder(Text, I, P)) {
            OnPlaceholder(P);
            I += P.Length - 1;
        }
    }
}

} // namespace

TResourceString::TResourceString(const char* UnitName, const char* Name, const char* DefaultText)
    : FUnit(LowerAscii(UnitName)),
      FIdentifier(FUnit + "." + LowerAscii(Name)),
      FDefault(DefaultText),
      FText(DefaultText)
{
    Registry().push_back(this);
}

TResourceString::~TResourceString()
{
    auto& List = Registry();
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
}

void ForEachResourceString(const std::function<void(TResourceString&)>& Action)
{
    for (TResourceString* S : Registry())
        Action(*S);
}

std::vector<std::string> FormatPlaceholders(const std::string& Text)
{
    std::vector<std::string> Result;
    WalkPlaceholders(Text, [&](const TPlaceholder& P) {
        std::string Item;
        if (P.Index >= 0)
            Item = std::to_string(P.Index) + ":";
        Item += P.Conversion;
        Result.push_back(Item);
    });
    return Result;
}

namespace {

// Which argument each placeholder reads, and as what: the index made
// explicit as FormatText counts it (an indexed placeholder moves the count).
std::set<std::pair<std::size_t, char>> ArgumentUses(const std::string& Text)
{
    std::set<std::pair<std::size_t, char>> Uses;
    std::size_t Next = 0;
    WalkPlaceholders(Text, [&](const TPlaceholder& P) {
        const std::size_t Arg = P.Index >= 0 ? static_cast<std::size_t>(P.Index) : Next;
        Next = Arg + 1;
        Uses.emplace(Arg, P.Conversion);
    });
    return Uses;
}

} // namespace

bool SamePlaceholders(const std::string& Original, const std::string& Translation)
{
    // Translators may reorder ("%1:s de %0:s"); what they may not do is read
    // an argument the English text does not give, or read it as another kind.
    return ArgumentUses(Original) == ArgumentUses(Translation);
}

std::string FormatText(const std::string& Fmt, std::initializer_list<std::string> Args)
{
    const std::vector<std::string> List(Args);
    std::string Result;
    size_t Next = 0;
    for (size_t I = 0; I < Fmt.size(); ++I) {
        if (Fmt[I] != '%') {
            Result += Fmt[I];
            continue;
        }
        if (I + 1 < Fmt.size() && Fmt[I + 1] == '%') {
            Result += '%';
            ++I;
            continue;
        }
        TPlaceholder P;
        if (!ReadPlaceholder(Fmt, I, P)) {
            Result += '%';
            continue;
        }
        size_t Arg = P.Index >= 0 ? static_cast<size_t>(P.Index) : Next;
        Next = Arg + 1;
        if (Arg < List.size())
            Result += List[Arg];
        I += P.Length - 1;
    }
    return Result;
}
