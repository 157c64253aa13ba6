#include "engine/uSorvik.h"

#include "platform/uProcessors.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>
#include <vector>

// ---------------------------------------------------------------------------
// The bank

TSorvikList::TSorvikList(int Threads)
{
    for (int I = htFirst; I <= htLast; ++I)
        Calculators[static_cast<std::size_t>(I)] = TSorvik::CreateCalculator(static_cast<THashType>(I));
    if (Threads > 1) {
        FLanes = std::make_unique<TLanePipeline>(std::min(Threads, HashTypeCount - 1), PipelineDepth);
        FPartner = std::make_unique<TSpinPartner>();
    }
}

// The threads end before the calculators that they use.
TSorvikList::~TSorvikList()
{
    FPartner.reset();
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

// Each calculator's time per byte on this processor, in picoseconds. The
// proportions differ from processor to processor and with the code each
// digest takes there (SHA-512 on 32-bit x86 is the slowest of the nine,
// on x86-64 RIPEMD-160), so they are measured, once, at the first plan
// that needs them: a few rounds over a short piece (MD2's shorter), each
// type's least time counting, so that a try that lost its core does not.
std::array<std::int64_t, HashTypeCount> MeasureCosts()
{
    constexpr std::size_t Piece = 16384;
    constexpr std::size_t MD2Piece = 1024;
    std::vector<std::uint8_t> Data(Piece);
    std::uint32_t X = 1;
    for (auto& B : Data) {
        X = X * 1664525u + 1013904223u;
        B = static_cast<std::uint8_t>(X >> 24);
    }
    std::array<std::unique_ptr<TSorvik>, HashTypeCount> Calculators;
    std::array<std::int64_t, HashTypeCount> Costs{};
    for (int Round = 0; Round < 3; ++Round)
        for (int I = htFirst; I <= htLast; ++I) {
            const auto T = static_cast<std::size_t>(I);
            if (!Calculators[T])
                Calculators[T] = TSorvik::CreateCalculator(static_cast<THashType>(I));
            const std::size_t Size = I == htMD2 ? MD2Piece : Piece;
            Calculators[T]->Init();
            const auto Started = std::chrono::steady_clock::now();
            Calculators[T]->Update(Data.data(), Size);
            const std::chrono::nanoseconds Took = std::chrono::steady_clock::now() - Started;
            const std::int64_t PerByte = std::max<std::int64_t>(Took.count() * 1000 / std::int64_t(Size), 1);
            Costs[T] = Round == 0 ? PerByte : std::min(Costs[T], PerByte);
        }
    return Costs;
}

std::int64_t CalculatorCost(THashType T)
{
    static const std::array<std::int64_t, HashTypeCount> Costs = MeasureCosts();
    return Costs[static_cast<std::size_t>(T)];
}

}  // namespace

