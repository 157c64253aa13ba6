#include "engine/uSorvik.h"

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

#if defined(__linux__)
#include <sched.h>
#endif

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
    int Count = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
#if defined(__linux__)
    // A process confined to some of the cores (a container's share, a
    // launcher's affinity) gains nothing from more threads than it may run
    // at once: they would take turns on its cores.
    cpu_set_t Allowed;
    CPU_ZERO(&Allowed);
    if (::sched_getaffinity(0, sizeof Allowed, &Allowed) == 0 && CPU_COUNT(&Allowed) > 0)
        Count = std::min(Count, CPU_COUNT(&Allowed));
#endif
    return Count;
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
    ForEachEnabled(HashTypes, Calculators, [&](THashType T, TSorvik& C) { List.Put(T, C.GetHash()); });
}
