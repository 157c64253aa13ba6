#include "engine/uFileStreams.h"
#include "engine/uVerificationFile.h"
#include "engine/TempFolder.h"
#include "engine/verification_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <windows.h>

namespace {

std::wstring Wide(const fs::path& P)
{
    return P.wstring();
}

TEST(VerificationWriter, NamesSplitAtEitherSlashAndTheDriveColon)
{
    TVerificationWriter W = Writer(vfSUM, htMD5, false, false);
    const struct {
        const char* Path;
        const char* Name;
    } Names[] = {{"C:a.txt", "a.txt"}, {"dir\\a.txt", "a.txt"}, {"dir/sub\\b.txt", "b.txt"},
                 {"\\\\server\\share\\c.txt", "c.txt"}, {"dir\\", ""}, {"plain.txt", "plain.txt"}};
    for (const auto& N : Names)
        EXPECT_EQ(W.GetFileName(THashFile(N.Path)), N.Name) << N.Path;
}

size_t Entries(const fs::path& Dir)
{
    return static_cast<size_t>(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()));
}

TEST(VerificationWriterSave, AFailedSaveOnWindowsKeepsTheOldFileWhole)
{
    TTempFolder Folder;
    const fs::path Target = Folder.Path() / "log.sfv";
    const std::string Old = "old contents\r\n";
    Folder.Write("log.sfv", Old);

    // Writing fails half-way: the old file stays as it was, no temporary file is left.
    EXPECT_THROW(SaveFileReplacing(Target.string(),
                                   [](std::ostream& Out) {
                                       Out << "half a new text";
                                       throw EWriteError(SWriteError);
                                   }),
                 EWriteError);
    EXPECT_EQ(ReadAll(Target), Old);
    EXPECT_EQ(Entries(Folder.Path()), 1u);

    // A read-only file is refused, not replaced.
    ASSERT_TRUE(SetFileAttributesW(Wide(Target).c_str(), FILE_ATTRIBUTE_READONLY));
    try {
        SaveFileReplacing(Target.string(), [](std::ostream& Out) { Out << "new"; });
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& E) {
        EXPECT_EQ(std::string(E.what()).rfind("Unable to create file \"" + Target.string() + "\": ", 0), 0u)
            << E.what();
    }
    EXPECT_EQ(ReadAll(Target), Old);
    EXPECT_EQ(Entries(Folder.Path()), 1u);
    ASSERT_TRUE(SetFileAttributesW(Wide(Target).c_str(), FILE_ATTRIBUTE_NORMAL));

    // Held open by a reader that lets nobody write: refused too.
    {
        TFileReader Reader(Target.string());
        EXPECT_THROW(SaveFileReplacing(Target.string(), [](std::ostream& Out) { Out << "new"; }), EFCreateError);
    }
    EXPECT_EQ(ReadAll(Target), Old);

    // Held open by a reader that allows writing: the new text gets in.
    {
        std::ifstream Reader(Target, std::ios::binary);
        SaveFileReplacing(Target.string(), [](std::ostream& Out) { Out << "new while read"; });
    }
    EXPECT_EQ(ReadAll(Target), "new while read");
    EXPECT_EQ(Entries(Folder.Path()), 1u);
}

// The file's identity on its volume: the same while it is written in place.
std::uint64_t FileIndexOf(const fs::path& P)
{
    HANDLE H = CreateFileW(Wide(P).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION Info{};
    const bool Known = H != INVALID_HANDLE_VALUE && GetFileInformationByHandle(H, &Info);
    if (H != INVALID_HANDLE_VALUE)
        CloseHandle(H);
    return Known ? (std::uint64_t(Info.nFileIndexHigh) << 32) | Info.nFileIndexLow : 0;
}

// A reader that lets others write but not delete keeps the old file from
// being replaced: the new text is written into it, whole, whether longer or
// shorter than the old.
TEST(VerificationWriterSave, AFileThatCannotBeReplacedGetsTheWholeNewTextInPlace)
{
    const std::string Old = "old contents\r\n";
    for (const std::size_t Length : {std::size_t(20000), std::size_t(5), std::size_t(0)}) {
        TTempFolder Folder;
        const fs::path Target = Folder.Path() / "log.sfv";
        Folder.Write("log.sfv", Old);
        const std::uint64_t Index = FileIndexOf(Target);
        const std::string New(Length, 'n');
        {
            std::ifstream Reader(Target, std::ios::binary);
            SaveFileReplacing(Target.string(), [&New](std::ostream& Out) { Out << New; });
        }
        EXPECT_TRUE(ReadAll(Target) == New) << Length << ": " << ReadAll(Target).size() << " bytes";
        EXPECT_EQ(FileIndexOf(Target), Index) << Length << ": written in place";
        EXPECT_EQ(Entries(Folder.Path()), 1u) << Length;
    }
}

TEST(VerificationWriterSave, ReplacingOnWindowsKeepsTheHiddenBitAndMakesNewFiles)
{
    TTempFolder Folder;
    const fs::path Target = Folder.Path() / "hidden.sum";
    Folder.Write("hidden.sum", "old");
    ASSERT_TRUE(SetFileAttributesW(Wide(Target).c_str(), FILE_ATTRIBUTE_HIDDEN));
    TVerificationWriter W = Writer(vfSUM, htMD5, false, false);
    W.OnNextItem = Supplier({Record("a", {{htMD5, Md5}})});
    W.SaveToFile(Target.string());
    EXPECT_EQ(ReadAll(Target), SumHeader + Md5 + "  a\r\n");
    EXPECT_NE(GetFileAttributesW(Wide(Target).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    const fs::path Fresh = Folder.Path() / "new.sfv";
    W = Writer(vfSFV, htMD5, false, false);
    W.OnNextItem = Supplier({Record("a", {{htMD5, Md5}})});
    W.SaveToFile(Fresh.string());
    EXPECT_EQ(ReadAll(Fresh), Header + "a " + Md5 + "\r\n");
    EXPECT_EQ(Entries(Folder.Path()), 2u);
    EXPECT_THROW(W.SaveToFile((Folder.Path() / "missing" / "x.sfv").string()), EFCreateError);
}

}  // namespace
