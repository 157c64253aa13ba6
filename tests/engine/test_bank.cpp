#include "engine/uSorvik.h"

#include <gtest/gtest.h>

namespace {

void RunBank(TSorvikList& Bank, THashTypes Types, std::string_view Text, THashList& List)
{
    Bank.Init(Types);
    Bank.UpdateString(Text);
    Bank.Final();
    Bank.GetHashes(List);
}

}  // namespace

TEST(Bank, PutsExactlyTheEnabledTypes)
{
    TSorvikList Bank;
    for (int I = htFirst; I <= htLast; ++I)
        ASSERT_NE(Bank.Calculators[I], nullptr);
    EXPECT_EQ(Bank.Calculators[htNone], nullptr);

    THashList List;
    RunBank(Bank, HashTypeBit(htMD5) | HashTypeBit(htCRC32), "abc", List);
    EXPECT_EQ(List.HashTypes, HashTypeBit(htMD5) | HashTypeBit(htCRC32));
    EXPECT_EQ(List.Get(htCRC32), "352441C2");
    EXPECT_EQ(List.Get(htMD5), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Bank, KeepsOtherEntriesOfTheList)
{
    TSorvikList Bank;
    THashList List;
    List.Put(htMD2, "old");
    List.Put(htMD5, "stale");
    RunBank(Bank, HashTypeBit(htMD5), "abc", List);
    EXPECT_EQ(List.Get(htMD2), "old");
    EXPECT_EQ(List.Get(htMD5), "900150983cd24fb0d6963f7d28e17f72");

    THashList Untouched;
    Untouched.Put(htSHA1, "x");
    RunBank(Bank, 0, "abc", Untouched);
    EXPECT_EQ(Untouched.HashTypes, HashTypeBit(htSHA1));
    EXPECT_EQ(Untouched.Get(htSHA1), "x");
}

TEST(Bank, MasksTheSetToRealTypes)
{
    TSorvikList Bank;
    THashList List;
    RunBank(Bank, 0xFFFFFFFFu, "abc", List);
    EXPECT_EQ(Bank.HashTypes, AllHashTypes());
    EXPECT_EQ(List.HashTypes, AllHashTypes());
    EXPECT_EQ(List.Get(htSHA1), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(List.Get(htED2K), "a448017aaf21d8525fc10ae87aa6729d");
}

TEST(Bank, RunsAreIndependent)
{
    TSorvikList Bank;
    THashList First;
    RunBank(Bank, HashTypeBit(htSHA256) | HashTypeBit(htMD4), "abc", First);

    // An abandoned run: no Final, no GetHashes.
    Bank.Init(AllHashTypes());
    Bank.UpdateString("something else entirely");

    THashList Second;
    RunBank(Bank, HashTypeBit(htMD4) | HashTypeBit(htRIPEMD160), "abc", Second);
    EXPECT_EQ(First.HashTypes, HashTypeBit(htSHA256) | HashTypeBit(htMD4));
    EXPECT_EQ(Second.HashTypes, HashTypeBit(htMD4) | HashTypeBit(htRIPEMD160));
    EXPECT_EQ(First.Get(htMD4), Second.Get(htMD4));
    EXPECT_EQ(First.Get(htSHA256), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
    EXPECT_EQ(Second.Get(htRIPEMD160), "8EB208F7E05D987A9B044A8E98C6B087F15A0BFC");
}

TEST(Bank, EveryEnabledCalculatorSeesTheSameBytes)
{
    TSorvikList Bank;
    const std::string Text(100000, 'q');
    THashList Together;
    Bank.Init(AllHashTypes());
    Bank.Update(Text.data(), 4000);
    Bank.Update(Text.data() + 4000, Text.size() - 4000);
    Bank.Final();
    Bank.GetHashes(Together);
    for (int I = htFirst; I <= htLast; ++I) {
        const auto T = static_cast<THashType>(I);
        THashList Alone;
        RunBank(Bank, HashTypeBit(T), Text, Alone);
        EXPECT_EQ(Together.Get(T), Alone.Get(T)) << HashTypeToName(T);
    }
}
