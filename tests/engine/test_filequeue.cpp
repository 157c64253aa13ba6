#include "engine/uThreads.h"
#include "engine/uVerificationFile.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

TEST(FileQueue, OrderClearAndDuplicates)
{
    TFileQueue Q;
    std::string P = "junk";
    EXPECT_FALSE(Q.Pop(P));
    EXPECT_EQ(P, "");
    Q.Push("first");
    Q.Clear();
    Q.Push("second");
    Q.Push("second");
    Q.Push("");
    EXPECT_EQ(Q.Count(), 3);
    for (const char* Expected : {"second", "second", ""}) {
        ASSERT_TRUE(Q.Pop(P));
        EXPECT_EQ(P, Expected);
    }
    EXPECT_FALSE(Q.Pop(P));
    ASSERT_NE(FileQueue, nullptr);
}

TEST(FileQueue, ConcurrentPushAndPopLoseNothing)
{
    TFileQueue Q;
    constexpr int N = 20000;
    std::vector<std::string> Seen;
    std::thread Popper([&] {
        std::string P;
        while (static_cast<int>(Seen.size()) < N)
            if (Q.Pop(P))
                Seen.push_back(P);
    });
    for (int I = 0; I < N; ++I)
        Q.Push(std::to_string(I));
    Popper.join();
    for (int I = 0; I < N; ++I)
        ASSERT_EQ(Seen[static_cast<std::size_t>(I)], std::to_string(I));
    EXPECT_EQ(Q.Count(), 0);
}

TEST(VerifyFormat, NamesAreExact)
{
    EXPECT_EQ(NameToVerifyFormat("SFV"), vfSFV);
    EXPECT_EQ(NameToVerifyFormat("SUM"), vfSUM);
    EXPECT_EQ(NameToVerifyFormat("sfv"), vfNone);
    EXPECT_EQ(NameToVerifyFormat(" SUM"), vfNone);
    EXPECT_EQ(NameToVerifyFormat(""), vfNone);
    EXPECT_EQ(VerifyFormatToName(vfNone), "");
    EXPECT_EQ(VerifyFormatToName(vfSFV), "SFV");
    EXPECT_EQ(VerifyFormatToName(vfSUM), "SUM");
    EXPECT_EQ(VerifyFormatCaption(vfSUM), "Sum file (MD5SUM, SHA1SUM, etc)");
    EXPECT_EQ(VerifyFormatCaption(vfNone), "");
}
