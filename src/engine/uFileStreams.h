// The file layer: reading a file for hashing and creating a file to write,
// with the errors the user sees by class name.
#pragma once

#include "digest/uException.h"
#include "platform/uPlatformFiles.h"
#include "platform/uResourceStrings.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <functional>
#include <iosfwd>
#include <string>
#include <thread>
#include <vector>

SORVIK_EXCEPTION_CLASS(EStreamError, Exception);
SORVIK_EXCEPTION_CLASS(EFOpenError, EStreamError);
SORVIK_EXCEPTION_CLASS(EFCreateError, EStreamError);
SORVIK_EXCEPTION_CLASS(EReadError, EStreamError);
SORVIK_EXCEPTION_CLASS(EWriteError, EStreamError);

// The file layer's texts, translatable like every other text; they belong
// to the run-time layer ("rtlconsts"), not to one of the program's units.
extern TResourceString SFOpenErrorEx;   // "Unable to open file \"%s\": %s"
extern TResourceString SFCreateErrorEx; // "Unable to create file \"%s\": %s"
extern TResourceString SReadError;      // "Stream read error"
extern TResourceString SWriteError;     // "Stream write error"

// A regular file open for reading, others allowed to read it but (where the
// system has sharing modes) not to write it. Opening never blocks: a FIFO,
// a device, a socket or a folder fails as EFOpenError.
class TFileReader {
public:
    explicit TFileReader(const std::string& FileName);
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;

    // The size when the file was opened.
    std::int64_t Size() const { return FSize; }
    std::int64_t Position() const { return FPosition; }
    // False when the directory entry's size cannot be the content's: a file
    // of size 0 (the system's generated files, /proc/version say) or one of
    // a file system that makes its files' content as they are read (/proc,
    // /sys: a stated 4096 bytes for a few). Such a file is read to its end.
    bool SizeKnown() const { return FFile.SizeKnown(); }
    // Reads exactly Count bytes; EReadError "Stream read error" when fewer
    // come (the file shrank) or the read fails.
    void ReadBuffer(void* Buffer, std::size_t Count);
    // Reads up to Count bytes; 0 at the end of the file; EReadError when
    // the read fails.
    std::size_t ReadSome(void* Buffer, std::size_t Count);

private:
    TSystemFile FFile;
    std::string FFileName;
    std::int64_t FSize = 0;
    std::int64_t FPosition = 0;
};

// Runs on the reading thread before each read of a TFileReader, with the
// file's name: tests make a read hang there as one on a dead network mount
// does. Set while no file is being read; nullptr for none. Returns the
// previous hook.
using TReadHook = void (*)(const std::string& FileName);
TReadHook SetReadHook(TReadHook Hook);

// Reads a file's chunks on a helper thread, one chunk ahead of the caller,
// so that copying from the page cache overlaps the caller's work on the
// chunk before. Two buffers of ChunkSize bytes, reused throughout.
class TReadAhead {
public:
    TReadAhead(TFileReader& Stream, std::size_t ChunkSize, std::int64_t Total);
    TReadAhead(const TReadAhead&) = delete;
    TReadAhead& operator=(const TReadAhead&) = delete;
    // Stops the helper after the read in progress.
    ~TReadAhead();

    // The next chunk of min(ChunkSize, bytes left) bytes, valid until the
    // next call; the helper's read error (EReadError) is raised here.
    const std::uint8_t* Next();

private:
    void Run();

    TFileReader& FStream;
    const std::size_t FChunkSize;
    const std::int64_t FTotal;
    std::vector<std::uint8_t> FBuffers[2];
    std::mutex FLock;
    std::condition_variable FChanged;
    std::int64_t FProduced = 0;   // chunks read
    std::int64_t FConsumed = 0;   // chunks handed out; those before the last are free
    std::exception_ptr FError;
    bool FStop = false;
    std::thread FThread;
};

// Writes a file through Write so that a failed save never destroys the
// previous one where the folder allows it: a fixed-length temporary name
// beside the target, then a rename. Links are followed to their target, the
// old file's mode and owner are kept, a device or FIFO is written to in
// place, and a writable file in a folder that takes no new file (or no
// temporary file at all: no free inode, a quota), or that will not let it be
// replaced (a sticky folder), is overwritten in place once room for the
// whole new text is reserved, so that a full disk refuses the save before
// the old text is touched. EFCreateError when the target may not be written
// or the room cannot be had, with the system's reason; EWriteError when
// writing fails.
void SaveFileReplacing(const std::string& FileName, const std::function<void(std::ostream&)>& Write);

// "Unable to open file \"<name>\": <reason>" and "Unable to create file ...",
// in the language loaded; the reason stays as the system gives it.
std::string OpenErrorText(const std::string& FileName, const std::string& Reason);
std::string CreateErrorText(const std::string& FileName, const std::string& Reason);
