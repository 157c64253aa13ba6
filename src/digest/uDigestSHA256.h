// SHA-256 (FIPS 180-4).
#pragma once

#include "digest/uDigestBase.h"

class TDigestSHA256 : public TDigestHash {
public:
    ~TDigestSHA256() override;

    SORVIK_DIGEST_IDENTITY(28, 256, "SHA256")

    void Init() override;
    void Final(void* Digest) override;
    void Wipe() override;
    void Update(const void* Buffer, std::size_t Size) override;

    // Working fields, readable so that tests can check the wipe rules.
    std::uint32_t BitCountHigh = 0;
    std::uint32_t BitCountLow = 0;
    std::uint32_t BufferIndex = 0;
    std::uint32_t HashState[8] = {};
    std::uint8_t BlockBuffer[64] = {};

private:
    void Compress();
};
