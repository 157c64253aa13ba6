// SHA-1 (FIPS 180-4) over a caller-owned record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using TSHA1Digest = std::array<std::uint8_t, 20>;

struct TSHA1Context {
    std::uint32_t State[5];
    std::uint8_t Buffer[64];
    std::uint32_t BufCount;
    std::uint64_t Length;   // bytes already transformed
};

void SHA1Init(TSHA1Context& Context);
// Any count is accepted; nothing over 4 GiB is truncated.
void SHA1Update(TSHA1Context& Context, const void* Buf, std::size_t Count);
// Writes the digest and leaves the record zero-filled (SHA1Init needed again).
void SHA1Final(TSHA1Context& Context, TSHA1Digest& Digest);
// 40 lower-case hexadecimal digits.
std::string SHA1Print(const TSHA1Digest& Digest);
