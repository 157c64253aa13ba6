// What SHA-256's paths share: the functions of FIPS 180-4 section 4.1.2
// and the rounds without vectors, built once for any processor and once
// for BMI2. Only the SHA-256 files include it.
#pragma once

#include "digest/uDigestCpu.h"
#include "digest/uDigestUtils.h"

#include <bit>
#include <cstddef>
#include <cstdint>

#define SHA256_S0(x) (std::rotr(x, 2) ^ std::rotr(x, 13) ^ std::rotr(x, 22))
#define SHA256_S1(x) (std::rotr(x, 6) ^ std::rotr(x, 11) ^ std::rotr(x, 25))
#define SHA256_s0(x) (std::rotr(x, 7) ^ std::rotr(x, 18) ^ ((x) >> 3))
#define SHA256_s1(x) (std::rotr(x, 17) ^ std::rotr(x, 19) ^ ((x) >> 10))
#define SHA256_CH(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))

namespace DigestCpu {

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

SORVIK_DIGEST_FORCE_INLINE void SHA256BlocksBody(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    std::uint32_t W[16];
    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3];
    std::uint32_t e = State[4], f = State[5], g = State[6], h = State[7];
    for (; Count > 0; --Count, Data += 64) {
        for (int i = 0; i < 16; ++i)
            W[i] = DigestUtils::LoadBE32(Data + 4 * i);
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
    DigestUtils::Wipe(W, sizeof(W));
}

}  // namespace DigestCpu
