#include "digest/uDigestX86.h"

#if SORVIK_DIGEST_X86

namespace DigestCpu {

SORVIK_DIGEST_TARGET("sha,sse4.1,ssse3")
void SHA256BlocksShaNI(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    const __m128i Mask = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i Tmp = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(State)), 0xB1);
    __m128i S1 = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(State + 4)), 0x1B);
    __m128i S0 = _mm_alignr_epi8(Tmp, S1, 8);  // ABEF
    S1 = _mm_blend_epi16(S1, Tmp, 0xF0);        // CDGH
    __m128i Msg, M0, M1, M2, M3;
    for (; Count > 0; --Count, Data += 64) {
        const __m128i SaveS0 = S0, SaveS1 = S1;
        M0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 0)), Mask);
        Msg = _mm_add_epi32(M0, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 0)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 16)), Mask);
        Msg = _mm_add_epi32(M1, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 4)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M0 = _mm_sha256msg1_epu32(M0, M1);
        M2 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 32)), Mask);
        Msg = _mm_add_epi32(M2, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 8)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M1 = _mm_sha256msg1_epu32(M1, M2);
        M3 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 48)), Mask);
        Msg = _mm_add_epi32(M3, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 12)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M0 = _mm_sha256msg2_epu32(_mm_add_epi32(M0, _mm_alignr_epi8(M3, M2, 4)), M3);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M2 = _mm_sha256msg1_epu32(M2, M3);
        Msg = _mm_add_epi32(M0, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 16)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M1 = _mm_sha256msg2_epu32(_mm_add_epi32(M1, _mm_alignr_epi8(M0, M3, 4)), M0);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M3 = _mm_sha256msg1_epu32(M3, M0);
        Msg = _mm_add_epi32(M1, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 20)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M2 = _mm_sha256msg2_epu32(_mm_add_epi32(M2, _mm_alignr_epi8(M1, M0, 4)), M1);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M0 = _mm_sha256msg1_epu32(M0, M1);
        Msg = _mm_add_epi32(M2, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 24)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M3 = _mm_sha256msg2_epu32(_mm_add_epi32(M3, _mm_alignr_epi8(M2, M1, 4)), M2);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M1 = _mm_sha256msg1_epu32(M1, M2);
        Msg = _mm_add_epi32(M3, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 28)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M0 = _mm_sha256msg2_epu32(_mm_add_epi32(M0, _mm_alignr_epi8(M3, M2, 4)), M3);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M2 = _mm_sha256msg1_epu32(M2, M3);
        Msg = _mm_add_epi32(M0, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 32)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M1 = _mm_sha256msg2_epu32(_mm_add_epi32(M1, _mm_alignr_epi8(M0, M3, 4)), M0);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M3 = _mm_sha256msg1_epu32(M3, M0);
        Msg = _mm_add_epi32(M1, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 36)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M2 = _mm_sha256msg2_epu32(_mm_add_epi32(M2, _mm_alignr_epi8(M1, M0, 4)), M1);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M0 = _mm_sha256msg1_epu32(M0, M1);
        Msg = _mm_add_epi32(M2, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 40)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M3 = _mm_sha256msg2_epu32(_mm_add_epi32(M3, _mm_alignr_epi8(M2, M1, 4)), M2);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M1 = _mm_sha256msg1_epu32(M1, M2);
        Msg = _mm_add_epi32(M3, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 44)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M0 = _mm_sha256msg2_epu32(_mm_add_epi32(M0, _mm_alignr_epi8(M3, M2, 4)), M3);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M2 = _mm_sha256msg1_epu32(M2, M3);
        Msg = _mm_add_epi32(M0, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 48)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M1 = _mm_sha256msg2_epu32(_mm_add_epi32(M1, _mm_alignr_epi8(M0, M3, 4)), M0);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        M3 = _mm_sha256msg1_epu32(M3, M0);
        Msg = _mm_add_epi32(M1, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 52)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M2 = _mm_sha256msg2_epu32(_mm_add_epi32(M2, _mm_alignr_epi8(M1, M0, 4)), M1);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        Msg = _mm_add_epi32(M2, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 56)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        M3 = _mm_sha256msg2_epu32(_mm_add_epi32(M3, _mm_alignr_epi8(M2, M1, 4)), M2);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        Msg = _mm_add_epi32(M3, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256K + 60)));
        S1 = _mm_sha256rnds2_epu32(S1, S0, Msg);
        S0 = _mm_sha256rnds2_epu32(S0, S1, _mm_shuffle_epi32(Msg, 0x0E));
        S0 = _mm_add_epi32(S0, SaveS0);
        S1 = _mm_add_epi32(S1, SaveS1);
    }
    Tmp = _mm_shuffle_epi32(S0, 0x1B);  // FEBA
    S1 = _mm_shuffle_epi32(S1, 0xB1);   // DCHG
    _mm_storeu_si128(reinterpret_cast<__m128i*>(State), _mm_blend_epi16(Tmp, S1, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(State + 4), _mm_alignr_epi8(S1, Tmp, 8));
}

}  // namespace DigestCpu

#endif
