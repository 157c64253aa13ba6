#include "platform/qt/uFolderSearch.h"
#include "platform/qt/uFolderSearchEntries.h"

namespace {

std::atomic<TFolderEntryHook> EntryHook{nullptr};

} // namespace

TFolderEntryHook SetFolderEntryHook(TFolderEntryHook Hook)
{
    return EntryHook.exchange(Hook, std::memory_order_acq_rel);
}

bool foldersearch::TStop::BeforeEntry(const std::string& Folder) const
{
    if (const TFolderEntryHook Hook = EntryHook.load(std::memory_order_acquire))
        Hook(Folder);
    return Stopped();
}
