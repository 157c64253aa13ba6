#include "digest/uDigestRIPEMD160.h"

#include "digest/uDigestClass.h"
#include "digest/uDigestUtils.h"

using namespace DigestUtils;

namespace {

// The five Boolean functions of RIPEMD; the left line uses them in order,
// the right line in reverse. x is the word computed by the step before, the
// one the chain waits for: F1 combines y and z first, and F4 is written as
// the sum of two terms without a common bit (so their union), of which only
// (x & z) waits for x.
#define F1(x, y, z) ((x) ^ ((y) ^ (z)))
#define F2(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define F3(x, y, z) (((x) | ~(y)) ^ (z))
#define F4(x, y, z) (((y) & ~(z)) + ((x) & (z)))
#define F5(x, y, z) ((x) ^ ((y) | ~(z)))
// The message words are read where they are added, straight from the input.
#define W(i) LoadLE32(Data + 4 * (i))
#define RMD160_STEP(f, a, b, c, d, e, x, k, s)                         \
    do {                                                               \
        a = std::rotl(a + f(b, c, d) + (x) + std::uint32_t(k), s) + e; \
        c = std::rotl(c, 10);                                          \
    } while (0)

// Both lines are interleaved step by step, which leaves the processor two
// independent chains to work on.
void Blocks(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count)
{
    for (; Count > 0; --Count, Data += 64) {
        std::uint32_t al = State[0], bl = State[1], cl = State[2], dl = State[3], el = State[4];
        std::uint32_t ar = al, br = bl, cr = cl, dr = dl, er = el;
        RMD160_STEP(F1, al, bl, cl, dl, el, W(0), 0x00000000, 11);
        RMD160_STEP(F5, ar, br, cr, dr, er, W(5), 0x50A28BE6, 8);
        RMD160_STEP(F1, el, al, bl, cl, dl, W(1), 0x00000000, 14);
        RMD160_STEP(F5, er, ar, br, cr, dr, W(14), 0x50A28BE6, 9);
        RMD160_STEP(F1, dl, el, al, bl, cl, W(2), 0x00000000, 15);
        RMD160_STEP(F5, dr, er, ar, br, cr, W(7), 0x50A28BE6, 9);
        RMD160_STEP(F1, cl, dl, el, al, bl, W(3), 0x00000000, 12);
        RMD160_STEP(F5, cr, dr, er, ar, br, W(0), 0x50A28BE6, 11);
        RMD160_STEP(F1, bl, cl, dl, el, al, W(4), 0x00000000, 5);
        RMD160_STEP(F5, br, cr, dr, er, ar, W(9), 0x50A28BE6, 13);
        RMD160_STEP(F1, al, bl, cl, dl, el, W(5), 0x00000000, 8);
        RMD160_STEP(F5, ar, br, cr, dr, er, W(2), 0x50A28BE6, 15);
        RMD160_STEP(F1, el, al, bl, cl, dl, W(6), 0x00000000, 7);
        RMD160_STEP(F5, er, ar, br, cr, dr, W(11), 0x50A28BE6, 15);
        RMD160_STEP(F1, dl, el, al, bl, cl, W(7), 0x00000000, 9);
        RMD160_STEP(F5, dr, er, ar, br, cr, W(4), 0x50A28BE6, 5);
        RMD160_STEP(F1, cl, dl, el, al, bl, W(8), 0x00000000, 11);
        RMD160_STEP(F5, cr, dr, er, ar, br, W(13), 0x50A28BE6, 7);
        RMD160_STEP(F1, bl, cl, dl, el, al, W(9), 0x00000000, 13);
        RMD160_STEP(F5, br, cr, dr, er, ar, W(6), 0x50A28BE6, 7);
        RMD160_STEP(F1, al, bl, cl, dl, el, W(10), 0x00000000, 14);
        RMD160_STEP(F5, ar, br, cr, dr, er, W(15), 0x50A28BE6, 8);
        RMD160_STEP(F1, el, al, bl, cl, dl, W(11), 0x00000000, 15);
        RMD160_STEP(F5, er, ar, br, cr, dr, W(8), 0x50A28BE6, 11);
        RMD160_STEP(F1, dl, el, al, bl, cl, W(12), 0x00000000, 6);
        RMD160_STEP(F5, dr, er, ar, br, cr, W(1), 0x50A28BE6, 14);
        RMD160_STEP(F1, cl, dl, el, al, bl, W(13), 0x00000000, 7);
        RMD160_STEP(F5, cr, dr, er, ar, br, W(10), 0x50A28BE6, 14);
        RMD160_STEP(F1, bl, cl, dl, el, al, W(14), 0x00000000, 9);
        RMD160_STEP(F5, br, cr, dr, er, ar, W(3), 0x50A28BE6, 12);
        RMD160_STEP(F1, al, bl, cl, dl, el, W(15), 0x00000000, 8);
        RMD160_STEP(F5, ar, br, cr, dr, er, W(12), 0x50A28BE6, 6);
        RMD160_STEP(F2, el, al, bl, cl, dl, W(7), 0x5A827999, 7);
        RMD160_STEP(F4, er, ar, br, cr, dr, W(6), 0x5C4DD124, 9);
        RMD160_STEP(F2, dl, el, al, bl, cl, W(4), 0x5A827999, 6);
        RMD160_STEP(F4, dr, er, ar, br, cr, W(11), 0x5C4DD124, 13);
        RMD160_STEP(F2, cl, dl, el, al, bl, W(13), 0x5A827999, 8);
        RMD160_STEP(F4, cr, dr, er, ar, br, W(3), 0x5C4DD124, 15);
        RMD160_STEP(F2, bl, cl, dl, el, al, W(1), 0x5A827999, 13);
        RMD160_STEP(F4, br, cr, dr, er, ar, W(7), 0x5C4DD124, 7);
        RMD160_STEP(F2, al, bl, cl, dl, el, W(10), 0x5A827999, 11);
        RMD160_STEP(F4, ar, br, cr, dr, er, W(0), 0x5C4DD124, 12);
        RMD160_STEP(F2, el, al, bl, cl, dl, W(6), 0x5A827999, 9);
        RMD160_STEP(F4, er, ar, br, cr, dr, W(13), 0x5C4DD124, 8);
        RMD160_STEP(F2, dl, el, al, bl, cl, W(15), 0x5A827999, 7);
        RMD160_STEP(F4, dr, er, ar, br, cr, W(5), 0x5C4DD124, 9);
        RMD160_STEP(F2, cl, dl, el, al, bl, W(3), 0x5A827999, 15);
        RMD160_STEP(F4, cr, dr, er, ar, br, W(10), 0x5C4DD124, 11);
        RMD160_STEP(F2, bl, cl, dl, el, al, W(12), 0x5A827999, 7);
        RMD160_STEP(F4, br, cr, dr, er, ar, W(14), 0x5C4DD124, 7);
        RMD160_STEP(F2, al, bl, cl, dl, el, W(0), 0x5A827999, 12);
        RMD160_STEP(F4, ar, br, cr, dr, er, W(15), 0x5C4DD124, 7);
        RMD160_STEP(F2, el, al, bl, cl, dl, W(9), 0x5A827999, 15);
        RMD160_STEP(F4, er, ar, br, cr, dr, W(8), 0x5C4DD124, 12);
        RMD160_STEP(F2, dl, el, al, bl, cl, W(5), 0x5A827999, 9);
        RMD160_STEP(F4, dr, er, ar, br, cr, W(12), 0x5C4DD124, 7);
        RMD160_STEP(F2, cl, dl, el, al, bl, W(2), 0x5A827999, 11);
        RMD160_STEP(F4, cr, dr, er, ar, br, W(4), 0x5C4DD124, 6);
        RMD160_STEP(F2, bl, cl, dl, el, al, W(14), 0x5A827999, 7);
        RMD160_STEP(F4, br, cr, dr, er, ar, W(9), 0x5C4DD124, 15);
        RMD160_STEP(F2, al, bl, cl, dl, el, W(11), 0x5A827999, 13);
        RMD160_STEP(F4, ar, br, cr, dr, er, W(1), 0x5C4DD124, 13);
        RMD160_STEP(F2, el, al, bl, cl, dl, W(8), 0x5A827999, 12);
        RMD160_STEP(F4, er, ar, br, cr, dr, W(2), 0x5C4DD124, 11);
        RMD160_STEP(F3, dl, el, al, bl, cl, W(3), 0x6ED9EBA1, 11);
        RMD160_STEP(F3, dr, er, ar, br, cr, W(15), 0x6D703EF3, 9);
        RMD160_STEP(F3, cl, dl, el, al, bl, W(10), 0x6ED9EBA1, 13);
        RMD160_STEP(F3, cr, dr, er, ar, br, W(5), 0x6D703EF3, 7);
        RMD160_STEP(F3, bl, cl, dl, el, al, W(14), 0x6ED9EBA1, 6);
        RMD160_STEP(F3, br, cr, dr, er, ar, W(1), 0x6D703EF3, 15);
        RMD160_STEP(F3, al, bl, cl, dl, el, W(4), 0x6ED9EBA1, 7);
        RMD160_STEP(F3, ar, br, cr, dr, er, W(3), 0x6D703EF3, 11);
        RMD160_STEP(F3, el, al, bl, cl, dl, W(9), 0x6ED9EBA1, 14);
        RMD160_STEP(F3, er, ar, br, cr, dr, W(7), 0x6D703EF3, 8);
        RMD160_STEP(F3, dl, el, al, bl, cl, W(15), 0x6ED9EBA1, 9);
        RMD160_STEP(F3, dr, er, ar, br, cr, W(14), 0x6D703EF3, 6);
        RMD160_STEP(F3, cl, dl, el, al, bl, W(8), 0x6ED9EBA1, 13);
        RMD160_STEP(F3, cr, dr, er, ar, br, W(6), 0x6D703EF3, 6);
        RMD160_STEP(F3, bl, cl, dl, el, al, W(1), 0x6ED9EBA1, 15);
        RMD160_STEP(F3, br, cr, dr, er, ar, W(9), 0x6D703EF3, 14);
        RMD160_STEP(F3, al, bl, cl, dl, el, W(2), 0x6ED9EBA1, 14);
        RMD160_STEP(F3, ar, br, cr, dr, er, W(11), 0x6D703EF3, 12);
        RMD160_STEP(F3, el, al, bl, cl, dl, W(7), 0x6ED9EBA1, 8);
        RMD160_STEP(F3, er, ar, br, cr, dr, W(8), 0x6D703EF3, 13);
        RMD160_STEP(F3, dl, el, al, bl, cl, W(0), 0x6ED9EBA1, 13);
        RMD160_STEP(F3, dr, er, ar, br, cr, W(12), 0x6D703EF3, 5);
        RMD160_STEP(F3, cl, dl, el, al, bl, W(6), 0x6ED9EBA1, 6);
        RMD160_STEP(F3, cr, dr, er, ar, br, W(2), 0x6D703EF3, 14);
        RMD160_STEP(F3, bl, cl, dl, el, al, W(13), 0x6ED9EBA1, 5);
        RMD160_STEP(F3, br, cr, dr, er, ar, W(10), 0x6D703EF3, 13);
        RMD160_STEP(F3, al, bl, cl, dl, el, W(11), 0x6ED9EBA1, 12);
        RMD160_STEP(F3, ar, br, cr, dr, er, W(0), 0x6D703EF3, 13);
        RMD160_STEP(F3, el, al, bl, cl, dl, W(5), 0x6ED9EBA1, 7);
        RMD160_STEP(F3, er, ar, br, cr, dr, W(4), 0x6D703EF3, 7);
        RMD160_STEP(F3, dl, el, al, bl, cl, W(12), 0x6ED9EBA1, 5);
        RMD160_STEP(F3, dr, er, ar, br, cr, W(13), 0x6D703EF3, 5);
        RMD160_STEP(F4, cl, dl, el, al, bl, W(1), 0x8F1BBCDC, 11);
        RMD160_STEP(F2, cr, dr, er, ar, br, W(8), 0x7A6D76E9, 15);
        RMD160_STEP(F4, bl, cl, dl, el, al, W(9), 0x8F1BBCDC, 12);
        RMD160_STEP(F2, br, cr, dr, er, ar, W(6), 0x7A6D76E9, 5);
        RMD160_STEP(F4, al, bl, cl, dl, el, W(11), 0x8F1BBCDC, 14);
        RMD160_STEP(F2, ar, br, cr, dr, er, W(4), 0x7A6D76E9, 8);
        RMD160_STEP(F4, el, al, bl, cl, dl, W(10), 0x8F1BBCDC, 15);
        RMD160_STEP(F2, er, ar, br, cr, dr, W(1), 0x7A6D76E9, 11);
        RMD160_STEP(F4, dl, el, al, bl, cl, W(0), 0x8F1BBCDC, 14);
        RMD160_STEP(F2, dr, er, ar, br, cr, W(3), 0x7A6D76E9, 14);
        RMD160_STEP(F4, cl, dl, el, al, bl, W(8), 0x8F1BBCDC, 15);
        RMD160_STEP(F2, cr, dr, er, ar, br, W(11), 0x7A6D76E9, 14);
        RMD160_STEP(F4, bl, cl, dl, el, al, W(12), 0x8F1BBCDC, 9);
        RMD160_STEP(F2, br, cr, dr, er, ar, W(15), 0x7A6D76E9, 6);
        RMD160_STEP(F4, al, bl, cl, dl, el, W(4), 0x8F1BBCDC, 8);
        RMD160_STEP(F2, ar, br, cr, dr, er, W(0), 0x7A6D76E9, 14);
        RMD160_STEP(F4, el, al, bl, cl, dl, W(13), 0x8F1BBCDC, 9);
        RMD160_STEP(F2, er, ar, br, cr, dr, W(5), 0x7A6D76E9, 6);
        RMD160_STEP(F4, dl, el, al, bl, cl, W(3), 0x8F1BBCDC, 14);
        RMD160_STEP(F2, dr, er, ar, br, cr, W(12), 0x7A6D76E9, 9);
        RMD160_STEP(F4, cl, dl, el, al, bl, W(7), 0x8F1BBCDC, 5);
        RMD160_STEP(F2, cr, dr, er, ar, br, W(2), 0x7A6D76E9, 12);
        RMD160_STEP(F4, bl, cl, dl, el, al, W(15), 0x8F1BBCDC, 6);
        RMD160_STEP(F2, br, cr, dr, er, ar, W(13), 0x7A6D76E9, 9);
        RMD160_STEP(F4, al, bl, cl, dl, el, W(14), 0x8F1BBCDC, 8);
        RMD160_STEP(F2, ar, br, cr, dr, er, W(9), 0x7A6D76E9, 12);
        RMD160_STEP(F4, el, al, bl, cl, dl, W(5), 0x8F1BBCDC, 6);
        RMD160_STEP(F2, er, ar, br, cr, dr, W(7), 0x7A6D76E9, 5);
        RMD160_STEP(F4, dl, el, al, bl, cl, W(6), 0x8F1BBCDC, 5);
        RMD160_STEP(F2, dr, er, ar, br, cr, W(10), 0x7A6D76E9, 15);
        RMD160_STEP(F4, cl, dl, el, al, bl, W(2), 0x8F1BBCDC, 12);
        RMD160_STEP(F2, cr, dr, er, ar, br, W(14), 0x7A6D76E9, 8);
        RMD160_STEP(F5, bl, cl, dl, el, al, W(4), 0xA953FD4E, 9);
        RMD160_STEP(F1, br, cr, dr, er, ar, W(12), 0x00000000, 8);
        RMD160_STEP(F5, al, bl, cl, dl, el, W(0), 0xA953FD4E, 15);
        RMD160_STEP(F1, ar, br, cr, dr, er, W(15), 0x00000000, 5);
        RMD160_STEP(F5, el, al, bl, cl, dl, W(5), 0xA953FD4E, 5);
        RMD160_STEP(F1, er, ar, br, cr, dr, W(10), 0x00000000, 12);
        RMD160_STEP(F5, dl, el, al, bl, cl, W(9), 0xA953FD4E, 11);
        RMD160_STEP(F1, dr, er, ar, br, cr, W(4), 0x00000000, 9);
        RMD160_STEP(F5, cl, dl, el, al, bl, W(7), 0xA953FD4E, 6);
        RMD160_STEP(F1, cr, dr, er, ar, br, W(1), 0x00000000, 12);
        RMD160_STEP(F5, bl, cl, dl, el, al, W(12), 0xA953FD4E, 8);
        RMD160_STEP(F1, br, cr, dr, er, ar, W(5), 0x00000000, 5);
        RMD160_STEP(F5, al, bl, cl, dl, el, W(2), 0xA953FD4E, 13);
        RMD160_STEP(F1, ar, br, cr, dr, er, W(8), 0x00000000, 14);
        RMD160_STEP(F5, el, al, bl, cl, dl, W(10), 0xA953FD4E, 12);
        RMD160_STEP(F1, er, ar, br, cr, dr, W(7), 0x00000000, 6);
        RMD160_STEP(F5, dl, el, al, bl, cl, W(14), 0xA953FD4E, 5);
        RMD160_STEP(F1, dr, er, ar, br, cr, W(6), 0x00000000, 8);
        RMD160_STEP(F5, cl, dl, el, al, bl, W(1), 0xA953FD4E, 12);
        RMD160_STEP(F1, cr, dr, er, ar, br, W(2), 0x00000000, 13);
        RMD160_STEP(F5, bl, cl, dl, el, al, W(3), 0xA953FD4E, 13);
        RMD160_STEP(F1, br, cr, dr, er, ar, W(13), 0x00000000, 6);
        RMD160_STEP(F5, al, bl, cl, dl, el, W(8), 0xA953FD4E, 14);
        RMD160_STEP(F1, ar, br, cr, dr, er, W(14), 0x00000000, 5);
        RMD160_STEP(F5, el, al, bl, cl, dl, W(11), 0xA953FD4E, 11);
        RMD160_STEP(F1, er, ar, br, cr, dr, W(0), 0x00000000, 15);
        RMD160_STEP(F5, dl, el, al, bl, cl, W(6), 0xA953FD4E, 8);
        RMD160_STEP(F1, dr, er, ar, br, cr, W(3), 0x00000000, 13);
        RMD160_STEP(F5, cl, dl, el, al, bl, W(15), 0xA953FD4E, 5);
        RMD160_STEP(F1, cr, dr, er, ar, br, W(9), 0x00000000, 11);
        RMD160_STEP(F5, bl, cl, dl, el, al, W(13), 0xA953FD4E, 6);
        RMD160_STEP(F1, br, cr, dr, er, ar, W(11), 0x00000000, 11);
        const std::uint32_t T = State[1] + cl + dr;
        State[1] = State[2] + dl + er;
        State[2] = State[3] + el + ar;
        State[3] = State[4] + al + br;
        State[4] = State[0] + bl + cr;
        State[0] = T;
    }
}

constexpr const char* const SelfTestMessages[2] = {"a", "abcdefghijklmnopqrstuvwxyz"};
constexpr std::uint8_t SelfTestDigests[2][20] = {
    {0x0b, 0xdc, 0x9d, 0x2d, 0x25, 0x6b, 0x3e, 0xe9, 0xda, 0xae, 0x34, 0x7b, 0xe6, 0xf4, 0xdc, 0x83, 0x5a, 0x46, 0x7f, 0xfe},
    {0xf7, 0x1c, 0x27, 0x10, 0x9c, 0x69, 0x2c, 0x1b, 0x56, 0xbb, 0xdc, 0xeb, 0x5b, 0x9d, 0x28, 0x65, 0xb3, 0x70, 0x8d, 0xbc}};

}  // namespace

TDigestRIPEMD160::~TDigestRIPEMD160()
{
    if (FInitialized)
        Wipe();
}

bool TDigestRIPEMD160::ClassSelfTest()
{
    return DigestSelfTest<TDigestRIPEMD160>(SelfTestMessages, SelfTestDigests);
}

void TDigestRIPEMD160::Init()
{
    Wipe();
    HashState[0] = 0x67452301;
    HashState[1] = 0xEFCDAB89;
    HashState[2] = 0x98BADCFE;
    HashState[3] = 0x10325476;
    HashState[4] = 0xC3D2E1F0;
    FInitialized = true;
}

void TDigestRIPEMD160::Compress()
{
    CompressFields(*this, Blocks);
}

void TDigestRIPEMD160::Update(const void* Buffer, std::size_t Size)
{
    CheckInitialized(FInitialized);
    UpdateFields(*this, Buffer, Size, [this] { Compress(); }, Blocks);
}

void TDigestRIPEMD160::Final(void* Digest)
{
    CheckInitialized(FInitialized);
    FinalFields<false>(*this, Digest, [this] { Compress(); });
    Wipe();
}

void TDigestRIPEMD160::Wipe()
{
    WipeFields(*this);
    FInitialized = false;
}
