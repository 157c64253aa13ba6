// What both systems' folder searches share: the entries of one folder
// sorted by name, the paths of the entries, and the look at the request to
// stop.
#pragma once

#include "platform/uPlatformFiles.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace foldersearch {

namespace fs = std::filesystem;

// Each entry with its name as compared, made once: a folder may hold many
// thousand files.
struct TEntry {
    QString Key;
    std::string Name;
};

inline void SortByName(std::vector<TEntry>& Entries)
{
    std::sort(Entries.begin(), Entries.end(), [](const TEntry& A, const TEntry& B) {
        const int C = A.Key.compare(B.Key, Qt::CaseInsensitive);
        return C != 0 ? C < 0 : A.Name < B.Name;
    });
}

inline void AddEntry(std::vector<TEntry>& To, std::string Name)
{
    QString Key = QString::fromStdString(Name);
    To.push_back({std::move(Key), std::move(Name)});
}

// The entries' paths as the listing gives them: the folder, one delimiter
// unless it ends with one, the name.
inline std::string PathIn(std::string Path, const std::string& Name)
{
    if (!Path.empty() && !EndsWithPathDelimiter(Path))
        Path += PathDelimiters[0];
    return Path.append(Name);
}

// The walk's stop request, looked at before each entry.
class TStop {
public:
    explicit TStop(const std::atomic<bool>* Request) : FRequest(Request) {}
    bool Stopped() const { return FRequest && FRequest->load(std::memory_order_relaxed); }
    // Runs the entry hook of the tests, then tells whether the walk is to end.
    bool BeforeEntry(const std::string& Folder) const;

private:
    const std::atomic<bool>* FRequest;
};

} // namespace foldersearch
