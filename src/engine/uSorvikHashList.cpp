#include "engine/uSorvik.h"
#include "engine/uSorvikAscii.h"
#include "engine/uStrUtils.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------
// TDigestTexts

namespace {

// Whether Text can be held as bytes, and in which case its letters are.
bool PackableHex(std::string_view Text, bool& Upper)
{
    if (Text.empty() || Text.size() % 2 != 0)
        return false;
    bool Lower = false;
    Upper = false;
    for (char C : Text) {
        if (C >= 'a' && C <= 'f')
            Lower = true;
        else if (C >= 'A' && C <= 'F')
            Upper = true;
        else if (C < '0' || C > '9')
            return false;
    }
    return !(Lower && Upper);
}

void AppendHex(std::string& Out, const char* Bytes, std::size_t Size, bool Upper)
{
    const char* Digits = Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    const std::size_t At = Out.size();
    Out.resize(At + 2 * Size);
    char* P = Out.data() + At;
    for (std::size_t I = 0; I < Size; ++I) {
        const auto B = static_cast<std::uint8_t>(Bytes[I]);
        *P++ = Digits[B >> 4];
        *P++ = Digits[B & 0x0F];
    }
}

constexpr std::uint8_t LongLength = 255;

} // namespace

TDigestTexts::TEntry TDigestTexts::Find(THashType T, std::size_t* Start, std::size_t* End) const
{
    std::size_t Pos = 0;
    for (int I = 0; I < HashTypeCount && I <= T; ++I) {
        const auto Mask = std::uint16_t(1u << I);
        if ((FStored & Mask) == 0)
            continue;
        const std::size_t Begin = Pos;
        std::size_t Size = static_cast<std::uint8_t>(FData[Pos++]);
        if (Size == LongLength) {
            std::uint32_t Long = 0;
            std::memcpy(&Long, FData.data() + Pos, sizeof Long);
            Pos += sizeof Long;
            Size = Long;
        }
        if (I == T) {
            if (Start)
                *Start = Begin;
            if (End)
                *End = Pos + Size;
            return {Pos, Size, (FRaw & Mask) != 0, (FUpper & Mask) != 0};
        }
        Pos += Size;
    }
    // Not stored: where T's entry would go.
    if (Start)
        *Start = Pos;
    if (End)
        *End = Pos;
    return {};
}

std::string TDigestTexts::operator[](std::size_t Index) const
{
    if (Index >= static_cast<std::size_t>(HashTypeCount))
        return {};
    return Cased(static_cast<THashType>(Index), false, true);
}

std::string TDigestTexts::Cased(THashType T, bool Upper) const { return Cased(T, Upper, false); }

std::string TDigestTexts::Cased(THashType T, bool Upper, bool AsStored) const
{
    std::string Result;
    if (!Stored(T))
        return Result;
    const TEntry E = Find(T);
    const char* Payload = FData.data() + E.Offset;
    if (E.Raw) {
        Result.assign(Payload, E.Size);
        if (!AsStored)
            for (char& C : Result)
                C = Upper ? UpperASCII(C) : LowerASCII(C);
        return Result;
    }
    AppendHex(Result, Payload, E.Size, AsStored ? E.Upper : Upper);
    return Result;
}

char* TDigestTexts::Place(THashType T, std::size_t Size)
{
    const std::uint16_t Mask = Bit(T);
    const std::size_t Header = Size < LongLength ? 1 : 1 + sizeof(std::uint32_t);
    std::size_t Start = 0, End = 0;
    Find(T, &Start, &End);
    if (!Stored(T))
        End = Start;
    // The bank puts the types in ordinal order, so this mostly appends.
    const std::size_t Old = End - Start;
    const std::size_t New = Header + Size;
    const std::size_t Tail = FData.size() - End;
    const std::size_t Needed = FData.size() - Old + New;
    if (FData.capacity() < Needed)
        FData.reserve(std::max(Needed, 2 * FData.capacity()));
    if (New > Old)
        FData.resize(Needed);
    char* Base = FData.data();
    std::memmove(Base + Start + New, Base + End, Tail);
    if (New < Old)
        FData.resize(Needed);
    Base = FData.data();
    if (Header == 1) {
        Base[Start] = static_cast<char>(Size);
    } else {
        const auto Long = static_cast<std::uint32_t>(Size);
        Base[Start] = static_cast<char>(LongLength);
        std::memcpy(Base + Start + 1, &Long, sizeof Long);
    }
    FStored = static_cast<std::uint16_t>(FStored | Mask);
    return Base + Start + Header;
}

