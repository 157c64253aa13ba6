// The bank side by side against the slowest of its members alone: "ours" is
// a bank with one thread per core over the set, "reference" the member that
// a short trial run finds slowest, alone on one thread; "..._one_thread"
// is the bank without threads of its own, as it was before. "threads" is
// one plain thread per member, each with a calculator of its own over the
// same chunk, started together and timed until the last has finished: what
// the bank's threads could reach with no hand-over at all.
#include "bench_support.h"

#if __has_include("engine/uSorvik.h")
#include "engine/uSorvik.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

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

void PlainThreads(benchmark::State& S, THashTypes Types, int Chunks)
{
    std::vector<std::unique_ptr<TSorvik>> Calculators;
    for (int I = htFirst; I <= htLast; ++I)
        if (HasHashType(Types, static_cast<THashType>(I)))
            Calculators.push_back(TSorvik::CreateCalculator(static_cast<THashType>(I)));
    const auto& Data = Bench::Chunk();
    for (auto _ : S) {
        const auto Started = std::chrono::steady_clock::now();
        std::vector<std::thread> Threads;
        for (auto& C : Calculators)
            Threads.emplace_back([&C, &Data, Chunks] {
                C->Init();
                for (int I = 0; I < Chunks; ++I)
                    C->Update(Data.data(), Data.size());
                C->Final();
            });
        for (auto& T : Threads)
            T.join();
        S.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - Started).count());
    }
    S.SetBytesProcessed(std::int64_t(S.iterations()) * Chunks * std::int64_t(Data.size()));
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
        // The eight that rhash has as well.
        {"eight_without_MD2_RIPEMD128", AllHashTypes() & ~HashTypeBit(htMD2) & ~HashTypeBit(htRIPEMD128)},
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
        // MD2's sets take as long as MD2 alone whatever the threads do.
        if (!HasHashType(Types, htMD2) && (Types & (Types - 1)) != 0)
            benchmark::RegisterBenchmark((Name + "/threads").c_str(), [Types](State& S) {
                PlainThreads(S, Types, 256);
            })->UseManualTime();
    }
}

#else

void RegisterBankBenchmarks() {}

#endif
