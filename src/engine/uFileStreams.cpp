#include "engine/uFileStreams.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <random>
#include <sstream>
#include <streambuf>
#include <system_error>
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
#  ifdef __linux__
#    include <linux/magic.h>
#    include <sys/vfs.h>
#  endif
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

SORVIK_RESOURCESTRING(rtlconsts, SFOpenErrorEx, "Unable to open file \"%s\": %s");
SORVIK_RESOURCESTRING(rtlconsts, SFCreateErrorEx, "Unable to create file \"%s\": %s");
SORVIK_RESOURCESTRING(rtlconsts, SReadError, "Stream read error");
SORVIK_RESOURCESTRING(rtlconsts, SWriteError, "Stream write error");

std::string OpenErrorText(const std::string& FileName, const std::string& Reason)
{
    return FormatText(SFOpenErrorEx, {FileName, Reason});
}

std::string CreateErrorText(const std::string& FileName, const std::string& Reason)
{
    return FormatText(SFCreateErrorEx, {FileName, Reason});
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
    FSizeKnown = FSize > 0;
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

std::size_t TFileReader::ReadSome(void* Buffer, std::size_t Count)
{
    DWORD Got = 0;
    const DWORD Want = Count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(Count);
    if (!ReadFile(static_cast<HANDLE>(FHandle), Buffer, Want, &Got, nullptr))
        throw EReadError(SReadError);
    FPosition += Got;
    return Got;
}

#else

namespace {

// File systems whose files are made as they are read: the size their
// directory entries give is 0 or a page, whatever the content.
bool GeneratedContent(int Fd)
{
#ifdef __linux__
    struct statfs Fs {};
    if (::fstatfs(Fd, &Fs) != 0)
        return false;
    switch (static_cast<unsigned long>(Fs.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
#else
    (void)Fd;
    return false;
#endif
}

} // namespace

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
    FSizeKnown = FSize > 0 && !GeneratedContent(Fd);
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

std::size_t TFileReader::ReadSome(void* Buffer, std::size_t Count)
{
    for (;;) {
        const ssize_t Got = ::read(FHandle, Buffer, Count);
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got < 0)
            throw EReadError(SReadError);
        FPosition += Got;
        return static_cast<std::size_t>(Got);
    }
}

#endif
#ifndef _WIN32
namespace {

// An output stream buffer straight onto a file descriptor: each write of the
// stream is one loop of write(2) calls, so nothing waits in a buffer.
class TDescriptorBuffer : public std::streambuf {
public:
    explicit TDescriptorBuffer(int Fd) : FFd(Fd) {}

protected:
    int_type overflow(int_type C) override
    {
        if (traits_type::eq_int_type(C, traits_type::eof()))
            return traits_type::not_eof(C);
        const char Byte = traits_type::to_char_type(C);
        return WriteAll(&Byte, 1) ? C : traits_type::eof();
    }
    std::streamsize xsputn(const char* Data, std::streamsize Count) override
    {
        return WriteAll(Data, static_cast<std::size_t>(Count)) ? Count : 0;
    }

private:
    bool WriteAll(const char* Data, std::size_t Count)
    {
        while (Count > 0) {
            const ssize_t Done = ::write(FFd, Data, Count);
            if (Done < 0 && errno == EINTR)
                continue;
            if (Done <= 0)
                return false;
            Data += Done;
            Count -= static_cast<std::size_t>(Done);
        }
        return true;
    }

    int FFd;
};

class TDescriptor {
public:
    TDescriptor() = default;
    explicit TDescriptor(int Fd) : FFd(Fd) {}
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    ~TDescriptor() { Close(); }
    void Reset(int Fd)
    {
        Close();
        FFd = Fd;
    }
    int Get() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    // The result of close(2): a delayed write error shows here.
    bool Close()
    {
        if (FFd < 0)
            return true;
        const int Result = ::close(FFd);
        FFd = -1;
        return Result == 0;
    }

private:
    int FFd = -1;
};

// The file a chain of symbolic links ends at (which need not exist: writing
// through a dangling link creates the file it names).
std::filesystem::path FollowLinks(std::filesystem::path Path)
{
    namespace fs = std::filesystem;
    for (int Hop = 0; Hop < 40; ++Hop) {
        std::error_code Ec;
        if (!fs::is_symlink(fs::symlink_status(Path, Ec)))
            return Path;
        const fs::path Link = fs::read_symlink(Path, Ec);
        if (Ec)
            throw std::system_error(Ec);
        Path = Link.is_absolute() ? Link : Path.parent_path() / Link;
    }
    throw std::system_error(std::make_error_code(std::errc::too_many_symbolic_link_levels));
}

// A name of fixed length beside the target, so that any legal target name
// leaves room for it.
std::filesystem::path TempNameBeside(const std::filesystem::path& Target)
{
    static std::atomic<unsigned> Serial{0};
    static thread_local std::mt19937 Random{std::random_device{}()};
    char Name[32];
    std::snprintf(Name, sizeof Name, ".sorvik-%08x.tmp",
                  static_cast<unsigned>(Random() ^ (Serial++ * 0x9E3779B9u)));
    return Target.parent_path() / Name;
}

void WriteAllTo(const std::function<void(std::ostream&)>& Write, int Fd)
{
    TDescriptorBuffer Buffer(Fd);
    std::ostream Out(&Buffer);
    Write(Out);
    if (!Out)
        throw EWriteError(SWriteError);
}

// Makes sure Length bytes of Fd can be written without the file system
// running out of room (blocks or quota) before a byte of the old content is
// overwritten; 0 or the system's error, the file's length back as it was.
int ReserveSpace(int Fd, off_t Length, off_t OldLength)
{
    if (Length <= 0)
        return 0;
    int Error;
    do
        Error = ::posix_fallocate(Fd, 0, Length);
    while (Error == EINTR);
    if (Error != 0 && ::ftruncate(Fd, OldLength) != 0)
        Error = errno;
    return Error;
}

bool WriteAllAt(int Fd, const char* Data, std::size_t Count, off_t Offset)
{
    while (Count > 0) {
        const ssize_t Done = ::pwrite(Fd, Data, Count, Offset);
        if (Done < 0 && errno == EINTR)
            continue;
        if (Done <= 0)
            return false;
        Data += Done;
        Count -= static_cast<std::size_t>(Done);
        Offset += Done;
    }
    return true;
}

// Copies the finished temporary file into the target's own descriptor, for
// a folder that lets us write the file but not replace it: the room is
// reserved first, then the old bytes are overwritten, then the rest cut off.
void CopyInto(int From, int To, off_t OldLength, const std::function<EFCreateError(int)>& CreateError)
{
    struct stat St {};
    if (::fstat(From, &St) != 0)
        throw EReadError(SReadError);
    if (const int Error = ReserveSpace(To, St.st_size, OldLength))
        throw CreateError(Error);
    char Chunk[65536];
    for (off_t Offset = 0;;) {
        const ssize_t Got = ::pread(From, Chunk, sizeof Chunk, Offset);
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got < 0)
            throw EReadError(SReadError);
        if (Got == 0)
            break;
        if (!WriteAllAt(To, Chunk, static_cast<std::size_t>(Got), Offset))
            throw EWriteError(SWriteError);
        Offset += Got;
    }
    if (::ftruncate(To, St.st_size) != 0 || ::fsync(To) != 0)
        throw EWriteError(SWriteError);
}

// The whole new text in memory, written over the old file in place: room
// for all of it first, so that a full disk or quota refuses the save before
// anything of the old file is lost.
void OverwriteInPlace(const std::function<void(std::ostream&)>& Write, int Fd, off_t OldLength,
                      const std::function<EFCreateError(int)>& CreateError)
{
    std::ostringstream Text;
    Write(Text);
    if (!Text)
        throw EWriteError(SWriteError);
    const std::string Data = std::move(Text).str();
    const auto Length = static_cast<off_t>(Data.size());
    if (const int Error = ReserveSpace(Fd, Length, OldLength))
        throw CreateError(Error);
    if (!WriteAllAt(Fd, Data.data(), Data.size(), 0) || ::ftruncate(Fd, Length) != 0 || ::fsync(Fd) != 0)
        throw EWriteError(SWriteError);
}

}  // namespace
#endif
void SaveFileReplacing(const std::string& FileName, const std::function<void(std::ostream&)>& Write)
{
    namespace fs = std::filesystem;
    const auto CreateError = [&FileName](int Error) {
        return EFCreateError(CreateErrorText(FileName, std::strerror(Error)));
    };
    const fs::path Named(std::u8string(FileName.begin(), FileName.end()));

#ifdef _WIN32
    std::ofstream Out(Named, std::ios::binary | std::ios::trunc);
    if (!Out)
        throw CreateError(errno);
    Write(Out);
    if (!Out)
        throw EWriteError(SWriteError);
    Out.close();
    if (Out.fail())
        throw EWriteError(SWriteError);
#else
    fs::path Target;
    try {
        Target = FollowLinks(Named);
    } catch (const std::system_error& E) {
        throw CreateError(E.code().value());
    }

    // An existing file must be one we may write: replacing it through a
    // rename would otherwise overwrite what creating it could not. Opening
    // it for writing (without truncating) asks the system exactly that, and
    // the descriptor serves when no temporary file can be made beside it.
    struct stat Old {};
    const bool Exists = ::stat(Target.c_str(), &Old) == 0;
    TDescriptor Existing;
    if (Exists) {
        if (S_ISDIR(Old.st_mode))
            throw CreateError(EISDIR);
        // O_NONBLOCK: a FIFO without a reader fails instead of hanging.
        Existing.Reset(::open(Target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!Existing.Valid())
            throw CreateError(errno);
        if (!S_ISREG(Old.st_mode)) {
            // A device or a FIFO is written to, never replaced by a file.
            ::fcntl(Existing.Get(), F_SETFL, ::fcntl(Existing.Get(), F_GETFL) & ~O_NONBLOCK);
            WriteAllTo(Write, Existing.Get());
            if (!Existing.Close())
                throw EWriteError(SWriteError);
            return;
        }
    }

    fs::path Temp;
    TDescriptor Scratch;
    int TempError = 0;
    for (int Attempt = 0; Attempt < 100 && !Scratch.Valid(); ++Attempt) {
        Temp = TempNameBeside(Target);
        // A new file gets the mode creating it would give; a replacement is
        // private until it carries the old file's owner and mode.
        Scratch.Reset(::open(Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                             Exists ? 0600 : 0666));
        TempError = errno;
        if (!Scratch.Valid() && TempError != EEXIST)
            break;
    }

    if (!Scratch.Valid()) {
        if (!Exists)
            throw CreateError(TempError);
        // The folder takes no new file (no free inode, no permission, a
        // quota), but the file itself may be written.
        OverwriteInPlace(Write, Existing.Get(), Old.st_size, CreateError);
        if (!Existing.Close())
            throw EWriteError(SWriteError);
        return;
    }

    try {
        WriteAllTo(Write, Scratch.Get());
        if (::fsync(Scratch.Get()) != 0)
            throw EWriteError(SWriteError);
        if (Exists) {
            // chown first: it may clear set-user-ID bits that chmod then restores.
            if (::fchown(Scratch.Get(), Old.st_uid, Old.st_gid) != 0)
                (void)!::fchown(Scratch.Get(), static_cast<uid_t>(-1), Old.st_gid);
            if (::fchmod(Scratch.Get(), Old.st_mode & 07777) != 0)
                throw CreateError(errno);
        }
        if (::rename(Temp.c_str(), Target.c_str()) != 0) {
            const int RenameError = errno;
            // A sticky folder lets us write another user's file but not
            // replace it: copy the finished text into it instead.
            if (!Existing.Valid())
                throw CreateError(RenameError);
            CopyInto(Scratch.Get(), Existing.Get(), Old.st_size, CreateError);
            if (!Existing.Close())
                throw EWriteError(SWriteError);
            ::unlink(Temp.c_str());
            return;
        }
    } catch (...) {
        ::unlink(Temp.c_str());
        throw;
    }
    if (!Scratch.Close())
        throw EWriteError(SWriteError);
#endif
}
