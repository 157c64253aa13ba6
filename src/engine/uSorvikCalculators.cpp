#include "engine/uSorvik.h"

#include "digest/uDigestRIPEMD128.h"
#include "digest/uDigestRIPEMD160.h"
#include "digest/uDigestSHA256.h"
#include "digest/uDigestSHA512.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

// Fills the one "%s" of a fixed message.
std::string FormatMessage1(std::string_view Pattern, std::string_view Arg)
{
    const std::size_t At = Pattern.find("%s");
    std::string Result(Pattern.substr(0, At));
    Result += Arg;
    Result += Pattern.substr(At + 2);
    return Result;
}

}  // namespace

// ---------------------------------------------------------------------------
// Calculators

void TSorvik::Update(const void* Buffer, std::size_t Size)
{
    const auto* Bytes = static_cast<const std::uint8_t*>(Buffer);
    while (Size > 0) {
        const auto Piece = static_cast<std::uint32_t>(std::min<std::size_t>(Size, MaxPiece));
        DoUpdate(Bytes, Piece);
        Bytes += Piece;
        Size -= Piece;
    }
}

void TSorvikCRC32::Init()
{
    CRC = static_cast<std::uint32_t>(crc32(0, Z_NULL, 0));
}

void TSorvikCRC32::DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size)
{
    CRC = static_cast<std::uint32_t>(crc32(CRC, Buffer, static_cast<uInt>(Size)));
}

std::size_t TSorvik::GetDigest(std::uint8_t*, bool&) const { return 0; }

std::size_t TSorvikCRC32::GetDigest(std::uint8_t* Out, bool& Upper) const
{
    Out[0] = std::uint8_t(CRC >> 24);
    Out[1] = std::uint8_t(CRC >> 16);
    Out[2] = std::uint8_t(CRC >> 8);
    Out[3] = std::uint8_t(CRC);
    Upper = true;
    return 4;
}

std::string TSorvikCRC32::GetHash() const
{
    const std::uint8_t Bytes[4] = {std::uint8_t(CRC >> 24), std::uint8_t(CRC >> 16), std::uint8_t(CRC >> 8),
                                   std::uint8_t(CRC)};
    return DigestToHex(Bytes, 4);
}

void TSorvikMD::Init()
{
    MDInit(Context, FVersion);
}

void TSorvikMD::DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size)
{
    MDUpdate(Context, Buffer, Size);
}

void TSorvikMD::Final()
{
    MDFinal(Context, Digest);
}

std::size_t TSorvikMD::GetDigest(std::uint8_t* Out, bool& Upper) const
{
    std::memcpy(Out, Digest.data(), Digest.size());
    Upper = false;
    return Digest.size();
}

std::string TSorvikMD::GetHash() const
{
    return MDPrint(Digest);
}

TSorvikED2K::TSorvikED2K()
{
    // Room for files of up to about 2.5 GB before the list grows.
    BlockDigests.reserve(256);
}

void TSorvikED2K::Init()
{
    MDInit(Context, mvMD4);
    BlockDigests.clear();
    BlockBytes = 0;
}

void TSorvikED2K::DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size)
{
    std::uint32_t Done = 0;
    while (Done < Size) {
        const std::uint32_t Chunk = std::min(Size - Done, ED2KBlockSize - BlockBytes);
        MDUpdate(Context, Buffer + Done, Chunk);
        BlockBytes += Chunk;
        Done += Chunk;
        if (BlockBytes == ED2KBlockSize) {
            MDFinal(Context, BlockDigest);
            BlockDigests.push_back(BlockDigest);
            MDInit(Context, mvMD4);
            BlockBytes = 0;
        }
    }
}

void TSorvikED2K::Final()
{
    // A block closed by Update at an exact multiple of the block size is not
    // followed by an empty one.
    if (BlockBytes > 0 || BlockDigests.empty()) {
        MDFinal(Context, BlockDigest);
        BlockDigests.push_back(BlockDigest);
    }
    if (BlockDigests.size() == 1) {
        Digest = BlockDigests.front();
    } else {
        MDInit(Context, mvMD4);
        MDUpdate(Context, BlockDigests.data(), BlockDigests.size() * sizeof(TMDDigest));
        MDFinal(Context, Digest);
    }
}

