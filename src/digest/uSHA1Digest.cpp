#include "digest/uSHA1Digest.h"

#include "digest/uDigestCpu.h"
#include "digest/uDigestUtils.h"

#include <cstring>
#include <utility>

#if SORVIK_DIGEST_X86 && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

using namespace DigestUtils;

namespace DigestCpu {

// One expanded word of the schedule, kept in a rolling window of 16.
#define SHA1_W(i) (W[(i) & 15] = std::rotl(W[((i) + 13) & 15] ^ W[((i) + 8) & 15] ^ W[((i) + 2) & 15] ^ W[(i) & 15], 1))
#define SHA1_R0(a, b, c, d, e, i) e += ((d) ^ ((b) & ((c) ^ (d)))) + W[i] + 0x5A827999u + std::rotl(a, 5); b = std::rotl(b, 30)
#define SHA1_R1(a, b, c, d, e, i) e += ((d) ^ ((b) & ((c) ^ (d)))) + SHA1_W(i) + 0x5A827999u + std::rotl(a, 5); b = std::rotl(b, 30)
#define SHA1_R2(a, b, c, d, e, i) e += ((b) ^ (c) ^ (d)) + SHA1_W(i) + 0x6ED9EBA1u + std::rotl(a, 5); b = std::rotl(b, 30)
#define SHA1_R3(a, b, c, d, e, i) e += ((((b) | (c)) & (d)) | ((b) & (c))) + SHA1_W(i) + 0x8F1BBCDCu + std::rotl(a, 5); b = std::rotl(b, 30)
#define SHA1_R4(a, b, c, d, e, i) e += ((b) ^ (c) ^ (d)) + SHA1_W(i) + 0xCA62C1D6u + std::rotl(a, 5); b = std::rotl(b, 30)

void SHA1BlocksPortable(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count)
{
    std::uint32_t W[16];
    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3], e = State[4];
    for (; Count > 0; --Count, Data += 64) {
        for (int i = 0; i < 16; ++i)
            W[i] = LoadBE32(Data + 4 * i);
        const std::uint32_t aa = a, bb = b, cc = c, dd = d, ee = e;
        SHA1_R0(a, b, c, d, e, 0);
        SHA1_R0(e, a, b, c, d, 1);
        SHA1_R0(d, e, a, b, c, 2);
        SHA1_R0(c, d, e, a, b, 3);
        SHA1_R0(b, c, d, e, a, 4);
        SHA1_R0(a, b, c, d, e, 5);
        SHA1_R0(e, a, b, c, d, 6);
        SHA1_R0(d, e, a, b, c, 7);
        SHA1_R0(c, d, e, a, b, 8);
        SHA1_R0(b, c, d, e, a, 9);
        SHA1_R0(a, b, c, d, e, 10);
        SHA1_R0(e, a, b, c, d, 11);
        SHA1_R0(d, e, a, b, c, 12);
        SHA1_R0(c, d, e, a, b, 13);
        SHA1_R0(b, c, d, e, a, 14);
        SHA1_R0(a, b, c, d, e, 15);
        SHA1_R1(e, a, b, c, d, 16);
        SHA1_R1(d, e, a, b, c, 17);
        SHA1_R1(c, d, e, a, b, 18);
        SHA1_R1(b, c, d, e, a, 19);
        SHA1_R2(a, b, c, d, e, 20);
        SHA1_R2(e, a, b, c, d, 21);
        SHA1_R2(d, e, a, b, c, 22);
        SHA1_R2(c, d, e, a, b, 23);
        SHA1_R2(b, c, d, e, a, 24);
        SHA1_R2(a, b, c, d, e, 25);
        SHA1_R2(e, a, b, c, d, 26);
        SHA1_R2(d, e, a, b, c, 27);
        SHA1_R2(c, d, e, a, b, 28);
        SHA1_R2(b, c, d, e, a, 29);
        SHA1_R2(a, b, c, d, e, 30);
        SHA1_R2(e, a, b, c, d, 31);
        SHA1_R2(d, e, a, b, c, 32);
        SHA1_R2(c, d, e, a, b, 33);
        SHA1_R2(b, c, d, e, a, 34);
        SHA1_R2(a, b, c, d, e, 35);
        SHA1_R2(e, a, b, c, d, 36);
        SHA1_R2(d, e, a, b, c, 37);
        SHA1_R2(c, d, e, a, b, 38);
        SHA1_R2(b, c, d, e, a, 39);
        SHA1_R3(a, b, c, d, e, 40);
        SHA1_R3(e, a, b, c, d, 41);
        SHA1_R3(d, e, a, b, c, 42);
        SHA1_R3(c, d, e, a, b, 43);
        SHA1_R3(b, c, d, e, a, 44);
        SHA1_R3(a, b, c, d, e, 45);
        SHA1_R3(e, a, b, c, d, 46);
        SHA1_R3(d, e, a, b, c, 47);
        SHA1_R3(c, d, e, a, b, 48);
        SHA1_R3(b, c, d, e, a, 49);
        SHA1_R3(a, b, c, d, e, 50);
        SHA1_R3(e, a, b, c, d, 51);
        SHA1_R3(d, e, a, b, c, 52);
        SHA1_R3(c, d, e, a, b, 53);
        SHA1_R3(b, c, d, e, a, 54);
        SHA1_R3(a, b, c, d, e, 55);
        SHA1_R3(e, a, b, c, d, 56);
        SHA1_R3(d, e, a, b, c, 57);
        SHA1_R3(c, d, e, a, b, 58);
        SHA1_R3(b, c, d, e, a, 59);
        SHA1_R4(a, b, c, d, e, 60);
        SHA1_R4(e, a, b, c, d, 61);
        SHA1_R4(d, e, a, b, c, 62);
        SHA1_R4(c, d, e, a, b, 63);
        SHA1_R4(b, c, d, e, a, 64);
        SHA1_R4(a, b, c, d, e, 65);
        SHA1_R4(e, a, b, c, d, 66);
        SHA1_R4(d, e, a, b, c, 67);
        SHA1_R4(c, d, e, a, b, 68);
        SHA1_R4(b, c, d, e, a, 69);
        SHA1_R4(a, b, c, d, e, 70);
        SHA1_R4(e, a, b, c, d, 71);
        SHA1_R4(d, e, a, b, c, 72);
        SHA1_R4(c, d, e, a, b, 73);
        SHA1_R4(b, c, d, e, a, 74);
        SHA1_R4(a, b, c, d, e, 75);
        SHA1_R4(e, a, b, c, d, 76);
        SHA1_R4(d, e, a, b, c, 77);
        SHA1_R4(c, d, e, a, b, 78);
        SHA1_R4(b, c, d, e, a, 79);
        a += aa;
        b += bb;
        c += cc;
        d += dd;
        e += ee;
    }
    State[0] = a;
    State[1] = b;
    State[2] = c;
    State[3] = d;
    State[4] = e;
    Wipe(W, sizeof(W));
}

