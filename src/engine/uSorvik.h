// Hash types, digest texts, the calculators and their bank, and the records
// of hashed files. One unit, its code in a file per section: uSorvik.cpp
// (hash types, digest texts), uSorvikHashList.cpp, uSorvikCalculators.cpp,
// uSorvikBank.cpp, uSorvikHashFileList.cpp.
#pragma once

#include "digest/uDigestBase.h"
#include "digest/uException.h"
#include "digest/uMDDigest.h"
#include "digest/uSHA1Digest.h"
#include "engine/uFileProperties.h"
#include "engine/uWorkLanes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

SORVIK_EXCEPTION_CLASS(ESorvikError, Exception);

inline constexpr const char* SNotSupportedHashType = "Not supported hash type: %s";
inline constexpr const char* SIncorrectDigestSize = "Incorrect digest size for %s";
inline constexpr const char* SFailedToReadFileProperties = "Failed to read file properties";

// ---------------------------------------------------------------------------
// Hash types

// The ordinal is both a table index and the bit number in a THashTypes mask.
enum THashType : std::int32_t {
    htNone = 0,
    htCRC32,
    htMD2,
    htMD4,
    htMD5,
    htSHA1,
    htSHA256,
    htSHA512,
    htRIPEMD128,
    htRIPEMD160,
    htED2K,
};

inline constexpr THashType htFirst = htCRC32;
inline constexpr THashType htLast = htED2K;
inline constexpr int HashTypeCount = htLast + 1;   // with htNone

inline constexpr std::array<std::string_view, HashTypeCount> HashTypeNames = {
    "", "CRC32", "MD2", "MD4", "MD5", "SHA1", "SHA256", "SHA512", "RipeMD128", "RipeMD160", "ED2K",
};

// A set of hash types: bit n for ordinal n. Only bits 0 to 10 mean anything;
// bit 0 marks a name that named no type.
using THashTypes = std::uint32_t;

inline constexpr THashTypes HashTypeBit(THashType T)
{
    return (T >= 0 && T < 32) ? THashTypes(1) << T : 0;
}
inline constexpr bool HasHashType(THashTypes Types, THashType T) { return (Types & HashTypeBit(T)) != 0; }
inline constexpr void IncludeHashType(THashTypes& Types, THashType T) { Types |= HashTypeBit(T); }
inline constexpr void ExcludeHashType(THashTypes& Types, THashType T) { Types &= ~HashTypeBit(T); }

// The empty name for htNone and for any ordinal outside 0 to 10.
std::string HashTypeToName(THashType T);
// Exact, case-sensitive; anything else gives htNone.
THashType NameToHashType(std::string_view Name);
std::string HashTypesToString(THashTypes Types);
THashTypes StringToHashTypes(std::string_view Text);
int CountHashTypes(THashTypes Types);
inline constexpr THashTypes AllHashTypes() { return 0x7FE; }

// ---------------------------------------------------------------------------
// Digest texts

bool SameHash(std::string_view A, std::string_view B);
std::string StripBlanks(std::string_view S);
std::string CaseHash(std::string_view S, bool Upper);
std::string DigestToHex(const void* Digest, std::uint32_t Size);

// ---------------------------------------------------------------------------
// The digests of one file or text

// The digest texts of one list, indexed by THashType. A log of many files
// keeps one of these per file, so a text that is hexadecimal of even length
// in one letter case is held as its bytes (half the size, one allocation for
// all types together) and made into text again when asked for; any other
// text is held as it is. Either way a text comes back exactly as it was put.
class TDigestTexts {
public:
    // The text stored for ordinal Index; empty when none is.
    std::string operator[](std::size_t Index) const;
    bool Stored(THashType T) const { return (FStored & Bit(T)) != 0; }
    void Set(THashType T, std::string_view Text);
    // The same for the text the Size bytes give in hexadecimal, in upper or
    // lower case.
    void SetBytes(THashType T, const std::uint8_t* Bytes, std::size_t Size, bool Upper);
    void Clear();
    // Room for Bytes more of digests and their lengths, taken at once.
    void Reserve(std::size_t Bytes) { FData.reserve(FData.size() + Bytes); }
    // The text of T wholly in upper or lower case (CaseHash of the text).
    std::string Cased(THashType T, bool Upper) const;
    // SameHash of T's text here and OtherT's text in Other.
    bool Same(THashType T, const TDigestTexts& Other, THashType OtherT) const;
    bool Same(THashType T, std::string_view Text) const;

private:
    struct TEntry {
        std::size_t Offset = 0;   // of the payload in FData
        std::size_t Size = 0;     // payload bytes
        bool Raw = false;
        bool Upper = false;
    };
    std::string Cased(THashType T, bool Upper, bool AsStored) const;
    // Room for an entry of Size payload bytes in place of T's; the payload goes to the pointer returned.
    char* Place(THashType T, std::size_t Size);
    static std::uint16_t Bit(THashType T) { return (T >= 0 && T < HashTypeCount) ? std::uint16_t(1u << T) : 0; }
    // The entry of T, which must be stored; Start is where its length begins.
    TEntry Find(THashType T, std::size_t* Start = nullptr, std::size_t* End = nullptr) const;

