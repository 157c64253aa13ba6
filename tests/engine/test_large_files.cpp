// A file beyond 4 GiB through the worker: where size_t has 32 bits, no byte
// count, chunk index, block count or digest bit length may narrow.
#include "engine/uStrUtils.h"
#include "engine/worker_support.h"
#include "platform/uRegionalSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string S)
{
    for (char& C : S)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return S;
}

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif

TEST_F(Worker, AFileBeyondFourGiBKeepsItsSizeDigestsAndProgress)
{
    if (Sanitized)
        GTEST_SKIP() << "4 GiB under a sanitizer takes minutes; the small files cover what it looks for";
    // Zeros past 4 GiB, ending inside a chunk and inside an ED2K block.
    constexpr std::int64_t Size = (std::int64_t(4) << 30) + 123457;
    const std::string Big = File("sparse.bin", 0);
    std::error_code Error;
    fs::resize_file(Big, static_cast<std::uintmax_t>(Size), Error);
    if (Error)
        GTEST_SKIP() << "no sparse file here: " << Error.message();

    Queue.Push(Big);
    Start(HashTypeBit(htMD5) | HashTypeBit(htSHA256) | HashTypeBit(htED2K) | HashTypeBit(htCRC32));
    const TTokens T = Take("8");
    fs::remove(Big, Error);

    ASSERT_EQ(Log.size(), 1u);
    const THashFile& File = *Log[0];
    EXPECT_EQ(File.ErrorText, "");
    EXPECT_EQ(File.Properties.Size, Size);
    EXPECT_EQ(FormatSizeInBytes(File.Properties.Size), "4,295,090,753 bytes");
    SetNumberSeparators({",", "."});
    EXPECT_EQ(FormatSize(File.Properties.Size), "4.00 GB");
    EXPECT_EQ(Thread->BytesRead(), Size);
    // The values md5sum, sha256sum and rhash give for the same file.
    EXPECT_EQ(Lower(File.Hashes.Get(htMD5)), "dccacf9a86fd7ffd5d4a886d88fc8bd7");
    EXPECT_EQ(Lower(File.Hashes.Get(htSHA256)), "14ee6033288a0d3e55521bb752a66dcef24290f04c689043b93d3def2f6afe8c");
    EXPECT_EQ(Lower(File.Hashes.Get(htED2K)), "e40c941cf58341b3d7401f239a8a986b");
    EXPECT_EQ(Lower(File.Hashes.Get(htCRC32)), "9ca389bb");

    // One progress report a chunk, rising from 0 to 100 without a step back
    // where the count passes 4 GiB.
    std::vector<int> Percents;
    for (const std::string& Token : T)
        if (Token.rfind("5(", 0) == 0)
            Percents.push_back(std::stoi(Token.substr(2)));
    ASSERT_GE(Percents.size(), static_cast<std::size_t>(Size / static_cast<std::int64_t>(Chunk)));
    EXPECT_EQ(Percents.front(), 0);
    EXPECT_EQ(Percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(Percents.begin(), Percents.end()));
    EXPECT_NE(std::find(Percents.begin(), Percents.end(), 99), Percents.end());
    EXPECT_EQ(T.back(), "8");
}

}  // namespace
