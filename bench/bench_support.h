// Shared pieces of the benchmarks: the chunk and the streaming loop.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

// Each file of the benchmark program registers its own cases.
void RegisterDigestBenchmarks();
void RegisterEngineBenchmarks();
void RegisterBankBenchmarks();

namespace Bench {

inline constexpr std::size_t ChunkSize = 262144;

inline const std::vector<std::uint8_t>& Chunk()
{
    static const std::vector<std::uint8_t> Data = [] {
        std::vector<std::uint8_t> Bytes(ChunkSize);
        std::uint32_t X = 1;
        for (auto& B : Bytes) {
            X = X * 1664525u + 1013904223u;
            B = std::uint8_t(X >> 24);
        }
        return Bytes;
    }();
    return Data;
}

// Start(), Feed(data, size) per chunk, Finish() once at the end.
template <class TStart, class TFeed, class TFinish>
void Stream(benchmark::State& State, TStart&& Start, TFeed&& Feed, TFinish&& Finish)
{
    const auto& Data = Chunk();
    Start();
    for (auto _ : State) {
        Feed(Data.data(), Data.size());
        benchmark::ClobberMemory();
    }
    Finish();
    State.SetBytesProcessed(std::int64_t(State.iterations()) * std::int64_t(Data.size()));
}

}  // namespace Bench
