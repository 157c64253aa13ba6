#include "engine/uSorvik.h"
#include "engine/uStrUtils.h"

#include "platform/uProcessors.h"

#include "digest/uDigestCpu.h"
#include "digest/uDigestRIPEMD128.h"
#include "digest/uDigestRIPEMD160.h"
#include "digest/uDigestSHA256.h"
#include "digest/uDigestSHA512.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>


namespace {

// Fills the one "%s" of a fixed message.
std::string FormatMessage1(std::string_view Pattern, std::string_view Arg)
{
    const std::size_t At = Pattern.find("%s");
    std::string Result(Pattern.substr(0, At));
    Result += Arg;
    Result += Pattern.substr(At + 2);
    return Result;
}

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

// ---------------------------------------------------------------------------
// Calculators

void TSorvik::Update(const void* Buffer, std::size_t Size)
{
    const auto* Bytes = static_cast<const std::uint8_t*>(Buffer);
    while (Size > 0) {
        const auto Piece = static_cast<std::uint32_t>(std::min<std::size_t>(Size, MaxPiece));
        DoUpdate(Bytes, Piece);
        Bytes += Piece;
        Size -= Piece;
    }
}

void TSorvikCRC32::Init()
{
    CRC = static_cast<std::uint32_t>(crc32(0, Z_NULL, 0));
}

void TSorvikCRC32::DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size)
{
    CRC = static_cast<std::uint32_t>(crc32(CRC, Buffer, static_cast<uInt>(Size)));
}

std::size_t TSorvik::GetDigest(std::uint8_t*, bool&) const { return 0; }

std::size_t TSorvikCRC32::GetDigest(std::uint8_t* Out, bool& Upper) const
{
    Out[0] = std::uint8_t(CRC >> 24);
    Out[1] = std::uint8_t(CRC >> 16);
    Out[2] = std::uint8_t(CRC >> 8);
    Out[3] = std::uint8_t(CRC);
    Upper = true;
    return 4;
}

std::string TSorvikCRC32::GetHash() const
{
    const std::uint8_t Bytes[4] = {std::uint8_t(CRC >> 24), std::uint8_t(CRC >> 16), std::uint8_t(CRC >> 8),
                                   std::uint8_t(CRC)};
    return DigestToHex(Bytes, 4);
}

void TSorvikMD::Init()
{
    MDInit(Context, FVersion);
}

void TSorvikMD::DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size)
{
    MDUpdate(Context, Buffer, Size);
}

void TSorvikMD::Final()
{
    MDFinal(Context, Digest);
}

std::size_t TSorvikMD::GetDigest(std::uint8_t* Out, bool& Upper) const
{
    std::memcpy(Out, Digest.data(), Digest.size());
    Upper = false;
    return Digest.size();
}

std::string TSorvikMD::GetHash() const
{
    return MDPrint(Digest);
}

TSorvikED2K::TSorvikED2K()
{
    // Room for files of up to about 2.5 GB before the list grows.
    BlockDigests.reserve(256);
}

void TSorvikED2K::Init()
{
    MDInit(Context, mvMD4);
    BlockDigests.clear();
    BlockBytes = 0;
}

void TSorvikED2K::DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size)
{
    std::uint32_t Done = 0;
    while (Done < Size) {
        const std::uint32_t Chunk = std::min(Size - Done, ED2KBlockSize - BlockBytes);
        MDUpdate(Context, Buffer + Done, Chunk);
        BlockBytes += Chunk;
        Done += Chunk;
        if (BlockBytes == ED2KBlockSize) {
            MDFinal(Context, BlockDigest);
            BlockDigests.push_back(BlockDigest);
            MDInit(Context, mvMD4);
            BlockBytes = 0;
        }
    }
}

void TSorvikED2K::Final()
{
    // A block closed by Update at an exact multiple of the block size is not
    // followed by an empty one.
    if (BlockBytes > 0 || BlockDigests.empty()) {
        MDFinal(Context, BlockDigest);
        BlockDigests.push_back(BlockDigest);
    }
    if (BlockDigests.size() == 1) {
        Digest = BlockDigests.front();
    } else {
        MDInit(Context, mvMD4);
        MDUpdate(Context, BlockDigests.data(), BlockDigests.size() * sizeof(TMDDigest));
        MDFinal(Context, Digest);
    }
}