#if SORVIK_DIGEST_X86 && (defined(__GNUC__) || defined(__clang__))

// Paths for processors without the SHA extensions: the message schedule is
// computed four words at a time in vectors, beside the scalar rounds, and
// kept with the round constants added on the stack, where the rounds read
// it. With AVX2 each 256-bit vector holds four words of one block in its low
// half and the same four of the next block in its high half, and two blocks
// are done at a time; with SSSE3 one block at a time.

// The round constant of each group of four words (five groups per
// constant), eight times over for one 256-bit load (or four for 128 bits).
struct TK1Vectors {
    alignas(32) std::uint32_t Words[32];
};
constexpr TK1Vectors MakeK1Vectors()
{
    constexpr std::uint32_t K[4] = {0x5A827999u, 0x6ED9EBA1u, 0x8F1BBCDCu, 0xCA62C1D6u};
    TK1Vectors V{};
    for (int i = 0; i < 32; ++i)
        V.Words[i] = K[i / 8];
    return V;
}
constexpr TK1Vectors K1Vectors = MakeK1Vectors();

// The macros below are shared by both paths; each path defines the vector
// operations they use (SHA1_V...), the number of words a group takes in the
// stored schedule (SHA1_GROUP), the round functions (SHA1_F) and where the
// rounds compute the schedule (SHA1_HOOK), and drops them after its function.

