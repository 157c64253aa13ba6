#include "digest/uDigestCpu.h"

#include <atomic>
#include <cstring>

#if SORVIK_DIGEST_X86
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace DigestCpu {

namespace {

bool DetectShaExtensions()
{
#if SORVIK_DIGEST_X86
    unsigned int Regs[4] = {};
#if defined(_MSC_VER) && !defined(__clang__)
    int Info[4];
    __cpuid(Info, 0);
    if (Info[0] < 7)
        return false;
    __cpuid(Info, 1);
    Regs[2] = unsigned(Info[2]);
    const bool Sse = (Regs[2] & (1u << 19)) && (Regs[2] & (1u << 9));
    __cpuidex(Info, 7, 0);
    return Sse && (unsigned(Info[1]) & (1u << 29));
#else
    if (__get_cpuid_max(0, nullptr) < 7)
        return false;
    __cpuid(1, Regs[0], Regs[1], Regs[2], Regs[3]);
    // SSE4.1 is ECX bit 19, SSSE3 ECX bit 9.
    const bool Sse = (Regs[2] & (1u << 19)) && (Regs[2] & (1u << 9));
    __cpuid_count(7, 0, Regs[0], Regs[1], Regs[2], Regs[3]);
    // SHA is leaf 7 EBX bit 29.
    return Sse && (Regs[1] & (1u << 29));
#endif
#else
    return false;
#endif
}

std::atomic<bool>& UseFlag()
{
    static std::atomic<bool> Flag{HasShaExtensions()};
    return Flag;
}

}  // namespace

bool HasShaExtensions()
{
    static const bool Has = DetectShaExtensions();
    return Has;
}

bool UseShaExtensions()
{
    return UseFlag().load(std::memory_order_relaxed);
}

void SetUseShaExtensions(bool Use)
{
    UseFlag().store(Use && HasShaExtensions(), std::memory_order_relaxed);
}

}  // namespace DigestCpu
