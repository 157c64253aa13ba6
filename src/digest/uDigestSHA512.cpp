#include "digest/uDigestSHA512.h"

#include "digest/uDigestClass.h"
#include "digest/uDigestCpu.h"
#include "digest/uDigestUtils.h"

#include <cstring>

#if SORVIK_DIGEST_X86 && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

using namespace DigestUtils;

namespace {

// FIPS 180-4 section 4.2.3.
constexpr std::uint64_t K512[80] = {
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

#define SHA512_S0(x) (std::rotr(x, 28) ^ std::rotr(x, 34) ^ std::rotr(x, 39))
#define SHA512_S1(x) (std::rotr(x, 14) ^ std::rotr(x, 18) ^ std::rotr(x, 41))
#define SHA512_s0(x) (std::rotr(x, 1) ^ std::rotr(x, 8) ^ ((x) >> 7))
#define SHA512_s1(x) (std::rotr(x, 19) ^ std::rotr(x, 61) ^ ((x) >> 6))
#define SHA512_CH(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
// The schedule lives in a rolling window of 16 words.
#define SHA512_W(i) (W[(i) & 15] += SHA512_s1(W[((i) - 2) & 15]) + W[((i) - 7) & 15] + SHA512_s0(W[((i) - 15) & 15]))
// Maj(a, b, c) = b ^ ((a ^ b) & (b ^ c)), and b ^ c is the a ^ b of the step
// before: BC carries it from step to step. Word(i) gives the step's
// message word: SHA512_W0 one of the first sixteen, SHA512_W the schedule's.
#define SHA512_STEP(a, b, c, d, e, f, g, h, i, Word)                                        \
    do {                                                                                    \
        const std::uint64_t T1 = h + SHA512_S1(e) + SHA512_CH(e, f, g) + K512[i] + Word(i); \
        const std::uint64_t AB = a ^ b;                                                     \
        d += T1;                                                                            \
        h = T1 + SHA512_S0(a) + (b ^ (AB & BC));                                            \
        BC = AB;                                                                            \
    } while (0)
#define SHA512_W0(i) W[(i)]

#if defined(__GNUC__) || defined(__clang__)
#define SORVIK_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define SORVIK_ALWAYS_INLINE inline
#endif

SORVIK_ALWAYS_INLINE void SHA512BlocksBody(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    std::uint64_t W[16];
    std::uint64_t a = State[0], b = State[1], c = State[2], d = State[3];
    std::uint64_t e = State[4], f = State[5], g = State[6], h = State[7];
    for (; Count > 0; --Count, Data += 128) {
        for (int i = 0; i < 16; ++i)
            W[i] = LoadBE64(Data + 8 * i);
        std::uint64_t BC = b ^ c;
        DIGEST_ROUNDS8(SHA512_STEP, 0, SHA512_W0);
        DIGEST_ROUNDS8(SHA512_STEP, 8, SHA512_W0);
        DIGEST_ROUNDS8(SHA512_STEP, 16, SHA512_W);
        DIGEST_ROUNDS8(SHA512_STEP, 24, SHA512_W);
        DIGEST_ROUNDS8(SHA512_STEP, 32, SHA512_W);
        DIGEST_ROUNDS8(SHA512_STEP, 40, SHA512_W);
        DIGEST_ROUNDS8(SHA512_STEP, 48, SHA512_W);
        DIGEST_ROUNDS8(SHA512_STEP, 56, SHA512_W);
        DIGEST_ROUNDS8(SHA512_STEP, 64, SHA512_W);
        DIGEST_ROUNDS8(SHA512_STEP, 72, SHA512_W);
        DIGEST_ADD_STATE8(State);
    }
    Wipe(W, sizeof(W));
}

// The same code twice: once for any processor, once compiled for BMI2,
// whose rotations need no extra moves.
void SHA512BlocksPlain(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA512BlocksBody(State, Data, Count);
}

#if SORVIK_DIGEST_X86 && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("bmi2"))) void SHA512BlocksBmi2(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA512BlocksBody(State, Data, Count);
}
#endif

// The vector path's rounds are x86-64 assembly (14 general registers).
#if SORVIK_DIGEST_X86 && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define SORVIK_SHA512_AVX2 1
#else
#define SORVIK_SHA512_AVX2 0
#endif

#if SORVIK_SHA512_AVX2

// Two blocks at a time: each 256-bit vector holds a pair of schedule words
// of the first block in its low half and the same pair of the second block
// in its high half, so that per-half byte alignment (vpalignr) finds the
// words fifteen and seven steps back. The schedule plus constants of both
// blocks is computed in vector registers between the first block's scalar
// rounds and kept on the stack for the second block's rounds.

// K512 as pairs, each pair twice: K0 K1 K0 K1, K2 K3 K2 K3, ...
struct TK512Pairs {
    alignas(32) std::uint64_t Words[160];
};
constexpr TK512Pairs MakeK512Pairs()
{
    TK512Pairs P{};
    for (int i = 0; i < 80; i += 2) {
        P.Words[2 * i] = K512[i];
        P.Words[2 * i + 1] = K512[i + 1];
        P.Words[2 * i + 2] = K512[i];
        P.Words[2 * i + 3] = K512[i + 1];
    }
    return P;
}
constexpr TK512Pairs K512Pairs = MakeK512Pairs();

// Where the frame of SHA512BlocksAvx2 keeps things, in 64-bit words: the
// constants, the two byte shuffles, and WK, the words plus constants of
// both blocks, as pairs like the constants: round i of block B at
// WK[4 * (i / 2) + 2 * B + i % 2].
constexpr int SpaceKC = 64;      // bytes 512 to 1791
constexpr int SpaceMasks = 224;  // bytes 1792 to 1855
constexpr int SpaceWK = 320;     // bytes 2560 to 3839

// Words t and t + 1 of both blocks, t = 2 * (16 + Pair) + 2 * (16 rounds
// done); X[J] holds words t - 16 and t - 15 and is replaced by the new pair.
// RP points at the WK of the 16 rounds under way, the new pair goes 16
// rounds further (32 words), and its constants lie at a fixed distance.
// In assembly too: the compiler spreads these steps over the rounds and
// then runs out of vector registers.
// s0(x) = (x >>> 1) ^ (x >>> 8) ^ (x >> 7), s1(x) = (x >>> 19) ^ (x >>> 61) ^ (x >> 6).
#define SHA512_VSCHED(J, Pair)                                                                            \
    __asm__("vpalignr $8, %[X0], %[X1], %[v0]\n\t"                                                       \
            "vpalignr $8, %[X4], %[X5], %[v1]\n\t"                                                       \
            "vpaddq %[v1], %[X0], %[X0]\n\t"                                                             \
            "vpsrlq $1, %[v0], %[v1]\n\t"                                                                \
            "vpsllq $63, %[v0], %[v2]\n\t"                                                               \
            "vpxor %[v2], %[v1], %[v1]\n\t"                                                              \
            "vpshufb %[rot8], %[v0], %[v2]\n\t"                                                          \
            "vpxor %[v2], %[v1], %[v1]\n\t"                                                              \
            "vpsrlq $7, %[v0], %[v0]\n\t"                                                                \
            "vpxor %[v0], %[v1], %[v1]\n\t"                                                              \
            "vpaddq %[v1], %[X0], %[X0]\n\t"                                                             \
            "vpsrlq $19, %[X7], %[v0]\n\t"                                                               \
            "vpsllq $45, %[X7], %[v1]\n\t"                                                               \
            "vpxor %[v1], %[v0], %[v0]\n\t"                                                              \
            "vpsrlq $61, %[X7], %[v1]\n\t"                                                               \
            "vpxor %[v1], %[v0], %[v0]\n\t"                                                              \
            "vpsllq $3, %[X7], %[v1]\n\t"                                                                \
            "vpxor %[v1], %[v0], %[v0]\n\t"                                                              \
            "vpsrlq $6, %[X7], %[v1]\n\t"                                                                \
            "vpxor %[v1], %[v0], %[v0]\n\t"                                                              \
            "vpaddq %[v0], %[X0], %[X0]\n\t"                                                             \
            "vpaddq %[k], %[X0], %[v0]\n\t"                                                              \
            "vmovdqa %[v0], %[wk]"                                                                       \
            : [X0] "+x"(X[J]), [wk] "=m"(*reinterpret_cast<__m256i*>(RP + 32 + 4 * (Pair))),             \
              [v0] "=&x"(V0), [v1] "=&x"(V1), [v2] "=&x"(V2)                                             \
            : [X1] "x"(X[((J) + 1) & 7]), [X4] "x"(X[((J) + 4) & 7]), [X5] "x"(X[((J) + 5) & 7]),        \
              [X7] "x"(X[((J) + 7) & 7]), [rot8] "m"(*reinterpret_cast<const __m256i*>(Space + SpaceMasks + 4)), \
              [k] "m"(*reinterpret_cast<const __m256i*>(RP + 32 + (SpaceKC - SpaceWK) + 4 * (Pair))))
// Round i (of 16) of block Blk from WK at RP. One round in assembly: the
// compiler reassociates the sums and recomputes the carried b ^ c.
// The new e is d + h + WK + Ch(e, f, g) + S1(e), summed in that order so
// that it waits for e only four steps; the new a is that plus Maj(a, b, c)
// - d + S0(a), with Maj = (a & (b ^ c)) + (b & c) (disjoint), so that it
// waits for a four steps too. BC carries b ^ c from round to round.
#define SHA512_KSTEP(a, b, c, d, e, f, g, h, i, Blk)                                                 \
    __asm__("add %[wk], %[H]\n\t"                                                                   \
            "andn %[B], %[BCr], %[t2]\n\t"                                                          \
            "mov %[F], %[t0]\n\t"                                                                   \
            "and %[E], %[t0]\n\t"                                                                   \
            "andn %[G], %[E], %[t1]\n\t"                                                            \
            "sub %[D], %[t2]\n\t"                                                                   \
            "add %[H], %[D]\n\t"                                                                    \
            "or %[t1], %[t0]\n\t"                                                                   \
            "rorx $14, %[E], %[t1]\n\t"                                                             \
            "add %[t0], %[D]\n\t"                                                                   \
            "rorx $18, %[E], %[t0]\n\t"                                                             \
            "xor %[t0], %[t1]\n\t"                                                                  \
            "rorx $41, %[E], %[t0]\n\t"                                                             \
            "xor %[t0], %[t1]\n\t"                                                                  \
            "and %[A], %[BCr]\n\t"                                                                  \
            "add %[t1], %[D]\n\t"                                                                   \
            "add %[BCr], %[t2]\n\t"                                                                 \
            "mov %[A], %[BCr]\n\t"                                                                  \
            "xor %[B], %[BCr]\n\t"                                                                  \
            "rorx $28, %[A], %[t0]\n\t"                                                             \
            "rorx $34, %[A], %[t1]\n\t"                                                             \
            "lea (%[D], %[t2]), %[H]\n\t"                                                           \
            "xor %[t1], %[t0]\n\t"                                                                  \
            "rorx $39, %[A], %[t1]\n\t"                                                             \
            "xor %[t1], %[t0]\n\t"                                                                  \
            "add %[t0], %[H]"                                                                       \
            : [D] "+r"(d), [H] "+r"(h), [BCr] "+r"(BC), [t0] "=&r"(T0), [t1] "=&r"(T1), [t2] "=&r"(T2) \
            : [A] "r"(a), [B] "r"(b), [E] "r"(e), [F] "r"(f), [G] "r"(g),                           \
              [wk] "m"(RP[4 * ((i) >> 1) + 2 * (Blk) + ((i) & 1)]))
#define SHA512_KROUNDS8(i, Blk) DIGEST_ROUNDS8(SHA512_KSTEP, i, Blk)
// Eight rounds of block 0 and, beside them, four steps of the schedule.
#define SHA512_KROUNDS8_SCHED(i, J)                   \
    SHA512_KSTEP(a, b, c, d, e, f, g, h, (i) + 0, 0); \
    SHA512_VSCHED((J) + 0, (J) + 0);                  \
    SHA512_KSTEP(h, a, b, c, d, e, f, g, (i) + 1, 0); \
    SHA512_KSTEP(g, h, a, b, c, d, e, f, (i) + 2, 0); \
    SHA512_VSCHED((J) + 1, (J) + 1);                  \
    SHA512_KSTEP(f, g, h, a, b, c, d, e, (i) + 3, 0); \
    SHA512_KSTEP(e, f, g, h, a, b, c, d, (i) + 4, 0); \
    SHA512_VSCHED((J) + 2, (J) + 2);                  \
    SHA512_KSTEP(d, e, f, g, h, a, b, c, (i) + 5, 0); \
    SHA512_KSTEP(c, d, e, f, g, h, a, b, (i) + 6, 0); \
    SHA512_VSCHED((J) + 3, (J) + 3);                  \
    SHA512_KSTEP(b, c, d, e, f, g, h, a, (i) + 7, 0)

__attribute__((target("avx2,bmi,bmi2"))) void SHA512BlocksAvx2(std::uint64_t State[8], const std::uint8_t* Data,
                                                           std::size_t Count)
{
    // The round constants and byte shuffles are copied into this frame, so
    // that they, WK and the compiler's spill slots lie at fixed distances in
    // the address bits below 4096, the constants half a page from WK. A
    // load that matches an earlier store only in those bits waits for it
    // (4K aliasing); with the constants in the program's data, where that
    // happened depended on where the stack lay, and made this code up to
    // three times slower in some processes. The spill slots lie outside
    // Space, within a few hundred bytes of its ends, away from both.
    alignas(64) std::uint64_t Space[512];
    std::uint64_t* const WK = Space + SpaceWK;
    static_assert(sizeof(K512Pairs.Words) == 160 * sizeof(std::uint64_t));
    // Copied and cleared below in vector registers; as memcpy and memset
    // (rep movs, rep stos) these took longer than a block.
    for (int i = 0; i < 160; i += 4) {
        __m256i K = _mm256_load_si256(reinterpret_cast<const __m256i*>(K512Pairs.Words + i));
        __asm__("" : "+x"(K));
        _mm256_store_si256(reinterpret_cast<__m256i*>(Space + SpaceKC + i), K);
    }
    _mm256_store_si256(reinterpret_cast<__m256i*>(Space + SpaceMasks),
                       _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,
                                        15, 14, 13, 12, 11, 10, 9, 8));
    _mm256_store_si256(reinterpret_cast<__m256i*>(Space + SpaceMasks + 4),
                       _mm256_setr_epi8(1, 2, 3, 4, 5, 6, 7, 0, 9, 10, 11, 12, 13, 14, 15, 8, 1, 2, 3, 4, 5, 6, 7, 0,
                                        9, 10, 11, 12, 13, 14, 15, 8));
    std::uint64_t a = State[0], b = State[1], c = State[2], d = State[3];
    std::uint64_t e = State[4], f = State[5], g = State[6], h = State[7];
    std::uint64_t T0, T1, T2;
    __m256i V0, V1, V2;
    while (Count > 0) {
        // Constants and shuffles are read from the frame afresh for every
        // pair of blocks; the compiler would otherwise take them from the
        // program's data or copy them to spill slots of its own.
        __asm__ volatile("" : : "r"(Space) : "memory");
        const __m256i Swap = _mm256_load_si256(reinterpret_cast<const __m256i*>(Space + SpaceMasks));
        // A lone last block is paired with itself, and its twin's rounds skipped.
        const std::uint8_t* Second = Count >= 2 ? Data + 128 : Data;
        __m256i X[8];
#pragma GCC unroll 8
        for (int J = 0; J < 8; ++J) {
            const __m128i Lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 16 * J));
            const __m128i Hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Second + 16 * J));
            X[J] = _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(Lo), Hi, 1), Swap);
            _mm256_store_si256(reinterpret_cast<__m256i*>(WK + 4 * J),
                               _mm256_add_epi64(X[J], _mm256_load_si256(reinterpret_cast<const __m256i*>(
                                                          Space + SpaceKC + 4 * J))));
        }
        std::uint64_t BC = b ^ c;
        // Loops rather than straight code, through RP, one register for WK
        // and the constants: fully unrolled, the code did not fit the
        // processor's cache of decoded instructions and ran a tenth slower.
        std::uint64_t* RP = WK;
        // Rounds 16K to 16K + 15 of the first block, with the words of
        // rounds 16K + 16 to 16K + 31 computed beside them.
