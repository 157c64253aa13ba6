#include "digest/uDigestSHA256.h"

#include "digest/uDigestClass.h"
#include "digest/uDigestCpu.h"
#include "digest/uDigestUtils.h"

#include <cstring>
#include <utility>

#if SORVIK_DIGEST_X86 && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

using namespace DigestUtils;

namespace DigestCpu {

#define SHA256_S0(x) (std::rotr(x, 2) ^ std::rotr(x, 13) ^ std::rotr(x, 22))
#define SHA256_S1(x) (std::rotr(x, 6) ^ std::rotr(x, 11) ^ std::rotr(x, 25))
#define SHA256_s0(x) (std::rotr(x, 7) ^ std::rotr(x, 18) ^ ((x) >> 3))
#define SHA256_s1(x) (std::rotr(x, 17) ^ std::rotr(x, 19) ^ ((x) >> 10))
#define SHA256_CH(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
// The schedule lives in a rolling window of 16 words.
#define SHA256_W(i) (W[(i) & 15] += SHA256_s1(W[((i) - 2) & 15]) + W[((i) - 7) & 15] + SHA256_s0(W[((i) - 15) & 15]))
// Maj(a, b, c) = b ^ ((a ^ b) & (b ^ c)), and b ^ c is the a ^ b of the step
// before: BC carries it from step to step. Word(i) gives the step's
// message word: SHA256_W0 one of the first sixteen, SHA256_W the schedule's.
#define SHA256_STEP(a, b, c, d, e, f, g, h, i, Word)                                           \
    do {                                                                                       \
        const std::uint32_t T1 = h + SHA256_S1(e) + SHA256_CH(e, f, g) + SHA256K[i] + Word(i); \
        const std::uint32_t AB = a ^ b;                                                        \
        d += T1;                                                                               \
        h = T1 + SHA256_S0(a) + (b ^ (AB & BC));                                               \
        BC = AB;                                                                               \
    } while (0)
#define SHA256_W0(i) W[(i)]

#if defined(__GNUC__) || defined(__clang__)
#define SHA256_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define SHA256_ALWAYS_INLINE inline
#endif

SHA256_ALWAYS_INLINE void SHA256BlocksBody(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    std::uint32_t W[16];
    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3];
    std::uint32_t e = State[4], f = State[5], g = State[6], h = State[7];
    for (; Count > 0; --Count, Data += 64) {
        for (int i = 0; i < 16; ++i)
            W[i] = LoadBE32(Data + 4 * i);
        std::uint32_t BC = b ^ c;
        DIGEST_ROUNDS8(SHA256_STEP, 0, SHA256_W0);
        DIGEST_ROUNDS8(SHA256_STEP, 8, SHA256_W0);
        DIGEST_ROUNDS8(SHA256_STEP, 16, SHA256_W);
        DIGEST_ROUNDS8(SHA256_STEP, 24, SHA256_W);
        DIGEST_ROUNDS8(SHA256_STEP, 32, SHA256_W);
        DIGEST_ROUNDS8(SHA256_STEP, 40, SHA256_W);
        DIGEST_ROUNDS8(SHA256_STEP, 48, SHA256_W);
        DIGEST_ROUNDS8(SHA256_STEP, 56, SHA256_W);
        DIGEST_ADD_STATE8(State);
    }
    Wipe(W, sizeof(W));
}

void SHA256BlocksPortable(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA256BlocksBody(State, Data, Count);
}

#if SORVIK_DIGEST_X86 && (defined(__GNUC__) || defined(__clang__))
// The same rounds compiled for BMI2, whose rotations need no moves.
__attribute__((target("bmi2"))) void SHA256BlocksBmi2(std::uint32_t State[8], const std::uint8_t* Data,
                                                     std::size_t Count)
{
    SHA256BlocksBody(State, Data, Count);
}
#endif

#if SORVIK_DIGEST_X86 && (defined(__GNUC__) || defined(__clang__))

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

__attribute__((target("avx2,bmi,bmi2"))) void SHA256BlocksAvx2(std::uint32_t State[8], const std::uint8_t* Data,
                                                               std::size_t Count)
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

#endif

}  // namespace DigestCpu

namespace {

void SHA256Blocks(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
#if SORVIK_DIGEST_X86
    if (DigestCpu::UseShaExtensions()) {
        DigestCpu::SHA256BlocksShaNI(State, Data, Count);
        return;
    }
#if defined(__GNUC__) || defined(__clang__)
    if (DigestCpu::UseCpuFeature(DigestCpu::cfAvx2)) {
        DigestCpu::SHA256BlocksAvx2(State, Data, Count);
        return;
    }
    if (DigestCpu::UseBmi2()) {
        DigestCpu::SHA256BlocksBmi2(State, Data, Count);
        return;
    }
#endif
#endif
    DigestCpu::SHA256BlocksPortable(State, Data, Count);
}

// The first test message and its digest, then the second.
constexpr const char* const SelfTestMessages[2] = {
    "abc", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"};
constexpr std::uint8_t SelfTestDigests[2][32] = {
    {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41, 0x41, 0x40, 0xde, 0x5d, 0xae, 0x22, 0x23,
     0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17, 0x7a, 0x9c, 0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad},
    {0x24, 0x8d, 0x6a, 0x61, 0xd2, 0x06, 0x38, 0xb8, 0xe5, 0xc0, 0x26, 0x93, 0x0c, 0x3e, 0x60, 0x39,
     0xa3, 0x3c, 0xe4, 0x59, 0x64, 0xff, 0x21, 0x67, 0xf6, 0xec, 0xed, 0xd4, 0x19, 0xdb, 0x06, 0xc1}};

}  // namespace

TDigestSHA256::~TDigestSHA256()
{
    if (FInitialized)
        Wipe();
}

bool TDigestSHA256::ClassSelfTest()
{
    return DigestSelfTest<TDigestSHA256>(SelfTestMessages, SelfTestDigests);
}

void TDigestSHA256::Init()
{
    Wipe();
    HashState[0] = 0x6a09e667;
    HashState[1] = 0xbb67ae85;
    HashState[2] = 0x3c6ef372;
    HashState[3] = 0xa54ff53a;
    HashState[4] = 0x510e527f;
    HashState[5] = 0x9b05688c;
    HashState[6] = 0x1f83d9ab;
    HashState[7] = 0x5be0cd19;
    FInitialized = true;
}

void TDigestSHA256::Compress()
{
    CompressFields(*this, SHA256Blocks);
}

void TDigestSHA256::Update(const void* Buffer, std::size_t Size)
{
    CheckInitialized(FInitialized);
    UpdateFields(*this, Buffer, Size, [this] { Compress(); }, SHA256Blocks);
}

void TDigestSHA256::Final(void* Digest)
{
    CheckInitialized(FInitialized);
    FinalFields<true>(*this, Digest, [this] { Compress(); });
    Wipe();
}

void TDigestSHA256::Wipe()
{
    WipeFields(*this);
    FInitialized = false;
}
