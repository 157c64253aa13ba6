#include "digest/uDigestSHA256Rounds.h"
#include "digest/uDigestX86.h"

#if SORVIK_DIGEST_X86

namespace DigestCpu {

// The portable rounds, whose rotations need no moves with BMI2.
SORVIK_DIGEST_TARGET("bmi2")
void SHA256BlocksBmi2(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA256BlocksBody(State, Data, Count);
}

}  // namespace DigestCpu

#endif
