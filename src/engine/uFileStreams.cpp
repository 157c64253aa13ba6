#include "engine/uFileStreams.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <ostream>

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

namespace {

std::atomic<TReadHook> ReadHook{nullptr};

void BeforeRead(const std::string& FileName)
{
    if (const TReadHook Hook = ReadHook.load(std::memory_order_acquire))
        Hook(FileName);
}

} // namespace

TReadHook SetReadHook(TReadHook Hook)
{
    return ReadHook.exchange(Hook, std::memory_order_acq_rel);
}

TFileReader::TFileReader(const std::string& FileName) : FFileName(FileName)
{
    std::string Reason;
    if (!FFile.OpenForReading(FileName, Reason))
        throw EFOpenError(OpenErrorText(FileName, Reason));
    FSize = FFile.Size();
}

void TFileReader::ReadBuffer(void* Buffer, std::size_t Count)
{
    auto* P = static_cast<char*>(Buffer);
    while (Count > 0) {
        BeforeRead(FFileName);
        const std::int64_t Got = FFile.Read(P, Count);
        if (Got <= 0)
            throw EReadError(SReadError);
        P += Got;
        Count -= static_cast<std::size_t>(Got);
        FPosition += Got;
    }
}

std::size_t TFileReader::ReadSome(void* Buffer, std::size_t Count)
{
    BeforeRead(FFileName);
    const std::int64_t Got = FFile.Read(Buffer, Count);
    if (Got < 0)
        throw EReadError(SReadError);
    FPosition += Got;
    return static_cast<std::size_t>(Got);
}

void SaveFileReplacing(const std::string& FileName, const std::function<void(std::ostream&)>& Write)
{
    try {
        SaveReplacing(FileName, Write);
    } catch (const EFileCreateFailure& E) {
        throw EFCreateError(CreateErrorText(FileName, E.what()));
    } catch (const EFileWriteFailure&) {
        throw EWriteError(SWriteError);
    } catch (const EFileReadFailure&) {
        throw EReadError(SReadError);
    }
}
