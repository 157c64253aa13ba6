#include "digest/uDigestSHA256.h"

#include "digest/uDigestClass.h"
#include "digest/uDigestCpu.h"
#include "digest/uDigestUtils.h"

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
// before: BC carries it from step to step.
#define SHA256_STEP(a, b, c, d, e, f, g, h, i, w)                                          \
    do {                                                                                   \
        const std::uint32_t T1 = h + SHA256_S1(e) + SHA256_CH(e, f, g) + SHA256K[i] + (w); \
        const std::uint32_t AB = a ^ b;                                                    \
        d += T1;                                                                           \
        h = T1 + SHA256_S0(a) + (b ^ (AB & BC));                                           \
        BC = AB;                                                                           \
    } while (0)
#define SHA256_R0(a, b, c, d, e, f, g, h, i) SHA256_STEP(a, b, c, d, e, f, g, h, i, W[i])
#define SHA256_R1(a, b, c, d, e, f, g, h, i) SHA256_STEP(a, b, c, d, e, f, g, h, i, SHA256_W(i))

void SHA256BlocksPortable(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    std::uint32_t W[16];
    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3];
    std::uint32_t e = State[4], f = State[5], g = State[6], h = State[7];
    for (; Count > 0; --Count, Data += 64) {
        for (int i = 0; i < 16; ++i)
            W[i] = LoadBE32(Data + 4 * i);
        std::uint32_t BC = b ^ c;
        SHA256_R0(a, b, c, d, e, f, g, h, 0);
        SHA256_R0(h, a, b, c, d, e, f, g, 1);
        SHA256_R0(g, h, a, b, c, d, e, f, 2);
        SHA256_R0(f, g, h, a, b, c, d, e, 3);
        SHA256_R0(e, f, g, h, a, b, c, d, 4);
        SHA256_R0(d, e, f, g, h, a, b, c, 5);
        SHA256_R0(c, d, e, f, g, h, a, b, 6);
        SHA256_R0(b, c, d, e, f, g, h, a, 7);
        SHA256_R0(a, b, c, d, e, f, g, h, 8);
        SHA256_R0(h, a, b, c, d, e, f, g, 9);
        SHA256_R0(g, h, a, b, c, d, e, f, 10);
        SHA256_R0(f, g, h, a, b, c, d, e, 11);
        SHA256_R0(e, f, g, h, a, b, c, d, 12);
        SHA256_R0(d, e, f, g, h, a, b, c, 13);
        SHA256_R0(c, d, e, f, g, h, a, b, 14);
        SHA256_R0(b, c, d, e, f, g, h, a, 15);
        SHA256_R1(a, b, c, d, e, f, g, h, 16);
        SHA256_R1(h, a, b, c, d, e, f, g, 17);
        SHA256_R1(g, h, a, b, c, d, e, f, 18);
        SHA256_R1(f, g, h, a, b, c, d, e, 19);
        SHA256_R1(e, f, g, h, a, b, c, d, 20);
        SHA256_R1(d, e, f, g, h, a, b, c, 21);
        SHA256_R1(c, d, e, f, g, h, a, b, 22);
        SHA256_R1(b, c, d, e, f, g, h, a, 23);
        SHA256_R1(a, b, c, d, e, f, g, h, 24);
        SHA256_R1(h, a, b, c, d, e, f, g, 25);
        SHA256_R1(g, h, a, b, c, d, e, f, 26);
        SHA256_R1(f, g, h, a, b, c, d, e, 27);
        SHA256_R1(e, f, g, h, a, b, c, d, 28);
        SHA256_R1(d, e, f, g, h, a, b, c, 29);
        SHA256_R1(c, d, e, f, g, h, a, b, 30);
        SHA256_R1(b, c, d, e, f, g, h, a, 31);
        SHA256_R1(a, b, c, d, e, f, g, h, 32);
        SHA256_R1(h, a, b, c, d, e, f, g, 33);
        SHA256_R1(g, h, a, b, c, d, e, f, 34);
        SHA256_R1(f, g, h, a, b, c, d, e, 35);
        SHA256_R1(e, f, g, h, a, b, c, d, 36);
        SHA256_R1(d, e, f, g, h, a, b, c, 37);
        SHA256_R1(c, d, e, f, g, h, a, b, 38);
        SHA256_R1(b, c, d, e, f, g, h, a, 39);
        SHA256_R1(a, b, c, d, e, f, g, h, 40);
        SHA256_R1(h, a, b, c, d, e, f, g, 41);
        SHA256_R1(g, h, a, b, c, d, e, f, 42);
        SHA256_R1(f, g, h, a, b, c, d, e, 43);
        SHA256_R1(e, f, g, h, a, b, c, d, 44);
        SHA256_R1(d, e, f, g, h, a, b, c, 45);
        SHA256_R1(c, d, e, f, g, h, a, b, 46);
        SHA256_R1(b, c, d, e, f, g, h, a, 47);
        SHA256_R1(a, b, c, d, e, f, g, h, 48);
        SHA256_R1(h, a, b, c, d, e, f, g, 49);
        SHA256_R1(g, h, a, b, c, d, e, f, 50);
        SHA256_R1(f, g, h, a, b, c, d, e, 51);
        SHA256_R1(e, f, g, h, a, b, c, d, 52);
        SHA256_R1(d, e, f, g, h, a, b, c, 53);
        SHA256_R1(c, d, e, f, g, h, a, b, 54);
        SHA256_R1(b, c, d, e, f, g, h, a, 55);
        SHA256_R1(a, b, c, d, e, f, g, h, 56);
        SHA256_R1(h, a, b, c, d, e, f, g, 57);
        SHA256_R1(g, h, a, b, c, d, e, f, 58);
        SHA256_R1(f, g, h, a, b, c, d, e, 59);
        SHA256_R1(e, f, g, h, a, b, c, d, 60);
        SHA256_R1(d, e, f, g, h, a, b, c, 61);
        SHA256_R1(c, d, e, f, g, h, a, b, 62);
        SHA256_R1(b, c, d, e, f, g, h, a, 63);
        a = State[0] += a;
        b = State[1] += b;
        c = State[2] += c;
        d = State[3] += d;
        e = State[4] += e;
        f = State[5] += f;
        g = State[6] += g;
        h = State[7] += h;
    }
    Wipe(W, sizeof(W));
}

}  // namespace DigestCpu

namespace {

void SHA256Blocks(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
#if SORVIK_DIGEST_X86
    if (DigestCpu::UseShaExtensions()) {
        DigestCpu::SHA256BlocksShaNI(State, Data, Count);
        return;
    }
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