    std::uint16_t FStored = 0;
    std::uint16_t FRaw = 0;     // held as the text itself
    std::uint16_t FUpper = 0;   // bytes of a text in upper case
    // For each stored type in ordinal order: its payload's length (one byte
    // below 255, else 255 and four bytes) and the payload.
    std::string FData;
};

class THashList {
public:
    bool Has(THashType T) const { return HasHashType(HashTypes, T); }
    void Clear();
    std::string First() const;
    std::string Get(THashType T) const;
    // CaseHash(Get(T), Upper), without the intermediate text.
    std::string GetCased(THashType T, bool Upper) const;
    void Put(THashType T, std::string_view Text);
    // Put of the hexadecimal text of Size bytes in the case given.
    void PutBytes(THashType T, const std::uint8_t* Bytes, std::size_t Size, bool Upper);
    THashType FindType(std::string_view Text) const;
    // True when the two lists share at least one type and every shared type
    // holds the same digest; Matched and Mismatched split the shared types.
    bool Compare(const THashList& Other, THashTypes& Matched, THashTypes& Mismatched) const;

    THashTypes HashTypes = 0;
    TDigestTexts Texts;
};

// ---------------------------------------------------------------------------
// Calculators

// Each calculator on cache lines of its own: the bank's threads work on
// different calculators at once, and two whose fields shared a line would
// pass it between their cores at every write.
class alignas(64) TSorvik {
public:
    TSorvik() = default;
    TSorvik(const TSorvik&) = delete;
    TSorvik& operator=(const TSorvik&) = delete;
    virtual ~TSorvik() = default;

    // Makes the calculator of T; ESorvikError for htNone and ordinals above 10.
    static std::unique_ptr<TSorvik> CreateCalculator(THashType T);

    virtual std::string GetHash() const = 0;
    // The digest GetHash gives as text, as bytes into Out (room for 64) and
    // the letter case of that text; 0 when the calculator has no such form.
    virtual std::size_t GetDigest(std::uint8_t* Out, bool& Upper) const;
    virtual void Init() {}
    virtual void Final() {}

    // Any size: larger inputs reach the algorithm in pieces of at most 2 GiB.
    void Update(const void* Buffer, std::size_t Size);
    void UpdateString(std::string_view S) { Update(S.data(), S.size()); }

    THashType HashType = htNone;

protected:
    static constexpr std::uint32_t MaxPiece = 0x80000000u;   // a multiple of every block size
    virtual void DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size) = 0;
};

class TSorvikCRC32 final : public TSorvik {
public:
    void Init() override;
    std::string GetHash() const override;
    std::size_t GetDigest(std::uint8_t* Out, bool& Upper) const override;

    std::uint32_t CRC = 0;

protected:
    void DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size) override;
};

// MD2, MD4 and MD5 differ only in the version given to MDInit.
class TSorvikMD : public TSorvik {
public:
    void Init() override;
    void Final() override;
    std::string GetHash() const override;
    std::size_t GetDigest(std::uint8_t* Out, bool& Upper) const override;

    TMDContext Context{};
    TMDDigest Digest{};

protected:
    explicit TSorvikMD(TMDVersion Version) : FVersion(Version) {}
    void DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size) override;

private:
    TMDVersion FVersion;
};

class TSorvikMD2 final : public TSorvikMD {
public:
    TSorvikMD2() : TSorvikMD(mvMD2) {}
};

