// The worker hashing a 1 GiB file from the page cache, against coreutils on
// the same file and against the digests alone over the file's data.
// Each case runs once with manual timing, whatever repetitions the command
// line asks for, and takes the median of three measurements inside (all ten,
// which read 1 GiB through MD2 for minutes, measure once); "worker/<case>/reference" is the
// better of the coreutils tool and the digest alone over the file's data in
// memory (one type), or the slowest member of the set alone over the file's
// data in memory (several types). Shown beside them: a plain program's
// read-then-hash loop over the file, and the digest over one chunk over and
// over, which stays in the level-2 cache where the file's data never is.
#include "bench_support.h"

#if __has_include("engine/uThreads.h")
#include "engine/uThreads.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::int64_t FileSize = std::int64_t(1) << 30;

// The file in /tmp, written on first use, read once into the page cache, and
// deleted when the program ends.
class TBenchFile {
public:
    static const std::string& Path()
    {
        static TBenchFile File;
        return File.FPath;
    }
    ~TBenchFile()
    {
        std::error_code Ignored;
        std::filesystem::remove(FPath, Ignored);
    }

private:
    TBenchFile() : FPath("/tmp/sorvik-bench-" + std::to_string(::getpid()) + ".bin")
    {
        std::ofstream Out(FPath, std::ios::binary);
        const auto& Data = Bench::Chunk();
        for (std::int64_t Done = 0; Done < FileSize; Done += std::int64_t(Data.size()))
            Out.write(reinterpret_cast<const char*>(Data.data()), std::streamsize(Data.size()));
        Out.close();
        std::ifstream In(FPath, std::ios::binary);
        std::vector<char> Buffer(1 << 20);
        while (In.read(Buffer.data(), std::streamsize(Buffer.size())))
            ;
    }
    std::string FPath;
};

double Seconds(Clock::duration D)
{
    return std::chrono::duration<double>(D).count();
}

// The worker's time from taking the file up (event 2) to its digests (event
// 3): the queue, the reads, the bank and every notification, without the
// idle pause before the first look at the queue.
double WorkerSeconds(THashTypes Types)
{
    TFileQueue Queue;
    TMessageQueue Window;
    TSorvikThread Worker;
    Worker.Queue = &Queue;
    Worker.WindowHandle.Attach(&Window);
    Worker.HashTypes = Types;
    Worker.Start();
    Queue.Push(TBenchFile::Path());
    Clock::time_point Started{};
    for (;;) {
        TWindowMessage M;
        if (!Window.Take(M, std::chrono::minutes(10)))
            throw std::runtime_error("worker did not answer");
        StoreWorkerResult(M);
        if (WorkerEvent(M) == weFileStarted)
            Started = Clock::now();
        if (WorkerEvent(M) == weError)
            throw std::runtime_error(WorkerPayload(M)->Text->Text);
        if (WorkerEvent(M) == weFileFinished)
            return Seconds(Clock::now() - Started);
    }
}

// Where the digest alone takes its bytes from.
enum class TSource {
    // The worker's chunk over and over: it stays in the level-2 cache, which
    // the file's data never does (the old reference, kept for comparison).
    SameChunk,
    // The file's 1 GiB held in memory, hashed in the worker's chunks: the
    // digest's own pace over data that streams from memory, no copy.
    Memory,
    // A plain program: read() each chunk into one buffer, then hash it.
    FileReads,
};

// The file's data in memory (huge pages where the system gives them, so that
// walking 1 GiB costs no more page-table look-ups than the page cache does).
const std::uint8_t* FileInMemory()
{
    static const std::uint8_t* Data = [] {
        constexpr std::size_t Huge = std::size_t(2) << 20;
        auto* P = static_cast<std::uint8_t*>(std::aligned_alloc(Huge, std::size_t(FileSize)));
        if (!P)
            throw std::runtime_error("no memory for the file's copy");
#ifdef MADV_HUGEPAGE
        ::madvise(P, std::size_t(FileSize), MADV_HUGEPAGE);
#endif
        std::ifstream In(TBenchFile::Path(), std::ios::binary);
        if (!In.read(reinterpret_cast<char*>(P), std::streamsize(FileSize)))
            throw std::runtime_error("cannot read the benchmark file");
        return P;
    }();
    return Data;
}

// One calculator over FileSize bytes fed in the worker's chunks, on this thread.
double DigestSeconds(THashType Type, TSource Source)
{
    TSorvikList Bank;
    const auto& Data = Bench::Chunk();
    const std::uint8_t* Memory = Source == TSource::Memory ? FileInMemory() : nullptr;
    std::vector<std::uint8_t> Buffer(Data.size());
    int Fd = -1;
    if (Source == TSource::FileReads && (Fd = ::open(TBenchFile::Path().c_str(), O_RDONLY)) < 0)
        throw std::runtime_error("cannot open the benchmark file");
    const auto Start = Clock::now();
    Bank.Init(HashTypeBit(Type));
    for (std::int64_t Done = 0; Done < FileSize; Done += std::int64_t(Data.size())) {
        switch (Source) {
        case TSource::SameChunk: Bank.Update(Data.data(), Data.size()); break;
        case TSource::Memory: Bank.Update(Memory + Done, Data.size()); break;
        case TSource::FileReads:
            for (std::size_t Got = 0; Got < Buffer.size();) {
                const ssize_t N = ::read(Fd, Buffer.data() + Got, Buffer.size() - Got);
                if (N <= 0)
                    throw std::runtime_error("cannot read the benchmark file");
                Got += std::size_t(N);
            }
            Bank.Update(Buffer.data(), Buffer.size());
            break;
        }
    }
    Bank.Final();
    const double Secs = Seconds(Clock::now() - Start);
    if (Fd >= 0)
        ::close(Fd);
    THashList Hashes;
    Bank.GetHashes(Hashes);
    benchmark::DoNotOptimize(Hashes);
    return Secs;
}

