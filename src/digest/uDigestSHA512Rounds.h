// What SHA-512's paths without vectors share: the functions of FIPS 180-4
// section 4.1.3 and the rounds, built once for any processor and once for
// BMI2. Only the SHA-512 files include it.
#pragma once

#include "digest/uDigestCpu.h"
#include "digest/uDigestUtils.h"

#include <bit>
#include <cstddef>
#include <cstdint>

#define SHA512_S0(x) (std::rotr(x, 28) ^ std::rotr(x, 34) ^ std::rotr(x, 39))
#define SHA512_S1(x) (std::rotr(x, 14) ^ std::rotr(x, 18) ^ std::rotr(x, 41))
#define SHA512_s0(x) (std::rotr(x, 1) ^ std::rotr(x, 8) ^ ((x) >> 7))
#define SHA512_s1(x) (std::rotr(x, 19) ^ std::rotr(x, 61) ^ ((x) >> 6))
#define SHA512_CH(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))

namespace DigestCpu {

// The schedule lives in a rolling window of 16 words.
#define SHA512_W(i) (W[(i) & 15] += SHA512_s1(W[((i) - 2) & 15]) + W[((i) - 7) & 15] + SHA512_s0(W[((i) - 15) & 15]))
// Maj(a, b, c) = b ^ ((a ^ b) & (b ^ c)), and b ^ c is the a ^ b of the step
// before: BC carries it from step to step. Word(i) gives the step's
// message word: SHA512_W0 one of the first sixteen, SHA512_W the schedule's.
#define SHA512_STEP(a, b, c, d, e, f, g, h, i, Word)                                        \
    do {                                                                                    \
        const std::uint64_t T1 = h + SHA512_S1(e) + SHA512_CH(e, f, g) + SHA512K[i] + Word(i); \
        const std::uint64_t AB = a ^ b;                                                     \
        d += T1;                                                                            \
        h = T1 + SHA512_S0(a) + (b ^ (AB & BC));                                            \
        BC = AB;                                                                            \
    } while (0)
#define SHA512_W0(i) W[(i)]

SORVIK_DIGEST_FORCE_INLINE void SHA512BlocksBody(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    std::uint64_t W[16];
    std::uint64_t a = State[0], b = State[1], c = State[2], d = State[3];
    std::uint64_t e = State[4], f = State[5], g = State[6], h = State[7];
    for (; Count > 0; --Count, Data += 128) {
        for (int i = 0; i < 16; ++i)
            W[i] = DigestUtils::LoadBE64(Data + 8 * i);
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
    DigestUtils::Wipe(W, sizeof(W));
}

}  // namespace DigestCpu
