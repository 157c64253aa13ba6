#include "digest/uDigestSHA256Rounds.h"
#include "digest/uDigestUtils.h"
#include "digest/uDigestX86.h"

#include <cstring>
#include <utility>

#if SORVIK_DIGEST_X86

namespace DigestCpu {

// Two blocks at a time for processors without the SHA extensions: each
// 256-bit vector holds four schedule words of the first block in its low
// half and the same four of the second block in its high half. The schedule
// plus constants of the next two blocks is computed beside the scalar rounds
// of the current two, spread thinly over all their rounds, and kept on the
// stack until their turn comes.

// SHA256K by fours, each four twice.
struct TK256Pairs {
    alignas(32) std::uint32_t Words[128];
};
constexpr TK256Pairs MakeK256Pairs()
{
    TK256Pairs P{};
    for (int t = 0; t < 64; ++t) {
        P.Words[8 * (t / 4) + (t % 4)] = SHA256K[t];
        P.Words[8 * (t / 4) + 4 + (t % 4)] = SHA256K[t];
    }
    return P;
}
constexpr TK256Pairs K256Pairs = MakeK256Pairs();

#define SHA256_VROR(x, n) _mm256_xor_si256(_mm256_srli_epi32(x, n), _mm256_slli_epi32(x, 32 - (n)))
#define SHA256_Vs0(x) _mm256_xor_si256(_mm256_xor_si256(SHA256_VROR(x, 7), SHA256_VROR(x, 18)), _mm256_srli_epi32(x, 3))
// s1 of the words in the low halves of the 64-bit lanes of x, each of which
// holds one word twice: a 64-bit shift of a word beside itself rotates it.
#define SHA256_Vs1Doubled(x)                                                                          \
    _mm256_xor_si256(_mm256_xor_si256(_mm256_srli_epi64(x, 17), _mm256_srli_epi64(x, 19)), \
                     _mm256_srli_epi32(x, 10))
// Words t to t + 3 of both blocks, t = 4 * Four; X[J] holds words t - 16 to
// t - 13 and is replaced by the new ones. s1 of words t - 2 and t - 1 gives
// words t and t + 1, and s1 of those gives words t + 2 and t + 3.
#define SHA256_VSCHED(J, Four)                                                                                    \
    do {                                                                                                           \
        const __m256i S0In = _mm256_alignr_epi8(X[((J) + 1) & 3], X[J], 4);                                        \
        const __m256i W7 = _mm256_alignr_epi8(X[((J) + 3) & 3], X[((J) + 2) & 3], 4);                              \
        __m256i N = _mm256_add_epi32(_mm256_add_epi32(X[J], SHA256_Vs0(S0In)), W7);                                \
        const __m256i Last2 = _mm256_shuffle_epi32(X[((J) + 3) & 3], 0xFA);                                        \
        N = _mm256_add_epi32(N, _mm256_shuffle_epi8(SHA256_Vs1Doubled(Last2), ToLowPair));                         \
        const __m256i First2 = _mm256_shuffle_epi32(N, 0x50);                                                      \
        N = _mm256_add_epi32(N, _mm256_shuffle_epi8(SHA256_Vs1Doubled(First2), ToHighPair));                       \
        X[J] = N;                                                                                                  \
        _mm256_store_si256(reinterpret_cast<__m256i*>(WN + 8 * (Four)),                                            \
                           _mm256_add_epi32(N, _mm256_load_si256(                                                  \
                                                   reinterpret_cast<const __m256i*>(KP + 8 * (Four)))));           \
    } while (0)
// Words 0 to 15 of the blocks at First and Second, their bytes turned by
// the shuffle stored after the constants, and their sums with the constants.
#define SHA256_VLOAD(First, Second)                                                                           \
    do {                                                                                                      \
        for (int J = 0; J < 4; ++J) {                                                                         \
            const __m128i Lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>((First) + 16 * J));           \
            const __m128i Hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>((Second) + 16 * J));          \
            X[J] = _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(Lo), Hi, 1),            \
                                       _mm256_load_si256(reinterpret_cast<const __m256i*>(KP + 128)));        \
            _mm256_store_si256(reinterpret_cast<__m256i*>(WN + 8 * J),                                        \
                               _mm256_add_epi32(X[J], _mm256_load_si256(                                      \
                                                          reinterpret_cast<const __m256i*>(KP + 8 * J))));    \
        }                                                                                                     \
    } while (0)
