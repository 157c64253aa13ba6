// Failures of the system calls a save makes, injected as a hostile file
// system or folder gives them: a rename the folder refuses (a sticky folder:
// EPERM), a file system without fallocate (EOPNOTSUPP), a folder that takes
// no new file (no free inode: ENOSPC). The calls below are this test
// program's own and come before the C library's; each passes straight on
// until a TInjectedFaults asks it to fail.
//
// Defines the calls: include it in one source file of a test program only.
#pragma once

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <new>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/types.h>

// What fails until a TInjectedFaults goes; 0 lets the call through.
struct TSystemCallFaults {
    int Rename = 0;
    int Fallocate = 0;        // fallocate and posix_fallocate
    int ExclusiveCreate = 0;  // open with O_CREAT | O_EXCL, as for a temporary file
};

namespace systemcallfaults {

// The faults asked for, and how often each was met; shared with child
// processes, so that a save in a child is counted too.
struct TShared {
    std::atomic<int> Asked[3];
    std::atomic<int> Met[3];
};
enum TCall { cRename, cFallocate, cExclusiveCreate };

inline TShared& Shared()
{
    static TShared* const State = [] {
        void* Memory = ::mmap(nullptr, sizeof(TShared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        return Memory == MAP_FAILED ? new TShared{} : new (Memory) TShared{};
    }();
    return *State;
}

// The C library's own function of that name.
template <class TFunction>
TFunction* Next(const char* Name)
{
    return reinterpret_cast<TFunction*>(::dlsym(RTLD_NEXT, Name));
}

// The error Call is to fail with, counted as met; 0 to let it through.
inline int Fails(TCall Call)
{
    const int Error = Shared().Asked[Call].load();
    if (Error != 0)
        ++Shared().Met[Call];
    return Error;
}

// -1 with errno set when Call is to fail, else 0.
inline int Fail(TCall Call)
{
    const int Error = Fails(Call);
    if (Error == 0)
        return 0;
    errno = Error;
    return -1;
}

template <class TOpen>
int OpenThrough(const char* Name, const char* File, int Flags, va_list Rest)
{
    mode_t Mode = 0;
    if ((Flags & O_CREAT) != 0 || (Flags & O_TMPFILE) == O_TMPFILE)
        Mode = static_cast<mode_t>(va_arg(Rest, unsigned));
    if ((Flags & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL) && Fail(cExclusiveCreate) != 0)
        return -1;
    return Next<TOpen>(Name)(File, Flags, Mode);
}

} // namespace systemcallfaults

class TInjectedFaults {
public:
    explicit TInjectedFaults(const TSystemCallFaults& Faults)
    {
        const int Asked[] = {Faults.Rename, Faults.Fallocate, Faults.ExclusiveCreate};
        for (int I = 0; I < 3; ++I) {
            systemcallfaults::Shared().Asked[I] = Asked[I];
            systemcallfaults::Shared().Met[I] = 0;
        }
    }
    ~TInjectedFaults()
    {
        for (auto& Asked : systemcallfaults::Shared().Asked)
            Asked = 0;
    }
    TInjectedFaults(const TInjectedFaults&) = delete;
    TInjectedFaults& operator=(const TInjectedFaults&) = delete;

    // Whether every call asked to fail did so at least once: a fault that
    // was never met proves nothing.
    bool AllMet() const
    {
        for (int I = 0; I < 3; ++I)
            if (systemcallfaults::Shared().Asked[I] != 0 && systemcallfaults::Shared().Met[I] == 0)
                return false;
        return true;
    }
};

extern "C" {

int rename(const char* From, const char* To) noexcept
{
    using namespace systemcallfaults;
    if (Fail(cRename) != 0)
        return -1;
    return Next<int(const char*, const char*)>("rename")(From, To);
}

int fallocate(int Fd, int Mode, off_t Offset, off_t Length)
{
    using namespace systemcallfaults;
    if (Fail(cFallocate) != 0)
        return -1;
    return Next<int(int, int, off_t, off_t)>("fallocate")(Fd, Mode, Offset, Length);
}

int fallocate64(int Fd, int Mode, off64_t Offset, off64_t Length)
{
    using namespace systemcallfaults;
    if (Fail(cFallocate) != 0)
        return -1;
    return Next<int(int, int, off64_t, off64_t)>("fallocate64")(Fd, Mode, Offset, Length);
}

int posix_fallocate(int Fd, off_t Offset, off_t Length)
{
    using namespace systemcallfaults;
    if (const int Error = Fails(cFallocate))
        return Error;
    return Next<int(int, off_t, off_t)>("posix_fallocate")(Fd, Offset, Length);
}

int posix_fallocate64(int Fd, off64_t Offset, off64_t Length)
{
    using namespace systemcallfaults;
    if (const int Error = Fails(cFallocate))
        return Error;
    return Next<int(int, off64_t, off64_t)>("posix_fallocate64")(Fd, Offset, Length);
}

int open(const char* File, int Flags, ...)
{
    va_list Rest;
    va_start(Rest, Flags);
    const int Fd = systemcallfaults::OpenThrough<int(const char*, int, ...)>("open", File, Flags, Rest);
    va_end(Rest);
    return Fd;
}

int open64(const char* File, int Flags, ...)
{
    va_list Rest;
    va_start(Rest, Flags);
    const int Fd = systemcallfaults::OpenThrough<int(const char*, int, ...)>("open64", File, Flags, Rest);
    va_end(Rest);
    return Fd;
}

} // extern "C"
