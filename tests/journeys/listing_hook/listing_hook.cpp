// Loaded into the program by LD_PRELOAD: the listings of the folders under
// SORVIK_LISTING_UNDER are slowed down by SORVIK_LISTING_DELAY_US
// microseconds an entry, as on a slow disk or network mount, or, with
// SORVIK_LISTING_HOLD=1, never return, as on a dead one. The first such
// listing makes the file SORVIK_LISTING_MARK, so that the journey knows
// the search is there.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* Setting(const char* Name)
{
    const char* Value = std::getenv(Name);
    return Value && *Value ? Value : nullptr;
}

// Whether the listing is under the folder named, by its descriptor's path.
bool Affected(DIR* Dir)
{
    const char* Under = Setting("SORVIK_LISTING_UNDER");
    if (!Under || !Dir)
        return false;
    char Path[4096];
    const std::string Link = "/proc/self/fd/" + std::to_string(::dirfd(Dir));
    const ssize_t Length = ::readlink(Link.c_str(), Path, sizeof Path - 1);
    if (Length < 0)
        return false;
    Path[Length] = '\0';
    const std::size_t N = std::strlen(Under);
    return std::strncmp(Path, Under, N) == 0 && (Path[N] == '\0' || Path[N] == '/');
}

void BeforeEntry(DIR* Dir)
{
    if (!Affected(Dir))
        return;
    static bool Marked = false;
    if (!Marked) {
        Marked = true;
        if (const char* Mark = Setting("SORVIK_LISTING_MARK"))
            ::close(::open(Mark, O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    }
    if (Setting("SORVIK_LISTING_HOLD"))
        for (;;)
            ::pause();
    if (const char* Delay = Setting("SORVIK_LISTING_DELAY_US"))
        ::usleep(static_cast<useconds_t>(std::atoi(Delay)));
}

template <typename Function> Function Next(const char* Name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, Name));
}

} // namespace

extern "C" {

struct dirent* readdir(DIR* Dir)
{
    static const auto Real = Next<struct dirent* (*)(DIR*)>("readdir");
    BeforeEntry(Dir);
    return Real(Dir);
}

struct dirent64* readdir64(DIR* Dir)
{
    static const auto Real = Next<struct dirent64* (*)(DIR*)>("readdir64");
    BeforeEntry(Dir);
    return Real(Dir);
}

} // extern "C"
