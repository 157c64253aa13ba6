// The streaming calculators: however the input is split into pieces, every
// hash type gives the digest of the input fed in one piece.
#include "engine/uSorvik.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size < 1)
        return 0;
    // The first byte seeds the piece sizes; the rest is hashed.
    unsigned Seed = Data[0];
    const std::uint8_t* Body = Data + 1;
    const std::size_t Length = Size - 1;

    std::vector<std::size_t> Pieces;
    for (std::size_t Done = 0; Done < Length;) {
        Seed = Seed * 1103515245u + 12345u;
        const std::size_t Piece = std::min<std::size_t>(Length - Done, (Seed >> 16) % 200);
        Pieces.push_back(Piece);
        Done += Piece;
    }

    for (int T = htCRC32; T <= htED2K; ++T) {
        const auto Whole = TSorvik::CreateCalculator(static_cast<THashType>(T));
        Whole->Init();
        Whole->Update(Body, Length);
        Whole->Final();

        const auto Split = TSorvik::CreateCalculator(static_cast<THashType>(T));
        Split->Init();
        std::size_t At = 0;
        for (const std::size_t Piece : Pieces) {
            Split->Update(Body + At, Piece);
            At += Piece;
        }
        Split->Final();
        if (Whole->GetHash() != Split->GetHash())
            std::abort();
    }

    // The bank over every type agrees with the single calculators.
    TSorvikList Bank;
    Bank.Init(AllHashTypes());
    std::size_t At = 0;
    for (const std::size_t Piece : Pieces) {
        Bank.Update(Body + At, Piece);
        At += Piece;
    }
    Bank.Final();
    THashList List;
    Bank.GetHashes(List);
    for (int T = htCRC32; T <= htED2K; ++T) {
        const auto One = TSorvik::CreateCalculator(static_cast<THashType>(T));
        One->Init();
        One->Update(Body, Length);
        One->Final();
        if (List.Get(static_cast<THashType>(T)) != One->GetHash())
            std::abort();
    }
    return 0;
}
