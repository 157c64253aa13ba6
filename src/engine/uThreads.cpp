#include "engine/uThreads.h"

#include "engine/uFileStreams.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <vector>

SORVIK_RESOURCESTRING(uthreads, sthreadqueuesnotassigned, "Thread queues are not assigned");

std::unique_ptr<TFileQueue> FileQueue = std::make_unique<TFileQueue>();

void TFileQueue::Push(std::string Path)
{
    std::lock_guard<std::mutex> Guard(Lock);
    Names.Push(std::move(Path));
}

bool TFileQueue::Pop(std::string& Path)
{
    Path.clear();
    std::lock_guard<std::mutex> Guard(Lock);
    return Names.Pop(Path);
}

int TFileQueue::Count() const
{
    std::lock_guard<std::mutex> Guard(Lock);
    return Names.Count();
}

void TFileQueue::Clear()
{
    std::lock_guard<std::mutex> Guard(Lock);
    Names.Clear();
}

void TWorkerPayload::Store(TWorkerEvent Event) const
{
    if (!File)
        return;
    switch (Event) {
    case weFileProperties: File->Properties = Properties; break;
    case weFileFinished: File->Hashes = Hashes; break;
    case weError:
        if (Text)
            File->ErrorText = Text->Text;
        break;
    default: break;
    }
}

void StoreWorkerResult(const TWindowMessage& M)
{
    if (M.Msg != WM_WORKER_NOTIFY)
        return;
    if (const TWorkerPayload* P = WorkerPayload(M))
        P->Store(WorkerEvent(M));
}

namespace {

// Rounds Value (below 2^71 here) to 64 significant bits, to nearest with
// ties to even, given as Mantissa * 2^Shift with 2^63 <= Mantissa < 2^64.
void RoundTo64Bits(std::uint64_t High, std::uint64_t Low, std::uint64_t& Mantissa, int& Shift)
{
    int Bits = 64;
    while (Bits < 128 && (High >> (Bits - 64)) != 0)
        ++Bits;
    Shift = Bits - 64;
    if (Shift == 0) {
        Mantissa = Low;
        return;
    }
    Mantissa = (High << (64 - Shift)) | (Low >> Shift);
    const std::uint64_t Dropped = Low & ((std::uint64_t{1} << Shift) - 1);
    const std::uint64_t Half = std::uint64_t{1} << (Shift - 1);
    if (Dropped > Half || (Dropped == Half && (Mantissa & 1) != 0)) {
        if (++Mantissa == 0) {
            Mantissa = std::uint64_t{1} << 63;
            ++Shift;
        }
    }
}

} // namespace

// The quotient Done / Total rounded to a 64-bit mantissa, times 100 rounded
// the same way, truncated: done with integers, so every platform gives what
// an x87 long double gives, whatever its own long double is.
int ProgressPercent(std::int64_t Done, std::int64_t Total)
{
    if (Total <= 0 || Done >= Total)
        return 100;
    if (Done <= 0)
        return 0;
    const auto D = static_cast<std::uint64_t>(Done);
    const auto T = static_cast<std::uint64_t>(Total);

    // Long division, bit by bit: the quotient's first 64 significant bits,
    // then a rounding bit and whether anything remains. Remainders stay
    // below T < 2^63, so doubling them never overflows.
    std::uint64_t Remainder = D;
    int Exponent = 0;   // the quotient is Mantissa * 2^-(63 + Exponent)
    std::uint64_t Mantissa = 0;
    int Taken = 0;
    while (Taken < 64) {
        Remainder <<= 1;
        const bool Bit = Remainder >= T;
        if (Bit)
            Remainder -= T;
        if (Taken == 0 && !Bit) {
            ++Exponent;
            continue;
        }
        Mantissa = (Mantissa << 1) | (Bit ? 1 : 0);
        ++Taken;
    }
    ++Exponent;   // the first bit taken was worth 2^-Exponent
    Remainder <<= 1;
    const bool RoundBit = Remainder >= T;
    if (RoundBit)
        Remainder -= T;
    if (RoundBit && (Remainder != 0 || (Mantissa & 1) != 0)) {
        if (++Mantissa == 0) {
            Mantissa = std::uint64_t{1} << 63;
            --Exponent;
        }
    }
    // Now Quotient = Mantissa * 2^-(63 + Exponent). Times 100, exactly, in
    // 128 bits made of two halves.
    const std::uint64_t Lo32 = (Mantissa & 0xFFFFFFFFu) * 100;
    const std::uint64_t Hi32 = (Mantissa >> 32) * 100;
    std::uint64_t Low = Lo32 + (Hi32 << 32);
    const std::uint64_t Carry = Low < Lo32 ? 1 : 0;
    std::uint64_t High = (Hi32 >> 32) + Carry;
    std::uint64_t Product = 0;
    int Shift = 0;
    RoundTo64Bits(High, Low, Product, Shift);
    // Percent = Product * 2^(Shift - 63 - Exponent), truncated.
    const int Down = 63 + Exponent - Shift;
    if (Down >= 64)
        return 0;
    if (Down <= 0)
        return 100;
    return static_cast<int>(Product >> Down);
}

