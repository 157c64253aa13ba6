#include "engine/uThreads.h"

std::unique_ptr<TFileQueue> FileQueue = std::make_unique<TFileQueue>();

void TFileQueue::Push(std::string Path)
{
    std::lock_guard<std::mutex> Guard(Lock);
    Names.Push(std::move(Path));
}

bool TFileQueue::Pop(std::string& Path)
{
    Path.clear();
    std::lock_guard<std::mutex> Guard(Lock);
    return Names.Pop(Path);
}

int TFileQueue::Count() const
{
    std::lock_guard<std::mutex> Guard(Lock);
    return Names.Count();
}

void TFileQueue::Clear()
{
    std::lock_guard<std::mutex> Guard(Lock);
    Names.Clear();
}
