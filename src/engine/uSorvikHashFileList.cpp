#include "engine/uSorvik.h"

// ---------------------------------------------------------------------------
// Records of hashed files

void THashFile::ReadProperties()
{
    if (!GetFileProperties(FileName, Properties))
        throw ESorvikError(SFailedToReadFileProperties);
}

std::shared_ptr<THashFile> THashFileList::Previous(const THashFile* Item) const
{
    for (std::size_t I = 1; I < Items.size(); ++I)
        if (Items[I].get() == Item)
            return Items[I - 1];
    return nullptr;
}
