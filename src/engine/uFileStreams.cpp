#include "engine/uFileStreams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  include <windows.h>
#else
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

TReadAhead::TReadAhead(TFileReader& Stream, std::size_t ChunkSize, std::int64_t Total)
    : FStream(Stream), FChunkSize(ChunkSize), FTotal(Total)
{
    FBuffers[0].resize(ChunkSize);
    FBuffers[1].resize(ChunkSize);
    FThread = std::thread([this] { Run(); });
}

TReadAhead::~TReadAhead()
{
    {
        std::lock_guard<std::mutex> Guard(FLock);
        FStop = true;
    }
    FChanged.notify_all();
    FThread.join();
}

void TReadAhead::Run()
{
    std::int64_t Offset = 0;
    for (std::int64_t K = 0; Offset < FTotal; ++K) {
        {
            // Chunk K goes into the buffer of chunk K - 2, free once K - 1 was handed out.
            std::unique_lock<std::mutex> Guard(FLock);
            FChanged.wait(Guard, [&] { return FStop || K < FConsumed + 1 || K < 2; });
            if (FStop)
                return;
        }
        const auto N = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(FChunkSize), FTotal - Offset));
        try {
            FStream.ReadBuffer(FBuffers[K % 2].data(), N);
        } catch (...) {
            std::lock_guard<std::mutex> Guard(FLock);
            FError = std::current_exception();
            FChanged.notify_all();
            return;
        }
        Offset += static_cast<std::int64_t>(N);
        {
            std::lock_guard<std::mutex> Guard(FLock);
            FProduced = K + 1;
        }
        FChanged.notify_all();
    }
}

const std::uint8_t* TReadAhead::Next()
{
    std::unique_lock<std::mutex> Guard(FLock);
    const std::int64_t K = FConsumed++;
    FChanged.notify_all();  // the chunk before K is free now
    FChanged.wait(Guard, [&] { return FProduced > K || FError; });
    if (FProduced <= K)
        std::rethrow_exception(FError);
    return FBuffers[K % 2].data();
}

std::string OpenErrorText(const std::string& FileName, const std::string& Reason)
{
    return "Unable to open file \"" + FileName + "\": " + Reason;
}

#ifdef _WIN32

namespace {

std::wstring Widen(const std::string& Text)
{
    const int N = MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring Result(static_cast<std::size_t>(N), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), Result.data(), N);
    return Result;
}

std::string SystemText(DWORD Code)
{
    char* Buffer = nullptr;
    const DWORD N = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, Code, 0, reinterpret_cast<char*>(&Buffer), 0, nullptr);
    std::string Result(Buffer ? Buffer : "", N);
    LocalFree(Buffer);
    while (!Result.empty() && (Result.back() == '\n' || Result.back() == '\r' || Result.back() == ' '))
        Result.pop_back();
    return Result;
}

}  // namespace

TFileReader::TFileReader(const std::string& FileName)
{
    HANDLE H = CreateFileW(Widen(FileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        throw EFOpenError(OpenErrorText(FileName, SystemText(GetLastError())));
    LARGE_INTEGER Size{};
    if (GetFileType(H) != FILE_TYPE_DISK || !GetFileSizeEx(H, &Size)) {
        CloseHandle(H);
        throw EFOpenError(OpenErrorText(FileName, "Not a regular file"));
    }
    FHandle = H;
    FSize = Size.QuadPart;
}

TFileReader::~TFileReader()
{
    if (FHandle)
        CloseHandle(static_cast<HANDLE>(FHandle));
}

void TFileReader::ReadBuffer(void* Buffer, std::size_t Count)
{
    auto* P = static_cast<char*>(Buffer);
    while (Count > 0) {
        DWORD Got = 0;
        const DWORD Want = Count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(Count);
        if (!ReadFile(static_cast<HANDLE>(FHandle), P, Want, &Got, nullptr) || Got == 0)
            throw EReadError(SReadError);
        P += Got;
        Count -= Got;
        FPosition += Got;
    }
}

#else

TFileReader::TFileReader(const std::string& FileName)
{
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever.
    const int Fd = ::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (Fd < 0)
        throw EFOpenError(OpenErrorText(FileName, std::strerror(errno)));
    struct stat St{};
    if (::fstat(Fd, &St) != 0) {
        const int Code = errno;
        ::close(Fd);
        throw EFOpenError(OpenErrorText(FileName, std::strerror(Code)));
    }
    if (!S_ISREG(St.st_mode)) {
        ::close(Fd);
        throw EFOpenError(OpenErrorText(FileName, S_ISDIR(St.st_mode) ? std::strerror(EISDIR) : "Not a regular file"));
    }
    const int Flags = ::fcntl(Fd, F_GETFL);
    if (Flags >= 0)
        ::fcntl(Fd, F_SETFL, Flags & ~O_NONBLOCK);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(Fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    FHandle = Fd;
    FSize = static_cast<std::int64_t>(St.st_size);
}

TFileReader::~TFileReader()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

void TFileReader::ReadBuffer(void* Buffer, std::size_t Count)
{
    auto* P = static_cast<char*>(Buffer);
    while (Count > 0) {
        const ssize_t Got = ::read(FHandle, P, Count);
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got <= 0)
            throw EReadError(SReadError);
        P += Got;
        Count -= static_cast<std::size_t>(Got);
        FPosition += Got;
    }
}

#endif
