#include "engine/uStrUtils.h"
#include "platform/uRegionalSettings.h"

#include <gtest/gtest.h>

namespace {

// Fixes the regional separators for one test and restores the user's.
class FixedSeparators : public ::testing::Test {
protected:
    void SetUp() override { Saved = NumberSeparators(); Use(",", "."); }
    void TearDown() override { SetNumberSeparators(Saved); }
    static void Use(const char* Group, const char* Decimal) { SetNumberSeparators({Group, Decimal}); }
    TNumberSeparators Saved;
};

struct SizeCase {
    std::int64_t N;
    const char* Text;
};

using SizeTexts = FixedSeparators;

TEST_F(SizeTexts, EveryUnitBoundary)
{
    const SizeCase Cases[] = {
        {-1, ""},
        {0, "0 B"},
        {999, "999 B"},
        {1000, "0.98 KB"},
        {1023, "1.00 KB"},
        {1152, "1.13 KB"},   // exactly 1.125: half goes up
        {1126, "1.10 KB"},
        {1029, "1.00 KB"},   // 1.0048...
        {999999, "976.56 KB"},
        {1000000, "0.95 MB"},
        {999999999, "953.67 MB"},
        {1000000000, "0.93 GB"},
        {1099511627776LL, "1,024.00 GB"},
        {1099511627776LL * 1000, "1,024,000.00 GB"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FormatSize(C.N), C.Text) << C.N;
}

TEST_F(SizeTexts, SpeedRoundsWholeBytesHalfToEvenAndDividedHalfUp)
{
    const struct {
        double V;
        const char* Text;
    } Cases[] = {
        {0, "0 B/s"},        {999.4, "999 B/s"},    {998.5, "998 B/s"},     {997.5, "998 B/s"},
        {0.5, "0 B/s"},      {1.5, "2 B/s"},        {999.5, "1000 B/s"},    {999.99, "1000 B/s"},
        {1000, "0.98 KB/s"}, {1152, "1.13 KB/s"},   {-0.5, ""},             {999999, "976.56 KB/s"},
        {1000000, "0.95 MB/s"}, {1e9, "0.93 GB/s"}, {1099511627776.0, "1,024.00 GB/s"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FormatSpeed(C.V), C.Text) << C.V;
}

TEST_F(SizeTexts, RegionalSeparatorsMayBeSeveralBytesOrNone)
{
    Use("\xE2\x80\xAF", ",");  // narrow no-break space, decimal comma
    EXPECT_EQ(FormatSize(1099511627776LL), "1\xE2\x80\xAF" "024,00 GB");
    EXPECT_EQ(FormatSpeed(1152), "1,13 KB/s");
    Use("", ".");
    EXPECT_EQ(FormatSize(1099511627776LL * 1000), "1024000.00 GB");
    // The full counts keep "," whatever the region says.
    Use(".", ",");
    EXPECT_EQ(FormatSizeInBytes(1234567), "1,234,567 bytes");
}

TEST_F(SizeTexts, UnitWordsFollowTheTranslation)
{
    ssizekb.SetText("KiB");
    sspeedpersecbytes.SetText("o/s");
    ssizeinbytes.SetText("%s octets");
    EXPECT_EQ(FormatSize(1152), "1.13 KiB");
    EXPECT_EQ(FormatSpeed(12), "12 o/s");
    EXPECT_EQ(FormatSizeInBytes(1000), "1,000 octets");
    ssizekb.Restore();
    sspeedpersecbytes.Restore();
    ssizeinbytes.Restore();
}

TEST(FullCounts, GroupEveryThreeDigitsFromTheRight)
{
    const struct {
        std::int64_t N;
        const char* Text;
    } Cases[] = {{0, "0"},          {100, "100"},          {999, "999"},
                 {1000, "1,000"},   {100000, "100,000"},   {1234567, "1,234,567"},
                 {INT64_MAX, "9,223,372,036,854,775,807"}};
    for (const auto& C : Cases)
        EXPECT_EQ(IntToStrSep(C.N, ","), C.Text);
    EXPECT_EQ(IntToStrSep(1234567, "\xC2\xA0"), "1\xC2\xA0" "234\xC2\xA0" "567");
    EXPECT_EQ(FormatSizeInBytes(1234567), "1,234,567 bytes");
}

TEST(StringQueue, FirstInFirstOut)
{
    TStringQueue Q;
    Q.Push("a");
    Q.Push("");
    Q.Push("c");
    EXPECT_EQ(Q.Count(), 3);
    std::string S = "junk";
    for (const char* Expected : {"a", "", "c"}) {
        ASSERT_TRUE(Q.Pop(S));
        EXPECT_EQ(S, Expected);
    }
    S = "junk";
    EXPECT_FALSE(Q.Pop(S));
    EXPECT_EQ(S, "");
    Q.Push("x");
    Q.Clear();
    EXPECT_EQ(Q.Count(), 0);
}

TEST(SplitText, DropsEmptyPiecesAndTrimsNothing)
{
    std::vector<std::string> L{"kept"};
    SplitText("", ",", L);
    SplitText(",,,", ",", L);
    EXPECT_EQ(L, std::vector<std::string>{"kept"});
    SplitText("MD5,,SHA1, CRC32 ;x", ",;", L);
    EXPECT_EQ(L, (std::vector<std::string>{"kept", "MD5", "SHA1", " CRC32 ", "x"}));
}

TEST(EncodeText, BytesPerEncoding)
{
    std::string Bytes = "junk";
    for (TTextEncoding E : {teUTF8, teUnicode, teANSI}) {
        EXPECT_EQ(EncodeText("", E, Bytes), "");
        EXPECT_EQ(Bytes, "");
    }
    const std::string E9 = "\xC3\xA9";
    EXPECT_EQ(EncodeText(E9, teUTF8, Bytes), E9);
    EXPECT_EQ(Bytes, E9);
    EXPECT_EQ(EncodeText(E9, teANSI, Bytes), E9);
    EXPECT_EQ(Bytes, E9);
    EXPECT_EQ(EncodeText(E9, teUnicode, Bytes), E9);
    EXPECT_EQ(Bytes, std::string("\xE9\x00", 2));
    // U+1F600 as a surrogate pair D83D DE00, low byte first.
    const std::string Smile = "\xF0\x9F\x98\x80";
    EXPECT_EQ(EncodeText("a" + Smile, teUnicode, Bytes), "a" + Smile);
    EXPECT_EQ(Bytes, std::string("a\x00\x3D\xD8\x00\xDE", 6));
    // Ill-formed input decodes as U+FFFD, never as bytes beyond the text.
    EXPECT_EQ(EncodeText("x\xC3", teANSI, Bytes), "x\xEF\xBF\xBD");
    EXPECT_EQ(EncodeText("\xED\xA0\x80", teUnicode, Bytes), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