double ToolSeconds(const char* Tool)
{
    const std::string Command = std::string(Tool) + " '" + TBenchFile::Path() + "' >/dev/null";
    const auto Start = Clock::now();
    if (std::system(Command.c_str()) != 0)
        throw std::runtime_error(std::string(Tool) + " failed");
    return Seconds(Clock::now() - Start);
}

// The worker's time of each case, for the comparison its reference prints.
std::map<std::string, double>& WorkerTimes()
{
    static std::map<std::string, double> Times;
    return Times;
}

double MBps(double Secs)
{
    return Secs > 0 ? double(FileSize) / Secs / 1e6 : 0;
}

void PrintComparison(const std::string& Stem, double Reference, const std::string& Detail)
{
    const auto It = WorkerTimes().find(Stem);
    if (It == WorkerTimes().end() || Reference <= 0)
        return;
    std::printf("%s: worker %.1f MB/s, reference %.1f MB/s (%s), worker/reference %.3f\n", Stem.c_str(),
                MBps(It->second), MBps(Reference), Detail.c_str(), Reference / It->second);
    std::fflush(stdout);
}

void Report(benchmark::State& State, double Secs)
{
    State.SetIterationTime(Secs);
    State.SetBytesProcessed(FileSize);
}

void RunOnce(benchmark::State& State, const std::function<double()>& Measure)
{
    try {
        TBenchFile::Path();
        for (auto _ : State)
            Report(State, Measure());
    } catch (const std::exception& E) {
        State.SkipWithError(E.what());
    }
}

// Other programs share the machine: a measurement of a second or two is
// often slowed by a few per cent, now on one side, now on the other. The
// cases of a few seconds take the median of three runs on both sides.
double MedianOfThree(const std::function<double()>& Measure)
{
    double T[3] = {Measure(), Measure(), Measure()};
    std::sort(T, T + 3);
    return T[1];
}

void RegisterOne(const std::string& Name, THashType Type, const char* Tool)
{
    const std::string Stem = "worker/" + Name;
    benchmark::RegisterBenchmark((Stem + "/ours").c_str(), [Type, Stem](benchmark::State& S) {
        RunOnce(S, [Type, Stem] {
            return WorkerTimes()[Stem] = MedianOfThree([Type] { return WorkerSeconds(HashTypeBit(Type)); });
        });
    })->Iterations(1)->Repetitions(1)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((Stem + "/reference").c_str(), [Type, Tool, Stem](benchmark::State& S) {
        double ToolTime = 0, DigestTime = 0, ReadsTime = 0, SameChunkTime = 0;
        RunOnce(S, [&] {
            ToolTime = ToolSeconds(Tool);
            DigestTime = MedianOfThree([Type] { return DigestSeconds(Type, TSource::Memory); });
            ReadsTime = DigestSeconds(Type, TSource::FileReads);
            SameChunkTime = DigestSeconds(Type, TSource::SameChunk);
            return std::min(ToolTime, DigestTime);
        });
        S.counters[std::string(Tool) + "_MBps"] = MBps(ToolTime);
        S.counters["digest_MBps"] = MBps(DigestTime);
        S.counters["read_digest_MBps"] = MBps(ReadsTime);
        S.counters["same_chunk_MBps"] = MBps(SameChunkTime);
        char Detail[320];
        std::snprintf(Detail, sizeof Detail,
                      "better of %s %.1f MB/s and the digest alone over the file's data in memory %.1f MB/s; "
                      "read() and digest %.1f MB/s; one chunk over and over %.1f MB/s, worker/that %.3f",
                      Tool, MBps(ToolTime), MBps(DigestTime), MBps(ReadsTime), MBps(SameChunkTime),
                      WorkerTimes().count(Stem) ? SameChunkTime / WorkerTimes()[Stem] : 0.0);
        PrintComparison(Stem, std::min(ToolTime, DigestTime), Detail);
    })->Iterations(1)->Repetitions(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

const bool Registered = [] {
    RegisterOne("SHA256", htSHA256, "sha256sum");
    RegisterOne("MD5", htMD5, "md5sum");
    // A set of types against the slowest of them alone (MD2 for all ten,
    // RIPEMD-160 for the nine without MD2), the bank side by side.
    const struct {
        const char* Name;
        THashTypes Types;
        THashType Slowest;
    } Sets[] = {
        {"nine_without_MD2", AllHashTypes() & ~HashTypeBit(htMD2), htRIPEMD160},
        {"all_ten", AllHashTypes(), htMD2},
    };
    for (const auto& Set : Sets) {
        const std::string Stem = std::string("worker/") + Set.Name;
        const THashTypes Types = Set.Types;
        const THashType Slowest = Set.Slowest;
        // All ten take minutes: once.
        const auto Runs = [Slowest](const std::function<double()>& Measure) {
            return Slowest == htMD2 ? Measure() : MedianOfThree(Measure);
        };
        benchmark::RegisterBenchmark((Stem + "/ours").c_str(), [Stem, Types, Runs](benchmark::State& S) {
            RunOnce(S, [&] { return WorkerTimes()[Stem] = Runs([Types] { return WorkerSeconds(Types); }); });
        })->Iterations(1)->Repetitions(1)->UseManualTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((Stem + "/reference").c_str(), [Stem, Slowest, Runs](benchmark::State& S) {
            double Alone = 0;
            RunOnce(S, [&] {
                return Alone = Runs([Slowest] { return DigestSeconds(Slowest, TSource::Memory); });
            });
            PrintComparison(Stem, Alone, HashTypeToName(Slowest) + " alone");
        })->Iterations(1)->Repetitions(1)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
#endif
