#include "platform/uPlatformFiles.h"

#include "platform/uPathAt_posix.h"
#include "platform/uUnbufferedOutput.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

// Only "/" parts a path here: "a:b" and "a\\b" are names.
const char* const PathDelimiters = "/";
const char* const TextLineBreak = "\n";

namespace {

constexpr std::uint64_t FileTimeTicksPerSecond = 10000000;
// Seconds from 1601-01-01 to 1970-01-01, both UTC.
constexpr std::int64_t FileTimeUnixOffset = 11644473600;

// The Windows attribute bits of a directory entry, for the letters the window
// shows. Linux has no such bits, so they are derived:
//   read-only      the owner may not write (as Samba maps it)
//   hidden         the name begins with a dot ("." and ".." excepted)
//   system         a device, FIFO or socket
//   volume label   never
//   directory      the entry is a folder, or a link to one
//   archive        never (no such notion)
//   reparse point  the entry is a symbolic link
// EntryMode is the entry itself (not followed), TargetMode what it leads to.
std::uint32_t PosixAttributes(const std::string& FileName, mode_t EntryMode, mode_t TargetMode)
{
    std::uint32_t Result = 0;
    if (!S_ISLNK(TargetMode) && (TargetMode & S_IWUSR) == 0)
        Result |= faReadOnly;

    std::string_view Name(FileName);
    while (Name.size() > 1 && Name.back() == '/')
        Name.remove_suffix(1);
    if (const auto Slash = Name.rfind('/'); Slash != std::string_view::npos)
        Name.remove_prefix(Slash + 1);
    if (Name.size() > 1 && Name[0] == '.' && Name != "..")
        Result |= faHidden;

    if (S_ISCHR(TargetMode) || S_ISBLK(TargetMode) || S_ISFIFO(TargetMode) || S_ISSOCK(TargetMode))
        Result |= faSystem;
    if (S_ISDIR(TargetMode))
        Result |= faDirectory;
    if (S_ISLNK(EntryMode))
        Result |= faReparsePoint;
    return Result;
}

// A time before 1601 has no file time.
std::optional<std::uint64_t> UnixTimeToFileTime(std::int64_t Seconds, std::uint32_t Nanoseconds)
{
    if (Seconds < -FileTimeUnixOffset)
        return std::nullopt;
    return std::uint64_t(Seconds + FileTimeUnixOffset) * FileTimeTicksPerSecond + Nanoseconds / 100;
}

// File systems whose files are made as they are read: the size their
// directory entries give is 0 or a page, whatever the content.
bool GeneratedContent(int Fd)
{
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
}

// Files larger than this are read in several pieces.
constexpr off_t SequentialHintFrom = 256 * 1024;

// GeneratedContent for a file of the device Device: the answer of the last
// file of the same device, which is the same file system.
bool GeneratedContentOn(int Fd, dev_t Device)
{
    thread_local bool Known = false;
    thread_local dev_t LastDevice = 0;
    thread_local bool LastGenerated = false;
    if (!Known || Device != LastDevice) {
        LastGenerated = GeneratedContent(Fd);
        LastDevice = Device;
        Known = true;
    }
    return LastGenerated;
}

}  // namespace

bool ReadDirectoryEntry(const std::string& FileName, TDirectoryEntry& Entry)
{
    constexpr unsigned Mask = STATX_BASIC_STATS | STATX_BTIME;
    struct statx Own {};
    const TPathAt At(FileName);
    if (FileName.empty() || !At.Valid() || statx(At.Folder(), At.Name(), AT_SYMLINK_NOFOLLOW, Mask, &Own) != 0)
        return false;
    struct statx Target = Own;
    if (S_ISLNK(Own.stx_mode)) {
        struct statx Followed {};
        if (statx(At.Folder(), At.Name(), 0, Mask, &Followed) == 0)
            Target = Followed;
    }
    // Without a birth time on the file system the status-change time stands in.
    const auto& Birth = (Target.stx_mask & STATX_BTIME) ? Target.stx_btime : Target.stx_ctime;
    Entry.Size = static_cast<std::int64_t>(Target.stx_size);
    Entry.Attributes = PosixAttributes(FileName, Own.stx_mode, Target.stx_mode);
    Entry.Created = UnixTimeToFileTime(Birth.tv_sec, Birth.tv_nsec);
    Entry.Modified = UnixTimeToFileTime(Target.stx_mtime.tv_sec, Target.stx_mtime.tv_nsec);
    return true;
}

