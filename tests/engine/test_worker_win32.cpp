#include "engine/worker_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <windows.h>

namespace {

namespace fs = std::filesystem;

// Opens Name as another program would; the error, or 0 when it opened.
DWORD OpenAsOther(const std::string& Name, DWORD Access)
{
    HANDLE H = CreateFileW(fs::path(Name).wstring().c_str(), Access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(H);
    return 0;
}

TEST_F(Worker, OthersMayReadButNotWriteAFileWhileItIsRead)
{
    const std::string A = File("shared", 40 * Chunk);
    DWORD WriteError = 0;
    DWORD ReadError = 1;
    // On the worker's thread, with the file open and a chunk read.
    On("5(2)", [&] {
        WriteError = OpenAsOther(A, GENERIC_WRITE);
        ReadError = OpenAsOther(A, GENERIC_READ);
    });
    Queue.Push(A);
    Start();
    const TTokens T = Take("8");
    EXPECT_EQ(T[T.size() - 2], "3");
    EXPECT_EQ(WriteError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(ReadError, 0u);
    EXPECT_EQ(Log.back()->Hashes.Get(htMD5), Md5Of(std::string(40 * Chunk, 'a')));
    // Once hashed, the file is let go.
    EXPECT_EQ(OpenAsOther(A, GENERIC_WRITE), 0u);
}

TEST_F(Worker, RunsOnAThreadWithAFourMiBStack)
{
    ULONG_PTR Low = 0;
    ULONG_PTR High = 0;
    On("2", [&] { GetCurrentThreadStackLimits(&Low, &High); });
    Queue.Push(File("a", 10));
    Start();
    Take("8");
    EXPECT_GE(High - Low, TSorvikThread::StackSize);
    EXPECT_EQ(TSorvikThread::StackSize, 4u * 1024 * 1024);
}

}  // namespace
