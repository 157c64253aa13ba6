#include "platform/qt/uFolderSearch.h"
#include "platform/qt/uFolderSearchEntries.h"

#include <set>
#include <system_error>

using namespace foldersearch;

void SearchFolder(const std::string& Folder, const TFileFound& FileFound, const TFolderUnreadable& FolderUnreadable,
                  const std::atomic<bool>* Stop)
{
    namespace fs = std::filesystem;
    const TFolderUnreadable Unreadable = FolderUnreadable ? FolderUnreadable : [](const std::string&) {};
    const TStop Stopping(Stop);
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
        const std::string Id = SystemPathName(fs::canonical(SystemPath(Path), Ec));
        if (Ec) {
            Unreadable(Path);
            return;
        }
        if (!Visited.insert(Id).second)
            return;
        std::vector<TEntry> Files, Folders;
        if (Stopping.BeforeEntry(Path))
            return;
        fs::directory_iterator It(SystemPath(Path), Ec);
        for (; !Ec && It != fs::directory_iterator(); It.increment(Ec)) {
            if (Stopping.BeforeEntry(Path))
                return;
            std::error_code E2;
            const bool IsFile = It->is_regular_file(E2);
            const bool IsFolder = !E2 && !IsFile && It->is_directory(E2);
            if (!E2 && (IsFile || IsFolder))
                AddEntry(IsFile ? Files : Folders, SystemPathName(It->path().filename()));
        }
        SortByName(Files);
        for (const TEntry& F : Files) {
            if (Stopping.Stopped())
                return;
            FileFound(PathIn(Path, F.Name));
        }
        if (Ec)
            Unreadable(Path);
        SortByName(Folders);
        Frames.push_back({Path, std::move(Folders), 0});
    };
    Enter(Folder);
    while (!Frames.empty() && !Stopping.Stopped()) {
        TFrame& Top = Frames.back();
        if (Top.Next >= Top.Folders.size()) {
            Frames.pop_back();
            continue;
        }
        Enter(PathIn(Top.Path, Top.Folders[Top.Next++].Name));
    }
}
