#include "digest/uDigestSHA256.h"

#include "digest/uDigestClass.h"
#include "digest/uDigestCpu.h"
#include "digest/uDigestSHA256Rounds.h"
#include "digest/uDigestUtils.h"

using namespace DigestUtils;

namespace DigestCpu {

void SHA256BlocksPortable(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA256BlocksBody(State, Data, Count);
}

}  // namespace DigestCpu

namespace {

void SHA256Blocks(std::uint32_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    switch (DigestCpu::SHA256Path()) {
#if SORVIK_DIGEST_X86
    case DigestCpu::cpShaNI:
        DigestCpu::SHA256BlocksShaNI(State, Data, Count);
        return;
    case DigestCpu::cpAvx2:
        DigestCpu::SHA256BlocksAvx2(State, Data, Count);
        return;
    case DigestCpu::cpBmi2:
        DigestCpu::SHA256BlocksBmi2(State, Data, Count);
        return;
#endif
    default:
        break;
    }
    DigestCpu::SHA256BlocksPortable(State, Data, Count);
}

// The first test message and its digest, then the second.
constexpr const char* const SelfTestMessages[2] = {
    "abc", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"};
constexpr std::uint8_t SelfTestDigests[2][32] = {
    {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41, 0x41, 0x40, 0xde, 0x5d, 0xae, 0x22, 0x23,
     0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17, 0x7a, 0x9c, 0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad},
    {0x24, 0x8d, 0x6a, 0x61, 0xd2, 0x06, 0x38, 0xb8, 0xe5, 0xc0, 0x26, 0x93, 0x0c, 0x3e, 0x60, 0x39,
     0xa3, 0x3c, 0xe4, 0x59, 0x64, 0xff, 0x21, 0x67, 0xf6, 0xec, 0xed, 0xd4, 0x19, 0xdb, 0x06, 0xc1}};

}  // namespace

TDigestSHA256::~TDigestSHA256()
{
    if (FInitialized)
        Wipe();
}

bool TDigestSHA256::ClassSelfTest()
{
    return DigestSelfTest<TDigestSHA256>(SelfTestMessages, SelfTestDigests);
}

void TDigestSHA256::Init()
{
    Wipe();
    HashState[0] = 0x6a09e667;
    HashState[1] = 0xbb67ae85;
    HashState[2] = 0x3c6ef372;
    HashState[3] = 0xa54ff53a;
    HashState[4] = 0x510e527f;
    HashState[5] = 0x9b05688c;
    HashState[6] = 0x1f83d9ab;
    HashState[7] = 0x5be0cd19;
    FInitialized = true;
}

void TDigestSHA256::Compress()
{
    CompressFields(*this, SHA256Blocks);
}

void TDigestSHA256::Update(const void* Buffer, std::size_t Size)
{
    CheckInitialized(FInitialized);
    UpdateFields(*this, Buffer, Size, [this] { Compress(); }, SHA256Blocks);
}

void TDigestSHA256::Final(void* Digest)
{
    CheckInitialized(FInitialized);
    FinalFields<true>(*this, Digest, [this] { Compress(); });
    Wipe();
}

void TDigestSHA256::Wipe()
{
    WipeFields(*this);
    FInitialized = false;
}