// The bank goes at the pace of its slowest thread. Groups packed to the
// costliest calculator's time would leave every thread without slack: any
// of them that ran a little slower than planned (a core shared with the
// reader or another program, a processor whose proportions differ from
// the measurement) would set the pace. So: as few groups as leave every
// group of several calculators a quarter of the costliest one's time to
// spare, the costliest alone then bounding a chunk's time as with one
// thread per type. Each count is tried by placing the calculators,
// costliest first, into the group with the least work so far.
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
    const std::int64_t Limit = CalculatorCost(Types[0]) * 3 / 4;
    for (int K = 2; K <= MaxGroups; ++K) {
        std::array<std::int64_t, HashTypeCount> Load{};
        std::array<int, HashTypeCount> Members{};
        std::array<THashTypes, HashTypeCount> Groups{};
        for (int I = 0; I < N; ++I) {
            const auto Least = static_cast<std::size_t>(std::min_element(Load.begin(), Load.begin() + K) - Load.begin());
            Load[Least] += CalculatorCost(Types[static_cast<std::size_t>(I)]);
            ++Members[Least];
            IncludeHashType(Groups[Least], Types[static_cast<std::size_t>(I)]);
        }
        bool Spare = true;
        for (int G = 0; G < K; ++G)
            Spare = Spare && (Members[static_cast<std::size_t>(G)] == 1 ||
                              Load[static_cast<std::size_t>(G)] <= Limit);
        if (Spare || K == MaxGroups) {
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
    ForEachEnabled(HashTypes, Calculators, [&](THashType, TSorvik& C) { C.Init(); });
    PlanGroups();
    PlanPartner();
    FED2KBehind = (HashTypes & HashTypeBit(htMD4)) != 0 && (HashTypes & HashTypeBit(htED2K)) != 0;
    FED2KBehindBytes = 0;
    // A single group goes to a thread of its own as well: the caller then
    // reads the next chunk while it is hashed.
    if (FLanes && FGroupCount >= 1) {
        // A chunk of a slow calculator (MD2) outlasts any wake-up many times
        // over: a few chunks in hand are enough, and the progress, counted
        // as chunks are read, stays as close to the digests as before.
        std::int64_t Costliest = 0;
        ForEachEnabled(HashTypes, Calculators,
                       [&](THashType T, TSorvik&) { Costliest = std::max(Costliest, CalculatorCost(T)); });
        const int Depth = Costliest >= SlowCalculatorPicoseconds ? SlowPipelineDepth : PipelineDepth;
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

void TSorvikList::CatchUpED2K()
{
    if (!FED2KBehind)
        return;
    // Both were started together and MD4 has taken every byte since.
    auto& ED2K = static_cast<TSorvikED2K&>(*Calculators[htED2K]);
    ED2K.Context = static_cast<const TSorvikMD&>(*Calculators[htMD4]).Context;
    ED2K.BlockBytes = FED2KBehindBytes;
    FED2KBehind = false;
}

void TSorvikList::UpdateHere(const void* Buffer, std::size_t Size)
{
    THashTypes Types = HashTypes;
    if (FED2KBehind && Size < ED2KBlockSize - FED2KBehindBytes) {
        FED2KBehindBytes += static_cast<std::uint32_t>(Size);
        ExcludeHashType(Types, htED2K);
    } else {
        CatchUpED2K();
    }
    RunHere(Types, static_cast<const std::uint8_t*>(Buffer), Size, false);
}

// Two shares of about equal cost, costliest first into the lighter one;
// MD4 and ED2K stay together (ED2K may take MD4's state).
void TSorvikList::PlanPartner()
{
    if (HashTypes == FPartnerPlanned)
        return;
    FPartnerPlanned = HashTypes;
    FPartnerTypes = 0;
    if (!FPartner)
        return;
    std::array<THashTypes, HashTypeCount> Units{};
    std::array<std::int64_t, HashTypeCount> Costs{};
    int N = 0;
    ForEachEnabled(HashTypes, Calculators, [&](THashType T, TSorvik&) {
        if (T == htED2K && HasHashType(HashTypes, htMD4))
            return;
        Units[static_cast<std::size_t>(N)] = HashTypeBit(T);
        Costs[static_cast<std::size_t>(N)] = CalculatorCost(T);
        if (T == htMD4 && HasHashType(HashTypes, htED2K)) {
            // Its first block costs nothing beside MD4: small files are what
            // the partner is for.
            IncludeHashType(Units[static_cast<std::size_t>(N)], htED2K);
        }
        ++N;
    });
    if (N < 2)
        return;
    std::array<int, HashTypeCount> Order{};
    for (int I = 0; I < N; ++I)
        Order[static_cast<std::size_t>(I)] = I;
    std::stable_sort(Order.begin(), Order.begin() + N, [&](int A, int B) {
        return Costs[static_cast<std::size_t>(A)] > Costs[static_cast<std::size_t>(B)];
    });
    std::int64_t Here = 0;
    std::int64_t There = 0;
    for (int I = 0; I < N; ++I) {
        const auto U = static_cast<std::size_t>(Order[static_cast<std::size_t>(I)]);
        if (There < Here) {
            There += Costs[U];
            FPartnerTypes |= Units[U];
        } else {
            Here += Costs[U];
        }
    }
}

void TSorvikList::PartnerJob(void* Context)
{
    auto& Bank = *static_cast<TSorvikList*>(Context);
    const TPartnerPiece& P = Bank.FPartnerPiece;
    ForEachEnabled(P.Types, Bank.Calculators, [&](THashType, TSorvik& C) {
        if (P.Final)
            C.Final();
        else
            C.Update(P.Data, P.Size);
    });
}

void TSorvikList::RunHere(THashTypes Types, const std::uint8_t* Data, std::size_t Size, bool Final)
{
    const auto Act = [&](THashType, TSorvik& C) {
        if (Final)
            C.Final();
        else
            C.Update(Data, Size);
    };
    const THashTypes Away = Types & FPartnerTypes;
    if (!FPartner || Away == 0 || Away == Types) {
        ForEachEnabled(Types, Calculators, Act);
        return;
    }
    FPartnerPiece = {Away, Data, Size, Final};
    try {
        FPartner->Run(&TSorvikList::PartnerJob, this);
    } catch (const std::system_error&) {
        // No thread to be had: everything runs here, now and later.
        FPartner.reset();
        FPartnerTypes = 0;
        ForEachEnabled(Types, Calculators, Act);
        return;
    }
    // The partner works on its share until Wait: it must have ended before
    // a failure here leaves.
    std::exception_ptr Failure;
    try {
        ForEachEnabled(Types & ~Away, Calculators, Act);
    } catch (...) {
        Failure = std::current_exception();
    }
    FPartner->Wait();
    if (Failure)
        std::rethrow_exception(Failure);
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
    // The bank's threads hold no chunk yet while ED2K is behind.
    CatchUpED2K();
    std::memcpy(FLanes->Acquire(Size), Buffer, Size);
    FLanes->Submit(Size);
}

std::int64_t TSorvikList::ChunksHandedOver() const { return FLanes ? FLanes->Submitted() : 0; }

std::uint8_t* TSorvikList::AcquireChunk(std::size_t Size)
{
    if (!FSideBySide)
        return nullptr;
    CatchUpED2K();
    return FLanes->Acquire(Size);
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
    CatchUpED2K();
    RunHere(HashTypes, nullptr, 0, true);
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
