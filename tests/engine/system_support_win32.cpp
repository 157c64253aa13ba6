#include "engine/system_support.h"

#include <windows.h>

bool SystemHasFifos()
{
    return false;
}

bool MakeFifo(const std::string&)
{
    return false;
}

std::string FolderOpenReason()
{
    // The system's own text for ERROR_ACCESS_DENIED, without its full stop.
    char Text[256] = {};
    const DWORD N = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   ERROR_ACCESS_DENIED, 0, Text, sizeof Text, nullptr);
    std::string Result(Text, N);
    while (!Result.empty() && (Result.back() == '\n' || Result.back() == '\r' || Result.back() == ' ' ||
                               Result.back() == '.'))
        Result.pop_back();
    return Result;
}
