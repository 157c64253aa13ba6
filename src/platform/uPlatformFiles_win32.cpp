#include "platform/uPlatformFiles.h"

#include "platform/uUnbufferedOutput.h"

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <system_error>

#ifndef NOMINMAX
#  define NOMINMAX
#endif
#include <windows.h>

const char* const PathDelimiters = "\\/:";
const char* const TextLineBreak = "\r\n";

namespace {

std::wstring Widen(const std::string& Text)
{
    if (Text.empty())
        return {};
    const int N = MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring Result(static_cast<std::size_t>(N), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), Result.data(), N);
    return Result;
}

std::string SystemText(DWORD Code)
{
    wchar_t* Buffer = nullptr;
    const DWORD N = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, Code, 0, reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
    std::string Result;
    if (Buffer && N > 0) {
        const int Bytes = WideCharToMultiByte(CP_UTF8, 0, Buffer, static_cast<int>(N), nullptr, 0, nullptr, nullptr);
        Result.resize(static_cast<std::size_t>(Bytes));
        WideCharToMultiByte(CP_UTF8, 0, Buffer, static_cast<int>(N), Result.data(), Bytes, nullptr, nullptr);
    }
    LocalFree(Buffer);
    while (!Result.empty() && (Result.back() == '\n' || Result.back() == '\r' || Result.back() == ' ' ||
                               Result.back() == '.'))
        Result.pop_back();
    if (Result.empty())
        Result = "System error " + std::to_string(Code);
    return Result;
}

std::string LastErrorText()
{
    return SystemText(GetLastError());
}

std::uint64_t ToFileTime(const FILETIME& T)
{
    return (std::uint64_t(T.dwHighDateTime) << 32) | T.dwLowDateTime;
}

}  // namespace

