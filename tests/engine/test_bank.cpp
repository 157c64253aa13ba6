#include "digest/uDigestCpu.h"
#include "engine/uSorvik.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

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

TEST(Bank, ListsEveryDigestAsItsCalculatorWritesIt)
{
    // The bank hands the digests over as bytes: the list's texts must be the
    // calculators' own, letter case included, whatever else the list holds.
    const std::string Text(1000, 'z');
    for (THashTypes Types : {AllHashTypes(), HashTypeBit(htSHA512) | HashTypeBit(htCRC32)}) {
        TSorvikList Bank(2);
        THashList List;
        List.Put(htMD4, "kept only when MD4 is not run");
        for (int Round = 0; Round < 2; ++Round)
            RunBank(Bank, Types, Text, List);
        for (int I = htFirst; I <= htLast; ++I) {
            const auto T = static_cast<THashType>(I);
            if (!HasHashType(Types, T))
                continue;
            auto C = TSorvik::CreateCalculator(T);
            C->Init();
            C->UpdateString(Text);
            C->Final();
            EXPECT_EQ(List.Get(T), C->GetHash()) << HashTypeToName(T);
        }
        if (!HasHashType(Types, htMD4)) {
            EXPECT_EQ(List.Get(htMD4), "kept only when MD4 is not run");
        }
    }
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

namespace {

std::string Pattern(std::size_t Size)
{
    std::string S(Size, '\0');
    std::uint32_t X = 12345;
    for (auto& C : S) {
        X = X * 1103515245u + 12345u;
        C = static_cast<char>(X >> 24);
    }
    return S;
}

// The data in pieces of the given sizes, cycled until all is fed.
THashList RunInPieces(TSorvikList& Bank, THashTypes Types, const std::string& Data,
                      const std::vector<std::size_t>& Pieces)
{
    THashList List;
    Bank.Init(Types);
    std::size_t Done = 0;
    for (std::size_t I = 0; Done < Data.size(); ++I) {
        const std::size_t N = std::min(Pieces[I % Pieces.size()], Data.size() - Done);
        Bank.Update(Data.data() + Done, N);
        Done += N;
    }
    Bank.Final();
    Bank.GetHashes(List);
    return List;
}

}  // namespace

TEST(Bank, SideBySideGivesTheDigestsOfOneThread)
{
    const std::string Data = Pattern(3 * 262144 + 777);
    const THashTypes Nine = AllHashTypes() & ~HashTypeBit(htMD2);
    const struct {
        THashTypes Types;
        std::vector<std::size_t> Pieces;
    } Cases[] = {
        {AllHashTypes(), {262144}},
        {Nine, {262144}},
        {Nine, {TSorvikList::SideBySideMinimum - 1, TSorvikList::SideBySideMinimum, 100001}},
        {HashTypeBit(htSHA512) | HashTypeBit(htRIPEMD160) | HashTypeBit(htED2K), {65536, 3, 200000}},
        {HashTypeBit(htSHA256), {262144}},
    };
    TSorvikList Serial;
    for (int Threads : {2, 3, 10}) {
        TSorvikList Bank(Threads);
        for (const auto& C : Cases) {
            SCOPED_TRACE(HashTypesToString(C.Types) + " on " + std::to_string(Threads) + " threads");
            const THashList Expected = RunInPieces(Serial, C.Types, Data, {Data.size()});
            const THashList Got = RunInPieces(Bank, C.Types, Data, C.Pieces);
            EXPECT_EQ(Got.HashTypes, C.Types);
            for (int I = htFirst; I <= htLast; ++I)
                EXPECT_EQ(Got.Get(static_cast<THashType>(I)), Expected.Get(static_cast<THashType>(I)))
                    << HashTypeToName(static_cast<THashType>(I));
        }
    }
}

TEST(Bank, ED2KBesideMD4MatchesED2KAlone)
{
    // ED2K's first block is MD4 over the same bytes; whatever the bank
    // shares between the two must not change either digest, on the caller's
    // thread or its own, at and around the block's end.
    const std::string Data = Pattern(2 * ED2KBlockSize + 5);
    const THashTypes Both = HashTypeBit(htMD4) | HashTypeBit(htED2K) | HashTypeBit(htSHA1);
    const std::size_t Sizes[] = {0, 1, 1024, ED2KBlockSize - 1, ED2KBlockSize, ED2KBlockSize + 1, Data.size()};
    const std::vector<std::size_t> Feeds[] = {
        {1 << 30},
        {1000, 262144},
        {ED2KBlockSize - 1, 1, 7},
        {TSorvikList::SideBySideMinimum - 1},
    };
    TSorvikList Serial;
    for (int Threads : {1, 3}) {
        TSorvikList Bank(Threads);
        for (const std::size_t Size : Sizes) {
            const std::string Part = Data.substr(0, Size);
            const THashList ED2K = RunInPieces(Serial, HashTypeBit(htED2K), Part, {Part.size() + 1});
            const THashList MD4 = RunInPieces(Serial, HashTypeBit(htMD4), Part, {Part.size() + 1});
            for (const auto& Pieces : Feeds) {
                SCOPED_TRACE(std::to_string(Size) + " bytes in pieces of " + std::to_string(Pieces[0]) + " on " +
                             std::to_string(Threads) + " threads");
                const THashList Got = RunInPieces(Bank, Both, Part, Pieces);
                EXPECT_EQ(Got.Get(htED2K), ED2K.Get(htED2K));
                EXPECT_EQ(Got.Get(htMD4), MD4.Get(htMD4));
            }
        }
    }
}

TEST(Bank, GroupsSplitTheEnabledSetAcrossAtMostItsThreads)
{
    const THashTypes Nine = AllHashTypes() & ~HashTypeBit(htMD2);
    constexpr int NineAtLeast = SORVIK_DIGEST_X86_64 ? 3 : 2;
    const struct {
        int Threads;
        THashTypes Types;
        int MinGroups, MaxGroups;
    } Cases[] = {
        {1, AllHashTypes(), 1, 1},
        {8, 0, 0, 0},
        {8, HashTypeBit(htMD5), 1, 1},
        // MD2 alone outweighs the other nine together.
        {8, AllHashTypes(), 2, 2},
        // How many depends on the digests' proportions: with x86-64's code
        // three at least; elsewhere (32-bit x86) SHA-512 alone may outweigh
        // the other eight.
        {8, Nine, NineAtLeast, 8},
        {3, Nine, NineAtLeast, 3},
        {16, HashTypeBit(htSHA512) | HashTypeBit(htRIPEMD160), 2, 2},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(HashTypesToString(C.Types) + " on " + std::to_string(C.Threads) + " threads");
        TSorvikList Bank(C.Threads);
        Bank.Init(C.Types);
        EXPECT_GE(Bank.GroupCount(), C.MinGroups);
        EXPECT_LE(Bank.GroupCount(), C.MaxGroups);
        THashTypes Union = 0;
        for (int G = 0; G < Bank.GroupCount(); ++G) {
            EXPECT_NE(Bank.Group(G), 0u);
            EXPECT_EQ(Union & Bank.Group(G), 0u);
            Union |= Bank.Group(G);
        }
        EXPECT_EQ(Union, C.Types);
    }
}

TEST(Bank, AFailureOnAHelperThreadReachesTheCallerAndTheNextRunIsSound)
{
    TSorvikList Bank(4);
    const std::string Data = Pattern(262144);
    const THashTypes Types = HashTypeBit(htMD2) | HashTypeBit(htSHA256) | HashTypeBit(htRIPEMD160);
    Bank.Init(Types);
    ASSERT_GT(Bank.GroupCount(), 1);
    // A digest object that has been wiped refuses more data.
    auto& Sha = static_cast<TSorvikDigestClass&>(*Bank.Calculators[htSHA256]);
    Sha.Hash->Wipe();
    // It surfaces at the latest when the bank finishes.
    EXPECT_ANY_THROW({
        Bank.Update(Data.data(), Data.size());
        Bank.Update(Data.data(), Data.size());
        Bank.Final();
    });

    TSorvikList Serial;
    const THashList Expected = RunInPieces(Serial, Types, Data, {Data.size()});
    const THashList Got = RunInPieces(Bank, Types, Data, {Data.size()});
    EXPECT_EQ(Got.Get(htSHA256), Expected.Get(htSHA256));
    EXPECT_EQ(Got.Get(htMD2), Expected.Get(htMD2));
    EXPECT_EQ(Got.Get(htRIPEMD160), Expected.Get(htRIPEMD160));
}

TEST(Bank, ChunksReadIntoTheBanksBuffersGiveTheSameDigests)
{
    const std::string Data = Pattern(9 * 65536 + 5);
    const THashTypes Types = AllHashTypes() & ~HashTypeBit(htMD2);
    TSorvikList Serial;
    const THashList Expected = RunInPieces(Serial, Types, Data, {Data.size()});

    TSorvikList Bank(4);
    // An abandoned run with chunks in hand first: the next Init drops them.
    Bank.Init(Types);
    ASSERT_TRUE(Bank.SideBySide());
    for (int I = 0; I < 3; ++I) {
        std::uint8_t* Chunk = Bank.AcquireChunk(65536);
        ASSERT_NE(Chunk, nullptr);
        std::memset(Chunk, 'x', 65536);
        Bank.SubmitChunk(65536);
    }

    Bank.Init(Types);
    for (std::size_t Done = 0; Done < Data.size();) {
        const std::size_t N = std::min<std::size_t>(65536, Data.size() - Done);
        std::memcpy(Bank.AcquireChunk(N), Data.data() + Done, N);
        Bank.SubmitChunk(N);
        Done += N;
    }
    Bank.Final();
    THashList Got;
    Bank.GetHashes(Got);
    for (int I = htFirst; I <= htLast; ++I)
        EXPECT_EQ(Got.Get(static_cast<THashType>(I)), Expected.Get(static_cast<THashType>(I)))
            << HashTypeToName(static_cast<THashType>(I));

    // A bank without threads of its own has no buffers of its own either.
    TSorvikList Here;
    Here.Init(Types);
    EXPECT_FALSE(Here.SideBySide());
    EXPECT_EQ(Here.AcquireChunk(100), nullptr);
}