#pragma GCC unroll 1
        for (int K = 0; K < 4; ++K) {
            SHA512_KROUNDS8_SCHED(0, 0);
            SHA512_KROUNDS8_SCHED(8, 4);
            RP += 32;
            // Keeps the compiler from turning RP into several pointers.
            __asm__("" : "+r"(RP));
        }
        SHA512_KROUNDS8(0, 0);
        SHA512_KROUNDS8(8, 0);
        DIGEST_ADD_STATE8(State);
        if (Count < 2)
            break;
        BC = b ^ c;
        RP = WK;
#pragma GCC unroll 1
        for (int K = 0; K < 5; ++K) {
            SHA512_KROUNDS8(0, 1);
            SHA512_KROUNDS8(8, 1);
            RP += 32;
            __asm__("" : "+r"(RP));
        }
        DIGEST_ADD_STATE8(State);
        Data += 256;
        Count -= 2;
    }
    __m256i Zero = _mm256_setzero_si256();
    __asm__("" : "+x"(Zero));
    for (int i = 0; i < 160; i += 4)
        _mm256_store_si256(reinterpret_cast<__m256i*>(WK + i), Zero);
    // Clean upper vector state for the SSE code that may follow.
    _mm256_zeroupper();
}

#endif

void SHA512Blocks(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
#if SORVIK_SHA512_AVX2
    if (DigestCpu::UseCpuFeature(DigestCpu::cfAvx2)) {
        SHA512BlocksAvx2(State, Data, Count);
        return;
    }
#endif
#if SORVIK_DIGEST_X86 && (defined(__GNUC__) || defined(__clang__))
    if (DigestCpu::UseBmi2()) {
        SHA512BlocksBmi2(State, Data, Count);
        return;
    }
#endif
    SHA512BlocksPlain(State, Data, Count);
}

