// Published test vectors and the buffering rules, run over every algorithm
// (SHA-1, SHA-256 and SHA-512 once on each code path).
#include "DigestTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

using namespace DigestTest;

namespace {

struct TVector {
    std::string Piece;   // the message is Piece repeated Repeat times
    std::size_t Repeat;
    const char* Hex;
};

const std::string Alnum = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
const std::string AZ = "abcdefghijklmnopqrstuvwxyz";

// RFC 1319/1320/1321 appendix A.5, FIPS 180-4 examples, and the test set
// published by the RIPEMD authors.
const std::map<std::string, std::vector<TVector>> Vectors = {
    {"MD2",
     {{"", 1, "8350e5a3e24c153df2275c9f80692773"},
      {"a", 1, "32ec01ec4a6dac72c0ab96fb34c0b5d1"},
      {"abc", 1, "da853b0d3f88d99b30283a69e6ded6bb"},
      {"message digest", 1, "ab4f496bfb2a530b219ff33031fe06b0"},
      {AZ, 1, "4e8ddff3650292ab5a4108c3aa47940b"},
      {Alnum, 1, "da33def2a42df13975352846c30338cd"},
      {"1234567890", 8, "d5976f79d83d3a0dc9806c3c66f3efd8"}}},
    {"MD4",
     {{"", 1, "31d6cfe0d16ae931b73c59d7e0c089c0"},
      {"a", 1, "bde52cb31de33e46245e05fbdbd6fb24"},
      {"abc", 1, "a448017aaf21d8525fc10ae87aa6729d"},
      {"message digest", 1, "d9130a8164549fe818874806e1c7014b"},
      {AZ, 1, "d79e1c308aa5bbcdeea8ed63df412da9"},
      {Alnum, 1, "043f8582f241db351ce627e153e7f0e4"},
      {"1234567890", 8, "e33b4ddc9c38f2199c3e7b164fcc0536"}}},
    {"MD5",
     {{"", 1, "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", 1, "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", 1, "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", 1, "f96b697d7cb7938d525a2f31aaf161d0"},
      {AZ, 1, "c3fcd3d76192e4007dfb496cca67e13b"},
      {Alnum, 1, "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"1234567890", 8, "57edf4a22be3c955ac49da2e2107b67a"}}},
    {"SHA1",
     {{"", 1, "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", 1, "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1,
       "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {"a", 1000000, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"}}},
    {"SHA256",
     {{"", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1,
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"a", 1000000, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}}},
    {"SHA512",
     {{"", 1,
       "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
       "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e"},
      {"abc", 1,
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
       "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
       1,
       "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
       "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909"},
      {"a", 1000000,
       "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973eb"
       "de0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b"}}},
    {"RIPEMD128",
     {{"", 1, "cdf26213a150dc3ecb610f18f6b38b46"},
      {"a", 1, "86be7afa339d0fc7cfc785e72f578d33"},
      {"abc", 1, "c14a12199c66e4ba84636b0f69144c77"},
      {"message digest", 1, "9e327b3d6e523062afc1132d7df9d1b8"},
      {AZ, 1, "fd2aa607f71dc8f510714922b371834e"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1, "a1aa0689d0fafa2ddc22e88b49133a06"},
      {Alnum, 1, "d1e959eb179c911faea4624c60c5c702"},
      {"1234567890", 8, "3f45ef194732c2dbb2c4a2c769795fa3"},
      {"a", 1000000, "4a7f5723f954eba1216c9d8f6320431f"}}},
    {"RIPEMD160",
     {{"", 1, "9c1185a5c5e9fc54612808977ee8f548b2258d31"},
      {"a", 1, "0bdc9d2d256b3ee9daae347be6f4dc835a467ffe"},
      {"abc", 1, "8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"},
      {"message digest", 1, "5d0689ef49d2fae572b881b123a85ffa21595f36"},
      {AZ, 1, "f71c27109c692c1b56bbdceb5b9d2865b3708dbc"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1,
       "12a053384a9c0c88e405a06c27dcf49ada62eb2b"},
      {Alnum, 1, "b0e20b6e3116640286ed3a87a5713079b21f5189"},
      {"1234567890", 8, "9b752e45573d4b39f4dbd3323cab82bf63326bfb"},
      {"a", 1000000, "52783243c1697bdbe16d37f97f68f08325dc1528"}}},
};

std::string Expand(const TVector& V)
{
    std::string Message;
    Message.reserve(V.Piece.size() * V.Repeat);
    for (std::size_t i = 0; i < V.Repeat; ++i)
        Message += V.Piece;
    return Message;
}

class DigestAlgorithm : public ::testing::TestWithParam<std::size_t> {
protected:
    void SetUp() override
    {
        const TAlgorithm& A = Algorithms()[GetParam()];
        const std::string Name = A.Name;
        if (!A.Path.Available())
            GTEST_SKIP() << "this processor lacks the extension";
        FGuard = std::make_unique<TPathGuard>(A.Path);
        FHasher = A.Make();
        FVectors = &Vectors.at(Name.substr(0, Name.find('_')));
    }

    // The digest of Message fed as the given pieces (cycled), Init to Final.
    std::string DigestInPieces(const std::vector<std::uint8_t>& Message, const std::vector<std::size_t>& Pieces)
    {
        FHasher->Init();
        std::size_t Pos = 0;
        for (std::size_t i = 0; Pos < Message.size(); ++i) {
            const std::size_t Piece = std::min(Pieces[i % Pieces.size()], Message.size() - Pos);
            FHasher->Update(Message.data() + Pos, Piece);
            Pos += Piece;
        }
        return FHasher->FinalHex();
    }

    std::string DigestOf(const std::string& Message)
    {
        FHasher->Init();
        FHasher->Update(Message.data(), Message.size());
        return FHasher->FinalHex();
    }

    std::unique_ptr<TPathGuard> FGuard;
    std::unique_ptr<THasher> FHasher;
    const std::vector<TVector>* FVectors = nullptr;
};

TEST_P(DigestAlgorithm, ReproducesThePublishedVectors)
{
    for (const TVector& V : *FVectors) {
        const std::string Message = Expand(V);
        EXPECT_EQ(DigestOf(Message), V.Hex) << "message of " << Message.size() << " bytes";
        // The same message in 1000-byte pieces goes through the buffer.
        std::vector<std::uint8_t> Bytes(Message.begin(), Message.end());
        if (!Bytes.empty()) {
            EXPECT_EQ(DigestInPieces(Bytes, {1000, 7}), V.Hex) << "pieces, " << Message.size() << " bytes";
        }
    }
}

TEST_P(DigestAlgorithm, EmptyMessageWithZeroLengthUpdates)
{
    FHasher->Init();
    FHasher->Update(nullptr, 0);
    FHasher->Update("x", 0);
    EXPECT_EQ(FHasher->FinalHex(), FVectors->front().Hex);
}

TEST_P(DigestAlgorithm, SameDigestWhateverTheSplit)
{
    const auto Message = PatternBytes(1500);
    const std::string Whole = DigestInPieces(Message, {Message.size()});
    const std::size_t B = FHasher->BlockSize();
    const std::vector<std::vector<std::size_t>> Splits = {
        {1},
        {1, 62, 1, 64, 129},
        {1, 126, 1, 128, 257},
        {0, 3, 0, 0, 17},
        {B - 1},
        {B},
        {B + 1},
        {B - 1, 2, B, 0},
        {2 * B + 3, 5},
    };
    for (const auto& Split : Splits)
        EXPECT_EQ(DigestInPieces(Message, Split), Whole) << "first piece " << Split.front();
}

TEST_P(DigestAlgorithm, PaddingBoundaries)
{
    // Lengths around the point where the length field no longer fits into
    // the last block, for 16-, 64- and 128-byte blocks.
    const std::vector<std::size_t> Lengths = {0,  1,  15, 16, 17,  31,  32,  55,  56,  57,  63,  64,
                                              65, 111, 112, 113, 119, 120, 127, 128, 129, 191, 192, 256};
    const auto Message = PatternBytes(300);
    std::vector<std::string> Seen;
    for (std::size_t Length : Lengths) {
        const std::vector<std::uint8_t> Part(Message.begin(), Message.begin() + std::ptrdiff_t(Length));
        const std::string Whole = DigestInPieces(Part, {Length + 1});
        EXPECT_EQ(DigestInPieces(Part, {1}), Whole) << Length;
        EXPECT_EQ(DigestInPieces(Part, {Length / 2 + 1}), Whole) << Length;
        for (const auto& Other : Seen)
            EXPECT_NE(Other, Whole) << Length;
        Seen.push_back(Whole);
    }
}

TEST_P(DigestAlgorithm, InitAbandonsARunInProgress)
{
    const auto Garbage = PatternBytes(777);
    FHasher->Init();
    FHasher->Update(Garbage.data(), Garbage.size());
    FHasher->Init();
    FHasher->Update("abc", 3);
    const std::string Expected = [&] {
        for (const TVector& V : *FVectors)
            if (V.Piece == "abc")
                return std::string(V.Hex);
        return std::string();
    }();
    EXPECT_EQ(FHasher->FinalHex(), Expected);
}

TEST_P(DigestAlgorithm, ManyBlocksInOneUpdateMatchThePortablePath)
{
    // Paths that take several blocks at once meet every count of blocks,
    // odd ones leaving a block alone at the end, and blocks that all differ
    // (the long published vector repeats one block).
    const TAlgorithm& A = Algorithms()[GetParam()];
    if (A.Path.Needs == 0)
        GTEST_SKIP() << "no processor extension: nothing to compare";
    const std::size_t B = FHasher->BlockSize();
    const auto Message = PatternBytes(300 * B + B - 1);
    auto Portable = A.Make();
    for (std::size_t Blocks = 1; Blocks <= 300; Blocks += Blocks < 40 ? 1 : 13) {
        for (std::size_t Tail : {std::size_t(0), std::size_t(1), B - 1}) {
            const std::size_t Size = Blocks * B + Tail;
            FHasher->Init();
            FHasher->Update(Message.data(), Size);
            const std::string Digest = FHasher->FinalHex();
            std::string Expected;
            {
                TPathGuard Guard(PortablePath);
                Portable->Init();
                Portable->Update(Message.data(), Size);
                Expected = Portable->FinalHex();
            }
            ASSERT_EQ(Digest, Expected) << Blocks << " blocks and " << Tail << " bytes";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, DigestAlgorithm, ::testing::Range<std::size_t>(0, Algorithms().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& Info) {
                             return std::string(Algorithms()[Info.param].Name);
                         });

}  // namespace

// A case named for a path must run it: the query names what the block
// functions take under the case's extensions.
TEST(DigestPaths, EachCaseRunsThePathItIsNamedFor)
{
    for (const TAlgorithm& A : Algorithms()) {
        if (A.Query == nullptr || !A.Path.Available())
            continue;
        TPathGuard Guard(A.Path);
        EXPECT_STREQ(DigestCpu::CodePathName(A.Query()), DigestCpu::CodePathName(A.Runs)) << A.Name;
    }
}

#if SORVIK_DIGEST_X86
#include <cpuid.h>

namespace {

// XINUSE (XGETBV with ECX = 1) bit 2: the upper halves of the vector
// registers hold data. Code that leaves them so slows later SSE code.
bool UpperVectorStateDirty()
{
    unsigned Lo, Hi;
    __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(Lo), "=d"(Hi) : "c"(1));
    return (Lo & 4) != 0;
}

bool CanReadVectorStateInUse()
{
    unsigned a, b, c, d;
    if (__get_cpuid_max(0, nullptr) < 13)
        return false;
    __cpuid(1, a, b, c, d);
    if (!(c & (1u << 27)))   // OSXSAVE
        return false;
    __cpuid_count(13, 1, a, b, c, d);
    return (a & (1u << 2)) != 0;
}

// Whether plain SSE code after AVX code and vzeroupper is reported as
// leaving the upper state in use. Some processors do so in 32-bit code
// (seen on AMD Zen 4 under Wine): there the flag cannot tell a path that
// cleaned up from one that did not.
__attribute__((target("sse2"))) bool SseAfterAvxLooksDirty()
{
    if ((DigestCpu::CpuFeatures() & DigestCpu::cfAvx2) == 0)
        return false;
    // One statement, so that nothing the compiler adds comes between.
    unsigned Lo, Hi;
    __asm__ volatile("vpcmpeqd %%ymm1, %%ymm1, %%ymm1\n\t"
                     "vzeroupper\n\t"
                     "pxor %%xmm1, %%xmm1\n\t"
                     ".byte 0x0f, 0x01, 0xd0"
                     : "=a"(Lo), "=d"(Hi)
                     : "c"(1)
                     : "xmm1");
    return (Lo & 4) != 0;
}

}  // namespace

TEST(DigestPaths, EveryPathReturnsWithTheUpperVectorStateClean)
{
    if (!CanReadVectorStateInUse())
        GTEST_SKIP() << "the processor does not report the vector state in use";
    if (SseAfterAvxLooksDirty())
        GTEST_SKIP() << "the processor reports the upper state in use after any SSE code that follows AVX code";
    const std::vector<std::uint8_t> Message = PatternBytes(5 * 128 + 17);
    for (const TAlgorithm& A : Algorithms()) {
        if (!A.Path.Available())
            continue;
        TPathGuard Guard(A.Path);
        auto Hasher = A.Make();
        Hasher->Init();
        if (UpperVectorStateDirty())
            GTEST_SKIP() << "the upper vector state is in use before hashing";
        Hasher->Update(Message.data(), Message.size());
        EXPECT_FALSE(UpperVectorStateDirty()) << A.Name;
        Hasher->FinalHex();
    }
}
#endif

#if SORVIK_DIGEST_X86_64
// SHA-512's vector path takes whichever form of its rounds and schedule is
// fastest on the processor at hand; every form must fold every count of
// blocks, from any state, as the portable rounds do.
TEST(DigestPaths, EveryFormOfTheSHA512VectorPathMatchesThePortableRounds)
{
    if ((DigestCpu::CpuFeatures() & DigestCpu::cfAvx2) == 0)
        GTEST_SKIP() << "the processor has no AVX2";
    const bool Avx512 = (DigestCpu::CpuFeatures() & DigestCpu::cfAvx512) != 0;
    const std::vector<std::uint8_t> Message = PatternBytes(41 * 128);
    const struct {
        const char* Name;
        void (*Blocks)(std::uint64_t*, const std::uint8_t*, std::size_t);
        bool Runs;
    } Forms[] = {{"short chains", DigestCpu::SHA512BlocksAvx2Chains, true},
                 {"few operations", DigestCpu::SHA512BlocksAvx2Lean, true},
                 {"short chains, AVX-512 schedule", DigestCpu::SHA512BlocksAvx2ChainsAvx512, Avx512},
                 {"few operations, AVX-512 schedule", DigestCpu::SHA512BlocksAvx2LeanAvx512, Avx512}};
    for (const auto& Form : Forms)
        for (std::size_t Blocks = 0; Form.Runs && Blocks <= 41; ++Blocks) {
            std::uint64_t Expected[8], Got[8];
            for (std::size_t I = 0; I < 8; ++I)
                Expected[I] = Got[I] = DigestCpu::SHA512K[I + Blocks];
            DigestCpu::SHA512BlocksPortable(Expected, Message.data(), Blocks);
            Form.Blocks(Got, Message.data(), Blocks);
            ASSERT_EQ(std::memcmp(Expected, Got, sizeof(Got)), 0) << Form.Name << ", " << Blocks << " blocks";
        }
}
#endif
