#include "engine/uSorvik.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <string>
#include <vector>

namespace {

struct Vector {
    THashType Type;
    const char* Empty;
    const char* Abc;
};

// Each text in the case its calculator produces it.
const Vector Vectors[] = {
    {htCRC32, "00000000", "352441C2"},
    {htMD2, "8350e5a3e24c153df2275c9f80692773", "da853b0d3f88d99b30283a69e6ded6bb"},
    {htMD4, "31d6cfe0d16ae931b73c59d7e0c089c0", "a448017aaf21d8525fc10ae87aa6729d"},
    {htMD5, "d41d8cd98f00b204e9800998ecf8427e", "900150983cd24fb0d6963f7d28e17f72"},
    {htSHA1, "da39a3ee5e6b4b0d3255bfef95601890afd80709", "a9993e364706816aba3e25717850c26c9cd0d89d"},
    {htSHA256, "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855",
     "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
    {htSHA512,
     "CF83E1357EEFB8BDF1542850D66D8007D620E4050B5715DC83F4A921D36CE9CE47D0D13C5D85F2B0FF8318D2877EEC2F63B931BD47417A81A538327AF927DA3E",
     "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A9AC94FA54CA49F"},
    {htRIPEMD128, "CDF26213A150DC3ECB610F18F6B38B46", "C14A12199C66E4BA84636B0F69144C77"},
    {htRIPEMD160, "9C1185A5C5E9FC54612808977EE8F548B2258D31", "8EB208F7E05D987A9B044A8E98C6B087F15A0BFC"},
    {htED2K, "31d6cfe0d16ae931b73c59d7e0c089c0", "a448017aaf21d8525fc10ae87aa6729d"},
};

std::vector<std::uint8_t> Pattern(std::size_t Size)
{
    std::vector<std::uint8_t> Data(Size);
    std::uint32_t X = 2463534242u;
    for (auto& B : Data) {
        X ^= X << 13;
        X ^= X >> 17;
        X ^= X << 5;
        B = static_cast<std::uint8_t>(X);
    }
    return Data;
}

// Feeds Data in pieces of the given sizes; the last piece takes the rest.
std::string HashInPieces(TSorvik& Calculator, const std::vector<std::uint8_t>& Data,
                         const std::vector<std::size_t>& Pieces)
{
    Calculator.Init();
    std::size_t Done = 0;
    for (std::size_t Piece : Pieces) {
        Piece = std::min(Piece, Data.size() - Done);
        Calculator.Update(Data.data() + Done, Piece);
        Done += Piece;
    }
    Calculator.Update(Data.data() + Done, Data.size() - Done);
    Calculator.Final();
    return Calculator.GetHash();
}

std::string HashOf(THashType T, const void* Data, std::size_t Size)
{
    auto Calculator = TSorvik::CreateCalculator(T);
    Calculator->Init();
    Calculator->Update(Data, Size);
    Calculator->Final();
    return Calculator->GetHash();
}

}  // namespace

TEST(Calculators, EmptyAndAbcInTheirOwnCase)
{
    for (const auto& V : Vectors) {
        auto Calculator = TSorvik::CreateCalculator(V.Type);
        Calculator->Init();
        Calculator->Final();
        EXPECT_EQ(Calculator->GetHash(), V.Empty) << HashTypeToName(V.Type);

        Calculator->Init();
        Calculator->UpdateString("abc");
        Calculator->Final();
        EXPECT_EQ(Calculator->GetHash(), V.Abc) << HashTypeToName(V.Type);
        EXPECT_EQ(Calculator->GetHash(), V.Abc);
    }
}

TEST(Calculators, CrcKeepsLeadingZeros)
{
    auto Calculator = TSorvik::CreateCalculator(htCRC32);
    Calculator->Init();
    Calculator->UpdateString("x31");
    Calculator->Final();
    EXPECT_EQ(Calculator->GetHash(), "001685F0");
}

TEST(Calculators, SplitIntoPiecesChangesNothing)
{
    const auto Data = Pattern(1000);
    const std::vector<std::vector<std::size_t>> Splits = {
        {}, {0, 0, 1, 0}, {1, 15, 16, 17}, {63, 1, 64, 65, 0}, {111, 1, 16, 127, 128, 129}, {999},
    };
    for (int I = htFirst; I <= htLast; ++I) {
        auto Calculator = TSorvik::CreateCalculator(static_cast<THashType>(I));
        const std::string Whole = HashInPieces(*Calculator, Data, {});
        for (const auto& Split : Splits)
            EXPECT_EQ(HashInPieces(*Calculator, Data, Split), Whole) << HashTypeToName(static_cast<THashType>(I));
    }
}

TEST(Calculators, ED2KAndCRCSplitsAroundBlockBoundaries)
{
    constexpr std::size_t B = ED2KBlockSize;
    const auto Data = Pattern(2 * B + 1001);
    const std::vector<std::vector<std::size_t>> Splits = {
        {B - 1, 1, 0, B},          // closing exactly at each boundary
        {B, 0, 0, B, 1},
        {B + 1, B - 1},
        {3},                       // one call across two boundaries
        {B - 1, 2, B - 2, 2},      // pieces that straddle boundaries
        {262144, 262144, 262144},  // then the rest at once
    };
    for (THashType T : {htED2K, htCRC32}) {
        auto Calculator = TSorvik::CreateCalculator(T);
        const std::string Whole = HashInPieces(*Calculator, Data, {});
        std::vector<std::size_t> Chunks(Data.size() / 262144 + 1, 262144);
        EXPECT_EQ(HashInPieces(*Calculator, Data, Chunks), Whole) << HashTypeToName(T);
        for (const auto& Split : Splits)
            EXPECT_EQ(HashInPieces(*Calculator, Data, Split), Whole) << HashTypeToName(T);
    }
}

TEST(Calculators, ED2KAtBlockMultiples)
{
    struct Case {
        std::size_t Size;
        const char* Digest;
    };
    const Case Cases[] = {
        {9727999, "ac44b93fc9aff773ab0005c911f8396f"},
        {9728000, "d7def262a127cd79096a108e7a9fc138"},   // one block, no empty second
        {9728001, "06329e9dba1373512c06386fe29e3c65"},
        {19456000, "194ee9e4fa79b2ee9f8829284c466051"},  // two blocks, no empty third
    };
    const std::vector<std::uint8_t> Zeros(19456000, 0);
    for (const auto& C : Cases)
        EXPECT_EQ(HashOf(htED2K, Zeros.data(), C.Size), C.Digest) << C.Size;

    // Up to one whole block ED2K is MD4 of the input.
    for (std::size_t Size : {std::size_t(9727999), std::size_t(9728000)})
        EXPECT_EQ(HashOf(htED2K, Zeros.data(), Size), HashOf(htMD4, Zeros.data(), Size)) << Size;

    // Beyond, MD4 of the block digests joined.
    const auto Data = Pattern(9728001);
    TMDDigest Blocks[2];
    TMDContext Context;
    MDInit(Context, mvMD4);
    MDUpdate(Context, Data.data(), 9728000);
    MDFinal(Context, Blocks[0]);
    MDInit(Context, mvMD4);
    MDUpdate(Context, Data.data() + 9728000, 1);
    MDFinal(Context, Blocks[1]);
    EXPECT_EQ(HashOf(htED2K, Data.data(), Data.size()), HashOf(htMD4, Blocks, sizeof Blocks));
}

TEST(Calculators, InitAfterAnAbandonedRunStartsAfresh)
{
    const auto Junk = Pattern(ED2KBlockSize + 77);   // the ED2K run has closed a block
    for (const auto& V : Vectors) {
        auto Calculator = TSorvik::CreateCalculator(V.Type);
        Calculator->Init();
        Calculator->Update(Junk.data(), V.Type == htMD2 ? 5000 : Junk.size());
        Calculator->Init();
        Calculator->UpdateString("abc");
        Calculator->Final();
        EXPECT_EQ(Calculator->GetHash(), V.Abc) << HashTypeToName(V.Type);
    }
}

namespace {

// Records how a large Update reaches the algorithm, without touching bytes.
class TRecorder final : public TSorvik {
public:
    std::string GetHash() const override { return {}; }
    std::vector<std::pair<std::uintptr_t, std::uint32_t>> Pieces;

protected:
    void DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size) override
    {
        Pieces.emplace_back(reinterpret_cast<std::uintptr_t>(Buffer), Size);
    }
};

}  // namespace

