// The reference implementations the benchmark measures us against:
// Crypto++ for the digests, zlib for CRC32, and the ED2K block scheme over
// Crypto++'s MD4.
#pragma once

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/md2.h>
#include <cryptopp/md4.h>
#include <cryptopp/md5.h>
#include <cryptopp/ripemd.h>
#include <cryptopp/sha.h>
#include <zlib.h>

#include "bench_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Bench {

class TReference {
public:
    virtual ~TReference() = default;
    virtual void Start() = 0;
    virtual void Feed(const std::uint8_t* P, std::size_t N) = 0;
    virtual void Finish() = 0;
};

template <class T>
class TCryptoPP final : public TReference {
public:
    void Start() override { FHash.Restart(); }
    void Feed(const std::uint8_t* P, std::size_t N) override { FHash.Update(P, N); }
    void Finish() override { FHash.Final(FDigest); }

private:
    T FHash;
    std::uint8_t FDigest[T::DIGESTSIZE];
};

class TZlibCRC32 final : public TReference {
public:
    void Start() override { FCrc = crc32(0, nullptr, 0); }
    void Feed(const std::uint8_t* P, std::size_t N) override { FCrc = crc32(FCrc, P, uInt(N)); }
    void Finish() override {}

private:
    uLong FCrc = 0;
};

class TED2K final : public TReference {
public:
    static constexpr std::size_t BlockSize = 9728000;
    void Start() override
    {
        FHash.Restart();
        FInBlock = 0;
        FBlocks.clear();
    }
    void Feed(const std::uint8_t* P, std::size_t N) override
    {
        while (N > 0) {
            if (FInBlock == BlockSize) {
                FBlocks.resize(FBlocks.size() + 16);
                FHash.Final(FBlocks.data() + FBlocks.size() - 16);
                FInBlock = 0;
            }
            const std::size_t Take = std::min(N, BlockSize - FInBlock);
            FHash.Update(P, Take);
            FInBlock += Take;
            P += Take;
            N -= Take;
        }
    }
    void Finish() override
    {
        std::uint8_t Digest[16];
        FHash.Final(Digest);
        if (!FBlocks.empty()) {
            FHash.Update(FBlocks.data(), FBlocks.size());
            FHash.Update(Digest, 16);
            FHash.Final(Digest);
        }
    }

private:
    CryptoPP::Weak::MD4 FHash;
    std::size_t FInBlock = 0;
    std::vector<std::uint8_t> FBlocks;
};

// The reference of each hash type by its ordinal (1 CRC32 ... 10 ED2K).
inline std::unique_ptr<TReference> MakeReference(int HashType)
{
    switch (HashType) {
    case 1: return std::make_unique<TZlibCRC32>();
    case 2: return std::make_unique<TCryptoPP<CryptoPP::Weak::MD2>>();
    case 3: return std::make_unique<TCryptoPP<CryptoPP::Weak::MD4>>();
    case 4: return std::make_unique<TCryptoPP<CryptoPP::Weak::MD5>>();
    case 5: return std::make_unique<TCryptoPP<CryptoPP::SHA1>>();
    case 6: return std::make_unique<TCryptoPP<CryptoPP::SHA256>>();
    case 7: return std::make_unique<TCryptoPP<CryptoPP::SHA512>>();
    case 8: return std::make_unique<TCryptoPP<CryptoPP::RIPEMD128>>();
    case 9: return std::make_unique<TCryptoPP<CryptoPP::RIPEMD160>>();
    case 10: return std::make_unique<TED2K>();
    }
    return nullptr;
}

inline constexpr const char* HashTypeShortNames[11] = {
    "", "CRC32", "MD2", "MD4", "MD5", "SHA1", "SHA256", "SHA512", "RIPEMD128", "RIPEMD160", "ED2K"};

// Streams through one reference.
inline void StreamReference(benchmark::State& State, TReference& Ref)
{
    Stream(
        State, [&] { Ref.Start(); }, [&](const std::uint8_t* P, std::size_t N) { Ref.Feed(P, N); },
        [&] { Ref.Finish(); });
}

}  // namespace Bench
