#include "engine/uSorvik.h"

#include <gtest/gtest.h>

TEST(HashTypes, NamesRoundTripByOrdinal)
{
    const char* Expected[] = {"", "CRC32", "MD2", "MD4", "MD5", "SHA1", "SHA256", "SHA512", "RipeMD128", "RipeMD160", "ED2K"};
    for (int I = 0; I <= 10; ++I) {
        const auto T = static_cast<THashType>(I);
        EXPECT_EQ(HashTypeToName(T), Expected[I]);
        EXPECT_EQ(NameToHashType(Expected[I]), T);
    }
    EXPECT_EQ(HashTypeToName(static_cast<THashType>(11)), "");
    EXPECT_EQ(HashTypeToName(static_cast<THashType>(-1)), "");
    EXPECT_EQ(htED2K, 10);
}

TEST(HashTypes, NameLookupIsExact)
{
    for (const char* Name : {"sha1", "SHA-1", "SHA1 ", " SHA1", "RIPEMD128", "ripemd160", "Md5", "CRC"})
        EXPECT_EQ(NameToHashType(Name), htNone) << Name;
}

TEST(HashTypes, SetToTextAndBack)
{
    struct Case {
        const char* Text;
        THashTypes Set;
        const char* Back;
    };
    const Case Cases[] = {
        {"", 0, ""},
        {",,,", 0, ""},
        {"MD5,,SHA1", HashTypeBit(htMD5) | HashTypeBit(htSHA1), "MD5,SHA1"},
        {"MD5, SHA1", HashTypeBit(htMD5) | HashTypeBit(htNone), "MD5"},
        {"ED2K,CRC32,ED2K", HashTypeBit(htCRC32) | HashTypeBit(htED2K), "CRC32,ED2K"},
        {",SHA512,", HashTypeBit(htSHA512), "SHA512"},
        {"nothing", HashTypeBit(htNone), ""},
        {"RipeMD160,RipeMD128,md4", HashTypeBit(htRIPEMD128) | HashTypeBit(htRIPEMD160) | 1u, "RipeMD128,RipeMD160"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(StringToHashTypes(C.Text), C.Set) << C.Text;
        EXPECT_EQ(HashTypesToString(StringToHashTypes(C.Text)), C.Back) << C.Text;
    }
}

TEST(HashTypes, AllTypesAndCounting)
{
    EXPECT_EQ(AllHashTypes(), 2046u);
    EXPECT_EQ(HashTypesToString(AllHashTypes()), "CRC32,MD2,MD4,MD5,SHA1,SHA256,SHA512,RipeMD128,RipeMD160,ED2K");
    EXPECT_EQ(StringToHashTypes(HashTypesToString(AllHashTypes())), AllHashTypes());
    EXPECT_EQ(CountHashTypes(AllHashTypes()), 10);
    EXPECT_EQ(CountHashTypes(HashTypeBit(htNone) | HashTypeBit(htMD5)), 1);
    // Bits above 10 are neither counted nor written.
    EXPECT_EQ(CountHashTypes(0xFFFFFFFFu), 10);
    EXPECT_EQ(HashTypesToString(0xFFFFF801u), "");
    EXPECT_EQ(CountHashTypes(0), 0);
}

TEST(HashTypes, BitHelpers)
{
    THashTypes Set = 0;
    IncludeHashType(Set, htSHA256);
    IncludeHashType(Set, htSHA256);
    IncludeHashType(Set, htCRC32);
    EXPECT_EQ(Set, 0x42u);
    EXPECT_TRUE(HasHashType(Set, htSHA256));
    ExcludeHashType(Set, htSHA256);
    EXPECT_FALSE(HasHashType(Set, htSHA256));
    EXPECT_TRUE(HasHashType(Set, htCRC32));
    EXPECT_EQ(HashTypeBit(static_cast<THashType>(40)), 0u);
}

TEST(DigestText, SameHashFoldsOnlyAsciiLetters)
{
    EXPECT_TRUE(SameHash("d41d8cd98f00b204e9800998ecf8427e", "D41D8CD98F00B204E9800998ECF8427E"));
    EXPECT_FALSE(SameHash("abc", "abc "));
    EXPECT_TRUE(SameHash("", ""));
    EXPECT_FALSE(SameHash("\xC3\xA4", "\xC3\x84"));   // a-umlaut is not folded
    EXPECT_FALSE(SameHash("[", "{"));                 // 0x5B vs 0x7B: not letters
}

TEST(DigestText, StripBlanksDropsControlBytesAnywhere)
{
    EXPECT_EQ(StripBlanks(" \tD41D 8CD9\r\n8F00\x01 "), "D41D8CD98F00");
    EXPECT_EQ(StripBlanks(std::string("a\0b", 3)), "ab");
    EXPECT_EQ(StripBlanks("\x7F\xC3\xA4!"), "\x7F\xC3\xA4!");
    EXPECT_EQ(StripBlanks(""), "");
}

TEST(DigestText, CaseHashAndHex)
{
    EXPECT_EQ(CaseHash("aBc019\xC3\xA4", true), "ABC019\xC3\xA4");
    EXPECT_EQ(CaseHash("aBc019\xC3\x84", false), "abc019\xC3\x84");
    EXPECT_EQ(CaseHash("", true), "");
    const std::uint8_t Bytes[] = {0x00, 0x0F, 0xA5};
    EXPECT_EQ(DigestToHex(Bytes, 3), "000FA5");
    EXPECT_EQ(DigestToHex(Bytes, 0), "");
}
