#include "digest/uSHA1Digest.h"

#include "digest/uDigestCpu.h"
#include "digest/uDigestUtils.h"

#include <bit>

using namespace DigestUtils;

namespace DigestCpu {

// One expanded word of the schedule, kept in a rolling window of 16.
#define SHA1_W(i) (W[(i) & 15] = std::rotl(W[((i) + 13) & 15] ^ W[((i) + 8) & 15] ^ W[((i) + 2) & 15] ^ W[(i) & 15], 1))
#define SHA1_R0(a, b, c, d, e, i) e += ((d) ^ ((b) & ((c) ^ (d)))) + W[i] + 0x5A827999u + std::rotl(a, 5); b = std::rotl(b, 30)
#define SHA1_R1(a, b, c, d, e, i) e += ((d) ^ ((b) & ((c) ^ (d)))) + SHA1_W(i) + 0x5A827999u + std::rotl(a, 5); b = std::rotl(b, 30)
#define SHA1_R2(a, b, c, d, e, i) e += ((b) ^ (c) ^ (d)) + SHA1_W(i) + 0x6ED9EBA1u + std::rotl(a, 5); b = std::rotl(b, 30)
#define SHA1_R3(a, b, c, d, e, i) e += ((((b) | (c)) & (d)) | ((b) & (c))) + SHA1_W(i) + 0x8F1BBCDCu + std::rotl(a, 5); b = std::rotl(b, 30)
#define SHA1_R4(a, b, c, d, e, i) e += ((b) ^ (c) ^ (d)) + SHA1_W(i) + 0xCA62C1D6u + std::rotl(a, 5); b = std::rotl(b, 30)

void SHA1BlocksPortable(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count)
{
    std::uint32_t W[16];
    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3], e = State[4];
    for (; Count > 0; --Count, Data += 64) {
        for (int i = 0; i < 16; ++i)
            W[i] = LoadBE32(Data + 4 * i);
        const std::uint32_t aa = a, bb = b, cc = c, dd = d, ee = e;
        SHA1_R0(a, b, c, d, e, 0);
        SHA1_R0(e, a, b, c, d, 1);
        SHA1_R0(d, e, a, b, c, 2);
        SHA1_R0(c, d, e, a, b, 3);
        SHA1_R0(b, c, d, e, a, 4);
        SHA1_R0(a, b, c, d, e, 5);
        SHA1_R0(e, a, b, c, d, 6);
        SHA1_R0(d, e, a, b, c, 7);
        SHA1_R0(c, d, e, a, b, 8);
        SHA1_R0(b, c, d, e, a, 9);
        SHA1_R0(a, b, c, d, e, 10);
        SHA1_R0(e, a, b, c, d, 11);
        SHA1_R0(d, e, a, b, c, 12);
        SHA1_R0(c, d, e, a, b, 13);
        SHA1_R0(b, c, d, e, a, 14);
        SHA1_R0(a, b, c, d, e, 15);
        SHA1_R1(e, a, b, c, d, 16);
        SHA1_R1(d, e, a, b, c, 17);
        SHA1_R1(c, d, e, a, b, 18);
        SHA1_R1(b, c, d, e, a, 19);
        SHA1_R2(a, b, c, d, e, 20);
        SHA1_R2(e, a, b, c, d, 21);
        SHA1_R2(d, e, a, b, c, 22);
        SHA1_R2(c, d, e, a, b, 23);
        SHA1_R2(b, c, d, e, a, 24);
        SHA1_R2(a, b, c, d, e, 25);
        SHA1_R2(e, a, b, c, d, 26);
        SHA1_R2(d, e, a, b, c, 27);
        SHA1_R2(c, d, e, a, b, 28);
        SHA1_R2(b, c, d, e, a, 29);
        SHA1_R2(a, b, c, d, e, 30);
        SHA1_R2(e, a, b, c, d, 31);
        SHA1_R2(d, e, a, b, c, 32);
        SHA1_R2(c, d, e, a, b, 33);
        SHA1_R2(b, c, d, e, a, 34);
        SHA1_R2(a, b, c, d, e, 35);
        SHA1_R2(e, a, b, c, d, 36);
        SHA1_R2(d, e, a, b, c, 37);
        SHA1_R2(c, d, e, a, b, 38);
        SHA1_R2(b, c, d, e, a, 39);
        SHA1_R3(a, b, c, d, e, 40);
        SHA1_R3(e, a, b, c, d, 41);
        SHA1_R3(d, e, a, b, c, 42);
        SHA1_R3(c, d, e, a, b, 43);
        SHA1_R3(b, c, d, e, a, 44);
        SHA1_R3(a, b, c, d, e, 45);
        SHA1_R3(e, a, b, c, d, 46);
        SHA1_R3(d, e, a, b, c, 47);
        SHA1_R3(c, d, e, a, b, 48);
        SHA1_R3(b, c, d, e, a, 49);
        SHA1_R3(a, b, c, d, e, 50);
        SHA1_R3(e, a, b, c, d, 51);
        SHA1_R3(d, e, a, b, c, 52);
        SHA1_R3(c, d, e, a, b, 53);
        SHA1_R3(b, c, d, e, a, 54);
        SHA1_R3(a, b, c, d, e, 55);
        SHA1_R3(e, a, b, c, d, 56);
        SHA1_R3(d, e, a, b, c, 57);
        SHA1_R3(c, d, e, a, b, 58);
        SHA1_R3(b, c, d, e, a, 59);
        SHA1_R4(a, b, c, d, e, 60);
        SHA1_R4(e, a, b, c, d, 61);
        SHA1_R4(d, e, a, b, c, 62);
        SHA1_R4(c, d, e, a, b, 63);
        SHA1_R4(b, c, d, e, a, 64);
        SHA1_R4(a, b, c, d, e, 65);
        SHA1_R4(e, a, b, c, d, 66);
        SHA1_R4(d, e, a, b, c, 67);
        SHA1_R4(c, d, e, a, b, 68);
        SHA1_R4(b, c, d, e, a, 69);
        SHA1_R4(a, b, c, d, e, 70);
        SHA1_R4(e, a, b, c, d, 71);
        SHA1_R4(d, e, a, b, c, 72);
        SHA1_R4(c, d, e, a, b, 73);
        SHA1_R4(b, c, d, e, a, 74);
        SHA1_R4(a, b, c, d, e, 75);
        SHA1_R4(e, a, b, c, d, 76);
        SHA1_R4(d, e, a, b, c, 77);
        SHA1_R4(c, d, e, a, b, 78);
        SHA1_R4(b, c, d, e, a, 79);
        a += aa;
        b += bb;
        c += cc;
        d += dd;
        e += ee;
    }
    State[0] = a;
    State[1] = b;
    State[2] = c;
    State[3] = d;
    State[4] = e;
    Wipe(W, sizeof(W));
}

}  // namespace DigestCpu

