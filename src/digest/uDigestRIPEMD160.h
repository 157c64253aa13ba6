// RIPEMD-160 (ISO/IEC 10118-3).
#pragma once

#include "digest/uDigestBase.h"

class TDigestRIPEMD160 : public TDigestHash {
public:
    ~TDigestRIPEMD160() override;

    static constexpr std::int32_t ClassId = 10;
    static constexpr std::int32_t ClassHashSize = 160;
    static std::string ClassAlgorithm() { return "RipeMD-160"; }
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
    std::uint32_t HashState[5] = {};
    std::uint8_t BlockBuffer[64] = {};

private:
    void Compress();
};