std::size_t TSorvikED2K::GetDigest(std::uint8_t* Out, bool& Upper) const
{
    std::memcpy(Out, Digest.data(), Digest.size());
    Upper = false;
    return Digest.size();
}

std::string TSorvikED2K::GetHash() const
{
    return MDPrint(Digest);
}

void TSorvikSHA1::Init()
{
    SHA1Init(Context);
}

void TSorvikSHA1::DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size)
{
    SHA1Update(Context, Buffer, Size);
}

void TSorvikSHA1::Final()
{
    SHA1Final(Context, Digest);
}

std::size_t TSorvikSHA1::GetDigest(std::uint8_t* Out, bool& Upper) const
{
    std::memcpy(Out, Digest.data(), Digest.size());
    Upper = false;
    return Digest.size();
}

std::string TSorvikSHA1::GetHash() const
{
    return SHA1Print(Digest);
}

TSorvikDigestClass::TSorvikDigestClass(std::unique_ptr<TDigestHash> Digester, std::int32_t Bits,
                                       const char* ClassName)
    : Hash(std::move(Digester)), FBits(std::min<std::int32_t>(Bits, 8 * sizeof(Digest))), FClassName(ClassName)
{
}

void TSorvikDigestClass::Init()
{
    Hash->Init();
}

void TSorvikDigestClass::DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size)
{
    Hash->Update(Buffer, Size);
}

void TSorvikDigestClass::Final()
{
    if (Hash->HashSize() != FBits) {
        throw ESorvikError(FormatMessage1(SIncorrectDigestSize, FClassName));
    }
    Hash->Final(Digest.data());
}

std::size_t TSorvikDigestClass::GetDigest(std::uint8_t* Out, bool& Upper) const
{
    const auto Size = static_cast<std::size_t>(FBits / 8);
    std::memcpy(Out, Digest.data(), Size);
    Upper = true;
    return Size;
}

std::string TSorvikDigestClass::GetHash() const
{
    return DigestToHex(Digest.data(), static_cast<std::uint32_t>(FBits / 8));
}

TSorvikSHA256::TSorvikSHA256() : TSorvikDigestClass(std::make_unique<TDigestSHA256>(), 256, "TSorvikSHA256") {}
TSorvikSHA512::TSorvikSHA512() : TSorvikDigestClass(std::make_unique<TDigestSHA512>(), 512, "TSorvikSHA512") {}
TSorvikRIPEMD128::TSorvikRIPEMD128()
    : TSorvikDigestClass(std::make_unique<TDigestRIPEMD128>(), 128, "TSorvikRIPEMD128")
{
}
TSorvikRIPEMD160::TSorvikRIPEMD160()
    : TSorvikDigestClass(std::make_unique<TDigestRIPEMD160>(), 160, "TSorvikRIPEMD160")
{
}

std::unique_ptr<TSorvik> TSorvik::CreateCalculator(THashType T)
{
    std::unique_ptr<TSorvik> Result;
    switch (T) {
    case htCRC32: Result = std::make_unique<TSorvikCRC32>(); break;
    case htMD2: Result = std::make_unique<TSorvikMD2>(); break;
    case htMD4: Result = std::make_unique<TSorvikMD4>(); break;
    case htMD5: Result = std::make_unique<TSorvikMD5>(); break;
    case htSHA1: Result = std::make_unique<TSorvikSHA1>(); break;
    case htSHA256: Result = std::make_unique<TSorvikSHA256>(); break;
    case htSHA512: Result = std::make_unique<TSorvikSHA512>(); break;
    case htRIPEMD128: Result = std::make_unique<TSorvikRIPEMD128>(); break;
    case htRIPEMD160: Result = std::make_unique<TSorvikRIPEMD160>(); break;
    case htED2K: Result = std::make_unique<TSorvikED2K>(); break;
    default: throw ESorvikError(FormatMessage1(SNotSupportedHashType, std::to_string(static_cast<std::int32_t>(T))));
    }
    Result->HashType = T;
    return Result;
}

