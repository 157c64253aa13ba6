// SHA-256 (FIPS 180-4).
#pragma once

#include "digest/uDigestBase.h"

class TDigestSHA256 : public TDigestHash {
public:
    ~TDigestSHA256() override;

    static constexpr std::int32_t ClassId = 28;
    static constexpr std::int32_t ClassHashSize = 256;
    static std::string ClassAlgorithm() { return "SHA256"; }
    static bool ClassSelfTest();

    std::int32_t GetId() const override { return ClassId; }
    std::string GetAlgorithm() const override { return ClassAlgorithm(); }
    std::int32_t GetHashSize() const override { return ClassHashSize; }
    bool SelfTest() const override { return ClassSelfTest(); }

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