// Words 4G to 4G + 3 into X[G & 7], which held words 4G - 32 to 4G - 29, and
// their sums with the constant into Dest. Below word 16 they are the
// message's; below word 32 the fourth word needs the first of the same four,
// so it is patched; from word 32 on, w[t] = rotl(w[t-6] ^ w[t-16] ^ w[t-28] ^
// w[t-32], 2) reaches back at least six words.
#define SHA1_VSCHED(G, Dest, First, Second)                                                                     \
    do {                                                                                                        \
        TVector N;                                                                                              \
        if constexpr ((G) < 4) {                                                                                \
            N = SHA1_VLOAD_MESSAGE((First) + 16 * (G), (Second) + 16 * (G));                                    \
        } else if constexpr ((G) < 8) {                                                                         \
            const TVector T =                                                                                   \
                SHA1_VXOR(SHA1_VXOR(X[((G) - 4) & 7], SHA1_VALIGNR8(X[((G) - 3) & 7], X[((G) - 4) & 7])),      \
                          SHA1_VXOR(X[((G) - 2) & 7], SHA1_VSRL_BYTES4(X[((G) - 1) & 7])));                    \
            N = SHA1_VXOR(SHA1_VROL(T, 1), SHA1_VROL(SHA1_VSLL_BYTES12(T), 2));                                 \
        } else {                                                                                                \
            const TVector T =                                                                                   \
                SHA1_VXOR(SHA1_VXOR(SHA1_VALIGNR8(X[((G) - 1) & 7], X[((G) - 2) & 7]), X[((G) - 4) & 7]),      \
                          SHA1_VXOR(X[((G) - 7) & 7], X[(G) & 7]));                                            \
            N = SHA1_VROL(T, 2);                                                                                \
        }                                                                                                       \
        X[(G) & 7] = N;                                                                                         \
        SHA1_VSTORE((Dest) + SHA1_GROUP * (G), SHA1_VADD(N, SHA1_VLOAD(KP + 8 * ((G) / 5))));                   \
    } while (0)
#define SHA1_VROL(x, n) SHA1_VOR(SHA1_VSLL(x, n), SHA1_VSRL(x, 32 - (n)))
// Round i of block B (0, or 1 for the second of a pair). Everything but
// rotl(a, 5) is added first: the chain from one round's a to the next is one
// rotation and one add.
#define SHA1_WK(i, B) RK[SHA1_GROUP * ((i) >> 2) + 4 * (B) + ((i) & 3)]
#define SHA1_KSTEP(a, b, c, d, e, i, B) \
    do {                                \
        e += SHA1_WK(i, B);             \
        e += SHA1_F(i, b, c, d);        \
        e += std::rotl(a, 5);           \
        b = std::rotl(b, 30);           \
        SHA1_HOOK(i, B);                \
    } while (0)
// Five rounds; after five the names are back in place.
#define SHA1_KROUNDS5(i, B)                \
    SHA1_KSTEP(a, b, c, d, e, (i) + 0, B); \
    SHA1_KSTEP(e, a, b, c, d, (i) + 1, B); \
    SHA1_KSTEP(d, e, a, b, c, (i) + 2, B); \
    SHA1_KSTEP(c, d, e, a, b, (i) + 3, B); \
    SHA1_KSTEP(b, c, d, e, a, (i) + 4, B)
#define SHA1_KROUNDS20(i, B)    \
    SHA1_KROUNDS5(i, B);        \
    SHA1_KROUNDS5((i) + 5, B);  \
    SHA1_KROUNDS5((i) + 10, B); \
    SHA1_KROUNDS5((i) + 15, B)
#define SHA1_KBLOCK(B)                                              \
    do {                                                            \
        const std::uint32_t aa = a, bb = b, cc = c, dd = d, ee = e; \
        SHA1_KROUNDS20(0, B);                                       \
        SHA1_KROUNDS20(20, B);                                      \
        SHA1_KROUNDS20(40, B);                                      \
        SHA1_KROUNDS20(60, B);                                      \
        a += aa;                                                    \
        b += bb;                                                    \
        c += cc;                                                    \
        d += dd;                                                    \
        e += ee;                                                    \
    } while (0)
// State is written once, at the end: a store per block could meet the
// schedule's loads in the address bits below 4096, wherever the caller's
// record lies.
#define SHA1_STORE_STATE \
    State[0] = a;        \
    State[1] = b;        \
    State[2] = c;        \
    State[3] = d;        \
    State[4] = e
