// The digest classes: identity, life cycle, "Hash not initialized",
// wiping and the bit counts.
#include "DigestTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

using namespace DigestTest;

namespace {

template <class T>
struct TIdentity;
template <>
struct TIdentity<TDigestSHA256> {
    static constexpr std::int32_t Id = 28, HashSize = 256;
    static constexpr const char* Algorithm = "SHA256";
};
template <>
struct TIdentity<TDigestSHA512> {
    static constexpr std::int32_t Id = 30, HashSize = 512;
    static constexpr const char* Algorithm = "SHA512";
};
template <>
struct TIdentity<TDigestRIPEMD128> {
    static constexpr std::int32_t Id = 27, HashSize = 128;
    static constexpr const char* Algorithm = "RipeMD-128";
};
template <>
struct TIdentity<TDigestRIPEMD160> {
    static constexpr std::int32_t Id = 10, HashSize = 160;
    static constexpr const char* Algorithm = "RipeMD-160";
};

template <class T>
bool IsZeroed(const T& Hash)
{
    bool Zero = !Hash.Initialized() && Hash.BitCountHigh == 0 && Hash.BitCountLow == 0 && Hash.BufferIndex == 0;
    for (auto W : Hash.HashState)
        Zero = Zero && W == 0;
    for (auto B : Hash.BlockBuffer)
        Zero = Zero && B == 0;
    return Zero;
}

template <class T>
void ExpectNotInitialized(const std::function<void()>& Action)
{
    try {
        Action();
        ADD_FAILURE() << "no exception";
    } catch (const EDigestHash& E) {
        EXPECT_EQ(E.Message(), "Hash not initialized");
        EXPECT_EQ(E.Describe(), "[EDigestHash] Hash not initialized");
    }
}

template <class T>
class DigestClass : public ::testing::Test {};

using DigestClasses = ::testing::Types<TDigestSHA256, TDigestSHA512, TDigestRIPEMD128, TDigestRIPEMD160>;
TYPED_TEST_SUITE(DigestClass, DigestClasses);

TYPED_TEST(DigestClass, IdentityIsTheClassesAndWritesAreIgnored)
{
    using Id = TIdentity<TypeParam>;
    TypeParam Hash;
    TDigestHash& Base = Hash;
    EXPECT_EQ(Base.Id(), Id::Id);
    EXPECT_EQ(Base.Algorithm(), Id::Algorithm);
    EXPECT_EQ(Base.HashSize(), Id::HashSize);
    EXPECT_EQ(TypeParam::ClassId, Id::Id);
    EXPECT_EQ(TypeParam::ClassAlgorithm(), Id::Algorithm);
    EXPECT_EQ(TypeParam::ClassHashSize, Id::HashSize);
    Base.SetId(5);
    Base.SetAlgorithm("other");
    Base.SetHashSize(8);
    EXPECT_EQ(Base.Id(), Id::Id);
    EXPECT_EQ(Base.Algorithm(), Id::Algorithm);
    EXPECT_EQ(Base.HashSize(), Id::HashSize);
}

TYPED_TEST(DigestClass, SelfTestPassesOnEveryPath)
{
    for (const TPath& Path : AvailablePaths()) {
        TPathGuard Guard(Path);
        EXPECT_TRUE(TypeParam::ClassSelfTest());
        TypeParam Hash;
        EXPECT_TRUE(static_cast<const TDigestHash&>(Hash).SelfTest());
    }
}

TYPED_TEST(DigestClass, UninitialisedObjectRaisesAndChangesNothing)
{
    TypeParam Hash;
    EXPECT_TRUE(IsZeroed(Hash));
    ExpectNotInitialized<TypeParam>([&] { Hash.Update("abc", 3); });
    ExpectNotInitialized<TypeParam>([&] { Hash.Update(nullptr, 0); });
    ExpectNotInitialized<TypeParam>([&] { Hash.UpdateString(""); });
    std::uint8_t Digest[64];
    std::memset(Digest, 0xA5, sizeof(Digest));
    ExpectNotInitialized<TypeParam>([&] { Hash.Final(Digest); });
    for (auto B : Digest)
        EXPECT_EQ(B, 0xA5);
    EXPECT_TRUE(IsZeroed(Hash));
    Hash.Wipe();
    EXPECT_TRUE(IsZeroed(Hash));
}

TYPED_TEST(DigestClass, FinalEndsTheRunAndZeroesEveryField)
{
    TypeParam Hash;
    Hash.Init();
    EXPECT_TRUE(Hash.Initialized());
    Hash.UpdateString("message digest");
    std::uint8_t Digest[64];
    Hash.Final(Digest);
    EXPECT_TRUE(IsZeroed(Hash));

    std::uint8_t Again[64];
    std::memcpy(Again, Digest, sizeof(Digest));
    ExpectNotInitialized<TypeParam>([&] { Hash.Final(Again); });
    EXPECT_EQ(std::memcmp(Again, Digest, sizeof(Digest)), 0);
    ExpectNotInitialized<TypeParam>([&] { Hash.Update("a", 1); });

    // A new run after Init is independent of the old one.
    Hash.Init();
    Hash.UpdateString("message digest");
    Hash.Final(Again);
    EXPECT_EQ(std::memcmp(Again, Digest, std::size_t(Hash.HashSize() / 8)), 0);
}

TYPED_TEST(DigestClass, WipeMidRunZeroesEveryField)
{
    TypeParam Hash;
    Hash.Init();
    const auto Message = PatternBytes(300);
    Hash.Update(Message.data(), Message.size());
    EXPECT_NE(Hash.BufferIndex, 0u);
    Hash.Wipe();
    EXPECT_TRUE(IsZeroed(Hash));
}

TYPED_TEST(DigestClass, BufferBehindTheIndexStaysZero)
{
    const auto Message = PatternBytes(1000);
    TypeParam Hash;
    Hash.Init();
    std::size_t Pos = 0;
    for (std::size_t Piece : {1, 5, 60, 3, 200, 127, 128, 129, 64}) {
        Hash.Update(Message.data() + Pos, Piece);
        Pos += Piece;
        EXPECT_EQ(Hash.BufferIndex, Pos % sizeof(Hash.BlockBuffer));
        for (std::size_t i = Hash.BufferIndex; i < sizeof(Hash.BlockBuffer); ++i)
            ASSERT_EQ(Hash.BlockBuffer[i], 0) << "after " << Pos << " bytes, at " << i;
        EXPECT_EQ(std::memcmp(Hash.BlockBuffer, Message.data() + Pos - Hash.BufferIndex, Hash.BufferIndex), 0);
    }
}

TYPED_TEST(DigestClass, UpdateStringFeedsTheStringsBytes)
{
    TypeParam A, B;
    A.Init();
    B.Init();
    A.UpdateString("abc");
    A.UpdateString("");
    B.Update("abc", 3);
    std::uint8_t DA[64], DB[64];
    A.Final(DA);
    B.Final(DB);
    EXPECT_EQ(std::memcmp(DA, DB, std::size_t(A.HashSize() / 8)), 0);
}

TYPED_TEST(DigestClass, OneLargeUpdateCarriesIntoTheHighCount)
{
    // 2^29 bytes are 2^32 bits: one more than the low 32-bit half holds.
    const std::size_t Size = std::size_t(1) << 29;
    TZeroBlock Zeros(Size);
    ASSERT_TRUE(Zeros);
    TypeParam Hash;
    Hash.Init();
    Hash.Update(Zeros.Data(), Size);
    if constexpr (sizeof(Hash.BitCountLow) == 4) {
        EXPECT_EQ(Hash.BitCountHigh, 1u);
        EXPECT_EQ(Hash.BitCountLow, 0u);
    } else {
        EXPECT_EQ(Hash.BitCountHigh, 0u);
        EXPECT_EQ(Hash.BitCountLow, std::uint64_t(1) << 32);
    }
    EXPECT_EQ(Hash.BufferIndex, 0u);
}

TYPED_TEST(DigestClass, DestroyingAnInitialisedObjectWipesIt)
{
    alignas(TypeParam) unsigned char Storage[sizeof(TypeParam)];
    auto* Hash = new (Storage) TypeParam;
    Hash->Init();
    Hash->UpdateString("abcdefghijklmnopqrstuvwxyz0123456789");
    const std::size_t StateAt = std::size_t(reinterpret_cast<unsigned char*>(Hash->HashState) - Storage);
    const std::size_t BufferAt = std::size_t(reinterpret_cast<unsigned char*>(Hash->BlockBuffer) - Storage);
    Hash->~TypeParam();
    for (std::size_t i = 0; i < sizeof(Hash->HashState); ++i)
        EXPECT_EQ(Storage[StateAt + i], 0);
    for (std::size_t i = 0; i < sizeof(Hash->BlockBuffer); ++i)
        EXPECT_EQ(Storage[BufferAt + i], 0);
}

TEST(DigestClassSHA512, LowCountWrapsIntoTheHighCount)
{
    TDigestSHA512 Hash;
    Hash.Init();
    Hash.BitCountLow = ~std::uint64_t(0) - 7;
    Hash.Update("x", 1);
    EXPECT_EQ(Hash.BitCountLow, 0u);
    EXPECT_EQ(Hash.BitCountHigh, 1u);
}

TEST(DigestHashBase, PlaceholdersAndNoOps)
{
    TDigestHash Base;
    EXPECT_EQ(Base.Id(), -1);
    EXPECT_EQ(Base.Algorithm(), "");
    EXPECT_EQ(Base.HashSize(), -1);
    EXPECT_FALSE(Base.SelfTest());
    Base.SetId(3);
    Base.SetAlgorithm("x");
    Base.SetHashSize(3);
    EXPECT_EQ(Base.Id(), -1);
    EXPECT_EQ(Base.Algorithm(), "");
    EXPECT_EQ(Base.HashSize(), -1);
    Base.Init();
    Base.Update("abc", 3);
    Base.UpdateString("abc");
    std::uint8_t Digest[4] = {1, 2, 3, 4};
    Base.Final(Digest);
    EXPECT_EQ(Digest[0], 1);
    Base.Wipe();
    EXPECT_FALSE(Base.Initialized());
}

TEST(DigestHashBase, FillBytesSetsExactlyCountBytes)
{
    std::uint8_t Bytes[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    FillBytes(Bytes + 1, 5, 0);
    EXPECT_EQ(Bytes[0], 1);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(Bytes[i], 0);
    EXPECT_EQ(Bytes[6], 1);
    FillBytes(Bytes, 2, 0x7F);
    EXPECT_EQ(Bytes[0], 0x7F);
    EXPECT_EQ(Bytes[1], 0x7F);
    FillBytes(Bytes, 0, 9);
    FillBytes(Bytes, -3, 9);
    EXPECT_EQ(Bytes[0], 0x7F);
}

}  // namespace
