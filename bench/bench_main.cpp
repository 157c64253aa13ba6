// Streams 262,144-byte chunks (the worker's chunk size) through each of our
// digests and through a reference implementation of the same algorithm,
// then prints our speed against the reference's.
#include "bench_reference.h"
#include "bench_support.h"

#include "digest/uDigestCpu.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

// The case without the timing suffix that Google Benchmark appends.
std::string CaseName(std::string Name)
{
    for (const char* Suffix : {"/real_time", "/manual_time"}) {
        const std::string S = Suffix;
        if (Name.size() > S.size() && Name.compare(Name.size() - S.size(), S.size(), S) == 0)
            Name.erase(Name.size() - S.size());
    }
    return Name;
}

// Keeps the console output and remembers each run's throughput.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override
    {
        ConsoleReporter::ReportRuns(Runs);
        for (const Run& R : Runs) {
            const auto It = R.counters.find("bytes_per_second");
            if (It == R.counters.end())
                continue;
            // With repetitions the median stands for the case.
            const std::string Name = CaseName(R.run_name.str());
            if (R.run_type == Run::RT_Aggregate && R.aggregate_name == "median")
                Medians[Name] = It->second.value;
            else if (R.run_type == Run::RT_Iteration && !Medians.count(Name))
                Speeds[Name] = It->second.value;
            if (Medians.count(Name))
                Speeds[Name] = Medians[Name];
        }
    }
    std::map<std::string, double> Speeds;

private:
    std::map<std::string, double> Medians;
};

// The processor's own name, family and model, so that a figure says where
// it came from.
std::string ProcessorName()
{
    std::string Name = "unknown processor";
#if defined(__x86_64__) || defined(__i386__)
    unsigned Regs[12] = {};
    if (__get_cpuid_max(0x80000000, nullptr) >= 0x80000004) {
        for (unsigned I = 0; I < 3; ++I)
            __cpuid(0x80000002 + I, Regs[4 * I], Regs[4 * I + 1], Regs[4 * I + 2], Regs[4 * I + 3]);
        char Brand[49] = {};
        std::memcpy(Brand, Regs, 48);
        Name = Brand;
        Name.erase(0, Name.find_first_not_of(' '));
        Name.erase(Name.find_last_not_of(' ') + 1);
    }
    unsigned A = 0, B = 0, C = 0, D = 0;
    __cpuid(1, A, B, C, D);
    const unsigned Family = ((A >> 8) & 15) + (((A >> 8) & 15) == 15 ? (A >> 20) & 255 : 0);
    const unsigned Model = ((A >> 4) & 15) | ((((A >> 8) & 15) == 6 || ((A >> 8) & 15) == 15 ? (A >> 16) & 15 : 0) << 4);
    Name += " (family " + std::to_string(Family) + ", model " + std::to_string(Model) + ")";
#endif
    return Name;
}

void PrintCodePaths()
{
    using namespace DigestCpu;
    std::printf("processor: %s\n", ProcessorName().c_str());
    std::string SHA512 = CodePathName(SHA512Path());
#if SORVIK_DIGEST_X86_64
    if (SHA512Path() == cpAvx2)
        SHA512 += std::string(" (") + SHA512Avx2Form() + ")";
#endif
    std::printf("code paths: SHA1 %s, SHA256 %s, SHA512 %s; MD2, MD4, MD5, RIPEMD128, RIPEMD160 portable\n",
                CodePathName(SHA1Path()), CodePathName(SHA256Path()), SHA512.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == Bench::OpenSSLChildOption)
        return Bench::OpenSSLChildMain(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    PrintCodePaths();
    RegisterDigestBenchmarks();
    RegisterEngineBenchmarks();
    RegisterBankBenchmarks();
    TRatioReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    benchmark::Shutdown();

    // Cases are named "<group>/<algorithm>/ours" and "<group>/<algorithm>/ref:<library>"
    // (or ".../reference"); ours is set against the fastest reference.
    std::printf("\n%-28s %12s %12s %8s  %s\n", "algorithm", "ours MB/s", "best ref MB/s", "ratio", "best reference");
    for (const auto& [Name, Speed] : Reporter.Speeds) {
        const std::string Suffix = "/ours";
        if (Name.size() < Suffix.size() || Name.compare(Name.size() - Suffix.size(), Suffix.size(), Suffix) != 0)
            continue;
        const std::string Stem = Name.substr(0, Name.size() - Suffix.size());
        double Best = 0;
        std::string BestName;
        for (const auto& [Other, OtherSpeed] : Reporter.Speeds) {
            if (Other.rfind(Stem + "/ref", 0) != 0 || Other.find('/', Stem.size() + 1) != std::string::npos)
                continue;
            if (OtherSpeed > Best) {
                Best = OtherSpeed;
                BestName = Other.substr(Stem.size() + 1);
                if (BestName.rfind("ref:", 0) == 0)
                    BestName.erase(0, 4);
            }
        }
        if (Best <= 0)
            std::printf("%-28s %12.1f %12s %8s\n", Stem.c_str(), Speed / 1e6, "-", "-");
        else
            std::printf("%-28s %12.1f %12.1f %8.2f  %s\n", Stem.c_str(), Speed / 1e6, Best / 1e6, Speed / Best,
                        BestName.c_str());
        // A bank's set also against one plain thread per member.
        const auto Threads = Reporter.Speeds.find(Stem + "/threads");
        if (Threads != Reporter.Speeds.end() && Threads->second > 0)
            std::printf("%-28s %12.1f %12.1f %8.2f  plain threads\n", Stem.c_str(), Speed / 1e6,
                        Threads->second / 1e6, Speed / Threads->second);
    }
    return 0;
}