// The first ten groups of the schedule, before the first block's rounds.
#define SHA1_VSCHED_FIRST10(Dest, First, Second) \
    SHA1_VSCHED(0, Dest, First, Second);         \
    SHA1_VSCHED(1, Dest, First, Second);         \
    SHA1_VSCHED(2, Dest, First, Second);         \
    SHA1_VSCHED(3, Dest, First, Second);         \
    SHA1_VSCHED(4, Dest, First, Second);         \
    SHA1_VSCHED(5, Dest, First, Second);         \
    SHA1_VSCHED(6, Dest, First, Second);         \
    SHA1_VSCHED(7, Dest, First, Second);         \
    SHA1_VSCHED(8, Dest, First, Second);         \
    SHA1_VSCHED(9, Dest, First, Second)
// The frame both paths set up. The round constants are copied into it, so
// that they, the schedule and the compiler's spill slots lie at fixed
// distances in the address bits below 4096 (4K aliasing: a load that
// matches an earlier store only in those bits waits for it): the schedule
// of the blocks in hand and of the next ones from byte 2048 on (1,280 bytes
// at most), the constants in bytes 512 to 639; the spill slots lie outside
// Space, within a few hundred bytes of its ends, away from both. The rounds
// read the schedule, and the schedule the constants, through pointers that
// the compiler cannot see to be those arrays: it would otherwise take the
// words out of the vector registers one by one instead of loading them, or
// the constants from the program's data.
#define SHA1_VFRAME(GroupsWords)                                              \
    alignas(64) std::uint32_t Space[1024];                                    \
    std::uint32_t* const KC = Space + 128;                                    \
    std::uint32_t* const WK = Space + 512;                                    \
    std::memcpy(KC, K1Vectors.Words, sizeof(K1Vectors.Words));                \
    const std::uint32_t* KP = KC;                                             \
    std::uint32_t* WKNow = WK;                                                \
    std::uint32_t* WKNext = WK + 20 * (GroupsWords);                          \
    __asm__("" : "+r"(WKNow), "+r"(WKNext), "+r"(KP) : : "memory")

#define SHA1_GROUP 8
#define SHA1_VLOAD(P) _mm256_load_si256(reinterpret_cast<const __m256i*>(P))
#define SHA1_VSTORE(P, x) _mm256_store_si256(reinterpret_cast<__m256i*>(P), x)
#define SHA1_VLOAD_MESSAGE(P, Q)                                                         \
    _mm256_shuffle_epi8(_mm256_inserti128_si256(                                        \
                            _mm256_castsi128_si256(                                     \
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(P))), \
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(Q)), 1),  \
                        Swap)
#define SHA1_VXOR(x, y) _mm256_xor_si256(x, y)
#define SHA1_VOR(x, y) _mm256_or_si256(x, y)
#define SHA1_VADD(x, y) _mm256_add_epi32(x, y)
#define SHA1_VSLL(x, n) _mm256_slli_epi32(x, n)
#define SHA1_VSRL(x, n) _mm256_srli_epi32(x, n)
#define SHA1_VALIGNR8(x, y) _mm256_alignr_epi8(x, y, 8)
#define SHA1_VSRL_BYTES4(x) _mm256_srli_si256(x, 4)
#define SHA1_VSLL_BYTES12(x) _mm256_slli_si256(x, 12)
// With BMI the terms of Ch and Maj have no bit in common, and c & d =
// ~(c ^ d) & c.
#define SHA1_F(i, b, c, d)                        \
    ((i) < 20                ? (b & c) + (~b & d) \
     : (i) < 40 || (i) >= 60 ? (c ^ d) ^ b        \
                             : (~(c ^ d) & c) + (b & (c ^ d)))
// A pair's schedule in two halves: groups 10 to 19 beside the first block's
// rounds 0 to 39 (they are needed from round 40 on), groups 0 to 9 of the
// next pair beside the second block's rounds, one group every eight.
#define SHA1_HOOK(i, B)                                              \
    do {                                                             \
        if constexpr ((B) == 0 && ((i) & 3) == 0 && (i) < 40)        \
            SHA1_VSCHED((i) / 4 + 10, WKNow, Data, Data);            \
        if constexpr ((B) == 1 && ((i) & 7) == 0)                    \
            SHA1_VSCHED((i) / 8, WKNext, NextFirst, NextSecond);     \
    } while (0)

