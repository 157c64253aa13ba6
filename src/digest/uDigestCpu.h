// Run-time choice between the portable block code and code for processor
// extensions: the x86 SHA extensions for SHA-1/SHA-256, BMI2 for SHA-512.
// Internal to the digest units, their tests and the benchmark; the bank
// reads it to weigh the calculators.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#define SORVIK_DIGEST_X86 1
#else
#define SORVIK_DIGEST_X86 0
#endif

namespace DigestCpu {

// FIPS 180-4 section 4.2.2; aligned for the vector loads.
alignas(16) inline constexpr std::uint32_t SHA256K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// Processor extensions that the digests can use.
enum TCpuFeature : unsigned {
    cfSha = 1,     // SHA extensions with SSE4.1 and SSSE3
    cfBmi2 = 2,    // rotations that leave the flags alone
    cfAvx2 = 4,    // 256-bit integer vectors (with BMI1, BMI2 and the system's support)
    cfSsse3 = 8,   // byte shuffles in 128-bit vectors
    cfAll = 15,
};

// The extensions this processor has.
unsigned CpuFeatures();
bool HasShaExtensions();
bool HasBmi2();

// The extensions the digests may use (all by default). Tests narrow this to
// check every path against the same vectors; the benchmark to compare paths.
unsigned AllowedCpuFeatures();
void SetAllowedCpuFeatures(unsigned Features);
inline bool UseCpuFeature(TCpuFeature F) { return (CpuFeatures() & AllowedCpuFeatures() & F) != 0; }

// All or none of the extensions.
bool UseCpuExtensions();
void SetUseCpuExtensions(bool Use);
inline bool UseShaExtensions() { return UseCpuFeature(cfSha); }
inline bool UseBmi2() { return UseCpuFeature(cfBmi2); }

// Block functions: Count whole 64-byte blocks from Data folded into State.
void SHA1BlocksPortable(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count);
void SHA256BlocksPortable(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count);
#if SORVIK_DIGEST_X86
void SHA1BlocksShaNI(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count);
void SHA256BlocksShaNI(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count);
#endif

}  // namespace DigestCpu