TPathKind PathKind(const std::string& Path)
{
    struct stat St {};
    const TPathAt At(Path);
    if (Path.empty() || !At.Valid() || ::fstatat(At.Folder(), At.Name(), &St, 0) != 0)
        return TPathKind::pkNothing;
    return S_ISDIR(St.st_mode) ? TPathKind::pkFolder : TPathKind::pkFile;
}

bool FileTimeToLocalTime(std::uint64_t FileTime, TLocalDateTime& Local, std::string& Reason)
{
    const auto Millisecond = static_cast<std::int32_t>((FileTime % FileTimeTicksPerSecond) / 10000);
    const std::int64_t Seconds = std::int64_t(FileTime / FileTimeTicksPerSecond) - FileTimeUnixOffset;
    const auto Time = static_cast<std::time_t>(Seconds);
    std::tm Tm{};
    if (static_cast<std::int64_t>(Time) != Seconds) {
        Reason = std::strerror(EOVERFLOW);
        return false;
    }
    // localtime_r applies the zone's rule at that date.
    if (!localtime_r(&Time, &Tm)) {
        Reason = std::strerror(errno ? errno : EOVERFLOW);
        return false;
    }
    Local = {Tm.tm_year + 1900, Tm.tm_mon + 1, Tm.tm_mday, Tm.tm_hour, Tm.tm_min, Tm.tm_sec, Millisecond};
    return true;
}

