#include "digest/uDigestX86.h"

#if SORVIK_DIGEST_X86

namespace DigestCpu {

SORVIK_DIGEST_TARGET("sha,sse4.1,ssse3")
void SHA1BlocksShaNI(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count)
{
    const __m128i Mask = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i ABCD = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(State)), 0x1B);
    __m128i E0 = _mm_set_epi32(int(State[4]), 0, 0, 0);
    __m128i E1, M0, M1, M2, M3;
    for (; Count > 0; --Count, Data += 64) {
        const __m128i SaveABCD = ABCD, SaveE = E0;
        M0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 0)), Mask);
        E0 = _mm_add_epi32(E0, M0);
        E1 = ABCD;
        ABCD = _mm_sha1rnds4_epu32(ABCD, E0, 0);
        M1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 16)), Mask);
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = ABCD;
        ABCD = _mm_sha1rnds4_epu32(ABCD, E1, 0);
        M0 = _mm_sha1msg1_epu32(M0, M1);
        M2 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 32)), Mask);
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = ABCD;
        ABCD = _mm_sha1rnds4_epu32(ABCD, E0, 0);
        M1 = _mm_sha1msg1_epu32(M1, M2);
        M0 = _mm_xor_si128(M0, M2);
        M3 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 48)), Mask);
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = ABCD;
        M0 = _mm_sha1msg2_epu32(M0, M3);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E1, 0);
        M2 = _mm_sha1msg1_epu32(M2, M3);
        M1 = _mm_xor_si128(M1, M3);
        E0 = _mm_sha1nexte_epu32(E0, M0);
        E1 = ABCD;
        M1 = _mm_sha1msg2_epu32(M1, M0);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E0, 0);
        M3 = _mm_sha1msg1_epu32(M3, M0);
        M2 = _mm_xor_si128(M2, M0);
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = ABCD;
        M2 = _mm_sha1msg2_epu32(M2, M1);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E1, 1);
        M0 = _mm_sha1msg1_epu32(M0, M1);
        M3 = _mm_xor_si128(M3, M1);
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = ABCD;
        M3 = _mm_sha1msg2_epu32(M3, M2);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E0, 1);
        M1 = _mm_sha1msg1_epu32(M1, M2);
        M0 = _mm_xor_si128(M0, M2);
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = ABCD;
        M0 = _mm_sha1msg2_epu32(M0, M3);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E1, 1);
        M2 = _mm_sha1msg1_epu32(M2, M3);
        M1 = _mm_xor_si128(M1, M3);
        E0 = _mm_sha1nexte_epu32(E0, M0);
        E1 = ABCD;
        M1 = _mm_sha1msg2_epu32(M1, M0);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E0, 1);
        M3 = _mm_sha1msg1_epu32(M3, M0);
        M2 = _mm_xor_si128(M2, M0);
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = ABCD;
        M2 = _mm_sha1msg2_epu32(M2, M1);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E1, 1);
        M0 = _mm_sha1msg1_epu32(M0, M1);
        M3 = _mm_xor_si128(M3, M1);
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = ABCD;
        M3 = _mm_sha1msg2_epu32(M3, M2);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E0, 2);
        M1 = _mm_sha1msg1_epu32(M1, M2);
        M0 = _mm_xor_si128(M0, M2);
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = ABCD;
        M0 = _mm_sha1msg2_epu32(M0, M3);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E1, 2);
        M2 = _mm_sha1msg1_epu32(M2, M3);
        M1 = _mm_xor_si128(M1, M3);
        E0 = _mm_sha1nexte_epu32(E0, M0);
        E1 = ABCD;
        M1 = _mm_sha1msg2_epu32(M1, M0);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E0, 2);
        M3 = _mm_sha1msg1_epu32(M3, M0);
        M2 = _mm_xor_si128(M2, M0);
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = ABCD;
        M2 = _mm_sha1msg2_epu32(M2, M1);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E1, 2);
        M0 = _mm_sha1msg1_epu32(M0, M1);
        M3 = _mm_xor_si128(M3, M1);
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = ABCD;
        M3 = _mm_sha1msg2_epu32(M3, M2);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E0, 2);
        M1 = _mm_sha1msg1_epu32(M1, M2);
        M0 = _mm_xor_si128(M0, M2);
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = ABCD;
        M0 = _mm_sha1msg2_epu32(M0, M3);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E1, 3);
        M2 = _mm_sha1msg1_epu32(M2, M3);
        M1 = _mm_xor_si128(M1, M3);
        E0 = _mm_sha1nexte_epu32(E0, M0);
        E1 = ABCD;
        M1 = _mm_sha1msg2_epu32(M1, M0);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E0, 3);
        M3 = _mm_sha1msg1_epu32(M3, M0);
        M2 = _mm_xor_si128(M2, M0);
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = ABCD;
        M2 = _mm_sha1msg2_epu32(M2, M1);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E1, 3);
        M3 = _mm_xor_si128(M3, M1);
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = ABCD;
        M3 = _mm_sha1msg2_epu32(M3, M2);
        ABCD = _mm_sha1rnds4_epu32(ABCD, E0, 3);
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = ABCD;
        ABCD = _mm_sha1rnds4_epu32(ABCD, E1, 3);
        E0 = _mm_sha1nexte_epu32(E0, SaveE);
        ABCD = _mm_add_epi32(ABCD, SaveABCD);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(State), _mm_shuffle_epi32(ABCD, 0x1B));
    State[4] = std::uint32_t(_mm_extract_epi32(E0, 3));
}

}  // namespace DigestCpu

#endif
