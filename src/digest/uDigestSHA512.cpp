#include "digest/uDigestSHA512.h"

#include "digest/uDigestClass.h"
#include "digest/uDigestCpu.h"
#include "digest/uDigestSHA512Rounds.h"
#include "digest/uDigestUtils.h"

using namespace DigestUtils;

namespace DigestCpu {

void SHA512BlocksPortable(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    SHA512BlocksBody(State, Data, Count);
}

}  // namespace DigestCpu

namespace {

void SHA512Blocks(std::uint64_t State[8], const std::uint8_t* Data, std::size_t Count)
{
    switch (DigestCpu::SHA512Path()) {
#if SORVIK_DIGEST_X86_64
    case DigestCpu::cpAvx2:
        DigestCpu::SHA512BlocksAvx2(State, Data, Count);
        return;
    case DigestCpu::cpBmi2:
        DigestCpu::SHA512BlocksBmi2(State, Data, Count);
        return;
#endif
    default:
        break;
    }
    DigestCpu::SHA512BlocksPortable(State, Data, Count);
}

constexpr const char* const SelfTestMessages[2] = {
    "abc",
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"};
constexpr std::uint8_t SelfTestDigests[2][64] = {
    {0xdd, 0xaf, 0x35, 0xa1, 0x93, 0x61, 0x7a, 0xba, 0xcc, 0x41, 0x73, 0x49, 0xae, 0x20, 0x41, 0x31,
     0x12, 0xe6, 0xfa, 0x4e, 0x89, 0xa9, 0x7e, 0xa2, 0x0a, 0x9e, 0xee, 0xe6, 0x4b, 0x55, 0xd3, 0x9a,
     0x21, 0x92, 0x99, 0x2a, 0x27, 0x4f, 0xc1, 0xa8, 0x36, 0xba, 0x3c, 0x23, 0xa3, 0xfe, 0xeb, 0xbd,
     0x45, 0x4d, 0x44, 0x23, 0x64, 0x3c, 0xe8, 0x0e, 0x2a, 0x9a, 0xc9, 0x4f, 0xa5, 0x4c, 0xa4, 0x9f},
    {0x8e, 0x95, 0x9b, 0x75, 0xda, 0xe3, 0x13, 0xda, 0x8c, 0xf4, 0xf7, 0x28, 0x14, 0xfc, 0x14, 0x3f,
     0x8f, 0x77, 0x79, 0xc6, 0xeb, 0x9f, 0x7f, 0xa1, 0x72, 0x99, 0xae, 0xad, 0xb6, 0x88, 0x90, 0x18,
     0x50, 0x1d, 0x28, 0x9e, 0x49, 0x00, 0xf7, 0xe4, 0x33, 0x1b, 0x99, 0xde, 0xc4, 0xb5, 0x43, 0x3a,
     0xc7, 0xd3, 0x29, 0xee, 0xb6, 0xdd, 0x26, 0x54, 0x5e, 0x96, 0xe5, 0x5b, 0x87, 0x4b, 0xe9, 0x09}};

}  // namespace

TDigestSHA512Base::~TDigestSHA512Base()
{
    if (FInitialized)
        TDigestSHA512Base::Wipe();
}

void TDigestSHA512Base::Compress()
{
    CompressFields(*this, SHA512Blocks);
}

void TDigestSHA512Base::Update(const void* Buffer, std::size_t Size)
{
    CheckInitialized(FInitialized);
    UpdateFields(*this, Buffer, Size, [this] { Compress(); }, SHA512Blocks);
}

void TDigestSHA512Base::Wipe()
{
    WipeFields(*this);
    FInitialized = false;
}

bool TDigestSHA512::ClassSelfTest()
{
    return DigestSelfTest<TDigestSHA512>(SelfTestMessages, SelfTestDigests);
}

void TDigestSHA512::Init()
{
    Wipe();
    HashState[0] = 0x6a09e667f3bcc908ULL;
    HashState[1] = 0xbb67ae8584caa73bULL;
    HashState[2] = 0x3c6ef372fe94f82bULL;
    HashState[3] = 0xa54ff53a5f1d36f1ULL;
    HashState[4] = 0x510e527fade682d1ULL;
    HashState[5] = 0x9b05688c2b3e6c1fULL;
    HashState[6] = 0x1f83d9abfb41bd6bULL;
    HashState[7] = 0x5be0cd19137e2179ULL;
    FInitialized = true;
}

void TDigestSHA512::Final(void* Digest)
{
    CheckInitialized(FInitialized);
    FinalFields<true>(*this, Digest, [this] { Compress(); });
    Wipe();
}
