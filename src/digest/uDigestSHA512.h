// SHA-512 (FIPS 180-4).
#pragma once

#include "digest/uDigestBase.h"

// The working state, buffering and compression; never created on its own.
class TDigestSHA512Base : public TDigestHash {
public:
    ~TDigestSHA512Base() override;

    void Wipe() override;
    void Update(const void* Buffer, std::size_t Size) override;

    std::uint64_t BitCountHigh = 0;
    std::uint64_t BitCountLow = 0;
    std::uint32_t BufferIndex = 0;
    std::uint64_t HashState[8] = {};
    std::uint8_t BlockBuffer[128] = {};

protected:
    TDigestSHA512Base() = default;
    void Compress();
};

class TDigestSHA512 : public TDigestSHA512Base {
public:
    TDigestSHA512() = default;

    SORVIK_DIGEST_IDENTITY(30, 512, "SHA512")

    void Init() override;
    void Final(void* Digest) override;
};
