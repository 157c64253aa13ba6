#include "digest/uDigestUtils.h"

namespace DigestUtils {

void Wipe(void* P, std::size_t Count)
{
    // A call through a volatile pointer cannot be proven dead.
    static void* (*volatile const SetMemory)(void*, int, std::size_t) = std::memset;
    SetMemory(P, 0, Count);
}

std::string HexLower(const std::uint8_t* P, std::size_t Count)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string Result(2 * Count, '0');
    for (std::size_t i = 0; i < Count; ++i) {
        Result[2 * i] = Digits[P[i] >> 4];
        Result[2 * i + 1] = Digits[P[i] & 15];
    }
    return Result;
}

}  // namespace DigestUtils