__attribute__((target("avx2,bmi,bmi2"))) void SHA1BlocksAvx2(std::uint32_t State[5], const std::uint8_t* Data,
                                                             std::size_t Count)
{
    using TVector = __m256i;
    if (Count == 0)
        return;
    SHA1_VFRAME(8);
    const __m256i Swap = _mm256_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12, 3, 2, 1, 0, 7, 6, 5, 4,
                                          11, 10, 9, 8, 15, 14, 13, 12);
    TVector X[8];
    // A lone last block is paired with itself, and its twin's rounds skipped.
    SHA1_VSCHED_FIRST10(WKNext, Data, Count >= 2 ? Data + 64 : Data);
    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3], e = State[4];
    for (;;) {
        std::swap(WKNow, WKNext);
        __asm__("" : "+r"(WKNow), "+r"(WKNext));
        const std::uint32_t* const RK = WKNow;
        // The next pair, or while there is none, this one again to no use.
        const std::uint8_t* const NextFirst = Count > 2 ? Data + 128 : Data;
        const std::uint8_t* const NextSecond = Count > 3 ? Data + 192 : NextFirst;
        SHA1_KBLOCK(0);
        if (Count < 2)
            break;
        SHA1_KBLOCK(1);
        Data += 128;
        Count -= 2;
        if (Count == 0)
            break;
    }
    SHA1_STORE_STATE;
    const __m256i Zero = _mm256_setzero_si256();
    for (int i = 0; i < 320; i += 8)
        _mm256_store_si256(reinterpret_cast<__m256i*>(WK + i), Zero);
    // Clean upper vector state for the SSE code that may follow.
    _mm256_zeroupper();
}

#undef SHA1_GROUP
#undef SHA1_VLOAD
#undef SHA1_VSTORE
#undef SHA1_VLOAD_MESSAGE
#undef SHA1_VXOR
#undef SHA1_VOR
#undef SHA1_VADD
#undef SHA1_VSLL
#undef SHA1_VSRL
#undef SHA1_VALIGNR8
#undef SHA1_VSRL_BYTES4
#undef SHA1_VSLL_BYTES12
#undef SHA1_F
#undef SHA1_HOOK

#define SHA1_GROUP 4
#define SHA1_VLOAD(P) _mm_load_si128(reinterpret_cast<const __m128i*>(P))
#define SHA1_VSTORE(P, x) _mm_store_si128(reinterpret_cast<__m128i*>(P), x)
#define SHA1_VLOAD_MESSAGE(P, Q) _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(P)), Swap)
#define SHA1_VXOR(x, y) _mm_xor_si128(x, y)
#define SHA1_VOR(x, y) _mm_or_si128(x, y)
#define SHA1_VADD(x, y) _mm_add_epi32(x, y)
#define SHA1_VSLL(x, n) _mm_slli_epi32(x, n)
#define SHA1_VSRL(x, n) _mm_srli_epi32(x, n)
#define SHA1_VALIGNR8(x, y) _mm_alignr_epi8(x, y, 8)
#define SHA1_VSRL_BYTES4(x) _mm_srli_si128(x, 4)
#define SHA1_VSLL_BYTES12(x) _mm_slli_si128(x, 12)
// Without BMI, forms that need no complement.
#define SHA1_F(i, b, c, d)                   \
    ((i) < 20                ? d ^ (b & (c ^ d)) \
     : (i) < 40 || (i) >= 60 ? (c ^ d) ^ b   \
                             : (c & d) + (b & (c ^ d)))
// A block's schedule in two halves: groups 10 to 19 beside its rounds 0 to
// 39, groups 0 to 9 of the next block beside rounds 40 to 79.
#define SHA1_HOOK(i, B)                                                    \
    do {                                                                   \
        if constexpr (((i) & 3) == 0 && (i) < 40)                          \
            SHA1_VSCHED((i) / 4 + 10, WKNow, Data, Data);                  \
        if constexpr (((i) & 3) == 0 && (i) >= 40)                         \
            SHA1_VSCHED(((i) - 40) / 4, WKNext, NextFirst, NextFirst);     \
    } while (0)

