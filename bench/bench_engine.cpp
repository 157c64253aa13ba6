// The calculators and the bank of the engine; CRC32 against zlib.
#include "bench_support.h"

#if __has_include("engine/uSorvik.h")
#define SORVIK_BENCH_ENGINE 1
#endif

#ifdef SORVIK_BENCH_ENGINE
#include "engine/uSorvik.h"
#endif

#include <zlib.h>

void RegisterEngineBenchmarks()
{
    benchmark::RegisterBenchmark("engine/CRC32/reference", [](benchmark::State& S) {
        uLong Crc = 0;
        Bench::Stream(
            S, [&] { Crc = crc32(0, nullptr, 0); },
            [&](const std::uint8_t* P, std::size_t N) { Crc = crc32(Crc, P, uInt(N)); }, [] {});
        benchmark::DoNotOptimize(Crc);
    });
}
