// MD2 (RFC 1319), MD4 (RFC 1320) and MD5 (RFC 1321) over a caller-owned record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

enum TMDVersion : std::uint32_t { mvMD2 = 0, mvMD4 = 1, mvMD5 = 2 };

using TMDDigest = std::array<std::uint8_t, 16>;

struct TMDContext;
using TMDTransform = void (*)(TMDContext& Context, const std::uint8_t* Block);

struct TMDContext {
    TMDVersion Version;
    TMDTransform Transform;
    std::uint32_t BlockSize;
    std::uint32_t State[4];
    std::uint64_t BufCount;
    std::uint8_t Buffer[64];
    union {
        std::uint64_t Length;          // MD4, MD5: bytes already transformed
        std::uint8_t Checksum[16];     // MD2: running checksum
    };
};

void MDInit(TMDContext& Context, TMDVersion Version);
// Any count is accepted; nothing over 4 GiB is truncated.
void MDUpdate(TMDContext& Context, const void* Buf, std::size_t Count);
// Writes the digest and leaves the record zero-filled (MDInit needed again).
void MDFinal(TMDContext& Context, TMDDigest& Digest);
// 32 lower-case hexadecimal digits.
std::string MDPrint(const TMDDigest& Digest);
