#include "engine/uSorvik.h"
#include "engine/uSorvikAscii.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Hash types

std::string HashTypeToName(THashType T)
{
    if (T < 0 || T >= HashTypeCount)
        return {};
    return std::string(HashTypeNames[static_cast<std::size_t>(T)]);
}

THashType NameToHashType(std::string_view Name)
{
    for (int I = 0; I < HashTypeCount; ++I)
        if (HashTypeNames[static_cast<std::size_t>(I)] == Name)
            return static_cast<THashType>(I);
    return htNone;
}

std::string HashTypesToString(THashTypes Types)
{
    std::string Result;
    for (int I = htFirst; I <= htLast; ++I) {
        const auto T = static_cast<THashType>(I);
        if (!HasHashType(Types, T))
            continue;
        if (!Result.empty())
            Result += ',';
        Result += HashTypeNames[static_cast<std::size_t>(I)];
    }
    return Result;
}

THashTypes StringToHashTypes(std::string_view Text)
{
    THashTypes Result = 0;
    std::size_t Start = 0;
    while (Start <= Text.size()) {
        std::size_t Comma = Text.find(',', Start);
        if (Comma == std::string_view::npos)
            Comma = Text.size();
        if (Comma > Start)
            IncludeHashType(Result, NameToHashType(Text.substr(Start, Comma - Start)));
        Start = Comma + 1;
    }
    return Result;
}

int CountHashTypes(THashTypes Types)
{
    int Result = 0;
    for (int I = htFirst; I <= htLast; ++I)
        if (HasHashType(Types, static_cast<THashType>(I)))
            ++Result;
    return Result;
}

// ---------------------------------------------------------------------------
// Digest texts

bool SameHash(std::string_view A, std::string_view B)
{
    return A.size() == B.size()
        && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) { return UpperASCII(X) == UpperASCII(Y); });
}

std::string StripBlanks(std::string_view S)
{
    std::string Result;
    Result.reserve(S.size());
    for (char C : S)
        if (static_cast<unsigned char>(C) > 0x20)
            Result += C;
    return Result;
}

std::string CaseHash(std::string_view S, bool Upper)
{
    std::string Result(S);
    for (char& C : Result)
        C = Upper ? UpperASCII(C) : LowerASCII(C);
    return Result;
}

std::string DigestToHex(const void* Digest, std::uint32_t Size)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    const auto* Bytes = static_cast<const std::uint8_t*>(Digest);
    std::string Result(std::size_t(Size) * 2, '0');
    for (std::uint32_t I = 0; I < Size; ++I) {
        Result[2 * I] = Digits[Bytes[I] >> 4];
        Result[2 * I + 1] = Digits[Bytes[I] & 0x0F];
    }
    return Result;
}
