// RIPEMD-128 (ISO/IEC 10118-3).
#pragma once

#include "digest/uDigestBase.h"

class TDigestRIPEMD128 : public TDigestHash {
public:
    ~TDigestRIPEMD128() override;

    static constexpr std::int32_t ClassId = 27;
    static constexpr std::int32_t ClassHashSize = 128;
    static std::string ClassAlgorithm() { return "RipeMD-128"; }
    static bool ClassSelfTest();

    std::int32_t GetId() const override { return ClassId; }
    std::string GetAlgorithm() const override { return ClassAlgorithm(); }
    std::int32_t GetHashSize() const override { return ClassHashSize; }
    bool SelfTest() const override { return ClassSelfTest(); }

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