bool TSystemFile::OpenForReading(const std::string& FileName, std::string& Reason)
{
    Close();
    const TPathAt At(FileName);
    if (!At.Valid()) {
        Reason = std::strerror(At.Error());
        return false;
    }
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever.
    const int Fd = ::openat(At.Folder(), At.Name(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (Fd < 0) {
        Reason = std::strerror(errno);
        return false;
    }
    struct stat St{};
    if (::fstat(Fd, &St) != 0) {
        Reason = std::strerror(errno);
        ::close(Fd);
        return false;
    }
    if (!S_ISREG(St.st_mode)) {
        ::close(Fd);
        Reason = S_ISDIR(St.st_mode) ? std::strerror(EISDIR) : SNotARegularFile.Text();
        return false;
    }
    // O_NONBLOCK is the only status flag it was opened with that F_SETFL
    // changes: clearing them all spares asking for them (one call per file).
    ::fcntl(Fd, F_SETFL, 0);
    // A file read in one piece gains nothing from the hint: one call fewer
    // per file in a folder of many small ones.
    if (St.st_size > SequentialHintFrom)
        ::posix_fadvise(Fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    FHandle = Fd;
    FSize = static_cast<std::int64_t>(St.st_size);
    FSizeKnown = FSize > 0 && !GeneratedContentOn(Fd, St.st_dev);
    return true;
}

void TSystemFile::Close()
{
    if (FHandle != InvalidHandle)
        ::close(static_cast<int>(FHandle));
    FHandle = InvalidHandle;
    FSize = 0;
    FSizeKnown = true;
}

std::int64_t TSystemFile::Read(void* Buffer, std::size_t Count)
{
    for (;;) {
        const ssize_t Got = ::read(static_cast<int>(FHandle), Buffer, Count);
        if (Got < 0 && errno == EINTR)
            continue;
        return Got < 0 ? -1 : static_cast<std::int64_t>(Got);
    }
}

namespace {

// Calls Once(Data, Left) until all Count bytes are written, again after an
// interrupted call; false when a call fails or writes nothing.
template <class TWriteOnce>
bool WriteLoop(const char* Data, std::size_t Count, TWriteOnce Once)
{
    while (Count > 0) {
        const ssize_t Done = Once(Data, Count);
        if (Done < 0 && errno == EINTR)
            continue;
        if (Done <= 0)
            return false;
        Data += Done;
        Count -= static_cast<std::size_t>(Done);
    }
    return true;
}

// An output stream buffer straight onto a file descriptor: each write of the
// stream is one loop of write(2) calls, so nothing waits in a buffer.
class TDescriptorBuffer : public TUnbufferedOutput {
public:
    explicit TDescriptorBuffer(int Fd) : FFd(Fd) {}

private:
    bool WriteAll(const char* Data, std::size_t Count) override
    {
        return WriteLoop(Data, Count, [this](const char* Part, std::size_t Left) {
            return ::write(FFd, Part, Left);
        });
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

[[noreturn]] void CreateFailure(int Error)
{
    throw EFileCreateFailure(std::strerror(Error));
}

[[noreturn]] void WriteFailure()
{
    throw EFileWriteFailure(std::strerror(errno ? errno : EIO));
}

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

void WriteAllTo(const std::function<void(std::ostream&)>& Write, int Fd)
{
    TDescriptorBuffer Buffer(Fd);
    std::ostream Out(&Buffer);
    errno = 0;
    Write(Out);
    if (!Out)
        WriteFailure();
}

bool WriteAllAt(int Fd, const char* Data, std::size_t Count, off_t Offset)
{
    return WriteLoop(Data, Count, [Fd, &Offset](const char* Part, std::size_t Left) {
        const ssize_t Done = ::pwrite(Fd, Part, Left, Offset);
        if (Done > 0)
            Offset += Done;
        return Done;
    });
}

// Takes the room for Fd's first Length bytes by writing zeros where the old
// content has none: into its holes, which read as zeros all the same, and
// past its end. 0 or the system's error.
int FillWithZeros(int Fd, off_t Length, off_t OldLength)
{
    static const char Zeros[65536] = {};
    for (off_t At = 0; At < Length;) {
        // The next hole of the old content; past its end, everything is one.
        off_t From = At < OldLength ? ::lseek(Fd, At, SEEK_HOLE) : At;
        if (From < 0)
            From = OldLength;   // holes unknown: the old content counts as written
        if (From >= Length)
            break;
        off_t To = From < OldLength ? ::lseek(Fd, From, SEEK_DATA) : -1;
        if (To <= From || To > Length)
            To = Length;        // the hole runs to the end
        for (At = From; At < To;) {
            const auto Count = static_cast<std::size_t>(std::min<off_t>(To - At, sizeof Zeros));
            errno = 0;
            if (!WriteAllAt(Fd, Zeros, Count, At))
                return errno ? errno : EIO;
            At += static_cast<off_t>(Count);
        }
    }
    return 0;
}

// Makes sure Fd's first Length bytes can be written without the file system
// running out of room (blocks or quota) before a byte of the old content is
// overwritten; 0 or the system's error, the file's length back as it was.
int ReserveSpace(int Fd, off_t Length, off_t OldLength)
{
    if (Length <= 0)
        return 0;
    int Error;
    do
        Error = ::fallocate(Fd, 0, 0, Length) == 0 ? 0 : errno;
    while (Error == EINTR);
    // A file system without it (ext2, NFSv3) answers by the writes instead;
    // posix_fallocate would probe by reading, which our descriptor may not.
    if (Error == EOPNOTSUPP || Error == ENOSYS)
        Error = FillWithZeros(Fd, Length, OldLength);
    if (Error != 0)
        (void)!::ftruncate(Fd, OldLength);
    return Error;
}

// Writes Data over the old file in place: room for all of it first, so that
// a full disk or quota refuses the save before anything of the old file is
// lost, then the old bytes overwritten, then the rest cut off.
void PutInPlace(int Fd, const std::string& Data, off_t OldLength)
{
    const auto Length = static_cast<off_t>(Data.size());
    if (const int Error = ReserveSpace(Fd, Length, OldLength))
        CreateFailure(Error);
    errno = 0;
    if (!WriteAllAt(Fd, Data.data(), Data.size(), 0) || ::ftruncate(Fd, Length) != 0 || ::fsync(Fd) != 0)
        WriteFailure();
}

// The whole text of a file open for reading.
std::string ReadBack(int Fd)
{
    struct stat St {};
    if (::fstat(Fd, &St) != 0)
        throw EFileReadFailure(std::strerror(errno));
    std::string Data(static_cast<std::size_t>(St.st_size), '\0');
    for (std::size_t Done = 0; Done < Data.size();) {
        const ssize_t Got = ::pread(Fd, Data.data() + Done, Data.size() - Done, static_cast<off_t>(Done));
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got <= 0)
            throw EFileReadFailure(std::strerror(Got < 0 ? errno : EIO));
        Done += static_cast<std::size_t>(Got);
    }
    return Data;
}

// The whole new text in memory, written over the old file in place.
void OverwriteInPlace(const std::function<void(std::ostream&)>& Write, int Fd, off_t OldLength)
{
    std::ostringstream Text;
    Write(Text);
    if (!Text)
        WriteFailure();
    PutInPlace(Fd, std::move(Text).str(), OldLength);
}

}  // namespace

void SaveReplacing(const std::string& FileName, const std::function<void(std::ostream&)>& Write)
{
    namespace fs = std::filesystem;
    fs::path Target;
    try {
        Target = FollowLinks(fs::path(FileName));
    } catch (const std::system_error& E) {
        CreateFailure(E.code().value());
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
            CreateFailure(EISDIR);
        // O_NONBLOCK: a FIFO without a reader fails instead of hanging.
        Existing.Reset(::open(Target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!Existing.Valid())
            CreateFailure(errno);
        if (!S_ISREG(Old.st_mode)) {
            // A device or a FIFO is written to, never replaced by a file.
            ::fcntl(Existing.Get(), F_SETFL, ::fcntl(Existing.Get(), F_GETFL) & ~O_NONBLOCK);
            WriteAllTo(Write, Existing.Get());
            if (!Existing.Close())
                WriteFailure();
            return;
        }
    }

    std::string Temp;
    TDescriptor Scratch;
    int TempError = 0;
    for (int Attempt = 0; Attempt < 100 && !Scratch.Valid(); ++Attempt) {
        Temp = TemporaryNameBeside(Target.string());
        // A new file gets the mode creating it would give; a replacement is
        // private until it carries the old file's owner and mode. Read-write:
        // where it may not replace the old file, its text is read back.
        Scratch.Reset(::open(Temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, Exists ? 0600 : 0666));
        TempError = errno;
        if (!Scratch.Valid() && TempError != EEXIST)
            break;
    }

    if (!Scratch.Valid()) {
        if (!Exists)
            CreateFailure(TempError);
        // The folder takes no new file (no free inode, no permission, a
        // quota), but the file itself may be written.
        OverwriteInPlace(Write, Existing.Get(), Old.st_size);
        if (!Existing.Close())
            WriteFailure();
        return;
    }

    try {
        WriteAllTo(Write, Scratch.Get());
        if (::fsync(Scratch.Get()) != 0)
            WriteFailure();
        if (Exists) {
            // chown first: it may clear set-user-ID bits that chmod then restores.
            if (::fchown(Scratch.Get(), Old.st_uid, Old.st_gid) != 0)
                (void)!::fchown(Scratch.Get(), static_cast<uid_t>(-1), Old.st_gid);
            if (::fchmod(Scratch.Get(), Old.st_mode & 07777) != 0)
                CreateFailure(errno);
        }
        if (::rename(Temp.c_str(), Target.c_str()) != 0) {
            const int RenameError = errno;
            // A sticky folder lets us write another user's file but not
            // replace it (a file mounted in place neither): the finished
            // text goes into it instead, read back first, so that the room
            // of the temporary file is free for it.
            if (!Existing.Valid())
                CreateFailure(RenameError);
            const std::string Data = ReadBack(Scratch.Get());
            Scratch.Close();
            ::unlink(Temp.c_str());
            Temp.clear();
            PutInPlace(Existing.Get(), Data, Old.st_size);
            if (!Existing.Close())
                WriteFailure();
            return;
        }
    } catch (...) {
        if (!Temp.empty())
            ::unlink(Temp.c_str());
        throw;
    }
    if (!Scratch.Close())
        WriteFailure();
}
