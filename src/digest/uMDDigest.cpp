#include "digest/uMDDigest.h"

#include "digest/uDigestUtils.h"

#include <array>
#include <cstring>

using namespace DigestUtils;

namespace {

// RFC 1319's permutation of 0..255 built from the digits of pi.
constexpr std::uint8_t MD2S[256] = {
    41, 46, 67, 201, 162, 216, 124, 1, 61, 54, 84, 161, 236, 240, 6, 19,
    98, 167, 5, 243, 192, 199, 115, 140, 152, 147, 43, 217, 188, 76, 130, 202,
    30, 155, 87, 60, 253, 212, 224, 22, 103, 66, 111, 24, 138, 23, 229, 18,
    190, 78, 196, 214, 218, 158, 222, 73, 160, 251, 245, 142, 187, 47, 238, 122,
    169, 104, 121, 145, 21, 178, 7, 63, 148, 194, 16, 137, 11, 34, 95, 33,
    128, 127, 93, 154, 90, 144, 50, 39, 53, 62, 204, 231, 191, 247, 151, 3,
    255, 25, 48, 179, 72, 165, 181, 209, 215, 94, 146, 42, 172, 86, 170, 198,
    79, 184, 56, 210, 150, 164, 125, 182, 118, 252, 107, 226, 156, 116, 4, 241,
    69, 157, 112, 89, 100, 113, 135, 32, 134, 91, 207, 101, 230, 45, 168, 2,
    27, 96, 37, 173, 174, 176, 185, 246, 28, 70, 97, 105, 52, 64, 126, 15,
    85, 71, 163, 35, 221, 81, 175, 58, 195, 92, 249, 206, 186, 197, 234, 38,
    44, 83, 13, 110, 133, 40, 132, 9, 211, 223, 205, 244, 65, 129, 77, 82,
    106, 220, 55, 200, 108, 193, 171, 250, 36, 225, 123, 8, 12, 189, 177, 74,
    120, 136, 149, 139, 227, 99, 232, 109, 233, 203, 213, 254, 59, 0, 29, 57,
    242, 239, 183, 14, 102, 88, 208, 228, 166, 119, 114, 248, 235, 117, 75, 10,
    49, 68, 80, 180, 143, 237, 31, 26, 219, 153, 141, 51, 159, 17, 131, 20
};

// The same table widened to words: the serial chain of look-ups then needs
// no byte extensions.
constexpr auto MD2S32 = [] {
    std::array<std::uint32_t, 256> Table{};
    for (int i = 0; i < 256; ++i)
        Table[std::size_t(i)] = MD2S[i];
    return Table;
}();

// Count 16-byte blocks into the 16 state bytes and the running checksum.
void MD2Blocks(std::uint8_t* State, std::uint8_t* Checksum, const std::uint8_t* Data, std::size_t Count)
{
    // One byte per word; t stays in a register so that the stores are off
    // the chain of dependent look-ups that bounds MD2's speed.
    std::uint32_t X[48];
    for (int i = 0; i < 16; ++i)
        X[i] = State[i];
    std::uint8_t L = Checksum[15];
    for (; Count > 0; --Count, Data += 16) {
        for (int i = 0; i < 16; ++i) {
            X[16 + i] = Data[i];
            X[32 + i] = X[i] ^ Data[i];
        }
        std::uint32_t t = 0;
        for (std::uint32_t j = 0; j < 18; ++j) {
            for (int k = 0; k < 48; ++k) {
                t = X[k] ^ MD2S32[t];
                X[k] = t;
            }
            t = (t + j) & 0xFF;
        }
        // The checksum XORs into its old byte, as the RFC's reference code does.
        for (int i = 0; i < 16; ++i)
            L = Checksum[i] ^= MD2S[Data[i] ^ L];
    }
    for (int i = 0; i < 16; ++i)
        State[i] = std::uint8_t(X[i]);
    Wipe(X, sizeof(X));
}

// The block loop shared by MD4 and MD5; Steps(a, b, c, d, X) runs the
// algorithm's steps over one block's words.
template <class TSteps>
inline void MDBlocks(std::uint32_t* State, const std::uint8_t* Data, std::size_t Count, TSteps&& Steps)
{
    std::uint32_t X[16];
    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3];
    for (; Count > 0; --Count, Data += 64) {
        for (int i = 0; i < 16; ++i)
            X[i] = LoadLE32(Data + 4 * i);
        const std::uint32_t aa = a, bb = b, cc = c, dd = d;
        Steps(a, b, c, d, X);
        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    State[0] = a;
    State[1] = b;
    State[2] = c;
    State[3] = d;
    Wipe(X, sizeof(X));
}

#define MD4_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
// Majority, arranged so that only two operations wait for x, the newest word.
#define MD4_G(x, y, z) (((x) & ((y) ^ (z))) ^ ((y) & (z)))
#define MD4_H(x, y, z) ((x) ^ ((y) ^ (z)))
#define MD4_STEP(f, a, b, c, d, x, k, s) a = std::rotl(a + (x) + std::uint32_t(k) + f(b, c, d), s)

void MD4Blocks(std::uint32_t* State, const std::uint8_t* Data, std::size_t Count)
{
    MDBlocks(State, Data, Count,
             [](std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, const std::uint32_t* X) {
                 MD4_STEP(MD4_F, a, b, c, d, X[0], 0, 3);
                 MD4_STEP(MD4_F, d, a, b, c, X[1], 0, 7);
                 MD4_STEP(MD4_F, c, d, a, b, X[2], 0, 11);
                 MD4_STEP(MD4_F, b, c, d, a, X[3], 0, 19);
                 MD4_STEP(MD4_F, a, b, c, d, X[4], 0, 3);
                 MD4_STEP(MD4_F, d, a, b, c, X[5], 0, 7);
                 MD4_STEP(MD4_F, c, d, a, b, X[6], 0, 11);
                 MD4_STEP(MD4_F, b, c, d, a, X[7], 0, 19);
                 MD4_STEP(MD4_F, a, b, c, d, X[8], 0, 3);
                 MD4_STEP(MD4_F, d, a, b, c, X[9], 0, 7);
                 MD4_STEP(MD4_F, c, d, a, b, X[10], 0, 11);
                 MD4_STEP(MD4_F, b, c, d, a, X[11], 0, 19);
                 MD4_STEP(MD4_F, a, b, c, d, X[12], 0, 3);
                 MD4_STEP(MD4_F, d, a, b, c, X[13], 0, 7);
                 MD4_STEP(MD4_F, c, d, a, b, X[14], 0, 11);
                 MD4_STEP(MD4_F, b, c, d, a, X[15], 0, 19);
                 MD4_STEP(MD4_G, a, b, c, d, X[0], 0x5a827999, 3);
                 MD4_STEP(MD4_G, d, a, b, c, X[4], 0x5a827999, 5);
                 MD4_STEP(MD4_G, c, d, a, b, X[8], 0x5a827999, 9);
                 MD4_STEP(MD4_G, b, c, d, a, X[12], 0x5a827999, 13);
                 MD4_STEP(MD4_G, a, b, c, d, X[1], 0x5a827999, 3);
                 MD4_STEP(MD4_G, d, a, b, c, X[5], 0x5a827999, 5);
                 MD4_STEP(MD4_G, c, d, a, b, X[9], 0x5a827999, 9);
                 MD4_STEP(MD4_G, b, c, d, a, X[13], 0x5a827999, 13);
                 MD4_STEP(MD4_G, a, b, c, d, X[2], 0x5a827999, 3);
                 MD4_STEP(MD4_G, d, a, b, c, X[6], 0x5a827999, 5);
                 MD4_STEP(MD4_G, c, d, a, b, X[10], 0x5a827999, 9);
                 MD4_STEP(MD4_G, b, c, d, a, X[14], 0x5a827999, 13);
                 MD4_STEP(MD4_G, a, b, c, d, X[3], 0x5a827999, 3);
                 MD4_STEP(MD4_G, d, a, b, c, X[7], 0x5a827999, 5);
                 MD4_STEP(MD4_G, c, d, a, b, X[11], 0x5a827999, 9);
                 MD4_STEP(MD4_G, b, c, d, a, X[15], 0x5a827999, 13);
                 MD4_STEP(MD4_H, a, b, c, d, X[0], 0x6ed9eba1, 3);
                 MD4_STEP(MD4_H, d, a, b, c, X[8], 0x6ed9eba1, 9);
                 MD4_STEP(MD4_H, c, d, a, b, X[4], 0x6ed9eba1, 11);
                 MD4_STEP(MD4_H, b, c, d, a, X[12], 0x6ed9eba1, 15);
                 MD4_STEP(MD4_H, a, b, c, d, X[2], 0x6ed9eba1, 3);
                 MD4_STEP(MD4_H, d, a, b, c, X[10], 0x6ed9eba1, 9);
                 MD4_STEP(MD4_H, c, d, a, b, X[6], 0x6ed9eba1, 11);
                 MD4_STEP(MD4_H, b, c, d, a, X[14], 0x6ed9eba1, 15);
                 MD4_STEP(MD4_H, a, b, c, d, X[1], 0x6ed9eba1, 3);
                 MD4_STEP(MD4_H, d, a, b, c, X[9], 0x6ed9eba1, 9);
                 MD4_STEP(MD4_H, c, d, a, b, X[5], 0x6ed9eba1, 11);
                 MD4_STEP(MD4_H, b, c, d, a, X[13], 0x6ed9eba1, 15);
                 MD4_STEP(MD4_H, a, b, c, d, X[3], 0x6ed9eba1, 3);
                 MD4_STEP(MD4_H, d, a, b, c, X[11], 0x6ed9eba1, 9);
                 MD4_STEP(MD4_H, c, d, a, b, X[7], 0x6ed9eba1, 11);
                 MD4_STEP(MD4_H, b, c, d, a, X[15], 0x6ed9eba1, 15);
             });
}

#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
// The two terms are disjoint, so they may be added; y & ~z does not wait for x.
#define MD5_G(x, y, z) (((x) & (z)) + ((y) & ~(z)))
#define MD5_H(x, y, z) ((x) ^ ((y) ^ (z)))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, x, t, s) a = b + std::rotl(a + (x) + std::uint32_t(t) + f(b, c, d), s)

void MD5Blocks(std::uint32_t* State, const std::uint8_t* Data, std::size_t Count)
{
    MDBlocks(State, Data, Count,
             [](std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, const std::uint32_t* X) {
                 MD5_STEP(MD5_F, a, b, c, d, X[0], 0xd76aa478, 7);
                 MD5_STEP(MD5_F, d, a, b, c, X[1], 0xe8c7b756, 12);
                 MD5_STEP(MD5_F, c, d, a, b, X[2], 0x242070db, 17);
                 MD5_STEP(MD5_F, b, c, d, a, X[3], 0xc1bdceee, 22);
                 MD5_STEP(MD5_F, a, b, c, d, X[4], 0xf57c0faf, 7);
                 MD5_STEP(MD5_F, d, a, b, c, X[5], 0x4787c62a, 12);
                 MD5_STEP(MD5_F, c, d, a, b, X[6], 0xa8304613, 17);
                 MD5_STEP(MD5_F, b, c, d, a, X[7], 0xfd469501, 22);
                 MD5_STEP(MD5_F, a, b, c, d, X[8], 0x698098d8, 7);
                 MD5_STEP(MD5_F, d, a, b, c, X[9], 0x8b44f7af, 12);
                 MD5_STEP(MD5_F, c, d, a, b, X[10], 0xffff5bb1, 17);
                 MD5_STEP(MD5_F, b, c, d, a, X[11], 0x895cd7be, 22);
                 MD5_STEP(MD5_F, a, b, c, d, X[12], 0x6b901122, 7);
                 MD5_STEP(MD5_F, d, a, b, c, X[13], 0xfd987193, 12);
                 MD5_STEP(MD5_F, c, d, a, b, X[14], 0xa679438e, 17);
                 MD5_STEP(MD5_F, b, c, d, a, X[15], 0x49b40821, 22);
                 MD5_STEP(MD5_G, a, b, c, d, X[1], 0xf61e2562, 5);
                 MD5_STEP(MD5_G, d, a, b, c, X[6], 0xc040b340, 9);
                 MD5_STEP(MD5_G, c, d, a, b, X[11], 0x265e5a51, 14);
                 MD5_STEP(MD5_G, b, c, d, a, X[0], 0xe9b6c7aa, 20);
                 MD5_STEP(MD5_G, a, b, c, d, X[5], 0xd62f105d, 5);
                 MD5_STEP(MD5_G, d, a, b, c, X[10], 0x02441453, 9);
                 MD5_STEP(MD5_G, c, d, a, b, X[15], 0xd8a1e681, 14);
                 MD5_STEP(MD5_G, b, c, d, a, X[4], 0xe7d3fbc8, 20);
                 MD5_STEP(MD5_G, a, b, c, d, X[9], 0x21e1cde6, 5);
                 MD5_STEP(MD5_G, d, a, b, c, X[14], 0xc33707d6, 9);
                 MD5_STEP(MD5_G, c, d, a, b, X[3], 0xf4d50d87, 14);
                 MD5_STEP(MD5_G, b, c, d, a, X[8], 0x455a14ed, 20);
                 MD5_STEP(MD5_G, a, b, c, d, X[13], 0xa9e3e905, 5);
                 MD5_STEP(MD5_G, d, a, b, c, X[2], 0xfcefa3f8, 9);
                 MD5_STEP(MD5_G, c, d, a, b, X[7], 0x676f02d9, 14);
                 MD5_STEP(MD5_G, b, c, d, a, X[12], 0x8d2a4c8a, 20);
                 MD5_STEP(MD5_H, a, b, c, d, X[5], 0xfffa3942, 4);
                 MD5_STEP(MD5_H, d, a, b, c, X[8], 0x8771f681, 11);
                 MD5_STEP(MD5_H, c, d, a, b, X[11], 0x6d9d6122, 16);
                 MD5_STEP(MD5_H, b, c, d, a, X[14], 0xfde5380c, 23);
                 MD5_STEP(MD5_H, a, b, c, d, X[1], 0xa4beea44, 4);
                 MD5_STEP(MD5_H, d, a, b, c, X[4], 0x4bdecfa9, 11);
                 MD5_STEP(MD5_H, c, d, a, b, X[7], 0xf6bb4b60, 16);
                 MD5_STEP(MD5_H, b, c, d, a, X[10], 0xbebfbc70, 23);
                 MD5_STEP(MD5_H, a, b, c, d, X[13], 0x289b7ec6, 4);
                 MD5_STEP(MD5_H, d, a, b, c, X[0], 0xeaa127fa, 11);
                 MD5_STEP(MD5_H, c, d, a, b, X[3], 0xd4ef3085, 16);
                 MD5_STEP(MD5_H, b, c, d, a, X[6], 0x04881d05, 23);
                 MD5_STEP(MD5_H, a, b, c, d, X[9], 0xd9d4d039, 4);
                 MD5_STEP(MD5_H, d, a, b, c, X[12], 0xe6db99e5, 11);
                 MD5_STEP(MD5_H, c, d, a, b, X[15], 0x1fa27cf8, 16);
                 MD5_STEP(MD5_H, b, c, d, a, X[2], 0xc4ac5665, 23);
                 MD5_STEP(MD5_I, a, b, c, d, X[0], 0xf4292244, 6);
                 MD5_STEP(MD5_I, d, a, b, c, X[7], 0x432aff97, 10);
                 MD5_STEP(MD5_I, c, d, a, b, X[14], 0xab9423a7, 15);
                 MD5_STEP(MD5_I, b, c, d, a, X[5], 0xfc93a039, 21);
                 MD5_STEP(MD5_I, a, b, c, d, X[12], 0x655b59c3, 6);
                 MD5_STEP(MD5_I, d, a, b, c, X[3], 0x8f0ccc92, 10);
                 MD5_STEP(MD5_I, c, d, a, b, X[10], 0xffeff47d, 15);
                 MD5_STEP(MD5_I, b, c, d, a, X[1], 0x85845dd1, 21);
                 MD5_STEP(MD5_I, a, b, c, d, X[8], 0x6fa87e4f, 6);
                 MD5_STEP(MD5_I, d, a, b, c, X[15], 0xfe2ce6e0, 10);
                 MD5_STEP(MD5_I, c, d, a, b, X[6], 0xa3014314, 15);
                 MD5_STEP(MD5_I, b, c, d, a, X[13], 0x4e0811a1, 21);
                 MD5_STEP(MD5_I, a, b, c, d, X[4], 0xf7537e82, 6);
                 MD5_STEP(MD5_I, d, a, b, c, X[11], 0xbd3af235, 10);
                 MD5_STEP(MD5_I, c, d, a, b, X[2], 0x2ad7d2bb, 15);
                 MD5_STEP(MD5_I, b, c, d, a, X[9], 0xeb86d391, 21);
             });
}

std::uint8_t* StateBytes(TMDContext& Context)
{
    return reinterpret_cast<std::uint8_t*>(Context.State);
}

void MD2Transform(TMDContext& Context, const std::uint8_t* Block)
{
    MD2Blocks(StateBytes(Context), Context.Checksum, Block, 1);
}

void MD4Transform(TMDContext& Context, const std::uint8_t* Block)
{
    MD4Blocks(Context.State, Block, 1);
    Context.Length += 64;
}

void MD5Transform(TMDContext& Context, const std::uint8_t* Block)
{
    MD5Blocks(Context.State, Block, 1);
    Context.Length += 64;
}

// Whole blocks straight from the caller's bytes, several per call.
void TransformBlocks(TMDContext& Context, const std::uint8_t* Data, std::size_t Count)
{
    switch (Context.Version) {
    case mvMD2:
        MD2Blocks(StateBytes(Context), Context.Checksum, Data, Count);
        break;
    case mvMD4:
        MD4Blocks(Context.State, Data, Count);
        Context.Length += std::uint64_t(Count) * 64;
        break;
    case mvMD5:
        MD5Blocks(Context.State, Data, Count);
        Context.Length += std::uint64_t(Count) * 64;
        break;
    }
}

}  // namespace

