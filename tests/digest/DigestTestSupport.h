// One face for every digest under test, so that the tables of vectors and
// the split checks run over all of them alike.
#pragma once

#include "digest/uDigestCpu.h"
#include "digest/uDigestRIPEMD128.h"
#include "digest/uDigestRIPEMD160.h"
#include "digest/uDigestSHA256.h"
#include "digest/uDigestSHA512.h"
#include "digest/uDigestUtils.h"
#include "digest/uMDDigest.h"
#include "digest/uSHA1Digest.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace DigestTest {

class THasher {
public:
    virtual ~THasher() = default;
    virtual void Init() = 0;
    virtual void Update(const void* Data, std::size_t Size) = 0;
    virtual std::string FinalHex() = 0;
    // Block size of the algorithm, for the boundary checks.
    virtual std::size_t BlockSize() const = 0;
};

class TMDHasher : public THasher {
public:
    explicit TMDHasher(TMDVersion Version) : FVersion(Version) {}
    void Init() override { MDInit(FContext, FVersion); }
    void Update(const void* Data, std::size_t Size) override { MDUpdate(FContext, Data, Size); }
    std::string FinalHex() override
    {
        TMDDigest Digest;
        MDFinal(FContext, Digest);
        return MDPrint(Digest);
    }
    std::size_t BlockSize() const override { return FVersion == mvMD2 ? 16 : 64; }

private:
    TMDVersion FVersion;
    TMDContext FContext{};
};

class TSHA1Hasher : public THasher {
public:
    void Init() override { SHA1Init(FContext); }
    void Update(const void* Data, std::size_t Size) override { SHA1Update(FContext, Data, Size); }
    std::string FinalHex() override
    {
        TSHA1Digest Digest;
        SHA1Final(FContext, Digest);
        return SHA1Print(Digest);
    }
    std::size_t BlockSize() const override { return 64; }

private:
    TSHA1Context FContext{};
};

template <class T>
class TClassHasher : public THasher {
public:
    void Init() override { FHash.Init(); }
    void Update(const void* Data, std::size_t Size) override { FHash.Update(Data, Size); }
    std::string FinalHex() override
    {
        std::vector<std::uint8_t> Digest(std::size_t(FHash.HashSize() / 8));
        FHash.Final(Digest.data());
        return DigestUtils::HexLower(Digest.data(), Digest.size());
    }
    std::size_t BlockSize() const override { return sizeof(FHash.BlockBuffer); }

private:
    T FHash;
};

// Which code path a case runs on: the processor extensions it may use, and
// those it needs (the case is skipped on a processor without them).
struct TPath {
    unsigned Allowed = DigestCpu::cfAll;
    unsigned Needs = 0;

    bool Available() const { return (DigestCpu::CpuFeatures() & Needs) == Needs; }
};

inline constexpr TPath AnyPath{DigestCpu::cfAll, 0};
inline constexpr TPath PortablePath{0, 0};

struct TAlgorithm {
    const char* Name;
    TPath Path;
    std::function<std::unique_ptr<THasher>()> Make;
    // For an algorithm with several paths: the query that names the path
    // taken, and the path this case means to run.
    DigestCpu::TCodePath (*Query)() = nullptr;
    DigestCpu::TCodePath Runs = DigestCpu::cpPortable;
};

