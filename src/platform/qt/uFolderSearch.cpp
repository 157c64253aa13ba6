#include "platform/qt/uFolderSearch.h"

#include <QString>

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;

using TVisitedFolders = std::set<std::string>;

// The identity of a folder however it is reached: device and inode where
// the system has them, else the path with every link resolved.
bool FolderIdentity(const fs::path& Folder, std::string& Id)
{
#if defined(Q_OS_UNIX)
    struct stat St {};
    if (::stat(Folder.c_str(), &St) != 0)
        return false;
    Id = std::to_string(static_cast<std::uintmax_t>(St.st_dev)) + ':' + std::to_string(static_cast<std::uintmax_t>(St.st_ino));
    return true;
#else
    std::error_code Ec;
    Id = fs::canonical(Folder, Ec).string();
    return !Ec;
#endif
}

void Search(const fs::path& Folder, TVisitedFolders& Visited, const TFileFound& FileFound)
{
    std::error_code Ec;
    std::string Id;
    if (!FolderIdentity(Folder, Id) || !Visited.insert(Id).second)
        return;
    // Each entry with its name as compared, made once: a folder of many
    // thousand files is searched on the user-interface thread.
    struct TEntry {
        QString Key;
        std::string Name;
    };
    std::vector<TEntry> Files, Folders;
    fs::directory_iterator It(Folder, fs::directory_options::skip_permission_denied, Ec);
    for (; !Ec && It != fs::directory_iterator(); It.increment(Ec)) {
        // The entry's type as the folder listing gave it, without a call per
        // file; a link is followed to its target.
        std::error_code E2;
        const bool IsFile = It->is_regular_file(E2);
        const bool IsFolder = !E2 && !IsFile && It->is_directory(E2);
        if (E2 || (!IsFile && !IsFolder))
            continue;
        std::string Name = It->path().filename().string();
        QString Key = QString::fromStdString(Name);
        (IsFile ? Files : Folders).push_back({std::move(Key), std::move(Name)});
    }
    auto ByName = [](const TEntry& A, const TEntry& B) {
        const int C = A.Key.compare(B.Key, Qt::CaseInsensitive);
        return C != 0 ? C < 0 : A.Name < B.Name;
    };
    std::sort(Files.begin(), Files.end(), ByName);
    std::sort(Folders.begin(), Folders.end(), ByName);
    // The entries' paths as the listing gives them: the folder, one
    // separator unless it ends with one, the name.
    std::string Prefix = Folder.string();
    if (!Prefix.empty() && Prefix.back() != '/' && Prefix.back() != static_cast<char>(fs::path::preferred_separator))
        Prefix += static_cast<char>(fs::path::preferred_separator);
    std::string Path;
    for (const TEntry& F : Files) {
        Path.assign(Prefix).append(F.Name);
        FileFound(Path);
    }
    for (const TEntry& D : Folders)
        Search(Folder / D.Name, Visited, FileFound);
}

} // namespace

void SearchFolder(const std::string& Folder, const TFileFound& FileFound)
{
    TVisitedFolders Visited;
    Search(fs::path(Folder), Visited, FileFound);
}