// Round i of block B (0 or 1). Both chains from one round's a and e to the
// next's take four steps: e' = ((d + h + K + W) + Ch(e, f, g)) + S1(e),
// where Ch(e, f, g) = (e & f) + (~e & g); and a' = T1 + Maj(a, b, c) + S0(a)
// = ((e' + (b & c) - d) + (a & (b ^ c))) + S0(a), since b & c and
// a & (b ^ c) have no bit in common. BC carries b ^ c and BN b & c from the
// step before. SHA256_PIN keeps the compiler from reassociating the sums
// into longer chains.
#define SHA256_PIN(x) __asm__("" : "+r"(x))
#define SHA256_KSTEP(a, b, c, d, e, f, g, h, i, B)                          \
    do {                                                                    \
        h += RK[8 * ((i) >> 2) + 4 * (B) + ((i) & 3)];                      \
        BN -= d;                                                            \
        d += h;                                                             \
        SHA256_PIN(d);                                                      \
        std::uint32_t Ch = (e & f) + (~e & g);                              \
        SHA256_PIN(Ch);                                                     \
        d += Ch;                                                            \
        SHA256_PIN(d);                                                      \
        d += SHA256_S1(e);                                                  \
        SHA256_PIN(d);                                                      \
        BN += BC & a;                                                       \
        SHA256_PIN(BN);                                                     \
        h = BN + d;                                                         \
        SHA256_PIN(h);                                                      \
        h += SHA256_S0(a);                                                  \
        BC = a ^ b;                                                         \
        BN = a & b;                                                         \
    } while (0)
#define SHA256_KROUNDS8(i, B) DIGEST_ROUNDS8(SHA256_KSTEP, i, B)
// Eight rounds with one step of the next schedule beside them.
#define SHA256_KROUNDS8_SCHED(i, B, J, Four)          \
    SHA256_KSTEP(a, b, c, d, e, f, g, h, (i) + 0, B); \
    SHA256_KSTEP(h, a, b, c, d, e, f, g, (i) + 1, B); \
    SHA256_KSTEP(g, h, a, b, c, d, e, f, (i) + 2, B); \
    SHA256_KSTEP(f, g, h, a, b, c, d, e, (i) + 3, B); \
    SHA256_VSCHED(J, Four);                           \
    SHA256_KSTEP(e, f, g, h, a, b, c, d, (i) + 4, B); \
    SHA256_KSTEP(d, e, f, g, h, a, b, c, (i) + 5, B); \
    SHA256_KSTEP(c, d, e, f, g, h, a, b, (i) + 6, B); \
    SHA256_KSTEP(b, c, d, e, f, g, h, a, (i) + 7, B)

