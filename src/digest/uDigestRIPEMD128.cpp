#include "digest/uDigestRIPEMD128.h"

#include "digest/uDigestClass.h"
#include "digest/uDigestUtils.h"

using namespace DigestUtils;

namespace {

// The four Boolean functions of RIPEMD-128; the left line uses them in order,
// the right line in reverse. x is the word computed by the step before, the
// one the chain waits for: F1 combines y and z first, and F4 is written as
// the sum of two terms without a common bit (so their union), of which only
// (x & z) waits for x.
#define F1(x, y, z) ((x) ^ ((y) ^ (z)))
#define F2(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define F3(x, y, z) (((x) | ~(y)) ^ (z))
#define F4(x, y, z) (((y) & ~(z)) + ((x) & (z)))
// The message words are read where they are added, straight from the input.
#define W(i) LoadLE32(Data + 4 * (i))
#define RMD128_STEP(f, a, b, c, d, x, k, s) a = std::rotl(a + f(b, c, d) + (x) + std::uint32_t(k), s)

// Both lines are interleaved step by step, which leaves the processor two
// independent chains to work on.
void Blocks(std::uint32_t State[4], const std::uint8_t* Data, std::size_t Count)
{
    for (; Count > 0; --Count, Data += 64) {
        std::uint32_t al = State[0], bl = State[1], cl = State[2], dl = State[3];
        std::uint32_t ar = al, br = bl, cr = cl, dr = dl;
        RMD128_STEP(F1, al, bl, cl, dl, W(0), 0x00000000, 11);
        RMD128_STEP(F4, ar, br, cr, dr, W(5), 0x50A28BE6, 8);
        RMD128_STEP(F1, dl, al, bl, cl, W(1), 0x00000000, 14);
        RMD128_STEP(F4, dr, ar, br, cr, W(14), 0x50A28BE6, 9);
        RMD128_STEP(F1, cl, dl, al, bl, W(2), 0x00000000, 15);
        RMD128_STEP(F4, cr, dr, ar, br, W(7), 0x50A28BE6, 9);
        RMD128_STEP(F1, bl, cl, dl, al, W(3), 0x00000000, 12);
        RMD128_STEP(F4, br, cr, dr, ar, W(0), 0x50A28BE6, 11);
        RMD128_STEP(F1, al, bl, cl, dl, W(4), 0x00000000, 5);
        RMD128_STEP(F4, ar, br, cr, dr, W(9), 0x50A28BE6, 13);
        RMD128_STEP(F1, dl, al, bl, cl, W(5), 0x00000000, 8);
        RMD128_STEP(F4, dr, ar, br, cr, W(2), 0x50A28BE6, 15);
        RMD128_STEP(F1, cl, dl, al, bl, W(6), 0x00000000, 7);
        RMD128_STEP(F4, cr, dr, ar, br, W(11), 0x50A28BE6, 15);
        RMD128_STEP(F1, bl, cl, dl, al, W(7), 0x00000000, 9);
        RMD128_STEP(F4, br, cr, dr, ar, W(4), 0x50A28BE6, 5);
        RMD128_STEP(F1, al, bl, cl, dl, W(8), 0x00000000, 11);
        RMD128_STEP(F4, ar, br, cr, dr, W(13), 0x50A28BE6, 7);
        RMD128_STEP(F1, dl, al, bl, cl, W(9), 0x00000000, 13);
        RMD128_STEP(F4, dr, ar, br, cr, W(6), 0x50A28BE6, 7);
        RMD128_STEP(F1, cl, dl, al, bl, W(10), 0x00000000, 14);
        RMD128_STEP(F4, cr, dr, ar, br, W(15), 0x50A28BE6, 8);
        RMD128_STEP(F1, bl, cl, dl, al, W(11), 0x00000000, 15);
        RMD128_STEP(F4, br, cr, dr, ar, W(8), 0x50A28BE6, 11);
        RMD128_STEP(F1, al, bl, cl, dl, W(12), 0x00000000, 6);
        RMD128_STEP(F4, ar, br, cr, dr, W(1), 0x50A28BE6, 14);
        RMD128_STEP(F1, dl, al, bl, cl, W(13), 0x00000000, 7);
        RMD128_STEP(F4, dr, ar, br, cr, W(10), 0x50A28BE6, 14);
        RMD128_STEP(F1, cl, dl, al, bl, W(14), 0x00000000, 9);
        RMD128_STEP(F4, cr, dr, ar, br, W(3), 0x50A28BE6, 12);
        RMD128_STEP(F1, bl, cl, dl, al, W(15), 0x00000000, 8);
        RMD128_STEP(F4, br, cr, dr, ar, W(12), 0x50A28BE6, 6);
        RMD128_STEP(F2, al, bl, cl, dl, W(7), 0x5A827999, 7);
        RMD128_STEP(F3, ar, br, cr, dr, W(6), 0x5C4DD124, 9);
        RMD128_STEP(F2, dl, al, bl, cl, W(4), 0x5A827999, 6);
        RMD128_STEP(F3, dr, ar, br, cr, W(11), 0x5C4DD124, 13);
        RMD128_STEP(F2, cl, dl, al, bl, W(13), 0x5A827999, 8);
        RMD128_STEP(F3, cr, dr, ar, br, W(3), 0x5C4DD124, 15);
        RMD128_STEP(F2, bl, cl, dl, al, W(1), 0x5A827999, 13);
        RMD128_STEP(F3, br, cr, dr, ar, W(7), 0x5C4DD124, 7);
        RMD128_STEP(F2, al, bl, cl, dl, W(10), 0x5A827999, 11);
        RMD128_STEP(F3, ar, br, cr, dr, W(0), 0x5C4DD124, 12);
        RMD128_STEP(F2, dl, al, bl, cl, W(6), 0x5A827999, 9);
        RMD128_STEP(F3, dr, ar, br, cr, W(13), 0x5C4DD124, 8);
        RMD128_STEP(F2, cl, dl, al, bl, W(15), 0x5A827999, 7);
        RMD128_STEP(F3, cr, dr, ar, br, W(5), 0x5C4DD124, 9);
        RMD128_STEP(F2, bl, cl, dl, al, W(3), 0x5A827999, 15);
        RMD128_STEP(F3, br, cr, dr, ar, W(10), 0x5C4DD124, 11);
        RMD128_STEP(F2, al, bl, cl, dl, W(12), 0x5A827999, 7);
        RMD128_STEP(F3, ar, br, cr, dr, W(14), 0x5C4DD124, 7);
        RMD128_STEP(F2, dl, al, bl, cl, W(0), 0x5A827999, 12);
        RMD128_STEP(F3, dr, ar, br, cr, W(15), 0x5C4DD124, 7);
        RMD128_STEP(F2, cl, dl, al, bl, W(9), 0x5A827999, 15);
        RMD128_STEP(F3, cr, dr, ar, br, W(8), 0x5C4DD124, 12);
        RMD128_STEP(F2, bl, cl, dl, al, W(5), 0x5A827999, 9);
        RMD128_STEP(F3, br, cr, dr, ar, W(12), 0x5C4DD124, 7);
        RMD128_STEP(F2, al, bl, cl, dl, W(2), 0x5A827999, 11);
        RMD128_STEP(F3, ar, br, cr, dr, W(4), 0x5C4DD124, 6);
        RMD128_STEP(F2, dl, al, bl, cl, W(14), 0x5A827999, 7);
        RMD128_STEP(F3, dr, ar, br, cr, W(9), 0x5C4DD124, 15);
        RMD128_STEP(F2, cl, dl, al, bl, W(11), 0x5A827999, 13);
        RMD128_STEP(F3, cr, dr, ar, br, W(1), 0x5C4DD124, 13);
        RMD128_STEP(F2, bl, cl, dl, al, W(8), 0x5A827999, 12);
        RMD128_STEP(F3, br, cr, dr, ar, W(2), 0x5C4DD124, 11);
        RMD128_STEP(F3, al, bl, cl, dl, W(3), 0x6ED9EBA1, 11);
        RMD128_STEP(F2, ar, br, cr, dr, W(15), 0x6D703EF3, 9);
        RMD128_STEP(F3, dl, al, bl, cl, W(10), 0x6ED9EBA1, 13);
        RMD128_STEP(F2, dr, ar, br, cr, W(5), 0x6D703EF3, 7);
        RMD128_STEP(F3, cl, dl, al, bl, W(14), 0x6ED9EBA1, 6);
        RMD128_STEP(F2, cr, dr, ar, br, W(1), 0x6D703EF3, 15);
        RMD128_STEP(F3, bl, cl, dl, al, W(4), 0x6ED9EBA1, 7);
        RMD128_STEP(F2, br, cr, dr, ar, W(3), 0x6D703EF3, 11);
        RMD128_STEP(F3, al, bl, cl, dl, W(9), 0x6ED9EBA1, 14);
        RMD128_STEP(F2, ar, br, cr, dr, W(7), 0x6D703EF3, 8);
        RMD128_STEP(F3, dl, al, bl, cl, W(15), 0x6ED9EBA1, 9);
        RMD128_STEP(F2, dr, ar, br, cr, W(14), 0x6D703EF3, 6);
        RMD128_STEP(F3, cl, dl, al, bl, W(8), 0x6ED9EBA1, 13);
        RMD128_STEP(F2, cr, dr, ar, br, W(6), 0x6D703EF3, 6);
        RMD128_STEP(F3, bl, cl, dl, al, W(1), 0x6ED9EBA1, 15);
        RMD128_STEP(F2, br, cr, dr, ar, W(9), 0x6D703EF3, 14);
        RMD128_STEP(F3, al, bl, cl, dl, W(2), 0x6ED9EBA1, 14);
        RMD128_STEP(F2, ar, br, cr, dr, W(11), 0x6D703EF3, 12);
        RMD128_STEP(F3, dl, al, bl, cl, W(7), 0x6ED9EBA1, 8);
        RMD128_STEP(F2, dr, ar, br, cr, W(8), 0x6D703EF3, 13);
        RMD128_STEP(F3, cl, dl, al, bl, W(0), 0x6ED9EBA1, 13);
        RMD128_STEP(F2, cr, dr, ar, br, W(12), 0x6D703EF3, 5);
        RMD128_STEP(F3, bl, cl, dl, al, W(6), 0x6ED9EBA1, 6);
        RMD128_STEP(F2, br, cr, dr, ar, W(2), 0x6D703EF3, 14);
        RMD128_STEP(F3, al, bl, cl, dl, W(13), 0x6ED9EBA1, 5);
        RMD128_STEP(F2, ar, br, cr, dr, W(10), 0x6D703EF3, 13);
        RMD128_STEP(F3, dl, al, bl, cl, W(11), 0x6ED9EBA1, 12);
        RMD128_STEP(F2, dr, ar, br, cr, W(0), 0x6D703EF3, 13);
        RMD128_STEP(F3, cl, dl, al, bl, W(5), 0x6ED9EBA1, 7);
        RMD128_STEP(F2, cr, dr, ar, br, W(4), 0x6D703EF3, 7);
        RMD128_STEP(F3, bl, cl, dl, al, W(12), 0x6ED9EBA1, 5);
        RMD128_STEP(F2, br, cr, dr, ar, W(13), 0x6D703EF3, 5);
        RMD128_STEP(F4, al, bl, cl, dl, W(1), 0x8F1BBCDC, 11);
        RMD128_STEP(F1, ar, br, cr, dr, W(8), 0x00000000, 15);
        RMD128_STEP(F4, dl, al, bl, cl, W(9), 0x8F1BBCDC, 12);
        RMD128_STEP(F1, dr, ar, br, cr, W(6), 0x00000000, 5);
        RMD128_STEP(F4, cl, dl, al, bl, W(11), 0x8F1BBCDC, 14);
        RMD128_STEP(F1, cr, dr, ar, br, W(4), 0x00000000, 8);
        RMD128_STEP(F4, bl, cl, dl, al, W(10), 0x8F1BBCDC, 15);
        RMD128_STEP(F1, br, cr, dr, ar, W(1), 0x00000000, 11);
        RMD128_STEP(F4, al, bl, cl, dl, W(0), 0x8F1BBCDC, 14);
        RMD128_STEP(F1, ar, br, cr, dr, W(3), 0x00000000, 14);
        RMD128_STEP(F4, dl, al, bl, cl, W(8), 0x8F1BBCDC, 15);
        RMD128_STEP(F1, dr, ar, br, cr, W(11), 0x00000000, 14);
        RMD128_STEP(F4, cl, dl, al, bl, W(12), 0x8F1BBCDC, 9);
        RMD128_STEP(F1, cr, dr, ar, br, W(15), 0x00000000, 6);
        RMD128_STEP(F4, bl, cl, dl, al, W(4), 0x8F1BBCDC, 8);
        RMD128_STEP(F1, br, cr, dr, ar, W(0), 0x00000000, 14);
        RMD128_STEP(F4, al, bl, cl, dl, W(13), 0x8F1BBCDC, 9);
        RMD128_STEP(F1, ar, br, cr, dr, W(5), 0x00000000, 6);
        RMD128_STEP(F4, dl, al, bl, cl, W(3), 0x8F1BBCDC, 14);
        RMD128_STEP(F1, dr, ar, br, cr, W(12), 0x00000000, 9);
        RMD128_STEP(F4, cl, dl, al, bl, W(7), 0x8F1BBCDC, 5);
        RMD128_STEP(F1, cr, dr, ar, br, W(2), 0x00000000, 12);
        RMD128_STEP(F4, bl, cl, dl, al, W(15), 0x8F1BBCDC, 6);
        RMD128_STEP(F1, br, cr, dr, ar, W(13), 0x00000000, 9);
        RMD128_STEP(F4, al, bl, cl, dl, W(14), 0x8F1BBCDC, 8);
        RMD128_STEP(F1, ar, br, cr, dr, W(9), 0x00000000, 12);
        RMD128_STEP(F4, dl, al, bl, cl, W(5), 0x8F1BBCDC, 6);
        RMD128_STEP(F1, dr, ar, br, cr, W(7), 0x00000000, 5);
        RMD128_STEP(F4, cl, dl, al, bl, W(6), 0x8F1BBCDC, 5);
        RMD128_STEP(F1, cr, dr, ar, br, W(10), 0x00000000, 15);
        RMD128_STEP(F4, bl, cl, dl, al, W(2), 0x8F1BBCDC, 12);
        RMD128_STEP(F1, br, cr, dr, ar, W(14), 0x00000000, 8);
        const std::uint32_t T = State[1] + cl + dr;
        State[1] = State[2] + dl + ar;
        State[2] = State[3] + al + br;
        State[3] = State[0] + bl + cr;
        State[0] = T;
    }
}

constexpr const char* const SelfTestMessages[2] = {"a", "abcdefghijklmnopqrstuvwxyz"};
constexpr std::uint8_t SelfTestDigests[2][16] = {
    {0x86, 0xbe, 0x7a, 0xfa, 0x33, 0x9d, 0x0f, 0xc7, 0xcf, 0xc7, 0x85, 0xe7, 0x2f, 0x57, 0x8d, 0x33},
    {0xfd, 0x2a, 0xa6, 0x07, 0xf7, 0x1d, 0xc8, 0xf5, 0x10, 0x71, 0x49, 0x22, 0xb3, 0x71, 0x83, 0x4e}};

}  // namespace

TDigestRIPEMD128::~TDigestRIPEMD128()
{
    if (FInitialized)
        Wipe();
}

bool TDigestRIPEMD128::ClassSelfTest()
{
    return DigestSelfTest<TDigestRIPEMD128>(SelfTestMessages, SelfTestDigests);
}

void TDigestRIPEMD128::Init()
{
    Wipe();
    HashState[0] = 0x67452301;
    HashState[1] = 0xEFCDAB89;
    HashState[2] = 0x98BADCFE;
    HashState[3] = 0x10325476;
    FInitialized = true;
}

void TDigestRIPEMD128::Compress()
{
    CompressFields(*this, Blocks);
}

void TDigestRIPEMD128::Update(const void* Buffer, std::size_t Size)
{
    CheckInitialized(FInitialized);
    UpdateFields(*this, Buffer, Size, [this] { Compress(); }, Blocks);
}

void TDigestRIPEMD128::Final(void* Digest)
{
    CheckInitialized(FInitialized);
    FinalFields<false>(*this, Digest, [this] { Compress(); });
    Wipe();
}

void TDigestRIPEMD128::Wipe()
{
    WipeFields(*this);
    FInitialized = false;
}
