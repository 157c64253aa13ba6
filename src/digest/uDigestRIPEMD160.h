// RIPEMD-160 (ISO/IEC 10118-3).
#pragma once

#include "digest/uDigestBase.h"

class TDigestRIPEMD160 : public TDigestHash {
public:
    ~TDigestRIPEMD160() override;

    SORVIK_DIGEST_IDENTITY(10, 160, "RipeMD-160")

    void Init() override;
    void Final(void* Digest) override;
    void Wipe() override;
    void Update(const void* Buffer, std::size_t Size) override;

    std::uint32_t BitCountHigh = 0;
    std::uint32_t BitCountLow = 0;
    std::uint32_t BufferIndex = 0;
    std::uint32_t HashState[5] = {};
    std::uint8_t BlockBuffer[64] = {};

private:
    void Compress();
};
