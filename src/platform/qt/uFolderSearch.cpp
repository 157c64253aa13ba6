#include "platform/qt/uFolderSearch.h"

#include <QString>

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

// Each entry with its name as compared, made once: a folder of many
// thousand files is searched on the user-interface thread.
struct TEntry {
    QString Key;
    std::string Name;
};

void SortByName(std::vector<TEntry>& Entries)
{
    std::sort(Entries.begin(), Entries.end(), [](const TEntry& A, const TEntry& B) {
        const int C = A.Key.compare(B.Key, Qt::CaseInsensitive);
        return C != 0 ? C < 0 : A.Name < B.Name;
    });
}

void AddEntry(std::vector<TEntry>& To, std::string Name)
{
    QString Key = QString::fromStdString(Name);
    To.push_back({std::move(Key), std::move(Name)});
}

// The entries' paths as the listing gives them: the folder, one separator
// unless it ends with one, the name.
std::string PathIn(std::string Path, const std::string& Name)
{
    if (!Path.empty() && Path.back() != '/' && Path.back() != static_cast<char>(fs::path::preferred_separator))
        Path += static_cast<char>(fs::path::preferred_separator);
    return Path.append(Name);
}

#if defined(Q_OS_UNIX)

// Folders are opened relative to their parent's open descriptor, so that
// a path longer than PATH_MAX is reached like any other; the walk keeps
// its own stack, so that a tree of any depth fits the thread's stack.
class TSearch {
public:
    TSearch(const TFileFound& FileFound, const TFolderUnreadable& Unreadable)
        : FFileFound(FileFound), FUnreadable(Unreadable)
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
        if (!Enter(::open(Folder.c_str(), OpenFlags), std::string()))
            return;
        while (!FFrames.empty()) {
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
        for (const TEntry& F : Files)
            FFileFound(PathIn(Path, F.Name));
        if (Failed)
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
    std::vector<TFrame> FFrames;
    std::string FPath;
    std::size_t FOpen = 0;
    std::set<std::pair<dev_t, ino_t>> FVisited;
};

#endif

} // namespace

void SearchFolder(const std::string& Folder, const TFileFound& FileFound, const TFolderUnreadable& FolderUnreadable)
{
    const TFolderUnreadable Unreadable = FolderUnreadable ? FolderUnreadable : [](const std::string&) {};
#if defined(Q_OS_UNIX)
    TSearch Search(FileFound, Unreadable);
    Search.Run(Folder);
#else
    // Paths here are within the system's limits; the walk keeps its own stack.
    struct TFrame {
        std::string Path;
        std::vector<TEntry> Folders;
        std::size_t Next = 0;
    };
    std::set<std::string> Visited;
    std::vector<TFrame> Frames;
    const auto Enter = [&](const std::string& Path) {
        std::error_code Ec;
        const std::string Id = fs::canonical(fs::path(Path), Ec).string();
        if (Ec) {
            Unreadable(Path);
            return;
        }
        if (!Visited.insert(Id).second)
            return;
        std::vector<TEntry> Files, Folders;
        fs::directory_iterator It(fs::path(Path), Ec);
        for (; !Ec && It != fs::directory_iterator(); It.increment(Ec)) {
            std::error_code E2;
            const bool IsFile = It->is_regular_file(E2);
            const bool IsFolder = !E2 && !IsFile && It->is_directory(E2);
            if (!E2 && (IsFile || IsFolder))
                AddEntry(IsFile ? Files : Folders, It->path().filename().string());
        }
        SortByName(Files);
        for (const TEntry& F : Files)
            FileFound(PathIn(Path, F.Name));
        if (Ec)
            Unreadable(Path);
        SortByName(Folders);
        Frames.push_back({Path, std::move(Folders), 0});
    };
    Enter(Folder);
    while (!Frames.empty()) {
        TFrame& Top = Frames.back();
        if (Top.Next >= Top.Folders.size()) {
            Frames.pop_back();
            continue;
        }
        Enter(PathIn(Top.Path, Top.Folders[Top.Next++].Name));
    }
#endif
}
