// Our digest routines and classes, on each of their paths, against every
// reference library that has the algorithm.
#include "bench_support.h"

#include "digest/uDigestCpu.h"
#include "digest/uDigestRIPEMD128.h"
#include "digest/uDigestRIPEMD160.h"
#include "digest/uDigestSHA256.h"
#include "digest/uDigestSHA512.h"
#include "digest/uMDDigest.h"
#include "digest/uSHA1Digest.h"

#include "bench_reference.h"

#include <algorithm>
#include <chrono>
#include <string>

namespace {

void MD(benchmark::State& State, TMDVersion Version)
{
    TMDContext Context;
    TMDDigest Digest;
    Bench::Stream(
        State, [&] { MDInit(Context, Version); },
        [&](const std::uint8_t* P, std::size_t N) { MDUpdate(Context, P, N); }, [&] { MDFinal(Context, Digest); });
    benchmark::DoNotOptimize(Digest);
}

void SHA1(benchmark::State& State, unsigned Features)
{
    const unsigned Saved = DigestCpu::AllowedCpuFeatures();
    DigestCpu::SetAllowedCpuFeatures(Features);
    TSHA1Context Context;
    TSHA1Digest Digest;
    Bench::Stream(
        State, [&] { SHA1Init(Context); },
        [&](const std::uint8_t* P, std::size_t N) { SHA1Update(Context, P, N); },
        [&] { SHA1Final(Context, Digest); });
    benchmark::DoNotOptimize(Digest);
    DigestCpu::SetAllowedCpuFeatures(Saved);
}

template <class T>
void Class(benchmark::State& State, unsigned Features)
{
    const unsigned Saved = DigestCpu::AllowedCpuFeatures();
    DigestCpu::SetAllowedCpuFeatures(Features);
    T Hash;
    std::uint8_t Digest[64];
    Bench::Stream(
        State, [&] { Hash.Init(); }, [&](const std::uint8_t* P, std::size_t N) { Hash.Update(P, N); },
        [&] { Hash.Final(Digest); });
    benchmark::DoNotOptimize(Digest);
    DigestCpu::SetAllowedCpuFeatures(Saved);
}

// Every library that has the algorithm, as "<Stem>/ref:<library>".
void RegisterReferences(const std::string& Stem, int HashType)
{
    for (const char* Library : Bench::ReferenceLibraries) {
        if (!Bench::MakeReference(HashType, Library))
            continue;
        const std::string Lib = Library;
        benchmark::RegisterBenchmark((Stem + "/ref:" + Lib).c_str(), [HashType, Lib](benchmark::State& S) {
            auto Ref = Bench::MakeReference(HashType, Lib);
            Bench::StreamReference(S, *Ref);
        });
    }
}

// OpenSSL with its use of an extension masked off, which it reads from the
// environment once: it runs in a child process of this program and times
// each chunk there. Label names the reference ("noSHA", "noAVX2").
void RegisterMaskedOpenSSL(const std::string& Stem, const char* Algorithm, const char* Mask = Bench::OpenSSLNoShaMask,
                           const std::string& Label = "noSHA")
{
    benchmark::RegisterBenchmark((Stem + "/ref:openssl_" + Label).c_str(), [Algorithm, Mask](benchmark::State& S) {
        Bench::TMaskedOpenSSL Child(Algorithm, Mask);
        if (!Child.Valid()) {
            S.SkipWithError("the child process did not start");
            return;
        }
        for (auto _ : S)
            S.SetIterationTime(Child.TimeChunk());
        S.SetBytesProcessed(std::int64_t(S.iterations()) * std::int64_t(Bench::ChunkSize));
    })->UseManualTime();
}

// SHA-512 over 16 KiB pieces, ours and each reference in turns, each
// figure the least of 2,000 tries: on a machine shared with other work
// (a virtual machine's neighbours), the rates of whole chunks swing by a
// tenth from run to run, the least time of a short piece hardly at all.
// Reported as counters (MB/s), with ours over the fastest reference.
void SHA512Least(benchmark::State& State)
{
    constexpr std::size_t Piece = 16384;
    constexpr int Tries = 2000;
    const std::uint8_t* Data = Bench::Chunk().data();
    std::vector<std::string> Names = {"ours"};
    std::vector<std::unique_ptr<Bench::TReference>> Refs;
    for (const char* Library : Bench::ReferenceLibraries)
        if (auto Ref = Bench::MakeReference(7, Library)) {
            Names.emplace_back(Library);
            Refs.push_back(std::move(Ref));
        }
    TDigestSHA512 Hash;
    std::uint8_t Digest[64];
    for (auto _ : State) {
        std::vector<double> Least(Names.size(), 1e30);
        for (int Try = 0; Try < Tries; ++Try)
            for (std::size_t I = 0; I < Names.size(); ++I) {
                const auto Started = std::chrono::steady_clock::now();
                if (I == 0) {
                    Hash.Init();
                    Hash.Update(Data, Piece);
                } else {
                    Refs[I - 1]->Start();
                    Refs[I - 1]->Feed(Data, Piece);
                }
                const double Took = std::chrono::duration<double>(std::chrono::steady_clock::now() - Started).count();
                Least[I] = std::min(Least[I], Took);
                if (I == 0)
                    Hash.Final(Digest);
                else
                    Refs[I - 1]->Finish();
            }
        double Best = 1e30;
        for (std::size_t I = 0; I < Names.size(); ++I) {
            State.counters[Names[I] + "_MBps"] = double(Piece) / Least[I] / 1e6;
            if (I > 0)
                Best = std::min(Best, Least[I]);
        }
        State.counters["ours_vs_best_ref"] = Best / Least[0];
    }
    benchmark::DoNotOptimize(Digest);
}

}  // namespace

