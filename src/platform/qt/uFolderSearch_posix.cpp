#include "platform/qt/uFolderSearch.h"
#include "platform/qt/uFolderSearchEntries.h"
#include "platform/uPathAt_posix.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace foldersearch;

// Folders are opened relative to their parent's open descriptor (the top
// one a part at a time), so that a path longer than PATH_MAX is reached
// like any other; the walk keeps its own stack, so that a tree of any depth
// fits the thread's stack.
class TSearch {
public:
    TSearch(const TFileFound& FileFound, const TFolderUnreadable& Unreadable, TStop Stop)
        : FFileFound(FileFound), FUnreadable(Unreadable), FStop(Stop)
    {
    }
    TSearch(const TSearch&) = delete;
    TSearch& operator=(const TSearch&) = delete;
    ~TSearch()
    {
        for (TFrame& F : FFrames)
            Close(F);
    }

    void Run(const std::string& Folder)
    {
        FPath = Folder;
        const TPathAt Start(Folder);
        if (!Enter(Start.Valid() ? ::openat(Start.Folder(), Start.Name(), OpenFlags) : -1, std::string()))
            return;
        while (!FFrames.empty() && !FStop.Stopped()) {
            const std::size_t Top = FFrames.size() - 1;
            FPath.resize(FFrames[Top].PathLength);
            if (FFrames[Top].Next >= FFrames[Top].Folders.size()) {
                Close(FFrames[Top]);
                FFrames.pop_back();
                continue;
            }
            const std::string Name = FFrames[Top].Folders[FFrames[Top].Next++].Name;
            if (!Reopen(Top)) {
                // Moved or replaced since it was listed: what is left of it cannot be reached.
                FUnreadable(FPath);
                Close(FFrames[Top]);
                FFrames.pop_back();
                continue;
            }
            const int Fd = ::openat(FFrames[Top].Fd, Name.c_str(), OpenFlags);
            FPath = PathIn(std::move(FPath), Name);
            Enter(Fd, Name);
        }
    }

private:
    static constexpr int OpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    // Descriptors kept open along the way down; the others are opened
    // again from the nearest open one when their next sub-folder is due.
    static constexpr std::size_t KeptOpen = 64;

    // One per folder on the way down from the top; the path of each is the
    // start of the one below's, so only the lowest is held whole.
    struct TFrame {
        int Fd = -1;
        std::size_t PathLength = 0;
        std::string Name;   // within the folder above
        dev_t Device = 0;
        ino_t Inode = 0;
        std::vector<TEntry> Folders;
        std::size_t Next = 0;
    };

    void Close(TFrame& F)
    {
        if (F.Fd >= 0) {
            ::close(F.Fd);
            F.Fd = -1;
            --FOpen;
        }
    }

    // Lists the folder open as Fd, whose path is FPath: its files are
    // reported, its sub-folders become the next frame. False (with the
    // folder reported) when it cannot be opened or read.
    bool Enter(int Fd, const std::string& Name)
    {
        const std::string& Path = FPath;
        struct stat St {};
        if (Fd < 0 || ::fstat(Fd, &St) != 0) {
            if (Fd >= 0)
                ::close(Fd);
            FUnreadable(Path);
            return false;
        }
        // A folder reached again through a link is not walked twice.
        if (!FVisited.insert({St.st_dev, St.st_ino}).second) {
            ::close(Fd);
            return false;
        }
        // The listing gets a descriptor of its own: closedir closes it.
        const int ListFd = ::openat(Fd, ".", OpenFlags);
        DIR* Dir = ListFd >= 0 ? ::fdopendir(ListFd) : nullptr;
        if (!Dir) {
            if (ListFd >= 0)
                ::close(ListFd);
            ::close(Fd);
            FUnreadable(Path);
            return false;
        }
        std::vector<TEntry> Files, Folders;
        bool Failed = false;
        for (;;) {
            if (FStop.BeforeEntry(Path)) {
                ::closedir(Dir);
                ::close(Fd);
                return false;
            }
            errno = 0;
            const dirent* E = ::readdir(Dir);
            if (!E) {
                Failed = errno != 0;
                break;
            }
            const std::string Entry = E->d_name;
            if (Entry == "." || Entry == "..")
                continue;
            // The type as the listing gives it, without a call per file; a
            // link is followed to its target.
            bool IsFile = E->d_type == DT_REG;
            bool IsFolder = E->d_type == DT_DIR;
            if (E->d_type == DT_LNK || E->d_type == DT_UNKNOWN) {
                struct stat Target {};
                if (::fstatat(Fd, E->d_name, &Target, 0) != 0)
                    continue;
                IsFile = S_ISREG(Target.st_mode);
                IsFolder = S_ISDIR(Target.st_mode);
            }
            if (IsFile || IsFolder)
                AddEntry(IsFile ? Files : Folders, Entry);
        }
        ::closedir(Dir);
        SortByName(Files);
        for (const TEntry& F : Files) {
            if (FStop.Stopped())
                break;
            FFileFound(PathIn(Path, F.Name));
        }
        if (Failed && !FStop.Stopped())
            FUnreadable(Path);
        SortByName(Folders);
        TFrame Frame;
        Frame.Fd = Fd;
        Frame.PathLength = Path.size();
        Frame.Name = Name;
        Frame.Device = St.st_dev;
        Frame.Inode = St.st_ino;
        Frame.Folders = std::move(Folders);
        FFrames.push_back(std::move(Frame));
        ++FOpen;
        SpareDescriptors();
        return true;
    }

    // Closes the shallowest open descriptors but the top folder's, which
    // anchors every reopening.
    void SpareDescriptors()
    {
        for (std::size_t I = 1; FOpen > KeptOpen && I + 1 < FFrames.size(); ++I)
            Close(FFrames[I]);
    }

    // Opens frame I again, name by name from the nearest open frame above
    // it; true when it is the same folder as when it was listed.
    bool Reopen(std::size_t I)
    {
        if (FFrames[I].Fd >= 0)
            return true;
        std::size_t From = I;
        while (FFrames[From].Fd < 0)
            --From;
        int Fd = FFrames[From].Fd;
        for (std::size_t J = From + 1; J <= I; ++J) {
            const int Next = ::openat(Fd, FFrames[J].Name.c_str(), OpenFlags);
            if (Fd != FFrames[From].Fd)
                ::close(Fd);
            if (Next < 0)
                return false;
            Fd = Next;
        }
        struct stat St {};
        if (::fstat(Fd, &St) != 0 || St.st_dev != FFrames[I].Device || St.st_ino != FFrames[I].Inode) {
            ::close(Fd);
            return false;
        }
        FFrames[I].Fd = Fd;
        ++FOpen;
        SpareDescriptors();
        return true;
    }

    const TFileFound& FFileFound;
    const TFolderUnreadable& FUnreadable;
    const TStop FStop;
    std::vector<TFrame> FFrames;
    std::string FPath;
    std::size_t FOpen = 0;
    std::set<std::pair<dev_t, ino_t>> FVisited;
};

} // namespace

void SearchFolder(const std::string& Folder, const TFileFound& FileFound, const TFolderUnreadable& FolderUnreadable,
                  const std::atomic<bool>* Stop)
{
    const TFolderUnreadable Unreadable = FolderUnreadable ? FolderUnreadable : [](const std::string&) {};
    TSearch Search(FileFound, Unreadable, TStop(Stop));
    Search.Run(Folder);
}