void TDigestTexts::Set(THashType T, std::string_view Text)
{
    const std::uint16_t Mask = Bit(T);
    if (Mask == 0)
        return;
    bool Upper = false;
    const bool Packed = PackableHex(Text, Upper);
    const std::size_t Size = Packed ? Text.size() / 2 : Text.size();
    char* Payload = Place(T, Size);
    if (Packed) {
        for (std::size_t I = 0; I < Size; ++I)
            Payload[I] = static_cast<char>((HexValue(Text[2 * I]) << 4) | HexValue(Text[2 * I + 1]));
    } else if (Size > 0) {
        std::memcpy(Payload, Text.data(), Size);
    }
    FRaw = static_cast<std::uint16_t>(Packed ? FRaw & ~Mask : FRaw | Mask);
    FUpper = static_cast<std::uint16_t>(Packed && Upper ? FUpper | Mask : FUpper & ~Mask);
}

void TDigestTexts::SetBytes(THashType T, const std::uint8_t* Bytes, std::size_t Size, bool Upper)
{
    const std::uint16_t Mask = Bit(T);
    if (Mask == 0)
        return;
    // No bytes is the empty text, which is held as text.
    char* Payload = Place(T, Size);
    if (Size > 0)
        std::memcpy(Payload, Bytes, Size);
    FRaw = static_cast<std::uint16_t>(Size > 0 ? FRaw & ~Mask : FRaw | Mask);
    FUpper = static_cast<std::uint16_t>(Size > 0 && Upper ? FUpper | Mask : FUpper & ~Mask);
}

void TDigestTexts::Clear()
{
    FStored = FRaw = FUpper = 0;
    std::string().swap(FData);
}

bool TDigestTexts::Same(THashType T, const TDigestTexts& Other, THashType OtherT) const
{
    if (!Stored(T) || !Other.Stored(OtherT))
        return SameHash(Cased(T, false), Other.Cased(OtherT, false));
    const TEntry A = Find(T);
    const TEntry B = Other.Find(OtherT);
    // Bytes against bytes: the same digest in either case.
    if (!A.Raw && !B.Raw)
        return A.Size == B.Size && std::memcmp(FData.data() + A.Offset, Other.FData.data() + B.Offset, A.Size) == 0;
    return SameHash(Cased(T, false), Other.Cased(OtherT, false));
}

bool TDigestTexts::Same(THashType T, std::string_view Text) const { return SameHash(Cased(T, false), Text); }

// ---------------------------------------------------------------------------
// THashList

void THashList::Clear()
{
    HashTypes = 0;
    Texts.Clear();
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

std::string THashList::GetCased(THashType T, bool Upper) const
{
    return Has(T) ? Texts.Cased(T, Upper) : std::string();
}

void THashList::Put(THashType T, std::string_view Text)
{
    if (T < htFirst || T > htLast)
        return;
    IncludeHashType(HashTypes, T);
    Texts.Set(T, Text);
}

void THashList::PutBytes(THashType T, const std::uint8_t* Bytes, std::size_t Size, bool Upper)
{
    if (T < htFirst || T > htLast)
        return;
    IncludeHashType(HashTypes, T);
    Texts.SetBytes(T, Bytes, Size, Upper);
}

THashType THashList::FindType(std::string_view Text) const
{
    for (int I = htFirst; I <= htLast; ++I) {
        const auto T = static_cast<THashType>(I);
        if (Has(T) && Texts.Same(T, Text))
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
        if (Texts.Same(T, Other.Texts, T)) {
            IncludeHashType(Matched, T);
        } else {
            IncludeHashType(Mismatched, T);
            Result = false;
        }
    }
    return Count > 0 && Result;
}