void MDInit(TMDContext& Context, TMDVersion Version)
{
    Wipe(&Context, sizeof(Context));
    Context.Version = Version;
    switch (Version) {
    case mvMD2:
        Context.Transform = MD2Transform;
        Context.BlockSize = 16;
        break;
    case mvMD4:
    case mvMD5:
        Context.Transform = Version == mvMD4 ? MD4Transform : MD5Transform;
        Context.BlockSize = 64;
        Context.State[0] = 0x67452301;
        Context.State[1] = 0xefcdab89;
        Context.State[2] = 0x98badcfe;
        Context.State[3] = 0x10325476;
        break;
    }
    // Any other value leaves a record without a transform, which
    // MDUpdate and MDFinal treat as not set up.
}

void MDUpdate(TMDContext& Context, const void* Buf, std::size_t Count)
{
    if (Context.Transform == nullptr)
        return;
    ForEachPiece(Buf, Count, [&Context](const std::uint8_t* P, std::uint32_t Piece) {
        BufferedUpdate(
            Context.Buffer, Context.BlockSize, Context.BufCount, P, Piece,
            [&Context] {
                Context.Transform(Context, Context.Buffer);
                Context.BufCount = 0;
            },
            [&Context](const std::uint8_t* Data, std::size_t Blocks) { TransformBlocks(Context, Data, Blocks); });
    });
}

void MDFinal(TMDContext& Context, TMDDigest& Digest)
{
    if (Context.Transform == nullptr) {
        Digest.fill(0);
        Wipe(&Context, sizeof(Context));
        return;
    }
    if (Context.Version == mvMD2) {
        std::uint8_t Pad[16];
        const auto n = std::uint8_t(16 - Context.BufCount);
        std::memset(Pad, n, n);
        MDUpdate(Context, Pad, n);
        std::memcpy(Pad, Context.Checksum, 16);
        MDUpdate(Context, Pad, 16);
        Wipe(Pad, sizeof(Pad));
        std::memcpy(Digest.data(), Context.State, 16);
    } else {
        PadWithBitLength<false>(Context.Length + Context.BufCount, Context.BufCount,
                                [&Context](const void* P, std::size_t N) { MDUpdate(Context, P, N); });
        for (int i = 0; i < 4; ++i)
            StoreLE32(Digest.data() + 4 * i, Context.State[i]);
    }
    Wipe(&Context, sizeof(Context));
}

std::string MDPrint(const TMDDigest& Digest)
{
    return HexLower(Digest.data(), Digest.size());
}
