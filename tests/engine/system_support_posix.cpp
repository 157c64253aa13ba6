#include "engine/system_support.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

bool SystemHasFifos()
{
    return true;
}

bool MakeFifo(const std::string& Path)
{
    return mkfifo(Path.c_str(), 0600) == 0;
}

std::string FolderOpenReason()
{
    return std::strerror(EISDIR);
}