std::size_t TSorvikED2K::GetDigest(std::uint8_t* Out, bool& Upper) const
{
    std::memcpy(Out, Digest.data(), Digest.size());
    Upper = false;
    return Digest.size();
}

std::string TSorvikED2K::GetHash() const
{
    return MDPrint(Digest);
}

void TSorvikSHA1::Init()
{
    SHA1Init(Context);
}

void TSorvikSHA1::DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size)
{
    SHA1Update(Context, Buffer, Size);
}

void TSorvikSHA1::Final()
{
    SHA1Final(Context, Digest);
}

std::size_t TSorvikSHA1::GetDigest(std::uint8_t* Out, bool& Upper) const
{
    std::memcpy(Out, Digest.data(), Digest.size());
    Upper = false;
    return Digest.size();
}

std::string TSorvikSHA1::GetHash() const
{
    return SHA1Print(Digest);
}

TSorvikDigestClass::TSorvikDigestClass(std::unique_ptr<TDigestHash> Digester, std::int32_t Bits,
                                       const char* ClassName)
    : Hash(std::move(Digester)), FBits(std::min<std::int32_t>(Bits, 8 * sizeof(Digest))), FClassName(ClassName)
{
}

void TSorvikDigestClass::Init()
{
    Hash->Init();
}

void TSorvikDigestClass::DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size)
{
    Hash->Update(Buffer, Size);
}

void TSorvikDigestClass::Final()
{
    if (Hash->HashSize() != FBits) {
        throw ESorvikError(FormatMessage1(SIncorrectDigestSize, FClassName));
    }
    Hash->Final(Digest.data());
}

std::size_t TSorvikDigestClass::GetDigest(std::uint8_t* Out, bool& Upper) const
{
    const auto Size = static_cast<std::size_t>(FBits / 8);
    std::memcpy(Out, Digest.data(), Size);
    Upper = true;
    return Size;
}

std::string TSorvikDigestClass::GetHash() const
{
    return DigestToHex(Digest.data(), static_cast<std::uint32_t>(FBits / 8));
}

TSorvikSHA256::TSorvikSHA256() : TSorvikDigestClass(std::make_unique<TDigestSHA256>(), 256, "TSorvikSHA256") {}
TSorvikSHA512::TSorvikSHA512() : TSorvikDigestClass(std::make_unique<TDigestSHA512>(), 512, "TSorvikSHA512") {}
TSorvikRIPEMD128::TSorvikRIPEMD128()
    : TSorvikDigestClass(std::make_unique<TDigestRIPEMD128>(), 128, "TSorvikRIPEMD128")
{
}
TSorvikRIPEMD160::TSorvikRIPEMD160()
    : TSorvikDigestClass(std::make_unique<TDigestRIPEMD160>(), 160, "TSorvikRIPEMD160")
{
}

std::unique_ptr<TSorvik> TSorvik::CreateCalculator(THashType T)
{
    std::unique_ptr<TSorvik> Result;
    switch (T) {
    case htCRC32: Result = std::make_unique<TSorvikCRC32>(); break;
    case htMD2: Result = std::make_unique<TSorvikMD2>(); break;
    case htMD4: Result = std::make_unique<TSorvikMD4>(); break;
    case htMD5: Result = std::make_unique<TSorvikMD5>(); break;
    case htSHA1: Result = std::make_unique<TSorvikSHA1>(); break;
    case htSHA256: Result = std::make_unique<TSorvikSHA256>(); break;
    case htSHA512: Result = std::make_unique<TSorvikSHA512>(); break;
    case htRIPEMD128: Result = std::make_unique<TSorvikRIPEMD128>(); break;
    case htRIPEMD160: Result = std::make_unique<TSorvikRIPEMD160>(); break;
    case htED2K: Result = std::make_unique<TSorvikED2K>(); break;
    default: throw ESorvikError(FormatMessage1(SNotSupportedHashType, std::to_string(static_cast<std::int32_t>(T))));
    }
    Result->HashType = T;
    return Result;
}