// ---------------------------------------------------------------------------
// The bank

TSorvikList::TSorvikList(int Threads)
{
    for (int I = htFirst; I <= htLast; ++I)
        Calculators[static_cast<std::size_t>(I)] = TSorvik::CreateCalculator(static_cast<THashType>(I));
    if (Threads > 1)
        FLanes = std::make_unique<TLanePipeline>(std::min(Threads, HashTypeCount - 1), PipelineDepth);
}

// The threads end before the calculators that they use.
TSorvikList::~TSorvikList()
{
    FLanes.reset();
}

int TSorvikList::CoreCount()
{
    // More threads than the process may run at once would take turns on its cores.
    return ProcessCoreCount();
}

template <typename Action>
static void ForEachEnabled(THashTypes Types, const std::array<std::unique_ptr<TSorvik>, HashTypeCount>& Calculators,
                           Action&& Act)
{
    for (int I = htFirst; I <= htLast; ++I)
        if (HasHashType(Types, static_cast<THashType>(I)))
            Act(static_cast<THashType>(I), *Calculators[static_cast<std::size_t>(I)]);
}

namespace {

// Rough time per byte of each calculator on one core, in tenths of a
// nanosecond at about 2 GHz; only the proportions matter.
int CalculatorCost(THashType T)
{
    const bool Sha = DigestCpu::UseShaExtensions();
    switch (T) {
    case htCRC32: return 2;
    case htMD2: return 950;
    case htMD4: return 8;
    case htMD5: return 13;
    case htSHA1: return Sha ? 6 : 12;
    case htSHA256: return Sha ? 6 : 26;
    case htSHA512: return 15;
    case htRIPEMD128: return 13;
    case htRIPEMD160: return 19;
    case htED2K: return 8;
    default: return 0;
    }
}

}  // namespace

// As few groups as keep every group within a tenth of the costliest
// calculator's time, so that the costliest alone bounds a chunk's time;
// each count is tried by placing the calculators, costliest first, into the
// group with the least work so far.
void TSorvikList::PlanGroups()
{
    // File after file of the same set: planned already.
    const int Lanes = FLanes ? FLanes->MaxLanes() : 1;
    if (HashTypes == FPlannedTypes && Lanes == FPlannedLanes)
        return;
    FPlannedTypes = HashTypes;
    FPlannedLanes = Lanes;
    FGroups.fill(0);
    std::array<THashType, HashTypeCount> Types{};
    int N = 0;
    ForEachEnabled(HashTypes, Calculators, [&](THashType T, TSorvik&) { Types[static_cast<std::size_t>(N++)] = T; });
    FGroupCount = N > 0 ? 1 : 0;
    FGroups[0] = HashTypes;
    const int MaxGroups = std::min(N, FLanes ? FLanes->MaxLanes() : 1);
    if (MaxGroups <= 1)
        return;
    std::stable_sort(Types.begin(), Types.begin() + N,
                     [](THashType A, THashType B) { return CalculatorCost(A) > CalculatorCost(B); });
    const int Limit = CalculatorCost(Types[0]) * 11 / 10;
    for (int K = 2; K <= MaxGroups; ++K) {
        std::array<int, HashTypeCount> Load{};
        std::array<THashTypes, HashTypeCount> Groups{};
        for (int I = 0; I < N; ++I) {
            const auto Least = static_cast<std::size_t>(std::min_element(Load.begin(), Load.begin() + K) - Load.begin());
            Load[Least] += CalculatorCost(Types[static_cast<std::size_t>(I)]);
            IncludeHashType(Groups[Least], Types[static_cast<std::size_t>(I)]);
        }
        if (*std::max_element(Load.begin(), Load.begin() + K) <= Limit || K == MaxGroups) {
            FGroups = Groups;
            FGroupCount = K;
            return;
        }
    }
}