TEST(Calculators, InputsBeyondFourGiBArriveWhole)
{
    static const std::uint8_t Anchor = 0;
    TRecorder Recorder;
    const std::size_t Size = (std::size_t(5) << 30) + 7;   // 5 GiB + 7
    Recorder.Update(&Anchor, Size);
    std::uint64_t Total = 0;
    auto Expected = reinterpret_cast<std::uintptr_t>(&Anchor);
    for (const auto& [At, Piece] : Recorder.Pieces) {
        EXPECT_EQ(At, Expected);
        EXPECT_GT(Piece, 0u);
        Expected += Piece;
        Total += Piece;
    }
    EXPECT_EQ(Total, Size);
    Recorder.Pieces.clear();
    Recorder.Update(&Anchor, 0);
    EXPECT_TRUE(Recorder.Pieces.empty());
}

TEST(CreateCalculator, MapsEachTypeToItsClass)
{
    for (int I = htFirst; I <= htLast; ++I) {
        const auto T = static_cast<THashType>(I);
        const auto Calculator = TSorvik::CreateCalculator(T);
        ASSERT_NE(Calculator, nullptr);
        EXPECT_EQ(Calculator->HashType, T);
        TSorvik* P = Calculator.get();
        bool Right = false;
        switch (T) {
        case htCRC32: Right = dynamic_cast<TSorvikCRC32*>(P) != nullptr; break;
        case htMD2: Right = dynamic_cast<TSorvikMD2*>(P) != nullptr; break;
        case htMD4: Right = dynamic_cast<TSorvikMD4*>(P) != nullptr; break;
        case htMD5: Right = dynamic_cast<TSorvikMD5*>(P) != nullptr; break;
        case htSHA1: Right = dynamic_cast<TSorvikSHA1*>(P) != nullptr; break;
        case htSHA256: Right = dynamic_cast<TSorvikSHA256*>(P) != nullptr; break;
        case htSHA512: Right = dynamic_cast<TSorvikSHA512*>(P) != nullptr; break;
        case htRIPEMD128: Right = dynamic_cast<TSorvikRIPEMD128*>(P) != nullptr; break;
        case htRIPEMD160: Right = dynamic_cast<TSorvikRIPEMD160*>(P) != nullptr; break;
        case htED2K: Right = dynamic_cast<TSorvikED2K*>(P) != nullptr; break;
        default: break;
        }
        EXPECT_TRUE(Right) << HashTypeToName(T);
    }
}

