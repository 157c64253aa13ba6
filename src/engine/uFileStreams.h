// The file layer: reading a file for hashing and creating a file to write,
// with the errors the user sees by class name.
#pragma once

#include "digest/uException.h"

#include <cstddef>
#include <cstdint>
#include <string>

SORVIK_EXCEPTION_CLASS(EStreamError, Exception);
SORVIK_EXCEPTION_CLASS(EFOpenError, EStreamError);
SORVIK_EXCEPTION_CLASS(EFCreateError, EStreamError);
SORVIK_EXCEPTION_CLASS(EReadError, EStreamError);
SORVIK_EXCEPTION_CLASS(EWriteError, EStreamError);

inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";

// A regular file open for reading, others allowed to read it but (where the
// system has sharing modes) not to write it. Opening never blocks: a FIFO,
// a device, a socket or a folder fails as EFOpenError.
class TFileReader {
public:
    explicit TFileReader(const std::string& FileName);
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;
    ~TFileReader();

    // The size when the file was opened.
    std::int64_t Size() const { return FSize; }
    std::int64_t Position() const { return FPosition; }
    // Reads exactly Count bytes; EReadError "Stream read error" when fewer
    // come (the file shrank) or the read fails.
    void ReadBuffer(void* Buffer, std::size_t Count);

private:
#ifdef _WIN32
    void* FHandle = nullptr;
#else
    int FHandle = -1;
#endif
    std::int64_t FSize = 0;
    std::int64_t FPosition = 0;
};

// "Unable to open file \"<name>\": <reason>"
std::string OpenErrorText(const std::string& FileName, const std::string& Reason);
