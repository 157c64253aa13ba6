#include "engine/uSorvik.h"

#include <gtest/gtest.h>

namespace {

THashList MakeList(std::initializer_list<std::pair<THashType, const char*>> Entries)
{
    THashList List;
    for (const auto& [T, Text] : Entries)
        List.Put(T, Text);
    return List;
}

}  // namespace

TEST(HashList, PutGetClearFirst)
{
    THashList List;
    EXPECT_FALSE(List.Has(htMD5));
    EXPECT_EQ(List.Get(htMD5), "");
    EXPECT_EQ(List.First(), "");

    List.Put(htSHA1, "s1");
    List.Put(htCRC32, "c1");
    List.Put(htSHA1, "s2");
    EXPECT_EQ(List.Get(htSHA1), "s2");
    EXPECT_EQ(List.First(), "c1");
    List.Put(htMD2, "");
    EXPECT_TRUE(List.Has(htMD2));
    EXPECT_EQ(List.First(), "c1");

    List.Clear();
    EXPECT_EQ(List.HashTypes, 0u);
    for (int I = 0; I <= 10; ++I) {
        EXPECT_FALSE(List.Has(static_cast<THashType>(I)));
        EXPECT_EQ(List.Texts[I], "");
    }
}

TEST(HashList, FindTypeIgnoresCaseAndPrefersLowerOrdinal)
{
    // Up to one ED2K block, MD4 and ED2K are the same text.
    const auto List = MakeList({{htED2K, "31d6cfe0d16ae931b73c59d7e0c089c0"},
                                {htMD4, "31d6cfe0d16ae931b73c59d7e0c089c0"},
                                {htSHA256, "ABCD"}});
    EXPECT_EQ(List.FindType("31D6CFE0D16AE931B73C59D7E0C089C0"), htMD4);
    EXPECT_EQ(List.FindType("abcd"), htSHA256);
    EXPECT_EQ(List.FindType("abc"), htNone);
    EXPECT_EQ(THashList().FindType(""), htNone);
}

TEST(HashList, CompareIsSymmetricAndSplitsSharedTypes)
{
    struct Case {
        THashList A, B;
        bool Result;
        THashTypes Matched, Mismatched;
    };
    const Case Cases[] = {
        // nothing shared
        {MakeList({{htCRC32, "1"}}), MakeList({{htMD5, "1"}}), false, 0, 0},
        // a failed file's empty list
        {MakeList({{htCRC32, "1"}}), THashList(), false, 0, 0},
        {THashList(), THashList(), false, 0, 0},
        // all shared match; extras are in neither set
        {MakeList({{htCRC32, "ab"}, {htMD5, "m"}, {htSHA1, "x"}}), MakeList({{htCRC32, "AB"}, {htMD5, "M"}}), true,
         HashTypeBit(htCRC32) | HashTypeBit(htMD5), 0},
        // one differs
        {MakeList({{htCRC32, "ab"}, {htED2K, "e1"}}), MakeList({{htCRC32, "ab"}, {htED2K, "e2"}}), false,
         HashTypeBit(htCRC32), HashTypeBit(htED2K)},
    };
    for (std::size_t I = 0; I < std::size(Cases); ++I) {
        const auto& C = Cases[I];
        for (bool Swap : {false, true}) {
            const THashList& X = Swap ? C.B : C.A;
            const THashList& Y = Swap ? C.A : C.B;
            THashTypes Matched = 0xFFFF, Mismatched = 0xFFFF;
            EXPECT_EQ(X.Compare(Y, Matched, Mismatched), C.Result) << I << Swap;
            EXPECT_EQ(Matched, C.Matched) << I << Swap;
            EXPECT_EQ(Mismatched, C.Mismatched) << I << Swap;
        }
    }
}

TEST(HashList, EveryTextComesBackExactlyWhateverItIsHeldAs)
{
    const std::string Long(300, 'q');
    const std::string LongHex(600, 'a');
    const std::pair<THashType, std::string> Entries[] = {
        {htCRC32, "0a1b2c3d"},       // lower-case hex
        {htMD2, "0A1B2C3D"},         // upper-case hex
        {htMD4, "0a1B2c3D"},         // mixed case
        {htMD5, "abc"},              // odd length
        {htSHA1, "not a digest"},    // not hex
        {htSHA256, ""},              // empty
        {htSHA512, Long},            // longer than a short length
        {htRIPEMD128, LongHex},
        {htRIPEMD160, "0123456789"}, // digits only
        {htED2K, "ff"},
    };
    // Put in both orders and with one replaced in the middle: each text is
    // found again as it was put.
    for (bool Reverse : {false, true}) {
        THashList List;
        for (std::size_t I = 0; I < std::size(Entries); ++I) {
            const auto& E = Entries[Reverse ? std::size(Entries) - 1 - I : I];
            List.Put(E.first, E.second);
        }
        List.Put(htSHA1, "x");
        List.Put(htSHA1, "not a digest");
        for (const auto& [T, Text] : Entries) {
            EXPECT_TRUE(List.Has(T));
            EXPECT_EQ(List.Get(T), Text) << HashTypeToName(T) << Reverse;
            EXPECT_EQ(List.GetCased(T, true), CaseHash(Text, true)) << HashTypeToName(T);
            EXPECT_EQ(List.GetCased(T, false), CaseHash(Text, false)) << HashTypeToName(T);
        }
        const THashList Copy = List;
        EXPECT_EQ(Copy.Get(htMD4), "0a1B2c3D");
        EXPECT_EQ(Copy.First(), "0a1b2c3d");
    }
}

TEST(HashList, DigestsHeldAsBytesCompareWithTextsInEitherCase)
{
    const auto A = MakeList({{htMD5, "900150983cd24fb0d6963f7d28e17f72"}, {htSHA1, "ab"}, {htCRC32, "0f"}});
    const auto B = MakeList({{htMD5, "900150983CD24FB0D6963F7D28E17F72"}, {htSHA1, "aB"}, {htCRC32, "0f00"}});
    THashTypes Matched = 0, Mismatched = 0;
    EXPECT_FALSE(A.Compare(B, Matched, Mismatched));
    EXPECT_EQ(Matched, HashTypeBit(htMD5) | HashTypeBit(htSHA1));
    EXPECT_EQ(Mismatched, HashTypeBit(htCRC32));
    EXPECT_EQ(A.FindType("900150983CD24fb0d6963f7d28e17f72"), htMD5);
    EXPECT_EQ(B.FindType("AB"), htSHA1);
}
