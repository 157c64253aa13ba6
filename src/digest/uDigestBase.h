// Common interface of the digest classes: Init, any number of Update, Final.
#pragma once

#include "digest/uException.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

SORVIK_EXCEPTION_CLASS(EDigestHash, Exception);

inline constexpr const char* SHashNotInitialized = "Hash not initialized";

// Sets Count bytes at X to Value; used to clear work arrays.
void FillBytes(void* X, std::int32_t Count, std::uint8_t Value);

// On cache lines of its own, like the calculators that own the objects
// (threads that hash side by side write their states at once).
class alignas(64) TDigestHash {
public:
    TDigestHash() = default;
    TDigestHash(const TDigestHash&) = delete;
    TDigestHash& operator=(const TDigestHash&) = delete;
    // Each derived class wipes its own fields in its own destructor: a base
    // destructor can no longer reach the derived Wipe.
    virtual ~TDigestHash() = default;

    // "Class functions": answered from the class; through an object they
    // dispatch on its actual class.
    virtual std::int32_t GetId() const { return -1; }
    virtual std::string GetAlgorithm() const { return {}; }
    virtual std::int32_t GetHashSize() const { return -1; }
    virtual bool SelfTest() const { return false; }

    virtual void Init() {}
    // Digest must have room for HashSize() / 8 bytes.
    virtual void Final(void* Digest) { (void)Digest; }
    virtual void Wipe() {}
    // Any size is accepted; nothing over 4 GiB is truncated.
    virtual void Update(const void* Buffer, std::size_t Size) { (void)Buffer; (void)Size; }

    void UpdateString(std::string_view Str);

    // The published properties; writes are accepted and ignored.
    std::int32_t Id() const { return GetId(); }
    std::string Algorithm() const { return GetAlgorithm(); }
    std::int32_t HashSize() const { return GetHashSize(); }
    void SetId(std::int32_t) {}
    void SetAlgorithm(const std::string&) {}
    void SetHashSize(std::int32_t) {}

    bool Initialized() const { return FInitialized; }

protected:
    bool FInitialized = false;
};

// The identity of a digest class: answered from the class itself (ClassId,
// ClassHashSize, ClassAlgorithm, ClassSelfTest) and, through an object, by
// the virtual getters. ClassSelfTest is defined with the algorithm.
#define SORVIK_DIGEST_IDENTITY(IdValue, HashSizeValue, AlgorithmText)          \
public:                                                                      \
    static constexpr std::int32_t ClassId = IdValue;                         \
    static constexpr std::int32_t ClassHashSize = HashSizeValue;             \
    static std::string ClassAlgorithm() { return AlgorithmText; }            \
    static bool ClassSelfTest();                                             \
    std::int32_t GetId() const override { return ClassId; }                  \
    std::string GetAlgorithm() const override { return ClassAlgorithm(); }   \
    std::int32_t GetHashSize() const override { return ClassHashSize; }      \
    bool SelfTest() const override { return ClassSelfTest(); }
