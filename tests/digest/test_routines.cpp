// The record-based MD and SHA-1 routines: set-up, clearing and text form.
#include "DigestTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace DigestTest;

namespace {

template <class T>
bool AllBytesZero(const T& Record)
{
    const auto* P = reinterpret_cast<const std::uint8_t*>(&Record);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        if (P[i] != 0)
            return false;
    return true;
}

TEST(MDRoutines, InitChoosesTransformBlockSizeAndState)
{
    TMDContext Context;
    std::memset(&Context, 0x5A, sizeof(Context));
    MDInit(Context, mvMD2);
    EXPECT_EQ(Context.Version, mvMD2);
    EXPECT_EQ(Context.BlockSize, 16u);
    EXPECT_NE(Context.Transform, nullptr);
    EXPECT_EQ(Context.BufCount, 0u);
    EXPECT_EQ(Context.State[0] | Context.State[1] | Context.State[2] | Context.State[3], 0u);
    for (auto B : Context.Checksum)
        EXPECT_EQ(B, 0);

    for (TMDVersion Version : {mvMD4, mvMD5}) {
        std::memset(&Context, 0x5A, sizeof(Context));
        MDInit(Context, Version);
        EXPECT_EQ(Context.Version, Version);
        EXPECT_EQ(Context.BlockSize, 64u);
        EXPECT_EQ(Context.State[0], 0x67452301u);
        EXPECT_EQ(Context.State[1], 0xefcdab89u);
        EXPECT_EQ(Context.State[2], 0x98badcfeu);
        EXPECT_EQ(Context.State[3], 0x10325476u);
        EXPECT_EQ(Context.Length, 0u);
    }
}

TEST(MDRoutines, LengthCountsTransformedBytesAndBufferTheRest)
{
    const auto Message = PatternBytes(200);
    for (TMDVersion Version : {mvMD4, mvMD5}) {
        TMDContext Context;
        MDInit(Context, Version);
        MDUpdate(Context, Message.data(), 10);
        EXPECT_EQ(Context.Length, 0u);
        EXPECT_EQ(Context.BufCount, 10u);
        MDUpdate(Context, Message.data() + 10, 190);
        EXPECT_EQ(Context.Length, 192u);
        EXPECT_EQ(Context.BufCount, 8u);
        EXPECT_EQ(std::memcmp(Context.Buffer, Message.data() + 192, 8), 0);
    }
    TMDContext MD2;
    MDInit(MD2, mvMD2);
    MDUpdate(MD2, Message.data(), 200);
    EXPECT_EQ(MD2.BufCount, 8u);
}

TEST(MDRoutines, ZeroCountLeavesTheRecordUntouched)
{
    for (TMDVersion Version : {mvMD2, mvMD4, mvMD5}) {
        TMDContext Context;
        MDInit(Context, Version);
        MDUpdate(Context, "abcde", 5);
        TMDContext Before;
        std::memcpy(&Before, &Context, sizeof(Context));
        MDUpdate(Context, nullptr, 0);
        EXPECT_EQ(std::memcmp(&Before, &Context, sizeof(Context)), 0);
    }
}

TEST(MDRoutines, TransformFoldsOneBlockLikeUpdate)
{
    const auto Block = PatternBytes(64);
    for (TMDVersion Version : {mvMD2, mvMD4, mvMD5}) {
        TMDContext ByUpdate, ByTransform;
        MDInit(ByUpdate, Version);
        MDInit(ByTransform, Version);
        MDUpdate(ByUpdate, Block.data(), ByUpdate.BlockSize);
        ByTransform.Transform(ByTransform, Block.data());
        EXPECT_EQ(std::memcmp(&ByUpdate, &ByTransform, sizeof(TMDContext)), 0) << Version;
    }
}

TEST(MDRoutines, FinalLeavesTheRecordZeroFilled)
{
    const auto Message = PatternBytes(100);
    for (TMDVersion Version : {mvMD2, mvMD4, mvMD5}) {
        for (std::size_t Length : {0, 15, 55, 56, 100}) {
            TMDContext Context;
            MDInit(Context, Version);
            MDUpdate(Context, Message.data(), Length);
            TMDDigest Digest;
            MDFinal(Context, Digest);
            EXPECT_TRUE(AllBytesZero(Context)) << Version << " " << Length;
        }
    }
}

TEST(MDRoutines, RecordNotSetUpIsIgnoredSafely)
{
    // A zero-filled record (after MDFinal, or never initialised) and one
    // given an unknown version have no transform: updates change nothing
    // and the digest comes out as zeros instead of a division by a zero
    // block size.
    TMDContext Zeroed{};
    TMDContext Unknown;
    MDInit(Unknown, TMDVersion(7));
    for (TMDContext* Context : {&Zeroed, &Unknown}) {
        MDUpdate(*Context, "abc", 3);
        EXPECT_TRUE(AllBytesZero(*Context) || Context->Version == TMDVersion(7));
        EXPECT_EQ(Context->BufCount, 0u);
        TMDDigest Digest;
        Digest.fill(0xEE);
        MDFinal(*Context, Digest);
        EXPECT_EQ(MDPrint(Digest), std::string(32, '0'));
        EXPECT_TRUE(AllBytesZero(*Context));
    }
}

TEST(MDRoutines, PrintGivesLowerCaseHex)
{
    TMDDigest Digest;
    Digest.fill(255);
    EXPECT_EQ(MDPrint(Digest), std::string(32, 'f'));
    Digest.fill(0);
    Digest[0] = 10;
    EXPECT_EQ(MDPrint(Digest), "0a" + std::string(30, '0'));
    for (std::size_t i = 0; i < Digest.size(); ++i)
        Digest[i] = std::uint8_t(i * 17);
    EXPECT_EQ(MDPrint(Digest), "00112233445566778899aabbccddeeff");
}

TEST(SHA1Routines, InitLoadsTheInitialHashValue)
{
    TSHA1Context Context;
    std::memset(&Context, 0x5A, sizeof(Context));
    SHA1Init(Context);
    const std::uint32_t H0[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    EXPECT_EQ(std::memcmp(Context.State, H0, sizeof(H0)), 0);
    EXPECT_EQ(Context.BufCount, 0u);
    EXPECT_EQ(Context.Length, 0u);
}

TEST(SHA1Routines, FinalLeavesTheRecordZeroFilled)
{
    const auto Message = PatternBytes(130);
    for (std::size_t Length : {0, 55, 56, 63, 64, 130}) {
        TSHA1Context Context;
        SHA1Init(Context);
        SHA1Update(Context, Message.data(), Length);
        EXPECT_EQ(Context.Length + Context.BufCount, Length);
        TSHA1Digest Digest;
        SHA1Final(Context, Digest);
        EXPECT_TRUE(AllBytesZero(Context)) << Length;
    }
}

TEST(SHA1Routines, PrintGivesLowerCaseHex)
{
    TSHA1Digest Digest;
    Digest.fill(255);
    EXPECT_EQ(SHA1Print(Digest), std::string(40, 'f'));
    Digest.fill(0);
    Digest[0] = 10;
    Digest[19] = 0xAB;
    EXPECT_EQ(SHA1Print(Digest), "0a" + std::string(36, '0') + "ab");
}

TEST(DigestPieces, InputsOverFourGiBAreSplitNotTruncated)
{
    if (sizeof(std::size_t) < 8)
        GTEST_SKIP() << "needs a 64-bit size_t";
    // The memory is only addressed, never read, so it costs no pages.
    const std::size_t Size = 2 * DigestUtils::MaxPiece + 100;
    TZeroBlock Zeros(Size);
    if (!Zeros)
        GTEST_SKIP() << "could not reserve the address space";
    std::vector<std::pair<std::size_t, std::uint32_t>> Pieces;
    DigestUtils::ForEachPiece(Zeros.Data(), Size, [&](const std::uint8_t* P, std::uint32_t Count) {
        Pieces.emplace_back(std::size_t(P - Zeros.Data()), Count);
    });
    const std::vector<std::pair<std::size_t, std::uint32_t>> Expected = {
        {0, std::uint32_t(DigestUtils::MaxPiece)},
        {DigestUtils::MaxPiece, std::uint32_t(DigestUtils::MaxPiece)},
        {2 * DigestUtils::MaxPiece, 100}};
    EXPECT_EQ(Pieces, Expected);
    // Every piece is whole blocks for every algorithm, so splitting never
    // shifts the buffering.
    EXPECT_EQ(DigestUtils::MaxPiece % 128, 0u);
}

}  // namespace
