// The bank side by side against the slowest of its members alone: "ours" is
// a bank with one thread per core over the set, "reference" the member that
// a short trial run finds slowest, alone on one thread; "..._one_thread"
// is the bank without threads of its own, as it was before.
#include "bench_support.h"

#if __has_include("engine/uSorvik.h")
#include "engine/uSorvik.h"

#include <chrono>
#include <string>

namespace {

double SecondsAlone(THashType T, int Chunks)
{
    auto Calculator = TSorvik::CreateCalculator(T);
    const auto& Data = Bench::Chunk();
    const auto Started = std::chrono::steady_clock::now();
    Calculator->Init();
    for (int I = 0; I < Chunks; ++I)
        Calculator->Update(Data.data(), Data.size());
    Calculator->Final();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Started).count();
}

THashType SlowestMember(THashTypes Types)
{
    THashType Slowest = htNone;
    double Worst = -1;
    for (int I = htFirst; I <= htLast; ++I) {
        const auto T = static_cast<THashType>(I);
        if (!HasHashType(Types, T))
            continue;
        const double S = SecondsAlone(T, T == htMD2 ? 2 : 24);
        if (S > Worst) {
            Worst = S;
            Slowest = T;
        }
    }
    return Slowest;
}

void StreamBank(benchmark::State& S, TSorvikList& Bank, THashTypes Types)
{
    THashList Hashes;
    Bench::Stream(
        S, [&] { Bank.Init(Types); }, [&](const std::uint8_t* P, std::size_t N) { Bank.Update(P, N); },
        [&] { Bank.Final(); });
    Bank.GetHashes(Hashes);
    benchmark::DoNotOptimize(Hashes);
}

}  // namespace

void RegisterBankBenchmarks()
{
    using benchmark::State;
    const struct {
        const char* Name;
        THashTypes Types;
    } Sets[] = {
        {"all_ten", AllHashTypes()},
        {"nine_without_MD2", AllHashTypes() & ~HashTypeBit(htMD2)},
        {"SHA256_only", HashTypeBit(htSHA256)},
        {"SHA512_RIPEMD160", HashTypeBit(htSHA512) | HashTypeBit(htRIPEMD160)},
    };
    for (const auto& Set : Sets) {
        const THashTypes Types = Set.Types;
        const std::string Name = std::string("bank/") + Set.Name;
        benchmark::RegisterBenchmark((Name + "/ours").c_str(), [Types](State& S) {
            TSorvikList Bank(TSorvikList::CoreCount());
            StreamBank(S, Bank, Types);
        })->UseRealTime();
        // The bank as it was: every calculator one after another on one thread.
        benchmark::RegisterBenchmark((Name + "_one_thread/ours").c_str(), [Types](State& S) {
            TSorvikList Bank;
            StreamBank(S, Bank, Types);
        })->UseRealTime();
        benchmark::RegisterBenchmark((Name + "_one_thread/reference").c_str(), [Types](State& S) {
            const THashType Slowest = SlowestMember(Types);
            S.SetLabel("slowest alone: " + HashTypeToName(Slowest));
            TSorvikList Bank;
            StreamBank(S, Bank, HashTypeBit(Slowest));
        })->UseRealTime();
        benchmark::RegisterBenchmark((Name + "/reference").c_str(), [Types](State& S) {
            const THashType Slowest = SlowestMember(Types);
            S.SetLabel("slowest alone: " + HashTypeToName(Slowest));
            TSorvikList Bank;
            StreamBank(S, Bank, HashTypeBit(Slowest));
        })->UseRealTime();
    }
}

#else

void RegisterBankBenchmarks() {}

#endif