constexpr const char* const SelfTestMessages[2] = {
    "abc",
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"};
constexpr std::uint8_t SelfTestDigests[2][64] = {
    {0xdd, 0xaf, 0x35, 0xa1, 0x93, 0x61, 0x7a, 0xba, 0xcc, 0x41, 0x73, 0x49, 0xae, 0x20, 0x41, 0x31,
     0x12, 0xe6, 0xfa, 0x4e, 0x89, 0xa9, 0x7e, 0xa2, 0x0a, 0x9e, 0xee, 0xe6, 0x4b, 0x55, 0xd3, 0x9a,
     0x21, 0x92, 0x99, 0x2a, 0x27, 0x4f, 0xc1, 0xa8, 0x36, 0xba, 0x3c, 0x23, 0xa3, 0xfe, 0xeb, 0xbd,
     0x45, 0x4d, 0x44, 0x23, 0x64, 0x3c, 0xe8, 0x0e, 0x2a, 0x9a, 0xc9, 0x4f, 0xa5, 0x4c, 0xa4, 0x9f},
    {0x8e, 0x95, 0x9b, 0x75, 0xda, 0xe3, 0x13, 0xda, 0x8c, 0xf4, 0xf7, 0x28, 0x14, 0xfc, 0x14, 0x3f,
     0x8f, 0x77, 0x79, 0xc6, 0xeb, 0x9f, 0x7f, 0xa1, 0x72, 0x99, 0xae, 0xad, 0xb6, 0x88, 0x90, 0x18,
     0x50, 0x1d, 0x28, 0x9e, 0x49, 0x00, 0xf7, 0xe4, 0x33, 0x1b, 0x99, 0xde, 0xc4, 0xb5, 0x43, 0x3a,
     0xc7, 0xd3, 0x29, 0xee, 0xb6, 0xdd, 0x26, 0x54, 0x5e, 0x96, 0xe5, 0x5b, 0x87, 0x4b, 0xe9, 0x09}};

}  // namespace

