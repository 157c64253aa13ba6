// Run-time choice between the portable block code and code for processor
// extensions: the x86 SHA extensions, AVX2, AVX-512, SSSE3 and BMI2. Each path for
// an extension has a file of its own, named after the extension.
// Internal to the digest units, their tests and the benchmark; the bank
// reads it to weigh the calculators.
#pragma once

#include <cstddef>
#include <cstdint>

// The one place that says which paths for x86 processor extensions are
// built: they need GCC's or Clang's target attributes. SORVIK_DIGEST_X86:
// those that 32-bit code can run as well (the SHA extensions, SHA-1 with
// SSSE3, SHA-256 with AVX2 or BMI2); SORVIK_DIGEST_X86_64: besides them
// those that want x86-64's sixteen registers or its 64-bit words (SHA-1
// with AVX2, which in 32-bit code is slower than with SSSE3, and SHA-512's).
// Elsewhere only the portable code is built and no extension is reported.
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define SORVIK_DIGEST_X86 1
#else
#define SORVIK_DIGEST_X86 0
#endif
#if SORVIK_DIGEST_X86 && defined(__x86_64__)
#define SORVIK_DIGEST_X86_64 1
#else
#define SORVIK_DIGEST_X86_64 0
#endif

// Round code shared by paths built for different extensions: it must
// become part of each, never a call to one shared copy.
#if defined(__GNUC__) || defined(__clang__)
#define SORVIK_DIGEST_FORCE_INLINE inline __attribute__((always_inline))
#else
#define SORVIK_DIGEST_FORCE_INLINE inline
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

// FIPS 180-4 section 4.2.3.
inline constexpr std::uint64_t SHA512K[80] = {
    0x428a2f98d728ae22ULL, 0x7137449123ef65cdULL, 0xb5c0fbcfec4d3b2fULL, 0xe9b5dba58189dbbcULL,
    0x3956c25bf348b538ULL, 0x59f111f1b605d019ULL, 0x923f82a4af194f9bULL, 0xab1c5ed5da6d8118ULL,
    0xd807aa98a3030242ULL, 0x12835b0145706fbeULL, 0x243185be4ee4b28cULL, 0x550c7dc3d5ffb4e2ULL,
    0x72be5d74f27b896fULL, 0x80deb1fe3b1696b1ULL, 0x9bdc06a725c71235ULL, 0xc19bf174cf692694ULL,
    0xe49b69c19ef14ad2ULL, 0xefbe4786384f25e3ULL, 0x0fc19dc68b8cd5b5ULL, 0x240ca1cc77ac9c65ULL,
    0x2de92c6f592b0275ULL, 0x4a7484aa6ea6e483ULL, 0x5cb0a9dcbd41fbd4ULL, 0x76f988da831153b5ULL,
    0x983e5152ee66dfabULL, 0xa831c66d2db43210ULL, 0xb00327c898fb213fULL, 0xbf597fc7beef0ee4ULL,
    0xc6e00bf33da88fc2ULL, 0xd5a79147930aa725ULL, 0x06ca6351e003826fULL, 0x142929670a0e6e70ULL,
    0x27b70a8546d22ffcULL, 0x2e1b21385c26c926ULL, 0x4d2c6dfc5ac42aedULL, 0x53380d139d95b3dfULL,
    0x650a73548baf63deULL, 0x766a0abb3c77b2a8ULL, 0x81c2c92e47edaee6ULL, 0x92722c851482353bULL,
    0xa2bfe8a14cf10364ULL, 0xa81a664bbc423001ULL, 0xc24b8b70d0f89791ULL, 0xc76c51a30654be30ULL,
    0xd192e819d6ef5218ULL, 0xd69906245565a910ULL, 0xf40e35855771202aULL, 0x106aa07032bbd1b8ULL,
    0x19a4c116b8d2d0c8ULL, 0x1e376c085141ab53ULL, 0x2748774cdf8eeb99ULL, 0x34b0bcb5e19b48a8ULL,
    0x391c0cb3c5c95a63ULL, 0x4ed8aa4ae3418acbULL, 0x5b9cca4f7763e373ULL, 0x682e6ff3d6b2b8a3ULL,
    0x748f82ee5defb2fcULL, 0x78a5636f43172f60ULL, 0x84c87814a1f0ab72ULL, 0x8cc702081a6439ecULL,
    0x90befffa23631e28ULL, 0xa4506cebde82bde9ULL, 0xbef9a3f7b2c67915ULL, 0xc67178f2e372532bULL,
    0xca273eceea26619cULL, 0xd186b8c721c0c207ULL, 0xeada7dd6cde0eb1eULL, 0xf57d4f7fee6ed178ULL,
    0x06f067aa72176fbaULL, 0x0a637dc5a2c898a6ULL, 0x113f9804bef90daeULL, 0x1b710b35131c471bULL,
    0x28db77f523047d84ULL, 0x32caab7b40c72493ULL, 0x3c9ebe0a15c9bebcULL, 0x431d67c49c100d4cULL,
    0x4cc5d4becb3e42b6ULL, 0x597f299cfc657e2aULL, 0x5fcb6fab3ad6faecULL, 0x6c44198c4a475817ULL,
};

