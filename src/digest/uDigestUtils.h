// Internal helpers shared by the digest units: byte order, rotations,
// wiping that the optimiser cannot drop, and the split of large inputs.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// Adds the working variables a..h into State and carries the sums on as the
// next block's start. A macro: it runs inside the round loops of paths built
// for different processor extensions and must not become a call.
#define DIGEST_ADD_STATE8(State) \
    do {                         \
        a = (State)[0] += a;     \
        b = (State)[1] += b;     \
        c = (State)[2] += c;     \
        d = (State)[3] += d;     \
        e = (State)[4] += e;     \
        f = (State)[5] += f;     \
        g = (State)[6] += g;     \
        h = (State)[7] += h;     \
    } while (0)

// Eight steps of a round over the working variables a..h, each step with
// the names turned one place: STEP(a, b, c, d, e, f, g, h, i, X) for rounds
// i to i + 7, X passed through.
#define DIGEST_ROUNDS8(STEP, i, X)            \
    STEP(a, b, c, d, e, f, g, h, (i) + 0, X); \
    STEP(h, a, b, c, d, e, f, g, (i) + 1, X); \
    STEP(g, h, a, b, c, d, e, f, (i) + 2, X); \
    STEP(f, g, h, a, b, c, d, e, (i) + 3, X); \
    STEP(e, f, g, h, a, b, c, d, (i) + 4, X); \
    STEP(d, e, f, g, h, a, b, c, (i) + 5, X); \
    STEP(c, d, e, f, g, h, a, b, (i) + 6, X); \
    STEP(b, c, d, e, f, g, h, a, (i) + 7, X)

namespace DigestUtils {

inline std::uint32_t SwapDWord(std::uint32_t X)
{
    return (X >> 24) | ((X >> 8) & 0x0000FF00u) | ((X << 8) & 0x00FF0000u) | (X << 24);
}

inline std::uint64_t SwapQWord(std::uint64_t X)
{
    return (std::uint64_t(SwapDWord(std::uint32_t(X))) << 32) | SwapDWord(std::uint32_t(X >> 32));
}

inline std::uint32_t LoadLE32(const std::uint8_t* P)
{
    std::uint32_t V;
    std::memcpy(&V, P, 4);
    if constexpr (std::endian::native == std::endian::big)
        V = SwapDWord(V);
    return V;
}

inline std::uint32_t LoadBE32(const std::uint8_t* P)
{
    std::uint32_t V;
    std::memcpy(&V, P, 4);
    if constexpr (std::endian::native == std::endian::little)
        V = SwapDWord(V);
    return V;
}

inline std::uint64_t LoadBE64(const std::uint8_t* P)
{
    std::uint64_t V;
    std::memcpy(&V, P, 8);
    if constexpr (std::endian::native == std::endian::little)
        V = SwapQWord(V);
    return V;
}

inline void StoreLE32(std::uint8_t* P, std::uint32_t V)
{
    if constexpr (std::endian::native == std::endian::big)
        V = SwapDWord(V);
    std::memcpy(P, &V, 4);
}

inline void StoreBE32(std::uint8_t* P, std::uint32_t V)
{
    if constexpr (std::endian::native == std::endian::little)
        V = SwapDWord(V);
    std::memcpy(P, &V, 4);
}

inline void StoreLE64(std::uint8_t* P, std::uint64_t V)
{
    StoreLE32(P, std::uint32_t(V));
    StoreLE32(P + 4, std::uint32_t(V >> 32));
}

inline void StoreBE64(std::uint8_t* P, std::uint64_t V)
{
    if constexpr (std::endian::native == std::endian::little)
        V = SwapQWord(V);
    std::memcpy(P, &V, 8);
}

// Zeroes memory in a way the compiler may not elide as a dead store.
void Wipe(void* P, std::size_t Count);

// Two lower-case hexadecimal digits per byte, high half first.
std::string HexLower(const std::uint8_t* P, std::size_t Count);

// The routines keep 32-bit counts inside; public entry points feed larger
// inputs in pieces of at most this many bytes (a multiple of every block size).
inline constexpr std::size_t MaxPiece = std::size_t(1) << 31;

// Feeds Size bytes in pieces of at most MaxPiece bytes to Fn(piece, count).
template <class TFn>
void ForEachPiece(const void* Data, std::size_t Size, TFn&& Fn)
{
    const auto* P = static_cast<const std::uint8_t*>(Data);
    while (Size > 0) {
        const std::size_t Piece = Size < MaxPiece ? Size : MaxPiece;
        Fn(P, std::uint32_t(Piece));
        P += Piece;
        Size -= Piece;
    }
}

// Adds 8 * Size to a 64-bit bit count kept in two 32-bit halves.
inline void AddBitCount32(std::uint32_t& High, std::uint32_t& Low, std::uint32_t Size)
{
    High += Size >> 29;
    const std::uint32_t Bits = Size << 3;
    Low += Bits;
    if (Low < Bits)
        ++High;
}

// The buffering shared by every digest: tops up a partly filled block and
// compresses it when full (CompressBuffer resets Index), hands whole blocks
// to Blocks(data, count) where they lie, and keeps the rest in Buffer.
template <class TIndex, class TCompressBuffer, class TBlocks>
void BufferedUpdate(std::uint8_t* Buffer, std::uint32_t BlockSize, TIndex& Index, const std::uint8_t* P,
                    std::uint32_t Count, TCompressBuffer&& CompressBuffer, TBlocks&& Blocks)
{
    if (Index > 0) {
        std::uint32_t Taken = BlockSize - std::uint32_t(Index);
        if (Count < Taken)
            Taken = Count;
        std::memcpy(Buffer + Index, P, Taken);
        Index += Taken;
        P += Taken;
        Count -= Taken;
        if (Index == BlockSize)
            CompressBuffer();
    }
    if (Count >= BlockSize) {
        const std::uint32_t Blocks_ = Count / BlockSize;
        Blocks(P, Blocks_);
        P += std::size_t(Blocks_) * BlockSize;
        Count -= Blocks_ * BlockSize;
    }
    if (Count > 0) {
        std::memcpy(Buffer + Index, P, Count);
        Index += Count;
    }
}

// The padding of MD4, MD5 and SHA-1: the marker byte, zeros up to 56 bytes
// modulo 64, then the 64-bit message length in bits. Feed(data, count)
// passes bytes through the routine's own update.
template <bool BigEndian, class TFeed>
void PadWithBitLength(std::uint64_t MessageBytes, std::uint64_t BufCount, TFeed&& Feed)
{
    static constexpr std::uint8_t PadTable[64] = {0x80};
    const std::uint64_t BitLength = MessageBytes * 8;
    Feed(PadTable, std::size_t(BufCount < 56 ? 56 - BufCount : 120 - BufCount));
    std::uint8_t Bits[8];
    if constexpr (BigEndian)
        StoreBE64(Bits, BitLength);
    else
        StoreLE64(Bits, BitLength);
    Feed(Bits, 8);
}

// Digests each of the two messages with a fresh object of class T and
// compares the results with the published digests.
template <class T, std::size_t N>
bool DigestSelfTest(const char* const (&Messages)[2], const std::uint8_t (&Digests)[2][N])
{
    T Hash;
    bool Passed = true;
    for (int i = 0; i < 2; ++i) {
        std::uint8_t Out[N];
        Hash.Init();
        Hash.UpdateString(Messages[i]);
        Hash.Final(Out);
        Passed = Passed && std::memcmp(Out, Digests[i], N) == 0;
    }
    return Passed;
}

}  // namespace DigestUtils
