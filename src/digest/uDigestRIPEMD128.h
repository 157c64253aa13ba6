// RIPEMD-128 (ISO/IEC 10118-3).
#pragma once

#include "digest/uDigestBase.h"

class TDigestRIPEMD128 : public TDigestHash {
public:
    ~TDigestRIPEMD128() override;

    SORVIK_DIGEST_IDENTITY(27, 128, "RipeMD-128")

    void Init() override;
    void Final(void* Digest) override;
    void Wipe() override;
    void Update(const void* Buffer, std::size_t Size) override;

    std::uint32_t BitCountHigh = 0;
    std::uint32_t BitCountLow = 0;
    std::uint32_t BufferIndex = 0;
    std::uint32_t HashState[4] = {};
    std::uint8_t BlockBuffer[64] = {};

private:
    void Compress();
};