class TSorvikMD4 final : public TSorvikMD {
public:
    TSorvikMD4() : TSorvikMD(mvMD4) {}
};

class TSorvikMD5 final : public TSorvikMD {
public:
    TSorvikMD5() : TSorvikMD(mvMD5) {}
};

inline constexpr std::uint32_t ED2KBlockSize = 9728000;   // 9,500 KiB

// MD4 per block of ED2KBlockSize bytes; more than one block is summed up by
// MD4 over the block digests. An input of an exact multiple of the block size
// gets no extra empty block.
class TSorvikED2K final : public TSorvik {
public:
    TSorvikED2K();
    void Init() override;
    void Final() override;
    std::string GetHash() const override;
    std::size_t GetDigest(std::uint8_t* Out, bool& Upper) const override;

    TMDContext Context{};
    TMDDigest BlockDigest{};
    TMDDigest Digest{};
    std::vector<TMDDigest> BlockDigests;
    std::uint32_t BlockBytes = 0;

protected:
    void DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size) override;
};

class TSorvikSHA1 final : public TSorvik {
public:
    void Init() override;
    void Final() override;
    std::string GetHash() const override;
    std::size_t GetDigest(std::uint8_t* Out, bool& Upper) const override;

    TSHA1Context Context{};
    TSHA1Digest Digest{};

protected:
    void DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size) override;
};

// A calculator over one digest object of the TDigestHash family.
class TSorvikDigestClass : public TSorvik {
public:
    void Init() override;
    // ESorvikError when the digest object's size differs from the width this
    // calculator holds room for; nothing is written then.
    void Final() override;
    std::string GetHash() const override;
    std::size_t GetDigest(std::uint8_t* Out, bool& Upper) const override;

    std::unique_ptr<TDigestHash> Hash;
    std::array<std::uint8_t, 64> Digest{};

protected:
    TSorvikDigestClass(std::unique_ptr<TDigestHash> Digester, std::int32_t Bits, const char* ClassName);
    void DoUpdate(const std::uint8_t* Buffer, std::uint32_t Size) override;

private:
    std::int32_t FBits;
    const char* FClassName;
};

class TSorvikSHA256 final : public TSorvikDigestClass {
public:
    TSorvikSHA256();
};

class TSorvikSHA512 final : public TSorvikDigestClass {
public:
    TSorvikSHA512();
};

class TSorvikRIPEMD128 final : public TSorvikDigestClass {
public:
    TSorvikRIPEMD128();
};

class TSorvikRIPEMD160 final : public TSorvikDigestClass {
public:
    TSorvikRIPEMD160();
};

// ---------------------------------------------------------------------------
// The bank: one calculator of each type, the enabled ones driven together.

class TSorvikList {
public:
    // Threads: how many threads of its own the bank may use to run the
    // enabled calculators side by side; 1 or less keeps everything on the
    // caller's thread. The threads start when first needed and end with
    // the bank.
    explicit TSorvikList(int Threads = 1);
    TSorvikList(const TSorvikList&) = delete;
    TSorvikList& operator=(const TSorvikList&) = delete;
    ~TSorvikList();

    // One thread per processor core this process may run on.
    static int CoreCount();

    // Latches the set (bits 1 to 10 only) and starts its calculators afresh;
    // what an abandoned run still had in hand is dropped.
    void Init(THashTypes Types);
    // The caller may reuse Buffer at once. Side by side, a large buffer is
    // copied for the bank's threads; below SideBySideMinimum bytes, or with
    // a single group, the calculators take it on the caller's thread.
    void Update(const void* Buffer, std::size_t Size);
    void UpdateString(std::string_view S) { Update(S.data(), S.size()); }
    // Side by side, the chunks can be read straight into the bank's own
    // buffers: AcquireChunk gives one of at least Size bytes (nullptr when
    // the latched set runs on the caller's thread), SubmitChunk hands its
    // first Size bytes to the calculators. A calculator's failure comes
    // from the next AcquireChunk, Update or Final.
    std::uint8_t* AcquireChunk(std::size_t Size);
    void SubmitChunk(std::size_t Size);
    // Waits until the bank's threads have taken every chunk, then finalises.
    void Final();
    // Puts each enabled type's digest; other entries of List stay.
    void GetHashes(THashList& List) const;

