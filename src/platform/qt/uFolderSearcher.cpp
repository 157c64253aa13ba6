#include "platform/qt/uFolderSearcher.h"

#include "platform/qt/uFolderSearch.h"

#include <QMetaObject>

namespace {

// Findings handed over at one look: the window takes input between two.
constexpr std::size_t SliceSize = 1024;

} // namespace

TFolderSearcher::TFolderSearcher(QObject* Parent)
    : QObject(Parent), FSearch([this] {
          if (!FTakePosted.exchange(true, std::memory_order_acq_rel))
              TakeSoon();
      })
{
}

TFolderSearcher::~TFolderSearcher() = default;

void TFolderSearcher::TakeSoon()
{
    QMetaObject::invokeMethod(this, &TFolderSearcher::TakeFindings, Qt::QueuedConnection);
}

void TFolderSearcher::Start(const std::string& Folder)
{
    ++FGeneration;
    FSearch.Start([Folder](TSearchSink& Sink) {
        SearchFolder(
            Folder, [&Sink](const std::string& File) { Sink.Add(File, false); },
            [&Sink](const std::string& Unread) { Sink.Add(Unread, true); }, &Sink.StopRequest());
    });
}

void TFolderSearcher::Stop()
{
    ++FGeneration;
    FSearch.Stop();
}

void TFolderSearcher::TakeFindings()
{
    // Cleared before the look: what comes after it posts again.
    FTakePosted.store(false, std::memory_order_release);
    std::vector<TSearchFinding> Slice;
    std::exception_ptr Error;
    const bool Last = FSearch.Take(Slice, SliceSize, Error);
    const std::uint64_t Generation = FGeneration;
    if (!Slice.empty())
        emit Found(Slice);
    if (Generation != FGeneration)
        return;
    if (Last)
        emit Ended(Error);
    else if (Slice.size() == SliceSize && !FTakePosted.exchange(true, std::memory_order_acq_rel))
        TakeSoon();
}