namespace {

// Files of more chunks than this are read ahead.
constexpr std::int64_t ReadAheadChunks = 16;

// "[" + class name + "] " + message of the exception being handled; the
// program's own classes name themselves, others get a name of ours.
std::string DescribeCurrentError()
{
    try {
        throw;
    } catch (const Exception& E) {
        return E.Describe();
    } catch (const std::bad_alloc&) {
        return "[EOutOfMemory] Out of memory";
    } catch (const std::exception& E) {
        return std::string("[Exception] ") + E.what();
    } catch (...) {
        return "[Exception] Unknown error";
    }
}

}  // namespace

TSorvikThread::TSorvikThread() = default;

TSorvikThread::~TSorvikThread()
{
    DetachWindow();
    Terminate();
    WaitFor();
}

void TSorvikThread::Start()
{
    FThread.Start(
        [this] {
            Execute();
            {
                std::lock_guard<std::mutex> Guard(FPauseLock);
                FEnded = true;
            }
            FWake.notify_all();
        },
        StackSize);
}

void TSorvikThread::Terminate()
{
    {
        std::lock_guard<std::mutex> Guard(FPauseLock);
        FTerminated.store(true, std::memory_order_relaxed);
    }
    FWake.notify_all();
}

void TSorvikThread::WaitFor()
{
    FThread.Join();
}

bool TSorvikThread::WaitFor(std::chrono::milliseconds Timeout)
{
    if (!FThread.Joinable())
        return true;
    {
        std::unique_lock<std::mutex> Guard(FPauseLock);
        if (!FWake.wait_for(Guard, Timeout, [this] { return FEnded; }))
            return false;
    }
    FThread.Join();
    return true;
}

void TSorvikThread::Pause()
{
    // A terminate request cuts the pause short.
    std::unique_lock<std::mutex> Guard(FPauseLock);
    FWake.wait_for(Guard, std::chrono::milliseconds(PauseMilliseconds), [this] { return Terminated(); });
}

bool TSorvikThread::NotifyObject(TWorkerEvent Event, std::shared_ptr<TWorkerPayload> Payload)
{
    TWindowMessage M;
    M.Msg = WM_WORKER_NOTIFY;
    M.WParam = Event;
    M.Object = std::move(Payload);
    // Not handed over: the payload is freed with M.
    return WindowHandle.Post(M);
}

bool TSorvikThread::Notify(TWorkerEvent Event, std::intptr_t Number)
{
    TWindowMessage M;
    M.Msg = WM_WORKER_NOTIFY;
    M.WParam = Event;
    M.LParam = Number;
    return WindowHandle.Post(M);
}

bool TSorvikThread::NotifyText(TWorkerEvent Event, std::string Text, std::shared_ptr<THashFile> File)
{
    auto Payload = std::make_shared<TWorkerPayload>();
    Payload->Text = std::make_unique<TStringObject>(std::move(Text));
    Payload->File = std::move(File);
    return NotifyObject(Event, std::move(Payload));
}

void TSorvikThread::ReportError() noexcept
{
    try {
        NotifyText(weError, DescribeCurrentError());
    } catch (...) {
        // Nothing is left to report with.
    }
}

void TSorvikThread::Execute()
{
    try {
        Notify(weStarted, 0);
        if (!Queue) {
            NotifyText(weError, sthreadqueuesnotassigned.Text());
            return;
        }
    } catch (...) {
        return;
    }
    while (!Terminated()) {
        Pause();
        std::string Path;
        while (!Terminated()) {
            // An error outside a file's handling is reported, and the worker goes on.
            try {
                if (!Queue->Pop(Path))
                    break;
                SetBusy(true, Path);
                ProcessFile(Path);
            } catch (...) {
                ReportError();
            }
        }
        if (!Terminated()) {
            try {
                SetBusy(false, std::string());
            } catch (...) {
                ReportError();
            }
        }
    }
}