    // Below this many bytes an Update stays on the caller's thread.
    static constexpr std::size_t SideBySideMinimum = 32768;
    // Chunks that the bank's threads may have in hand at once: enough that
    // the slowest thread still has several in hand when the reader, woken
    // once half of them are free, gets going again (waking a thread can
    // take a few hundred microseconds, longer than one chunk's hashing).
    static constexpr int PipelineDepth = 16;
    // With a calculator as slow as MD2 in the set (slower than 50 MB/s:
    // picoseconds per byte), only so many.
    static constexpr std::int64_t SlowCalculatorPicoseconds = 20000;
    static constexpr int SlowPipelineDepth = 4;

    THashTypes HashTypes = 0;
    std::array<std::unique_ptr<TSorvik>, HashTypeCount> Calculators;

    // The groups of the latched set, one per thread of the bank, each a set
    // of types; a single group also when the work stays on the caller's
    // thread (a bank without threads of its own).
    int GroupCount() const { return FGroupCount; }
    THashTypes Group(int Index) const { return FGroups[static_cast<std::size_t>(Index)]; }
    bool SideBySide() const { return FSideBySide; }
    // Chunks handed to the bank's threads since the bank was made.
    std::int64_t ChunksHandedOver() const;

private:
    static void UpdateGroup(void* Context, int Group, const std::uint8_t* Data, std::size_t Size);
    void PlanGroups();
    // The set and the number of lanes the groups were planned for.
    THashTypes FPlannedTypes = ~THashTypes(0);
    int FPlannedLanes = -1;
    void UpdateHere(const void* Buffer, std::size_t Size);
    // With MD4 in the set, ED2K's first block is MD4 over the same bytes:
    // until the data reaches a whole block (or leaves this thread) ED2K is
    // not fed, and takes MD4's state when it is needed. Halves the MD4 work
    // of small files.
    void CatchUpED2K();
    bool FED2KBehind = false;
    std::uint32_t FED2KBehindBytes = 0;

    // Work on the caller's thread (small pieces, the end of a file) is
    // split with a partner thread that stays awake from piece to piece:
    // FPartnerTypes are its share of the latched set.
    void PlanPartner();
    void RunHere(THashTypes Types, const std::uint8_t* Data, std::size_t Size, bool Final);
    static void PartnerJob(void* Context);
    std::unique_ptr<TSpinPartner> FPartner;
    THashTypes FPartnerTypes = 0;
    THashTypes FPartnerPlanned = ~THashTypes(0);
    // The partner's piece: written before it is started, read by it.
    struct TPartnerPiece {
        THashTypes Types = 0;
        const std::uint8_t* Data = nullptr;
        std::size_t Size = 0;
        bool Final = false;
    } FPartnerPiece;

    std::unique_ptr<TLanePipeline> FLanes;
    std::array<THashTypes, HashTypeCount> FGroups{};
    int FGroupCount = 0;
    bool FSideBySide = false;
};

// ---------------------------------------------------------------------------
// Records of hashed files and the log

// One file's record. Plain data: the worker and the window hand it over by
// events, so only one thread touches it at a time.
class THashFile {
public:
    explicit THashFile(std::string AFileName) : FileName(std::move(AFileName)) {}

    // ESorvikError "Failed to read file properties" when the entry is not found.
    void ReadProperties();

    std::int32_t RowIndex = 0;
    std::string FileName;
    std::string ErrorText;
    THashList Hashes;
    TFileProperties Properties;
};

// The log of hashed files, in the order the worker took them up. Records are
// shared: a record stays alive while anyone else still holds it.
class THashFileList {
public:
    std::int32_t Count() const { return static_cast<std::int32_t>(Items.size()); }
    // The list's own room goes as well: a cleared log of many files keeps nothing.
    void Clear() { std::vector<std::shared_ptr<THashFile>>().swap(Items); }
    void Add(std::shared_ptr<THashFile> Item) { Items.push_back(std::move(Item)); }
    // 0 <= Index < Count().
    const std::shared_ptr<THashFile>& GetItem(std::int32_t Index) const { return Items[static_cast<std::size_t>(Index)]; }
    // The record before Item (by identity); empty for the first or an unknown one.
    std::shared_ptr<THashFile> Previous(const THashFile* Item) const;

    std::vector<std::shared_ptr<THashFile>> Items;
};