// Processor extensions that the digests can use.
enum TCpuFeature : unsigned {
    cfSha = 1,     // SHA extensions with SSE4.1 and SSSE3
    cfBmi2 = 2,    // rotations that leave the flags alone
    cfAvx2 = 4,    // 256-bit integer vectors (with BMI1, BMI2 and the system's support)
    cfSsse3 = 8,   // byte shuffles in 128-bit vectors
    cfAvx512 = 16, // AVX-512 F and VL: rotations in 256-bit vectors (with AVX2 and the system's support)
    cfAll = 31,
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

// The code that an algorithm's whole blocks run on, as its block function
// chooses it from the extensions allowed now. MD2, MD4, MD5 and the RIPEMD
// digests have portable code only.
enum TCodePath : unsigned { cpPortable, cpSsse3, cpBmi2, cpAvx2, cpShaNI };
// "portable", "ssse3", "bmi2", "avx2" or "shani".
const char* CodePathName(TCodePath Path);
TCodePath SHA1Path();
TCodePath SHA256Path();
TCodePath SHA512Path();

// Block functions: Count whole blocks (64 bytes, 128 for SHA-512) from Data
// folded into State. Those for an extension are only called after
// UseCpuFeature() said yes.
void SHA1BlocksPortable(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count);
void SHA256BlocksPortable(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count);
void SHA512BlocksPortable(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count);
#if SORVIK_DIGEST_X86
void SHA1BlocksShaNI(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count);
void SHA1BlocksSsse3(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count);
void SHA256BlocksShaNI(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count);
void SHA256BlocksAvx2(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count);
void SHA256BlocksBmi2(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count);
#endif
#if SORVIK_DIGEST_X86_64
void SHA1BlocksAvx2(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count);
// SHA-512's vector path has its rounds in two forms, short dependency
// chains or few operations, and its schedule in AVX2 or, where allowed,
// AVX-512's 256-bit forms; SHA512BlocksAvx2 takes the form that measured
// fastest on this processor at its first use (the query measures it too):
// "short chains", "few operations", or either with ", AVX-512 schedule".
const char* SHA512Avx2Form();
void SHA512BlocksAvx2(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count);
void SHA512BlocksAvx2Chains(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count);
void SHA512BlocksAvx2Lean(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count);
// Only where the processor has cfAvx512.
void SHA512BlocksAvx2ChainsAvx512(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count);
void SHA512BlocksAvx2LeanAvx512(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count);
void SHA512BlocksBmi2(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count);
#endif

}  // namespace DigestCpu
