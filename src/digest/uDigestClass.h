// The life cycle shared by the digest classes, over the fields that each of
// them declares under the same names: BitCountHigh, BitCountLow,
// BufferIndex, HashState and BlockBuffer. Internal to the digest units.
#pragma once

#include "digest/uDigestBase.h"
#include "digest/uDigestUtils.h"

#include <type_traits>

namespace DigestUtils {

inline void CheckInitialized(bool Initialized)
{
    if (!Initialized)
        throw EDigestHash(SHashNotInitialized);
}

template <class T>
void WipeFields(T& H)
{
    H.BitCountHigh = 0;
    H.BitCountLow = 0;
    H.BufferIndex = 0;
    FillBytes(H.BlockBuffer, sizeof(H.BlockBuffer), 0);
    FillBytes(H.HashState, sizeof(H.HashState), 0);
}

// Blocks(state, data, count) folds whole blocks into the chaining state.
template <class T, class TBlocks>
void CompressFields(T& H, TBlocks&& Blocks)
{
    Blocks(H.HashState, H.BlockBuffer, 1);
    H.BufferIndex = 0;
    FillBytes(H.BlockBuffer, sizeof(H.BlockBuffer), 0);
}

template <class T, class TCompress, class TBlocks>
void UpdateFields(T& H, const void* Buffer, std::size_t Size, TCompress&& Compress, TBlocks&& Blocks)
{
    ForEachPiece(Buffer, Size, [&](const std::uint8_t* P, std::uint32_t Count) {
        if constexpr (sizeof(H.BitCountLow) == 4) {
            AddBitCount32(H.BitCountHigh, H.BitCountLow, Count);
        } else {
            // A 128-bit count: the low half takes the whole product.
            const std::uint64_t Bits = std::uint64_t(Count) * 8;
            H.BitCountLow += Bits;
            if (H.BitCountLow < Bits)
                ++H.BitCountHigh;
        }
        BufferedUpdate(H.BlockBuffer, sizeof(H.BlockBuffer), H.BufferIndex, P, Count, Compress,
                       [&](const std::uint8_t* Data, std::size_t N) { Blocks(H.HashState, Data, N); });
    });
}

template <bool BigEndian, class TWord>
void StoreWord(std::uint8_t* P, TWord V)
{
    if constexpr (sizeof(TWord) == 8) {
        if constexpr (BigEndian)
            StoreBE64(P, V);
        else
            StoreLE64(P, V);
    } else {
        if constexpr (BigEndian)
            StoreBE32(P, V);
        else
            StoreLE32(P, V);
    }
}

// The marker byte, the bit count in the last bytes of the block (most
// significant half first for big-endian algorithms, least significant
// first otherwise) and the chaining words as the digest. Relies on the
// buffer being zero behind BufferIndex.
template <bool BigEndian, class T, class TCompress>
void FinalFields(T& H, void* Digest, TCompress&& Compress)
{
    constexpr std::size_t Half = sizeof(H.BitCountLow);
    constexpr std::size_t LengthAt = sizeof(H.BlockBuffer) - 2 * Half;
    H.BlockBuffer[H.BufferIndex] = 0x80;
    if (H.BufferIndex >= LengthAt)
        Compress();
    if constexpr (BigEndian) {
        StoreWord<true>(H.BlockBuffer + LengthAt, H.BitCountHigh);
        StoreWord<true>(H.BlockBuffer + LengthAt + Half, H.BitCountLow);
    } else {
        StoreWord<false>(H.BlockBuffer + LengthAt, H.BitCountLow);
        StoreWord<false>(H.BlockBuffer + LengthAt + Half, H.BitCountHigh);
    }
    Compress();
    auto* Out = static_cast<std::uint8_t*>(Digest);
    for (const auto Word : H.HashState) {
        StoreWord<BigEndian>(Out, Word);
        Out += sizeof(Word);
    }
}

}  // namespace DigestUtils
