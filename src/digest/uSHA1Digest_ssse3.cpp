#include "digest/uSHA1DigestVector.h"

#include <utility>

#if SORVIK_DIGEST_X86

namespace DigestCpu {

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

SORVIK_DIGEST_TARGET("ssse3")
void SHA1BlocksSsse3(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count)
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

}  // namespace DigestCpu

#endif
