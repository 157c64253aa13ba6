// What SHA-1's vector paths (uSHA1Digest_avx2.cpp, uSHA1Digest_ssse3.cpp)
// share. Only they include it.
#pragma once

#include "digest/uDigestX86.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if SORVIK_DIGEST_X86

namespace DigestCpu {

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

// Each path's file defines the vector operations these macros use
// (SHA1_V...), the number of words a group takes in the stored schedule
// (SHA1_GROUP), the round functions (SHA1_F) and where the rounds compute
// the schedule (SHA1_HOOK).

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

}  // namespace DigestCpu

#endif
