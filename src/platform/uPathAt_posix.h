// A path of any length reached a part at a time, for the system calls that
// take a folder handle and a name relative to it (openat, fstatat, statx).
#pragma once

#include <cerrno>
#include <climits>
#include <string>

#include <fcntl.h>
#include <unistd.h>

// A path too long for the system to take whole (PATH_MAX, which a folder
// search goes beyond) is reached a part at a time: Folder is then a handle
// of its leading folders and Name the rest, relative to it.
class TPathAt {
public:
    explicit TPathAt(const std::string& Path)
    {
        std::size_t Start = 0;
        while (Path.size() - Start >= PATH_MAX) {
            // The longest run of whole folders that fits in one call.
            const std::size_t Cut = Path.rfind('/', Start + PATH_MAX - 2);
            if (Cut == std::string::npos || Cut < Start) {
                Fail(ENAMETOOLONG);
                return;
            }
            const std::string Part = Path.substr(Start, Cut - Start + 1);
            const int Next = ::openat(FFolder, Part.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            const int Error = errno;
            Release();
            if (Next < 0) {
                Fail(Error);
                return;
            }
            FFolder = Next;
            Start = Cut + 1;
        }
        // The usual short path is named in place: no copy per call.
        if (Start > 0)
            FRest = Path.substr(Start);
        FName = Start > 0 ? FRest.c_str() : Path.c_str();
    }
    // Path must outlive the object: the name may point into it.
    explicit TPathAt(std::string&&) = delete;
    ~TPathAt() { Release(); }
    TPathAt(const TPathAt&) = delete;
    TPathAt& operator=(const TPathAt&) = delete;

    int Folder() const { return FFolder; }
    // Empty when a folder on the way could not be opened; Error tells why.
    const char* Name() const { return FName; }
    bool Valid() const { return FError == 0; }
    int Error() const { return FError; }

private:
    void Release()
    {
        if (FFolder >= 0)
            ::close(FFolder);
        FFolder = AT_FDCWD;
    }
    void Fail(int Error)
    {
        Release();
        FError = Error;
    }

    int FFolder = AT_FDCWD;
    std::string FRest;
    const char* FName = "";
    int FError = 0;
};