bool ReadDirectoryEntry(const std::string& FileName, TDirectoryEntry& Entry)
{
    if (FileName.empty())
        return false;
    // The entry as the folder lists it; no handle is opened on the file.
    WIN32_FILE_ATTRIBUTE_DATA Data;
    if (!GetFileAttributesExW(Widen(FileName).c_str(), GetFileExInfoStandard, &Data))
        return false;
    Entry.Size = static_cast<std::int64_t>((std::uint64_t(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow);
    Entry.Attributes = Data.dwFileAttributes;
    Entry.Created = ToFileTime(Data.ftCreationTime);
    Entry.Modified = ToFileTime(Data.ftLastWriteTime);
    return true;
}

TPathKind PathKind(const std::string& Path)
{
    if (Path.empty())
        return TPathKind::pkNothing;
    std::error_code Error;
    const auto Status = std::filesystem::status(std::filesystem::path(Widen(Path)), Error);
    if (std::filesystem::is_directory(Status))
        return TPathKind::pkFolder;
    return std::filesystem::exists(Status) ? TPathKind::pkFile : TPathKind::pkNothing;
}

bool FileTimeToLocalTime(std::uint64_t FileTime, TLocalDateTime& Local, std::string& Reason)
{
    FILETIME Time;
    Time.dwLowDateTime = static_cast<DWORD>(FileTime);
    Time.dwHighDateTime = static_cast<DWORD>(FileTime >> 32);
    SYSTEMTIME Utc;
    SYSTEMTIME Civil;
    // SystemTimeToTzSpecificLocalTime applies the zone's rule at that date,
    // not the offset in force today (FileTimeToLocalFileTime would).
    if (!FileTimeToSystemTime(&Time, &Utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &Utc, &Civil)) {
        Reason = LastErrorText();
        return false;
    }
    const auto Millisecond = static_cast<std::int32_t>((FileTime % 10000000) / 10000);
    Local = {Civil.wYear, Civil.wMonth, Civil.wDay, Civil.wHour, Civil.wMinute, Civil.wSecond, Millisecond};
    return true;
}

bool TSystemFile::OpenForReading(const std::string& FileName, std::string& Reason)
{
    Close();
    // FILE_SHARE_READ only: nobody may write the file while it is hashed.
    HANDLE H = CreateFileW(Widen(FileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (H == INVALID_HANDLE_VALUE) {
        Reason = LastErrorText();
        return false;
    }
    LARGE_INTEGER Size{};
    if (GetFileType(H) != FILE_TYPE_DISK || !GetFileSizeEx(H, &Size)) {
        CloseHandle(H);
        Reason = SNotARegularFile.Text();
        return false;
    }
    FHandle = reinterpret_cast<std::intptr_t>(H);
    FSize = Size.QuadPart;
    FSizeKnown = FSize > 0;
    return true;
}

void TSystemFile::Close()
{
    if (FHandle != InvalidHandle)
        CloseHandle(reinterpret_cast<HANDLE>(FHandle));
    FHandle = InvalidHandle;
    FSize = 0;
    FSizeKnown = true;
}

std::int64_t TSystemFile::Read(void* Buffer, std::size_t Count)
{
    DWORD Got = 0;
    const DWORD Want = Count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(Count);
    if (!ReadFile(reinterpret_cast<HANDLE>(FHandle), Buffer, Want, &Got, nullptr))
        return -1;
    return Got;
}

namespace {

class THandle {
public:
    THandle() = default;
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    ~THandle() { Close(); }
    void Reset(HANDLE H)
    {
        Close();
        FHandle = H;
    }
    HANDLE Get() const { return FHandle; }
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
    bool Close()
    {
        if (!Valid())
            return true;
        const bool Closed = CloseHandle(FHandle) != 0;
        FHandle = INVALID_HANDLE_VALUE;
        return Closed;
    }

private:
    HANDLE FHandle = INVALID_HANDLE_VALUE;
};

// Writes all Count bytes at the handle's position; false, with the system's
// error code in Error, when a write fails.
bool WriteAllToHandle(HANDLE H, const char* Data, std::size_t Count, DWORD& Error)
{
    while (Count > 0) {
        const DWORD Want = Count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(Count);
        DWORD Done = 0;
        if (!WriteFile(H, Data, Want, &Done, nullptr) || Done == 0) {
            Error = GetLastError();
            return false;
        }
        Data += Done;
        Count -= Done;
    }
    return true;
}

// An output stream buffer straight onto a file handle.
class THandleBuffer : public TUnbufferedOutput {
public:
    explicit THandleBuffer(HANDLE H) : FHandle(H) {}
    DWORD Error() const { return FError; }

private:
    bool WriteAll(const char* Data, std::size_t Count) override
    {
        return WriteAllToHandle(FHandle, Data, Count, FError);
    }

    HANDLE FHandle;
    DWORD FError = ERROR_WRITE_FAULT;
};

[[noreturn]] void CreateFailure(DWORD Code)
{
    throw EFileCreateFailure(SystemText(Code));
}

[[noreturn]] void WriteFailure(DWORD Code)
{
    throw EFileWriteFailure(SystemText(Code));
}

void WriteAllTo(const std::function<void(std::ostream&)>& Write, HANDLE H)
{
    THandleBuffer Buffer(H);
    std::ostream Out(&Buffer);
    Write(Out);
    if (!Out)
        WriteFailure(Buffer.Error());
}

bool MoveTo(HANDLE H, LONGLONG Offset)
{
    LARGE_INTEGER At;
    At.QuadPart = Offset;
    return SetFilePointerEx(H, At, nullptr, FILE_BEGIN) != 0;
}

// Writes Data over the file open as H in place: a longer text first grows
// the file, which takes its room, so that a full disk or quota refuses the
// save before a byte of the old text is overwritten; then the old bytes are
// overwritten and the rest cut off.
void PutInPlace(HANDLE H, const std::string& Data)
{
    LARGE_INTEGER Old{};
    if (!GetFileSizeEx(H, &Old))
        CreateFailure(GetLastError());
    const auto Length = static_cast<LONGLONG>(Data.size());
    if (Length > Old.QuadPart && (!MoveTo(H, Length) || !SetEndOfFile(H))) {
        const DWORD Error = GetLastError();
        if (MoveTo(H, Old.QuadPart))
            SetEndOfFile(H);
        CreateFailure(Error);
    }
    DWORD Error = 0;
    if (!MoveTo(H, 0) || !WriteAllToHandle(H, Data.data(), Data.size(), Error) || !MoveTo(H, Length) ||
        !SetEndOfFile(H) || !FlushFileBuffers(H))
        WriteFailure(Error ? Error : GetLastError());
}

// Copies the finished temporary file over the target's contents, for a
// target that may be written but not replaced; false when the target cannot
// be opened for writing. The temporary file is read whole and deleted
// first, so that its room is free for the copy.
bool CopyInto(const std::wstring& From, const std::wstring& To)
{
    THandle Source;
    Source.Reset(CreateFileW(From.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    THandle Target;
    Target.Reset(CreateFileW(To.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Source.Valid() || !Target.Valid())
        return false;
    std::string Data;
    char Chunk[65536];
    for (;;) {
        DWORD Got = 0;
        if (!ReadFile(Source.Get(), Chunk, sizeof Chunk, &Got, nullptr))
            throw EFileReadFailure(LastErrorText());
        if (Got == 0)
            break;
        Data.append(Chunk, Got);
    }
    Source.Close();
    DeleteFileW(From.c_str());
    PutInPlace(Target.Get(), Data);
    if (!Target.Close())
        WriteFailure(GetLastError());
    return true;
}

}  // namespace

void SaveReplacing(const std::string& FileName, const std::function<void(std::ostream&)>& Write)
{
    const std::wstring Target = Widen(FileName);
    // An existing file must be one we may write: a read-only file, or one
    // another program holds open against writers, is refused rather than
    // replaced. The handle serves when no temporary file can be made beside it.
    THandle Existing;
    const DWORD Attributes = GetFileAttributesW(Target.c_str());
    const bool Exists = Attributes != INVALID_FILE_ATTRIBUTES;
    if (Exists) {
        // Asked first, not left to the open: an administrator's open for
        // writing may pass where the attribute says no.
        if (Attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))
            CreateFailure(ERROR_ACCESS_DENIED);
        Existing.Reset(CreateFileW(Target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!Existing.Valid())
            CreateFailure(GetLastError());
        if (GetFileType(Existing.Get()) != FILE_TYPE_DISK) {
            // A device is written to, never replaced by a file.
            WriteAllTo(Write, Existing.Get());
            if (!Existing.Close())
                WriteFailure(GetLastError());
            return;
        }
    }

    std::wstring Temp;
    THandle Scratch;
    DWORD TempError = 0;
    for (int Attempt = 0; Attempt < 100 && !Scratch.Valid(); ++Attempt) {
        Temp = Widen(TemporaryNameBeside(FileName));
        Scratch.Reset(CreateFileW(Temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
        TempError = GetLastError();
        if (!Scratch.Valid() && TempError != ERROR_FILE_EXISTS && TempError != ERROR_ALREADY_EXISTS)
            break;
    }

    if (!Scratch.Valid()) {
        if (!Exists)
            CreateFailure(TempError);
        // The folder takes no new file, but the file itself may be written:
        // the whole new text in memory, written over the old in place.
        std::ostringstream Text;
        Write(Text);
        if (!Text)
            WriteFailure(ERROR_WRITE_FAULT);
        PutInPlace(Existing.Get(), std::move(Text).str());
        if (!Existing.Close())
            WriteFailure(GetLastError());
        return;
    }

    try {
        WriteAllTo(Write, Scratch.Get());
        if (Exists) {
            // The replacement carries the old file's creation time and
            // attributes, as the same file saved again would.
            FILETIME Created;
            if (GetFileTime(Existing.Get(), &Created, nullptr, nullptr))
                SetFileTime(Scratch.Get(), &Created, nullptr, nullptr);
        }
        if (!FlushFileBuffers(Scratch.Get()) || !Scratch.Close())
            WriteFailure(GetLastError());
        // The old file is let go only now: replacing it needs it closed.
        Existing.Close();
        if (Exists)
            SetFileAttributesW(Temp.c_str(), Attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                           FILE_ATTRIBUTE_ARCHIVE |
                                                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
        const bool Replaced =
            MoveFileExW(Temp.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        if (!Replaced) {
            const DWORD ReplaceError = GetLastError();
            // Another program reading the old file keeps it from being
            // replaced, not from being written: copy the finished text in.
            if (!Exists || !CopyInto(Temp, Target))
                CreateFailure(ReplaceError);
            DeleteFileW(Temp.c_str());
        }
    } catch (...) {
        Scratch.Close();
        DeleteFileW(Temp.c_str());
        throw;
    }
}