void RegisterDigestBenchmarks()
{
    using benchmark::RegisterBenchmark;
    using benchmark::State;
    using namespace DigestCpu;
    const unsigned NoSha = cfAll & ~unsigned(cfSha);
    const unsigned NoAvx2 = cfAll & ~unsigned(cfAvx2);
    RegisterBenchmark("digest/MD2/ours", [](State& S) { MD(S, mvMD2); });
    RegisterReferences("digest/MD2", 2);
    RegisterBenchmark("digest/MD4/ours", [](State& S) { MD(S, mvMD4); });
    RegisterReferences("digest/MD4", 3);
    RegisterBenchmark("digest/MD5/ours", [](State& S) { MD(S, mvMD5); });
    RegisterReferences("digest/MD5", 4);
    RegisterBenchmark("digest/SHA1/ours", [](State& S) { SHA1(S, cfAll); });
    RegisterReferences("digest/SHA1", 5);
    RegisterBenchmark("digest/SHA1_noSHA/ours", [NoSha](State& S) { SHA1(S, NoSha); });
    RegisterMaskedOpenSSL("digest/SHA1_noSHA", "SHA1");
    RegisterBenchmark("digest/SHA1_ssse3/ours", [](State& S) { SHA1(S, cfSsse3); });
    RegisterBenchmark("digest/SHA1_portable/ours", [](State& S) { SHA1(S, 0); });
    RegisterBenchmark("digest/SHA256/ours", [](State& S) { Class<TDigestSHA256>(S, cfAll); });
    RegisterReferences("digest/SHA256", 6);
    RegisterBenchmark("digest/SHA256_noSHA/ours", [NoSha](State& S) { Class<TDigestSHA256>(S, NoSha); });
    RegisterMaskedOpenSSL("digest/SHA256_noSHA", "SHA256");
    RegisterBenchmark("digest/SHA256_portable/ours", [](State& S) { Class<TDigestSHA256>(S, 0); });
    RegisterBenchmark("digest/SHA512/ours", [](State& S) { Class<TDigestSHA512>(S, cfAll); });
    RegisterReferences("digest/SHA512", 7);
    RegisterBenchmark("digest/SHA512_least/ours", SHA512Least)->Iterations(1);
    RegisterBenchmark("digest/SHA512_noAVX512/ours", [](State& S) { Class<TDigestSHA512>(S, cfAll & ~unsigned(cfAvx512)); });
    RegisterBenchmark("digest/SHA512_noAVX2/ours", [NoAvx2](State& S) { Class<TDigestSHA512>(S, NoAvx2); });
    RegisterMaskedOpenSSL("digest/SHA512_noAVX2", "SHA512", Bench::OpenSSLNoAvx2Mask, "noAVX2");
    RegisterBenchmark("digest/SHA512_portable/ours", [](State& S) { Class<TDigestSHA512>(S, 0); });
    RegisterBenchmark("digest/RIPEMD128/ours", [](State& S) { Class<TDigestRIPEMD128>(S, cfAll); });
    RegisterReferences("digest/RIPEMD128", 8);
    RegisterBenchmark("digest/RIPEMD160/ours", [](State& S) { Class<TDigestRIPEMD160>(S, cfAll); });
    RegisterReferences("digest/RIPEMD160", 9);
}