namespace {

void SHA1Blocks(std::uint32_t State[5], const std::uint8_t* Data, std::size_t Count)
{
    switch (DigestCpu::SHA1Path()) {
#if SORVIK_DIGEST_X86
    case DigestCpu::cpShaNI:
        DigestCpu::SHA1BlocksShaNI(State, Data, Count);
        return;
    // For a lone block (Final's, or one filled in the buffer) the vector
    // paths' set-up costs more than their schedule saves.
#if SORVIK_DIGEST_X86_64
    case DigestCpu::cpAvx2:
        if (Count >= 2) {
            DigestCpu::SHA1BlocksAvx2(State, Data, Count);
            return;
        }
        break;
#endif
    case DigestCpu::cpSsse3:
        if (Count >= 2) {
            DigestCpu::SHA1BlocksSsse3(State, Data, Count);
            return;
        }
        break;
#endif
    default:
        break;
    }
    DigestCpu::SHA1BlocksPortable(State, Data, Count);
}

}  // namespace

void SHA1Init(TSHA1Context& Context)
{
    Wipe(&Context, sizeof(Context));
    Context.State[0] = 0x67452301;
    Context.State[1] = 0xEFCDAB89;
    Context.State[2] = 0x98BADCFE;
    Context.State[3] = 0x10325476;
    Context.State[4] = 0xC3D2E1F0;
}

void SHA1Update(TSHA1Context& Context, const void* Buf, std::size_t Count)
{
    ForEachPiece(Buf, Count, [&Context](const std::uint8_t* P, std::uint32_t Piece) {
        BufferedUpdate(
            Context.Buffer, 64, Context.BufCount, P, Piece,
            [&Context] {
                SHA1Blocks(Context.State, Context.Buffer, 1);
                Context.Length += 64;
                Context.BufCount = 0;
            },
            [&Context](const std::uint8_t* Data, std::size_t Blocks) {
                SHA1Blocks(Context.State, Data, Blocks);
                Context.Length += std::uint64_t(Blocks) * 64;
            });
    });
}

void SHA1Final(TSHA1Context& Context, TSHA1Digest& Digest)
{
    PadWithBitLength<true>(Context.Length + Context.BufCount, Context.BufCount,
                           [&Context](const void* P, std::size_t N) { SHA1Update(Context, P, N); });
    for (int i = 0; i < 5; ++i)
        StoreBE32(Digest.data() + 4 * i, Context.State[i]);
    Wipe(&Context, sizeof(Context));
}

std::string SHA1Print(const TSHA1Digest& Digest)
{
    return HexLower(Digest.data(), Digest.size());
}