void TSorvikThread::SetBusy(bool NewBusy, const std::string& Path)
{
    if (NewBusy != FBusy.load(std::memory_order_relaxed)) {
        FBusy.store(NewBusy, std::memory_order_relaxed);
        Notify(NewBusy ? weBusy : weIdle, 0);
    }
    // Exchange: a request made while this one is consumed waits for the next check.
    if (FCancelRequested.exchange(false, std::memory_order_relaxed))
        NotifyText(weFileCancelled, CurrentFile);
    CurrentFile = NewBusy ? Path : std::string();
}

void TSorvikThread::ProcessFile(const std::string& Path)
{
    auto Record = std::make_shared<THashFile>(Path);
    // One payload carries the file's three events: each part is written
    // once, before the event that hands it over (properties before 4, digests
    // before 3), and the receiver reads it only after that event, so no part
    // is written while it may be read. The record itself belongs to the
    // receiver's thread alone. When nothing was handed over, Record goes
    // with the payload.
    auto Payload = std::make_shared<TWorkerPayload>();
    Payload->File = Record;
    NotifyObject(weFileStarted, Payload);
    // The worker reads the properties into a record of its own, kept from
    // file to file.
    FWork.FileName = Path;
    FWork.Properties = TFileProperties();
    try {
        FWork.ReadProperties();
        Payload->Properties = FWork.Properties;
        NotifyObject(weFileProperties, Payload);
        HashItem(FWork.FileName);
        if (!Stopping()) {
            Bank.GetHashes(Payload->Hashes);
            NotifyObject(weFileFinished, std::move(Payload));
        }
    } catch (...) {
        NotifyText(weError, DescribeCurrentError(), Record);
    }
}

void TSorvikThread::HashItem(const std::string& FileName)
{
    TFileReader Stream(FileName);
    Notify(weProgress, 0);
    Bank.Init(HashTypes.load(std::memory_order_relaxed) & AllHashTypes());
    if (!Stream.SizeKnown()) {
        HashToEnd(Stream);
        return;
    }
    std::int64_t Remaining = Stream.Size() - Stream.Position();
    const std::int64_t Total = Remaining;
    if (Remaining > 0) {
        const auto Size = static_cast<std::size_t>(
            std::min<std::int64_t>(std::max<std::uint32_t>(BufferSize, 1), Total));
        // Side by side, chunks are read straight into the bank's buffers
        // while its threads hash the ones before. Otherwise large files are
        // read one chunk ahead on a helper thread, so that the copy from the
        // page cache overlaps the hashing; small ones are not worth a thread.
        // A file smaller than the bank's side-by-side minimum is hashed here:
        // handing its one short chunk to the bank's threads and waiting for
        // them costs more than the hashing (folders of small files).
        const bool Here =
            !Bank.SideBySide() || Total < static_cast<std::int64_t>(TSorvikList::SideBySideMinimum);
        // The buffer is kept from file to file (at most one chunk): a folder
        // of small files then allocates nothing per file for it.
        std::unique_ptr<TReadAhead> Ahead;
        if (Here) {
            if (Total > ReadAheadChunks * static_cast<std::int64_t>(Size))
                Ahead = std::make_unique<TReadAhead>(Stream, Size, Total);
            else if (FBuffer.size() < Size)
                FBuffer.resize(Size);
        }
        while (!Stopping() && Remaining > 0) {
            const auto N = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(Size), Remaining));
            if (std::uint8_t* Chunk = Here ? nullptr : Bank.AcquireChunk(N)) {
                Stream.ReadBuffer(Chunk, N);
                Bank.SubmitChunk(N);
            } else {
                const std::uint8_t* Data = FBuffer.data();
                if (Ahead)
                    Data = Ahead->Next();
                else
                    Stream.ReadBuffer(FBuffer.data(), N);
                Bank.Update(Data, N);
            }
            Remaining -= static_cast<std::int64_t>(N);
            FBytesRead.fetch_add(static_cast<std::int64_t>(N), std::memory_order_relaxed);
            Notify(weProgress, ProgressPercent(Total - Remaining, Total));
        }
    }
    if (!Stopping()) {
        Bank.Final();
        Notify(weProgress, 100);
    }
}

void TSorvikThread::HashToEnd(TFileReader& Stream)
{
    // No total to measure progress by: each chunk reports 0 until the end.
    std::vector<std::uint8_t> Buffer(std::max<std::uint32_t>(BufferSize, 1));
    while (!Stopping()) {
        const std::size_t N = Stream.ReadSome(Buffer.data(), Buffer.size());
        if (N == 0)
            break;
        Bank.Update(Buffer.data(), N);
        FBytesRead.fetch_add(static_cast<std::int64_t>(N), std::memory_order_relaxed);
        Notify(weProgress, 0);
    }
    if (!Stopping()) {
        Bank.Final();
        Notify(weProgress, 100);
    }
}
