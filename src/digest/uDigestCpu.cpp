#include "digest/uDigestCpu.h"

#include <atomic>

#if SORVIK_DIGEST_X86
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace DigestCpu {

namespace {

struct TCpuFeatures {
    bool Sha = false;
    bool Bmi2 = false;
};

TCpuFeatures DetectFeatures()
{
    TCpuFeatures Features;
#if SORVIK_DIGEST_X86
    unsigned Leaf1Ecx = 0, Leaf7Ebx = 0;
#if defined(_MSC_VER) && !defined(__clang__)
    int Info[4];
    __cpuid(Info, 0);
    if (Info[0] < 7)
        return Features;
    __cpuid(Info, 1);
    Leaf1Ecx = unsigned(Info[2]);
    __cpuidex(Info, 7, 0);
    Leaf7Ebx = unsigned(Info[1]);
#else
    if (__get_cpuid_max(0, nullptr) < 7)
        return Features;
    unsigned a, b, c, d;
    __cpuid(1, a, b, c, d);
    Leaf1Ecx = c;
    __cpuid_count(7, 0, a, b, c, d);
    Leaf7Ebx = b;
#endif
    // SHA: leaf 7 EBX bit 29, with SSE4.1 (leaf 1 ECX bit 19) and SSSE3
    // (ECX bit 9). BMI2: leaf 7 EBX bit 8.
    Features.Sha = (Leaf7Ebx & (1u << 29)) && (Leaf1Ecx & (1u << 19)) && (Leaf1Ecx & (1u << 9));
    Features.Bmi2 = (Leaf7Ebx & (1u << 8)) != 0;
#endif
    return Features;
}

const TCpuFeatures& Features()
{
    static const TCpuFeatures Detected = DetectFeatures();
    return Detected;
}

std::atomic<bool>& UseFlag()
{
    static std::atomic<bool> Flag{true};
    return Flag;
}

}  // namespace

bool HasShaExtensions()
{
    return Features().Sha;
}

bool HasBmi2()
{
    return Features().Bmi2;
}

bool UseCpuExtensions()
{
    return UseFlag().load(std::memory_order_relaxed);
}

void SetUseCpuExtensions(bool Use)
{
    UseFlag().store(Use, std::memory_order_relaxed);
}

}  // namespace DigestCpu
