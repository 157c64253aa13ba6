#include "engine/uSorvik.h"

#include <algorithm>

namespace {

constexpr char UpperASCII(char C) { return (C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C; }
constexpr char LowerASCII(char C) { return (C >= 'A' && C <= 'Z') ? char(C - 'A' + 'a') : C; }

}  // namespace

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

// ---------------------------------------------------------------------------
// THashList

void THashList::Clear()
{
    HashTypes = 0;
    for (auto& Text : Texts)
        Text.clear();
}

std::string THashList::First() const
{
    for (int I = htFirst; I <= htLast; ++I)
        if (Has(static_cast<THashType>(I)))
            return Texts[static_cast<std::size_t>(I)];
    return {};
}

std::string THashList::Get(THashType T) const
{
    return Has(T) ? Texts[static_cast<std::size_t>(T)] : std::string();
}

void THashList::Put(THashType T, std::string Text)
{
    if (T < htFirst || T > htLast)
        return;
    IncludeHashType(HashTypes, T);
    Texts[static_cast<std::size_t>(T)] = std::move(Text);
}

THashType THashList::FindType(std::string_view Text) const
{
    for (int I = htFirst; I <= htLast; ++I) {
        const auto T = static_cast<THashType>(I);
        if (Has(T) && SameHash(Texts[static_cast<std::size_t>(I)], Text))
            return T;
    }
    return htNone;
}

bool THashList::Compare(const THashList& Other, THashTypes& Matched, THashTypes& Mismatched) const
{
    Matched = 0;
    Mismatched = 0;
    bool Result = true;
    int Count = 0;
    const THashTypes Common = HashTypes & Other.HashTypes;
    for (int I = htFirst; I <= htLast; ++I) {
        const auto T = static_cast<THashType>(I);
        if (!HasHashType(Common, T))
            continue;
        ++Count;
        if (SameHash(Texts[static_cast<std::size_t>(I)], Other.Texts[static_cast<std::size_t>(I)])) {
            IncludeHashType(Matched, T);
        } else {
            IncludeHashType(Mismatched, T);
            Result = false;
        }
    }
    return Count > 0 && Result;
}

// ---------------------------------------------------------------------------
// Records of hashed files

void THashFile::ReadProperties()
{
    if (!GetFileProperties(FileName, Properties))
        throw ESorvikError(SFailedToReadFileProperties);
}

std::shared_ptr<THashFile> THashFileList::Previous(const THashFile* Item) const
{
    for (std::size_t I = 1; I < Items.size(); ++I)
        if (Items[I].get() == Item)
            return Items[I - 1];
    return nullptr;
}
