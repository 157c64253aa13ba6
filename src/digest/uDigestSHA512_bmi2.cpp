#include "digest/uDigestSHA512Rounds.h"
#include "digest/uDigestX86.h"

#if SORVIK_DIGEST_X86_64

namespace DigestCpu {

// The portable rounds, whose rotations need no moves with BMI2.
SORVIK_DIGEST_TARGET("bmi2")
void SHA512BlocksBmi2(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA512BlocksBody(State, Data, Count);
}

}  // namespace DigestCpu

#endif