// The paths that this build has (32-bit x86 has fewer, see uDigestCpu.h).
inline const std::vector<TAlgorithm>& Algorithms()
{
    using namespace DigestCpu;
    constexpr unsigned NoSha = cfAll & ~unsigned(cfSha);
    static const std::vector<TAlgorithm> List = {
        {"MD2", AnyPath, [] { return std::make_unique<TMDHasher>(mvMD2); }},
        {"MD4", AnyPath, [] { return std::make_unique<TMDHasher>(mvMD4); }},
        {"MD5", AnyPath, [] { return std::make_unique<TMDHasher>(mvMD5); }},
        {"SHA1_Portable", PortablePath, [] { return std::make_unique<TSHA1Hasher>(); }, SHA1Path, cpPortable},
        {"SHA1_Ssse3", {cfSsse3, cfSsse3}, [] { return std::make_unique<TSHA1Hasher>(); }, SHA1Path, cpSsse3},
#if SORVIK_DIGEST_X86_64
        {"SHA1_Avx2", {NoSha, cfAvx2}, [] { return std::make_unique<TSHA1Hasher>(); }, SHA1Path, cpAvx2},
#endif
        {"SHA1_ShaExtensions", {cfAll, cfSha}, [] { return std::make_unique<TSHA1Hasher>(); }, SHA1Path, cpShaNI},
        {"SHA256_Portable", PortablePath, [] { return std::make_unique<TClassHasher<TDigestSHA256>>(); }, SHA256Path, cpPortable},
        {"SHA256_Bmi2", {cfBmi2, cfBmi2}, [] { return std::make_unique<TClassHasher<TDigestSHA256>>(); }, SHA256Path, cpBmi2},
        {"SHA256_Avx2", {NoSha, cfAvx2}, [] { return std::make_unique<TClassHasher<TDigestSHA256>>(); }, SHA256Path, cpAvx2},
        {"SHA256_ShaExtensions", {cfAll, cfSha}, [] { return std::make_unique<TClassHasher<TDigestSHA256>>(); }, SHA256Path, cpShaNI},
        {"SHA512_Portable", PortablePath, [] { return std::make_unique<TClassHasher<TDigestSHA512>>(); }, SHA512Path, cpPortable},
#if SORVIK_DIGEST_X86_64
        {"SHA512_Bmi2", {cfBmi2, cfBmi2}, [] { return std::make_unique<TClassHasher<TDigestSHA512>>(); }, SHA512Path, cpBmi2},
        {"SHA512_Avx2", {cfAll, cfAvx2}, [] { return std::make_unique<TClassHasher<TDigestSHA512>>(); }, SHA512Path, cpAvx2},
        {"SHA512_Avx2_NoAvx512", {cfAll & ~unsigned(cfAvx512), cfAvx2}, [] { return std::make_unique<TClassHasher<TDigestSHA512>>(); }, SHA512Path, cpAvx2},
#endif
        {"RIPEMD128", AnyPath, [] { return std::make_unique<TClassHasher<TDigestRIPEMD128>>(); }},
        {"RIPEMD160", AnyPath, [] { return std::make_unique<TClassHasher<TDigestRIPEMD160>>(); }},
    };
    return List;
}

// Every distinct path of the processor in hand, for tests that run them all.
inline std::vector<TPath> AvailablePaths()
{
    std::vector<TPath> Paths;
    for (const TAlgorithm& A : Algorithms())
        if (A.Path.Available())
            Paths.push_back(A.Path);
    return Paths;
}

// Selects the code path for the lifetime of a test and restores it after.
class TPathGuard {
public:
    explicit TPathGuard(TPath Path) : FSaved(DigestCpu::AllowedCpuFeatures())
    {
        DigestCpu::SetAllowedCpuFeatures(Path.Allowed);
    }
    ~TPathGuard() { DigestCpu::SetAllowedCpuFeatures(FSaved); }
    TPathGuard(const TPathGuard&) = delete;
    TPathGuard& operator=(const TPathGuard&) = delete;

private:
    unsigned FSaved;
};

// A reproducible, non-repeating test message.
inline std::vector<std::uint8_t> PatternBytes(std::size_t Size)
{
    std::vector<std::uint8_t> Bytes(Size);
    std::uint32_t X = 0x12345678;
    for (auto& B : Bytes) {
        X = X * 1103515245u + 12345u;
        B = std::uint8_t(X >> 23);
    }
    return Bytes;
}

// Zeroed memory from calloc: large all-zero inputs cost no physical pages.
class TZeroBlock {
public:
    explicit TZeroBlock(std::size_t Size) : FData(static_cast<std::uint8_t*>(std::calloc(Size, 1))) {}
    ~TZeroBlock() { std::free(FData); }
    TZeroBlock(const TZeroBlock&) = delete;
    TZeroBlock& operator=(const TZeroBlock&) = delete;
    const std::uint8_t* Data() const { return FData; }
    explicit operator bool() const { return FData != nullptr; }

private:
    std::uint8_t* FData;
};

}  // namespace DigestTest