SORVIK_DIGEST_TARGET("avx2,bmi,bmi2")
void SHA256BlocksAvx2(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    // A lone block, such as the padding at the end, goes faster without the
    // vectors' start and end.
    if (Count < 2) {
        if (Count == 1)
            SHA256BlocksBmi2(State, Data, 1);
        return;
    }
    // The round constants and the byte order shuffle are copied into this
    // frame, so that they, the two schedules and the compiler's spill slots
    // lie at fixed distances in the address bits below 4096, a quarter of a
    // page apart. A load that matches
    // an earlier store only in those bits waits for it (4K aliasing); with
    // the constants in the program's data, where that happened depended on
    // where the stack lay. The spill slots lie outside Space, within a few
    // hundred bytes of its ends, away from all three.
    alignas(64) std::uint32_t Space[1024];
    std::uint32_t* const KC = Space + 256;  // bytes 1024 to 1567
    std::uint32_t* const WA = Space + 512;  // bytes 2048 to 2559
    std::uint32_t* const WB = Space + 768;  // bytes 3072 to 3583
    static_assert(sizeof(K256Pairs.Words) == 128 * sizeof(std::uint32_t));
    std::memcpy(KC, K256Pairs.Words, sizeof(K256Pairs.Words));
    _mm256_store_si256(reinterpret_cast<__m256i*>(KC + 128),
                       _mm256_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12, 3, 2, 1, 0, 7, 6, 5, 4, 11,
                                        10, 9, 8, 15, 14, 13, 12));
    // The rounds read the current schedule (RK), the schedule steps write
    // the next (WN) and read the constants (KP), through pointers that the
    // compiler cannot see to be those arrays: it would otherwise take the
    // words out of the vector registers one by one instead of loading them,
    // or the constants from the program's data again.
    std::uint32_t* RK = WB;
    std::uint32_t* WN = WA;
    const std::uint32_t* KP = KC;
    __asm__("" : "+r"(RK), "+r"(WN), "+r"(KP) : : "memory");
    // Bytes 0 to 3 and 8 to 11 of each half to words 0 and 1, or 2 and 3;
    // the other words zero.
    const __m256i ToLowPair = _mm256_setr_epi8(0, 1, 2, 3, 8, 9, 10, 11, -1, -1, -1, -1, -1, -1, -1, -1, 0, 1, 2, 3, 8,
                                               9, 10, 11, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i ToHighPair = _mm256_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, 0, 1, 2, 3, 8, 9, 10, 11, -1, -1, -1,
                                                -1, -1, -1, -1, -1, 0, 1, 2, 3, 8, 9, 10, 11);
    __m256i X[4];
    // The schedule of the first two blocks on its own.
    SHA256_VLOAD(Data, Data + 64);
#pragma GCC unroll 12
    for (int Four = 4; Four < 16; ++Four)
        SHA256_VSCHED(Four & 3, Four);
    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3];
    std::uint32_t e = State[4], f = State[5], g = State[6], h = State[7];
    for (;;) {
        std::swap(RK, WN);
        // The next two blocks; a lone last block paired with itself, and its
        // twin's rounds skipped; past the end the current blocks again, whose
        // schedule is then computed for nothing.
        const std::uint8_t* Next = Count > 2 ? Data + 128 : Data;
        SHA256_VLOAD(Next, Count > 3 ? Next + 64 : Next);
        std::uint32_t BC = b ^ c, BN = b & c;
        // The schedule steps sit in six of each block's eight groups of
        // rounds, away from its start, where the state was just added and
        // the next words loaded: bunched there they cost 2 % more.
        SHA256_KROUNDS8(0, 0);
        SHA256_KROUNDS8_SCHED(8, 0, 0, 4);
        SHA256_KROUNDS8_SCHED(16, 0, 1, 5);
        SHA256_KROUNDS8_SCHED(24, 0, 2, 6);
        SHA256_KROUNDS8(32, 0);
        SHA256_KROUNDS8_SCHED(40, 0, 3, 7);
        SHA256_KROUNDS8_SCHED(48, 0, 0, 8);
        SHA256_KROUNDS8_SCHED(56, 0, 1, 9);
        DIGEST_ADD_STATE8(State);
        if (Count < 2)
            break;
        BC = b ^ c;
        BN = b & c;
        SHA256_KROUNDS8(0, 1);
        SHA256_KROUNDS8_SCHED(8, 1, 2, 10);
        SHA256_KROUNDS8_SCHED(16, 1, 3, 11);
        SHA256_KROUNDS8_SCHED(24, 1, 0, 12);
        SHA256_KROUNDS8(32, 1);
        SHA256_KROUNDS8_SCHED(40, 1, 1, 13);
        SHA256_KROUNDS8_SCHED(48, 1, 2, 14);
        SHA256_KROUNDS8_SCHED(56, 1, 3, 15);
        DIGEST_ADD_STATE8(State);
        Count -= 2;
        if (Count == 0)
            break;
        Data += 128;
        __asm__("" : "+r"(RK), "+r"(WN) : : "memory");
    }
    const __m256i Zero = _mm256_setzero_si256();
    for (int i = 0; i < 128; i += 8) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(WA + i), Zero);
        _mm256_store_si256(reinterpret_cast<__m256i*>(WB + i), Zero);
    }
    // Clean upper vector state for the SSE code that may follow.
    _mm256_zeroupper();
}

}  // namespace DigestCpu

#endif