void TSorvikList::UpdateGroup(void* Context, int Group, const std::uint8_t* Data, std::size_t Size)
{
    auto& Bank = *static_cast<TSorvikList*>(Context);
    ForEachEnabled(Bank.FGroups[static_cast<std::size_t>(Group)], Bank.Calculators,
                   [&](THashType, TSorvik& C) { C.Update(Data, Size); });
}

void TSorvikList::Init(THashTypes Types)
{
    // Nothing of the run before may still be at work on the calculators.
    if (FLanes)
        FLanes->Quiesce();
    FSideBySide = false;
    HashTypes = Types & AllHashTypes();
    int Costliest = 0;
    ForEachEnabled(HashTypes, Calculators, [&](THashType T, TSorvik& C) {
        C.Init();
        Costliest = std::max(Costliest, CalculatorCost(T));
    });
    PlanGroups();
    // A single group goes to a thread of its own as well: the caller then
    // reads the next chunk while it is hashed.
    if (FLanes && FGroupCount >= 1) {
        // A chunk of a slow calculator (MD2) outlasts any wake-up many times
        // over: a few chunks in hand are enough, and the progress, counted
        // as chunks are read, stays as close to the digests as before.
        const int Depth = Costliest >= SlowCalculatorCost ? SlowPipelineDepth : PipelineDepth;
        try {
            FLanes->Begin(FGroupCount, &TSorvikList::UpdateGroup, this, Depth);
            FSideBySide = true;
        } catch (const std::system_error&) {
            // No threads to be had: everything runs here, now and later.
            FLanes.reset();
            PlanGroups();
        }
    }
}

void TSorvikList::UpdateHere(const void* Buffer, std::size_t Size)
{
    ForEachEnabled(HashTypes, Calculators, [&](THashType, TSorvik& C) { C.Update(Buffer, Size); });
}

void TSorvikList::Update(const void* Buffer, std::size_t Size)
{
    if (!FSideBySide) {
        UpdateHere(Buffer, Size);
        return;
    }
    // A single group gains nothing from a copy: it takes the buffer here.
    if (Size < SideBySideMinimum || FGroupCount == 1) {
        FLanes->Finish();
        UpdateHere(Buffer, Size);
        return;
    }
    std::memcpy(FLanes->Acquire(Size), Buffer, Size);
    FLanes->Submit(Size);
}

std::int64_t TSorvikList::ChunksHandedOver() const { return FLanes ? FLanes->Submitted() : 0; }

std::uint8_t* TSorvikList::AcquireChunk(std::size_t Size)
{
    return FSideBySide ? FLanes->Acquire(Size) : nullptr;
}

void TSorvikList::SubmitChunk(std::size_t Size)
{
    if (FSideBySide)
        FLanes->Submit(Size);
}

void TSorvikList::Final()
{
    if (FSideBySide)
        FLanes->Finish();
    ForEachEnabled(HashTypes, Calculators, [](THashType, TSorvik& C) { C.Final(); });
}

void TSorvikList::GetHashes(THashList& List) const
{
    // As bytes where the calculator has them: no text is made and read back.
    // The room for all of them is taken at once: each digest's bytes and
    // the one byte of its length.
    static constexpr std::array<std::size_t, HashTypeCount> DigestBytes = {0, 4, 16, 16, 16, 20, 32, 64, 16, 20, 16};
    std::size_t Room = 0;
    ForEachEnabled(HashTypes, Calculators, [&](THashType T, TSorvik&) { Room += 1 + DigestBytes[static_cast<std::size_t>(T)]; });
    List.Texts.Reserve(Room);
    ForEachEnabled(HashTypes, Calculators, [&](THashType T, TSorvik& C) {
        std::uint8_t Bytes[64];
        bool Upper = false;
        const std::size_t Size = C.GetDigest(Bytes, Upper);
        if (Size > 0)
            List.PutBytes(T, Bytes, Size, Upper);
        else
            List.Put(T, C.GetHash());
    });
}
