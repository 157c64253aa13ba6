// The engine's calculators and the bank with all ten types, each against
// the reference of its algorithm (zlib for CRC32).
#include "bench_reference.h"
#include "bench_support.h"

#if __has_include("engine/uSorvik.h")
#include "engine/uSorvik.h"

#include <string>

void RegisterEngineBenchmarks()
{
    using benchmark::State;
    for (int T = htFirst; T <= htLast; ++T) {
        const std::string Name = std::string("engine/") + Bench::HashTypeShortNames[T];
        benchmark::RegisterBenchmark((Name + "/ours").c_str(), [T](State& S) {
            auto Calculator = TSorvik::CreateCalculator(THashType(T));
            Bench::Stream(
                S, [&] { Calculator->Init(); },
                [&](const std::uint8_t* P, std::size_t N) { Calculator->Update(P, N); },
                [&] { Calculator->Final(); });
            benchmark::DoNotOptimize(Calculator->GetHash());
        });
        benchmark::RegisterBenchmark((Name + "/reference").c_str(), [T](State& S) {
            auto Ref = Bench::MakeReference(T);
            Bench::StreamReference(S, *Ref);
        });
    }
    benchmark::RegisterBenchmark("engine/bank_all_ten/ours", [](State& S) {
        TSorvikList Bank;
        THashList Hashes;
        Bench::Stream(
            S, [&] { Bank.Init(AllHashTypes()); }, [&](const std::uint8_t* P, std::size_t N) { Bank.Update(P, N); },
            [&] { Bank.Final(); });
        Bank.GetHashes(Hashes);
        benchmark::DoNotOptimize(Hashes);
    });
    benchmark::RegisterBenchmark("engine/bank_all_ten/reference", [](State& S) {
        std::vector<std::unique_ptr<Bench::TReference>> Refs;
        for (int T = htFirst; T <= htLast; ++T)
            Refs.push_back(Bench::MakeReference(T));
        Bench::Stream(
            S, [&] { for (auto& R : Refs) R->Start(); },
            [&](const std::uint8_t* P, std::size_t N) { for (auto& R : Refs) R->Feed(P, N); },
            [&] { for (auto& R : Refs) R->Finish(); });
    });
}

#else

// Without the engine only the digests and CRC32 are measured.
void RegisterEngineBenchmarks()
{
    benchmark::RegisterBenchmark("engine/CRC32/reference", [](benchmark::State& S) {
        auto Ref = Bench::MakeReference(1);
        Bench::StreamReference(S, *Ref);
    });
}

#endif
