#include "digest/uDigestCpu.h"

#include <atomic>
#include <cstdint>
#include <initializer_list>

#if SORVIK_DIGEST_X86
#include <cpuid.h>
#endif

namespace DigestCpu {

namespace {

unsigned DetectFeatures()
{
    unsigned Features = 0;
#if SORVIK_DIGEST_X86
    unsigned Leaf1Ecx = 0, Leaf7Ebx = 0;
    std::uint64_t Xcr0 = 0;
    if (__get_cpuid_max(0, nullptr) < 7)
        return Features;
    unsigned a, b, c, d;
    __cpuid(1, a, b, c, d);
    Leaf1Ecx = c;
    __cpuid_count(7, 0, a, b, c, d);
    Leaf7Ebx = b;
    if (Leaf1Ecx & (1u << 27)) {
        // XGETBV by its bytes: the intrinsic wants the XSAVE target.
        unsigned Lo, Hi;
        __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(Lo), "=d"(Hi) : "c"(0));
        Xcr0 = (std::uint64_t(Hi) << 32) | Lo;
    }
    // SSSE3: leaf 1 ECX bit 9; SSE4.1: bit 19; OSXSAVE: bit 27; AVX: bit 28.
    // Leaf 7 EBX: BMI1 bit 3, AVX2 bit 5, BMI2 bit 8, AVX-512 F bit 16, SHA bit 29,
    // AVX-512 VL bit 31. AVX needs the system to save the vector registers:
    // XCR0 bits 1 and 2; AVX-512 also the mask and upper registers, bits 5 to 7.
    const bool Ssse3 = (Leaf1Ecx & (1u << 9)) != 0;
    const bool Sse41 = (Leaf1Ecx & (1u << 19)) != 0;
    const bool Avx = (Leaf1Ecx & (1u << 28)) && (Xcr0 & 6) == 6;
    const bool Bmi2 = (Leaf7Ebx & (1u << 8)) != 0;
    if (Ssse3)
        Features |= cfSsse3;
    if ((Leaf7Ebx & (1u << 29)) && Sse41 && Ssse3)
        Features |= cfSha;
    if (Bmi2)
        Features |= cfBmi2;
    if (Avx && Bmi2 && (Leaf7Ebx & (1u << 3)) && (Leaf7Ebx & (1u << 5)))
        Features |= cfAvx2;
    if ((Features & cfAvx2) && (Xcr0 & 0xe6) == 0xe6 && (Leaf7Ebx & (1u << 16)) && (Leaf7Ebx & (1u << 31)))
        Features |= cfAvx512;
#endif
    return Features;
}

std::atomic<unsigned>& AllowedFlag()
{
    static std::atomic<unsigned> Flag{cfAll};
    return Flag;
}

}  // namespace

unsigned CpuFeatures()
{
    static const unsigned Detected = DetectFeatures();
    return Detected;
}

bool HasShaExtensions()
{
    return (CpuFeatures() & cfSha) != 0;
}

bool HasBmi2()
{
    return (CpuFeatures() & cfBmi2) != 0;
}

unsigned AllowedCpuFeatures()
{
    return AllowedFlag().load(std::memory_order_relaxed);
}

void SetAllowedCpuFeatures(unsigned Features)
{
    AllowedFlag().store(Features & cfAll, std::memory_order_relaxed);
}

bool UseCpuExtensions()
{
    return AllowedCpuFeatures() != 0;
}

void SetUseCpuExtensions(bool Use)
{
    SetAllowedCpuFeatures(Use ? unsigned(cfAll) : 0u);
}

const char* CodePathName(TCodePath Path)
{
    switch (Path) {
    case cpSsse3: return "ssse3";
    case cpBmi2: return "bmi2";
    case cpAvx2: return "avx2";
    case cpShaNI: return "shani";
    case cpPortable: break;
    }
    return "portable";
}

namespace {

// The first of the paths, in the order given, whose extension may be used.
[[maybe_unused]] TCodePath FirstUsable(std::initializer_list<TCodePath> Paths)
{
    for (const TCodePath P : Paths) {
        const TCpuFeature Needs = P == cpShaNI ? cfSha : P == cpAvx2 ? cfAvx2 : P == cpBmi2 ? cfBmi2 : cfSsse3;
        if (UseCpuFeature(Needs))
            return P;
    }
    return cpPortable;
}

}  // namespace

TCodePath SHA1Path()
{
#if SORVIK_DIGEST_X86_64
    return FirstUsable({cpShaNI, cpAvx2, cpSsse3});
#elif SORVIK_DIGEST_X86
    return FirstUsable({cpShaNI, cpSsse3});
#else
    return cpPortable;
#endif
}

TCodePath SHA256Path()
{
#if SORVIK_DIGEST_X86
    return FirstUsable({cpShaNI, cpAvx2, cpBmi2});
#else
    return cpPortable;
#endif
}

TCodePath SHA512Path()
{
#if SORVIK_DIGEST_X86_64
    return FirstUsable({cpAvx2, cpBmi2});
#else
    return cpPortable;
#endif
}

}  // namespace DigestCpu
