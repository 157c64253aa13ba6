// Our digest routines and classes against Crypto++.
#include "bench_support.h"

#include "digest/uDigestCpu.h"
#include "digest/uDigestRIPEMD128.h"
#include "digest/uDigestRIPEMD160.h"
#include "digest/uDigestSHA256.h"
#include "digest/uDigestSHA512.h"
#include "digest/uMDDigest.h"
#include "digest/uSHA1Digest.h"

#include "bench_reference.h"

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

void SHA1(benchmark::State& State, bool Extensions)
{
    const bool Saved = DigestCpu::UseCpuExtensions();
    DigestCpu::SetUseCpuExtensions(Extensions);
    TSHA1Context Context;
    TSHA1Digest Digest;
    Bench::Stream(
        State, [&] { SHA1Init(Context); },
        [&](const std::uint8_t* P, std::size_t N) { SHA1Update(Context, P, N); },
        [&] { SHA1Final(Context, Digest); });
    benchmark::DoNotOptimize(Digest);
    DigestCpu::SetUseCpuExtensions(Saved);
}

template <class T>
void Class(benchmark::State& State, bool Extensions)
{
    const bool Saved = DigestCpu::UseCpuExtensions();
    DigestCpu::SetUseCpuExtensions(Extensions);
    T Hash;
    std::uint8_t Digest[64];
    Bench::Stream(
        State, [&] { Hash.Init(); }, [&](const std::uint8_t* P, std::size_t N) { Hash.Update(P, N); },
        [&] { Hash.Final(Digest); });
    benchmark::DoNotOptimize(Digest);
    DigestCpu::SetUseCpuExtensions(Saved);
}

void Reference(benchmark::State& State, int HashType)
{
    auto Ref = Bench::MakeReference(HashType);
    Bench::StreamReference(State, *Ref);
}

}  // namespace

void RegisterDigestBenchmarks()
{
    using benchmark::RegisterBenchmark;
    using benchmark::State;
    RegisterBenchmark("digest/MD2/ours", [](State& S) { MD(S, mvMD2); });
    RegisterBenchmark("digest/MD2/reference", [](State& S) { Reference(S, 2); });
    RegisterBenchmark("digest/MD4/ours", [](State& S) { MD(S, mvMD4); });
    RegisterBenchmark("digest/MD4/reference", [](State& S) { Reference(S, 3); });
    RegisterBenchmark("digest/MD5/ours", [](State& S) { MD(S, mvMD5); });
    RegisterBenchmark("digest/MD5/reference", [](State& S) { Reference(S, 4); });
    RegisterBenchmark("digest/SHA1/ours", [](State& S) { SHA1(S, true); });
    RegisterBenchmark("digest/SHA1_portable/ours", [](State& S) { SHA1(S, false); });
    RegisterBenchmark("digest/SHA1/reference", [](State& S) { Reference(S, 5); });
    RegisterBenchmark("digest/SHA256/ours", [](State& S) { Class<TDigestSHA256>(S, true); });
    RegisterBenchmark("digest/SHA256_portable/ours", [](State& S) { Class<TDigestSHA256>(S, false); });
    RegisterBenchmark("digest/SHA256/reference", [](State& S) { Reference(S, 6); });
    RegisterBenchmark("digest/SHA512/ours", [](State& S) { Class<TDigestSHA512>(S, true); });
    RegisterBenchmark("digest/SHA512_portable/ours", [](State& S) { Class<TDigestSHA512>(S, false); });
    RegisterBenchmark("digest/SHA512/reference", [](State& S) { Reference(S, 7); });
    RegisterBenchmark("digest/RIPEMD128/ours", [](State& S) { Class<TDigestRIPEMD128>(S, true); });
    RegisterBenchmark("digest/RIPEMD128/reference", [](State& S) { Reference(S, 8); });
    RegisterBenchmark("digest/RIPEMD160/ours", [](State& S) { Class<TDigestRIPEMD160>(S, true); });
    RegisterBenchmark("digest/RIPEMD160/reference", [](State& S) { Reference(S, 9); });
}