TEST(CreateCalculator, RejectsTypesWithoutCalculator)
{
    for (int Ordinal : {0, 11, -1, 255}) {
        try {
            TSorvik::CreateCalculator(static_cast<THashType>(Ordinal));
            ADD_FAILURE() << Ordinal;
        } catch (const ESorvikError& E) {
            EXPECT_EQ(E.Message(), "Not supported hash type: " + std::to_string(Ordinal));
            EXPECT_STREQ(E.ClassName(), "ESorvikError");
        }
    }
}

namespace {

class TWrongSize final : public TDigestHash {
public:
    std::int32_t GetHashSize() const override { return 100; }
    void Final(void* Digest) override { std::memset(Digest, 0xEE, 64); }
};

class TSorvikWrongSize final : public TSorvikDigestClass {
public:
    TSorvikWrongSize() : TSorvikDigestClass(std::make_unique<TWrongSize>(), 128, "TSorvikWrongSize") {}
};

}  // namespace

TEST(Calculators, DigestSizeCheckWritesNothing)
{
    TSorvikWrongSize Calculator;
    Calculator.Init();
    try {
        Calculator.Final();
        ADD_FAILURE() << "no error";
    } catch (const ESorvikError& E) {
        EXPECT_EQ(E.Describe(), "[ESorvikError] Incorrect digest size for TSorvikWrongSize");
    }
    for (auto B : Calculator.Digest)
        EXPECT_EQ(B, 0);
}
