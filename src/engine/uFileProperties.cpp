#include "engine/uFileProperties.h"

#include <cstdio>

namespace {

// An absent time stays absent; a time the system cannot convert raises.
TLocalDateTime ToDateTime(const std::optional<std::uint64_t>& FileTime)
{
    return FileTime ? FileTimeToDateTime(*FileTime) : TLocalDateTime{};
}

}  // namespace

TLocalDateTime FileTimeToDateTime(std::uint64_t FileTime)
{
    TLocalDateTime Local;
    std::string Reason;
    if (!FileTimeToLocalTime(FileTime, Local, Reason))
        throw EOSError(Reason);
    return Local;
}

bool GetFileProperties(const std::string& FileName, TFileProperties& Props)
{
    TDirectoryEntry Entry;
    if (!ReadDirectoryEntry(FileName, Entry))
        return false;
    TFileProperties Result;
    Result.Size = Entry.Size;
    Result.Attributes = Entry.Attributes;
    Result.Created = ToDateTime(Entry.Created);
    Result.Modified = ToDateTime(Entry.Modified);
    Result.Valid = true;
    Props = Result;
    return true;
}

std::string AttributesToText(std::uint32_t Attributes)
{
    static constexpr struct {
        std::uint32_t Bit;
        char Letter;
    } Letters[] = {
        {faReadOnly, 'R'}, {faHidden, 'H'},  {faSystem, 'S'},        {faVolumeLabel, 'V'},
        {faDirectory, 'D'}, {faArchive, 'A'}, {faReparsePoint, 'L'},
    };
    std::string Result;
    for (const auto& L : Letters)
        Result += (Attributes & L.Bit) ? L.Letter : '-';
    return Result;
}

std::string DateTimeToText(const TLocalDateTime& DateTime)
{
    if (DateTime.IsZero())
        return {};
    char Text[64];
    std::snprintf(Text, sizeof Text, "%04d-%02d-%02d %02d:%02d:%02d", DateTime.Year, DateTime.Month, DateTime.Day,
                  DateTime.Hour, DateTime.Minute, DateTime.Second);
    return Text;
}
