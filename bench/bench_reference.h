// The reference implementations the benchmark measures us against:
// Crypto++, OpenSSL 3 (MD4 and RIPEMD-160 through its legacy provider) and
// librhash for the digests, zlib and librhash for CRC32, librhash and the
// ED2K block scheme over Crypto++'s MD4 for ED2K. Each algorithm is
// compared with the best of them in the same run.
#pragma once

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/md2.h>
#include <cryptopp/md4.h>
#include <cryptopp/md5.h>
#include <cryptopp/ripemd.h>
#include <cryptopp/sha.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <rhash.h>
#include <zlib.h>

#include "bench_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
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

class TOpenSSL final : public TReference {
public:
    explicit TOpenSSL(const char* Name)
    {
        // MD4 and RIPEMD-160 live in the legacy provider in OpenSSL 3.
        static OSSL_PROVIDER* const Legacy = OSSL_PROVIDER_load(nullptr, "legacy");
        static OSSL_PROVIDER* const Default = OSSL_PROVIDER_load(nullptr, "default");
        (void)Legacy;
        (void)Default;
        FMd = EVP_MD_fetch(nullptr, Name, nullptr);
        FContext = EVP_MD_CTX_new();
    }
    ~TOpenSSL() override
    {
        EVP_MD_CTX_free(FContext);
        EVP_MD_free(FMd);
    }
    bool Valid() const { return FMd && FContext; }
    void Start() override { EVP_DigestInit_ex(FContext, FMd, nullptr); }
    void Feed(const std::uint8_t* P, std::size_t N) override { EVP_DigestUpdate(FContext, P, N); }
    void Finish() override
    {
        unsigned Size = 0;
        EVP_DigestFinal_ex(FContext, FDigest, &Size);
    }

private:
    EVP_MD* FMd = nullptr;
    EVP_MD_CTX* FContext = nullptr;
    unsigned char FDigest[EVP_MAX_MD_SIZE];
};

class TRHash final : public TReference {
public:
    explicit TRHash(unsigned Id) : FId(Id)
    {
        static const bool Ready = [] {
            rhash_library_init();
            return true;
        }();
        (void)Ready;
        FContext = rhash_init(Id);
    }
    ~TRHash() override { rhash_free(FContext); }
    bool Valid() const { return FContext != nullptr; }
    void Start() override { rhash_reset(FContext); }
    void Feed(const std::uint8_t* P, std::size_t N) override { rhash_update(FContext, P, N); }
    void Finish() override { rhash_final(FContext, FDigest); }

private:
    unsigned FId;
    rhash FContext = nullptr;
    unsigned char FDigest[64];
};

// The libraries, by name as the cases show them.
inline constexpr const char* ReferenceLibraries[] = {"cryptopp", "openssl", "rhash", "zlib"};

