#include "digest/uDigestUtils.h"
#include "digest/uDigestX86.h"

#if SORVIK_DIGEST_X86_64

#include <algorithm>
#include <array>

namespace DigestCpu {

// Two blocks at a time: each 256-bit vector holds a pair of schedule words
// of the first block in its low half and the same pair of the second block
// in its high half, so that per-half byte alignment (vpalignr) finds the
// words fifteen and seven steps back. The schedule plus constants of both
// blocks is computed in vector registers between the first block's scalar
// rounds and kept on the stack for the second block's rounds.

// SHA512K as pairs, each pair twice: K0 K1 K0 K1, K2 K3 K2 K3, ...
struct TK512Pairs {
    alignas(32) std::uint64_t Words[160];
};
constexpr TK512Pairs MakeK512Pairs()
{
    TK512Pairs P{};
    for (int i = 0; i < 80; i += 2) {
        P.Words[2 * i] = SHA512K[i];
        P.Words[2 * i + 1] = SHA512K[i + 1];
        P.Words[2 * i + 2] = SHA512K[i];
        P.Words[2 * i + 3] = SHA512K[i + 1];
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
#define SHA512_VSCHED_VEX(J, Pair)                                                                          \
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
// The same with AVX-512's rotations and three-way XOR (256-bit forms,
// registers 0 to 15): 15 instructions rather than 23. The schedule shares
// the core's dispatch with the scalar rounds of the first block, which it
// slows where the core dispatches few instructions per cycle.
#define SHA512_VSCHED_EVEX(J, Pair)                                                                       \
    __asm__("vpalignr $8, %[X0], %[X1], %[v0]\n\t"                                                       \
            "vpalignr $8, %[X4], %[X5], %[v1]\n\t"                                                       \
            "vpaddq %[v1], %[X0], %[X0]\n\t"                                                             \
            "vprorq $1, %[v0], %[v1]\n\t"                                                                \
            "vprorq $8, %[v0], %[v2]\n\t"                                                                \
            "vpsrlq $7, %[v0], %[v0]\n\t"                                                                \
            "vpternlogq $0x96, %[v2], %[v1], %[v0]\n\t"                                                  \
            "vpaddq %[v0], %[X0], %[X0]\n\t"                                                             \
            "vprorq $19, %[X7], %[v0]\n\t"                                                               \
            "vprorq $61, %[X7], %[v1]\n\t"                                                               \
            "vpsrlq $6, %[X7], %[v2]\n\t"                                                                \
            "vpternlogq $0x96, %[v2], %[v1], %[v0]\n\t"                                                  \
            "vpaddq %[v0], %[X0], %[X0]\n\t"                                                             \
            "vpaddq %[k], %[X0], %[v0]\n\t"                                                              \
            "vmovdqa %[v0], %[wk]"                                                                       \
            : [X0] "+x"(X[J]), [wk] "=m"(*reinterpret_cast<__m256i*>(RP + 32 + 4 * (Pair))),             \
              [v0] "=&x"(V0), [v1] "=&x"(V1), [v2] "=&x"(V2)                                             \
            : [X1] "x"(X[((J) + 1) & 7]), [X4] "x"(X[((J) + 4) & 7]), [X5] "x"(X[((J) + 5) & 7]),        \
              [X7] "x"(X[((J) + 7) & 7]),                                                                \
              [k] "m"(*reinterpret_cast<const __m256i*>(RP + 32 + (SpaceKC - SpaceWK) + 4 * (Pair))))
#define SHA512_VSCHED(J, Pair)               \
    do {                                     \
        if constexpr (Evex)                  \
            SHA512_VSCHED_EVEX(J, Pair);     \
        else                                 \
            SHA512_VSCHED_VEX(J, Pair);      \
    } while (0)
// Round i (of 16) of block Blk from WK at RP. One round in assembly: the
// compiler reassociates the sums and recomputes the carried b ^ c. Two
// forms; which of them is faster depends on the processor.
// Short chains: the new e is d + h + WK + Ch(e, f, g) + S1(e), summed in
// that order so that it waits for e only four steps; the new a is that plus
// Maj(a, b, c) - d + S0(a), with Maj = (a & (b ^ c)) + (b & c) (disjoint),
// so that it waits for a four steps too: 24 operations of the integer
// units. BC carries b ^ c from round to round.
#define SHA512_CSTEP(a, b, c, d, e, f, g, h, i, Blk)                                                 \
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
// Few operations: 22 of the integer units, in chains of five steps. Maj =
// b ^ ((a ^ b) & (b ^ c)) turns the carried b ^ c (In) into Maj and leaves
// a ^ b, the next round's, in Out; the two swap from round to round.
#define SHA512_LSTEP(a, b, c, d, e, f, g, h, i, Blk, In, Out)                                      \
    __asm__("rorx $14, %[E], %[t0]\n\t"                                                             \
            "rorx $18, %[E], %[t1]\n\t"                                                             \
            "andn %[G], %[E], %[o]\n\t"                                                             \
            "xor %[t1], %[t0]\n\t"                                                                  \
            "add %[wk], %[H]\n\t"                                                                   \
            "rorx $41, %[E], %[t1]\n\t"                                                             \
            "add %[o], %[H]\n\t"                                                                    \
            "mov %[F], %[o]\n\t"                                                                    \
            "and %[E], %[o]\n\t"                                                                    \
            "xor %[t1], %[t0]\n\t"                                                                  \
            "add %[o], %[H]\n\t"                                                                    \
            "rorx $34, %[A], %[o]\n\t"                                                              \
            "rorx $28, %[A], %[t1]\n\t"                                                             \
            "add %[t0], %[H]\n\t"                                                                   \
            "add %[H], %[D]\n\t"                                                                    \
            "xor %[o], %[t1]\n\t"                                                                   \
            "rorx $39, %[A], %[o]\n\t"                                                              \
            "xor %[o], %[t1]\n\t"                                                                   \
            "mov %[A], %[o]\n\t"                                                                    \
            "xor %[B], %[o]\n\t"                                                                    \
            "and %[o], %[in]\n\t"                                                                   \
            "add %[t1], %[H]\n\t"                                                                   \
            "xor %[B], %[in]\n\t"                                                                   \
            "add %[in], %[H]"                                                                       \
            : [D] "+r"(d), [H] "+r"(h), [in] "+r"(In), [o] "=&r"(Out), [t0] "=&r"(T0), [t1] "=&r"(T1) \
            : [A] "r"(a), [B] "r"(b), [E] "r"(e), [F] "r"(f), [G] "r"(g),                           \
              [wk] "m"(RP[4 * ((i) >> 1) + 2 * (Blk) + ((i) & 1)]))
#define SHA512_KSTEP(a, b, c, d, e, f, g, h, i, Blk)                         \
    do {                                                                     \
        if constexpr (!Lean)                                                 \
            SHA512_CSTEP(a, b, c, d, e, f, g, h, i, Blk);                    \
        else if constexpr (((i) & 1) == 0)                                   \
            SHA512_LSTEP(a, b, c, d, e, f, g, h, i, Blk, BC, BC2);           \
        else                                                                 \
            SHA512_LSTEP(a, b, c, d, e, f, g, h, i, Blk, BC2, BC);           \
    } while (0)
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

template <bool Lean, bool Evex>
SORVIK_DIGEST_TARGET("avx2,bmi,bmi2")
SORVIK_DIGEST_FORCE_INLINE void SHA512BlocksBody(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
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
    std::uint64_t T0, T1, T2, BC2;
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

SORVIK_DIGEST_TARGET("avx2,bmi,bmi2")
void SHA512BlocksAvx2Chains(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA512BlocksBody<false, false>(State, Data, Count);
}

SORVIK_DIGEST_TARGET("avx2,bmi,bmi2")
void SHA512BlocksAvx2Lean(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA512BlocksBody<true, false>(State, Data, Count);
}

SORVIK_DIGEST_TARGET("avx2,bmi,bmi2,avx512f,avx512vl")
void SHA512BlocksAvx2ChainsAvx512(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA512BlocksBody<false, true>(State, Data, Count);
}

SORVIK_DIGEST_TARGET("avx2,bmi,bmi2,avx512f,avx512vl")
void SHA512BlocksAvx2LeanAvx512(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA512BlocksBody<true, true>(State, Data, Count);
}

namespace {

using TBlocks = void (*)(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count);

// In order of preference: the plainer first.
constexpr struct {
    TBlocks Blocks;
    const char* Name;
} Forms[] = {
    {SHA512BlocksAvx2Chains, "short chains"},
    {SHA512BlocksAvx2Lean, "few operations"},
    {SHA512BlocksAvx2ChainsAvx512, "short chains, AVX-512 schedule"},
    {SHA512BlocksAvx2LeanAvx512, "few operations, AVX-512 schedule"},
};
constexpr int FormsWithoutAvx512 = 2;

struct TChoice {
    int WithoutAvx512 = 0;
    int Any = 0;
};

// Short chains win where the core has integer units to spare (five or more
// per cycle), few operations where it has four; the AVX-512 schedule where
// the core dispatches too few instructions for both the rounds and the
// longer schedule, and its rotations are fast. Rather than guess that from
// the processor's name, the forms run over the same blocks, in turns, once,
// at the first use (a few milliseconds). Forms are compared try by try,
// by the median of their times' ratios: tries next to each other share the
// processor's clock and load, where the least times of each form, taken at
// different moments, differed by more than the forms do. A form is taken
// over a plainer one only when faster by half a per cent.
TChoice MeasureForms()
{
    constexpr int Tries = 256;
    alignas(64) std::uint8_t Data[16 * 128];
    for (std::size_t I = 0; I < sizeof(Data); ++I)
        Data[I] = static_cast<std::uint8_t>(I * 167 + 13);
    std::uint64_t Work[8] = {};
    const int Count = (CpuFeatures() & cfAvx512) != 0 ? 4 : FormsWithoutAvx512;
    std::array<std::array<unsigned long long, Tries>, 4> Took{};
    for (int Try = 0; Try < Tries; ++Try)
        for (int Form = 0; Form < Count; ++Form) {
            const unsigned long long Started = __rdtsc();
            Forms[Form].Blocks(Work, Data, sizeof(Data) / 128);
            Took[Form][Try] = __rdtsc() - Started;
        }
    DigestUtils::Wipe(Work, sizeof(Work));
    const auto Ratio = [&Took](int Form, int Than) {
        std::array<double, Tries> R;
        for (int Try = 0; Try < Tries; ++Try)
            R[Try] = double(Took[Form][Try]) / double(std::max(Took[Than][Try], 1ull));
        std::nth_element(R.begin(), R.begin() + Tries / 2, R.end());
        return R[Tries / 2];
    };
    const auto Pick = [&Ratio](int Among) {
        int Best = 0;
        for (int Form = 1; Form < Among; ++Form)
            if (Ratio(Form, Best) < 0.995)
                Best = Form;
        return Best;
    };
    return {Pick(FormsWithoutAvx512), Pick(Count)};
}

int FormInUse()
{
    static const TChoice Choice = MeasureForms();
    return UseCpuFeature(cfAvx512) ? Choice.Any : Choice.WithoutAvx512;
}

}  // namespace

const char* SHA512Avx2Form()
{
    return Forms[FormInUse()].Name;
}

void SHA512BlocksAvx2(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    Forms[FormInUse()].Blocks(State, Data, Count);
}

}  // namespace DigestCpu

#endif