__attribute__((target("ssse3"))) void SHA1BlocksSsse3(std::uint32_t State[5], const std::uint8_t* Data,
                                                      std::size_t Count)
{
    using TVector = __m128i;
    if (Count == 0)
        return;
    SHA1_VFRAME(4);
    const __m128i Swap = _mm_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12);
    TVector X[8];
    SHA1_VSCHED_FIRST10(WKNext, Data, Data);
    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3], e = State[4];
    for (;;) {
        std::swap(WKNow, WKNext);
        __asm__("" : "+r"(WKNow), "+r"(WKNext));
        const std::uint32_t* const RK = WKNow;
        // The next block, or while there is none, this one again to no use.
        const std::uint8_t* const NextFirst = Count > 1 ? Data + 64 : Data;
        SHA1_KBLOCK(0);
        Data += 64;
        if (--Count == 0)
            break;
    }
    SHA1_STORE_STATE;
    const __m128i Zero = _mm_setzero_si128();
    for (int i = 0; i < 160; i += 4)
        _mm_store_si128(reinterpret_cast<__m128i*>(WK + i), Zero);
}

#undef SHA1_GROUP
#undef SHA1_VLOAD
#undef SHA1_VSTORE
#undef SHA1_VLOAD_MESSAGE
#undef SHA1_VXOR
#undef SHA1_VOR
#undef SHA1_VADD
#undef SHA1_VSLL
#undef SHA1_VSRL
#undef SHA1_VALIGNR8
#undef SHA1_VSRL_BYTES4
#undef SHA1_VSLL_BYTES12
#undef SHA1_F
#undef SHA1_HOOK

#endif

}  // namespace DigestCpu

namespace {

void SHA1Blocks(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count)
{
#if SORVIK_DIGEST_X86
    if (DigestCpu::UseShaExtensions()) {
        DigestCpu::SHA1BlocksShaNI(State, Data, Count);
        return;
    }
#if defined(__GNUC__) || defined(__clang__)
    // For a lone block (Final's, or one filled in the buffer) the vector
    // paths' set-up costs more than their schedule saves.
    if (Count >= 2 && DigestCpu::UseCpuFeature(DigestCpu::cfAvx2)) {
        DigestCpu::SHA1BlocksAvx2(State, Data, Count);
        return;
    }
    if (Count >= 2 && DigestCpu::UseCpuFeature(DigestCpu::cfSsse3)) {
        DigestCpu::SHA1BlocksSsse3(State, Data, Count);
        return;
    }
#endif
#endif
    DigestCpu::SHA1BlocksPortable(State, Data, Count);
}

}  // namespace

void SHA1Init(TSHA1Context& Context)
{
    Wipe(&Context, sizeof(Context));
    Context.State[0] = 0x67452301;
    Context.State[1] = 0xEFCDAB89;
    Context.State[2] = 0x98BADCFE;
    Context.State[3] = 0x10325476;
    Context.State[4] = 0xC3D2E1F0;
}

void SHA1Update(TSHA1Context& Context, const void* Buf, std::size_t Count)
{
    ForEachPiece(Buf, Count, [&Context](const std::uint8_t* P, std::uint32_t Piece) {
        BufferedUpdate(
            Context.Buffer, 64, Context.BufCount, P, Piece,
            [&Context] {
                SHA1Blocks(Context.State, Context.Buffer, 1);
                Context.Length += 64;
                Context.BufCount = 0;
            },
            [&Context](const std::uint8_t* Data, std::size_t Blocks) {
                SHA1Blocks(Context.State, Data, Blocks);
                Context.Length += std::uint64_t(Blocks) * 64;
            });
    });
}

void SHA1Final(TSHA1Context& Context, TSHA1Digest& Digest)
{
    PadWithBitLength<true>(Context.Length + Context.BufCount, Context.BufCount,
                           [&Context](const void* P, std::size_t N) { SHA1Update(Context, P, N); });
    for (int i = 0; i < 5; ++i)
        StoreBE32(Digest.data() + 4 * i, Context.State[i]);
    Wipe(&Context, sizeof(Context));
}

std::string SHA1Print(const TSHA1Digest& Digest)
{
    return HexLower(Digest.data(), Digest.size());
}