TDigestSHA512Base::~TDigestSHA512Base()
{
    if (FInitialized)
        TDigestSHA512Base::Wipe();
}

void TDigestSHA512Base::Compress()
{
    CompressFields(*this, SHA512Blocks);
}

void TDigestSHA512Base::Update(const void* Buffer, std::size_t Size)
{
    CheckInitialized(FInitialized);
    UpdateFields(*this, Buffer, Size, [this] { Compress(); }, SHA512Blocks);
}

void TDigestSHA512Base::Wipe()
{
    WipeFields(*this);
    FInitialized = false;
}

bool TDigestSHA512::ClassSelfTest()
{
    return DigestSelfTest<TDigestSHA512>(SelfTestMessages, SelfTestDigests);
}

void TDigestSHA512::Init()
{
    Wipe();
    HashState[0] = 0x6a09e667f3bcc908ULL;
    HashState[1] = 0xbb67ae8584caa73bULL;
    HashState[2] = 0x3c6ef372fe94f82bULL;
    HashState[3] = 0xa54ff53a5f1d36f1ULL;
    HashState[4] = 0x510e527fade682d1ULL;
    HashState[5] = 0x9b05688c2b3e6c1fULL;
    HashState[6] = 0x1f83d9abfb41bd6bULL;
    HashState[7] = 0x5be0cd19137e2179ULL;
    FInitialized = true;
}

void TDigestSHA512::Final(void* Digest)
{
    CheckInitialized(FInitialized);
    FinalFields<true>(*this, Digest, [this] { Compress(); });
    Wipe();
}
