#include "digest/uSHA1DigestVector.h"

#include <utility>

#if SORVIK_DIGEST_X86_64

namespace DigestCpu {

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

SORVIK_DIGEST_TARGET("avx2,bmi,bmi2")
void SHA1BlocksAvx2(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count)
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

}  // namespace DigestCpu

#endif