// The reference of each hash type by its ordinal (1 CRC32 ... 10 ED2K) in
// the named library; none when the library lacks the algorithm.
inline std::unique_ptr<TReference> MakeReference(int HashType, const std::string& Library = "cryptopp")
{
    if (Library == "zlib")
        return HashType == 1 ? std::make_unique<TZlibCRC32>() : nullptr;
    if (Library == "cryptopp") {
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
    if (Library == "openssl") {
        static constexpr const char* Names[11] = {nullptr, nullptr,  "MD2",    "MD4",    "MD5",      "SHA1",
                                                  "SHA256", "SHA512", nullptr, "RIPEMD160", nullptr};
        if (HashType < 1 || HashType > 10 || !Names[HashType])
            return nullptr;
        auto Ref = std::make_unique<TOpenSSL>(Names[HashType]);
        return Ref->Valid() ? std::move(Ref) : nullptr;
    }
    if (Library == "rhash") {
        static constexpr unsigned Ids[11] = {0, RHASH_CRC32, 0, RHASH_MD4, RHASH_MD5, RHASH_SHA1,
                                             RHASH_SHA256, RHASH_SHA512, 0, RHASH_RIPEMD160, RHASH_ED2K};
        if (HashType < 1 || HashType > 10 || !Ids[HashType])
            return nullptr;
        auto Ref = std::make_unique<TRHash>(Ids[HashType]);
        return Ref->Valid() ? std::move(Ref) : nullptr;
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

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Bench {

// OPENSSL_ia32cap with the SHA extensions (leaf 7 EBX bit 29) masked off.
inline constexpr const char* OpenSSLNoShaMask = ":~0x20000000";
// The same with AVX2 (leaf 7 EBX bit 5) masked off instead.
inline constexpr const char* OpenSSLNoAvx2Mask = ":~0x20";
inline constexpr const char* OpenSSLChildOption = "--openssl-child";

// One OpenSSL digest in a child process of this program started with
// OPENSSL_ia32cap set; the child times each chunk it is asked to hash.
class TMaskedOpenSSL {
public:
    TMaskedOpenSSL(const char* Algorithm, const char* Mask)
    {
        int ToChild[2], FromChild[2];
        if (pipe(ToChild) != 0)
            return;
        if (pipe(FromChild) != 0) {
            close(ToChild[0]);
            close(ToChild[1]);
            return;
        }
        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        posix_spawn_file_actions_adddup2(&Actions, ToChild[0], 0);
        posix_spawn_file_actions_adddup2(&Actions, FromChild[1], 1);
        posix_spawn_file_actions_addclose(&Actions, ToChild[1]);
        posix_spawn_file_actions_addclose(&Actions, FromChild[0]);
        std::vector<std::string> Env;
        for (char** E = environ; *E; ++E)
            if (std::string(*E).rfind("OPENSSL_ia32cap=", 0) != 0)
                Env.emplace_back(*E);
        Env.push_back(std::string("OPENSSL_ia32cap=") + Mask);
        std::vector<char*> EnvP;
        for (auto& E : Env)
            EnvP.push_back(E.data());
        EnvP.push_back(nullptr);
        std::string Exe = "/proc/self/exe", Option = OpenSSLChildOption, Alg = Algorithm;
        char* Argv[] = {Exe.data(), Option.data(), Alg.data(), nullptr};
        const bool Spawned = posix_spawn(&FPid, Exe.c_str(), &Actions, nullptr, Argv, EnvP.data()) == 0;
        posix_spawn_file_actions_destroy(&Actions);
        close(ToChild[0]);
        close(FromChild[1]);
        FOut = ToChild[1];
        FIn = FromChild[0];
        if (!Spawned)
            FPid = -1;
    }
    ~TMaskedOpenSSL()
    {
        if (FOut >= 0)
            close(FOut);
        if (FIn >= 0)
            close(FIn);
        if (FPid > 0) {
            int Status = 0;
            waitpid(FPid, &Status, 0);
        }
    }
    bool Valid() const { return FPid > 0; }
    // Seconds the child took for one chunk.
    double TimeChunk()
    {
        const std::uint32_t Chunks = 1;
        double Seconds = 0;
        if (write(FOut, &Chunks, sizeof Chunks) != sizeof Chunks || read(FIn, &Seconds, sizeof Seconds) != sizeof Seconds)
            return 1e9;
        return Seconds;
    }

private:
    pid_t FPid = -1;
    int FOut = -1;
    int FIn = -1;
};

// The child's side: hashes the chunk as often as asked, answers the time.
inline int OpenSSLChildMain(const char* Algorithm)
{
    TOpenSSL Ref(Algorithm);
    if (!Ref.Valid())
        return 1;
    const auto& Data = Chunk();
    Ref.Start();
    std::uint32_t Chunks = 0;
    while (read(0, &Chunks, sizeof Chunks) == sizeof Chunks) {
        const auto Started = std::chrono::steady_clock::now();
        for (std::uint32_t I = 0; I < Chunks; ++I)
            Ref.Feed(Data.data(), Data.size());
        const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Started).count();
        if (write(1, &Seconds, sizeof Seconds) != sizeof Seconds)
            return 1;
    }
    Ref.Finish();
    return 0;
}

}  // namespace Bench
