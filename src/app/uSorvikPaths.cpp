#include "app/uSorvikPaths.h"

#include "app/uStartFiles.h"
#include "platform/qt/uPlatformPaths.h"
#include "platform/uPlatformFiles.h"

#include <QByteArray>

#include <filesystem>
#include <system_error>

namespace {

std::string& StorageFolder()
{
    static std::string Folder;
    return Folder;
}

std::string& SettingsFilePath()
{
    static std::string Path;
    return Path;
}

// The folder named by the storage file: its first line, without a UTF-8
// byte-order mark. Editors end the line with a break that would otherwise
// become part of the folder name.
std::string ReadStorageText(const std::string& Path)
{
    QByteArray Data;
    if (!ReadStartFile(Path, Data))
        return {};
    std::string Text = Data.toStdString();
    if (Text.rfind("\xEF\xBB\xBF", 0) == 0)
        Text.erase(0, 3);
    const std::size_t LineEnd = Text.find_first_of("\r\n");
    if (LineEnd != std::string::npos)
        Text.erase(LineEnd);
    return Text;
}

std::string EnvironmentValue(const std::string& Name)
{
    // getenv("A=B") would match a variable A whose value starts with "B=".
    if (Name.find('=') != std::string::npos || Name.find('\0') != std::string::npos)
        return {};
    return PlatformEnvironmentVariable(Name);
}

std::string FolderWithDelimiter(const std::string& Folder)
{
    return Folder.empty() ? std::string() : IncludeTrailingPathDelimiter(Folder);
}

} // namespace

std::string ResolveStorageFolder(const std::string& StorageFilePath, const std::string& VendorName,
                                 const std::string& AppName, bool* Found)
{
    std::error_code Error;
    const auto Status = std::filesystem::status(SystemPath(StorageFilePath), Error);
    const bool Exists = std::filesystem::exists(Status) && !std::filesystem::is_directory(Status);
    if (Found)
        *Found = Exists;

    std::string Text;
    if (Exists)
        Text = ReadStorageText(StorageFilePath);
    if (!Text.empty())
        Text = ExpandPathMacros(Text, VendorName, AppName);
    if (!Text.empty())
        Text = ExpandEnvVariables(Text);
    if (Text.empty())
        Text = GetAppFolder();
    // Fixed once here, so that a later change of the current directory (file
    // dialogs do that) cannot move the data folder. Decided on the path as
    // the file system sees it: Qt would take a text starting with ":" for a
    // resource and call it absolute.
    return IncludeTrailingPathDelimiter(AbsolutePath(Text));
}

bool InitStorageFolder(const std::string& StorageFileName, const std::string& VendorName,
                       const std::string& AppName)
{
    StorageFolder().clear();
    bool Found = false;
    StorageFolder() = ResolveStorageFolder(GetAppFolder() + StorageFileName, VendorName, AppName, &Found);
    return Found;
}

const std::string& GetStorageFolder()
{
    return StorageFolder();
}

void ReleaseStoragePaths()
{
    SettingsFilePath().clear();
    StorageFolder().clear();
}

const std::string& GetSettingsFilePath()
{
    if (SettingsFilePath().empty())
        SettingsFilePath() = GetStorageFolder() + "Settings.ini";
    return SettingsFilePath();
}

bool FindMacroToken(const std::string& Text, const std::string& Delimiter, std::size_t Start,
                    std::size_t& Position, std::size_t& Length)
{
    if (Delimiter.empty())
        return false;
    const std::size_t First = Text.find(Delimiter, Start > 0 ? Start - 1 : 0);
    if (First == std::string::npos)
        return false;
    const std::size_t Second = Text.find(Delimiter, First + Delimiter.size());
    if (Second == std::string::npos)
        return false;
    Position = First + 1;
    Length = Second + Delimiter.size() - First;
    return true;
}

std::string ExpandPathMacro(const std::string& Token, const std::string& VendorName,
                            const std::string& AppName)
{
    if (Token == "#ALL#") {
        const std::string Folder = GetPublicDocumentsFolder();
        return Folder.empty() ? std::string() : JoinPath(Folder, {VendorName, AppName});
    }
    if (Token == "#USER#") {
        const std::string Folder = GetUserDocumentsFolder();
        return Folder.empty() ? std::string() : JoinPath(Folder, {VendorName, AppName});
    }
    if (Token == "#PUBLICDOCUMENTS#")
        return GetPublicDocumentsFolder();
    if (Token == "#USERDOCUMENTS#")
        return GetUserDocumentsFolder();
    if (Token == "#USERPROFILE#")
        return GetUserProfileFolder();
    if (Token == "#WORKINGDIR#")
        return PlatformCurrentDir();
    if (Token == "#APPDIR#")
        return GetAppFolder();
    if (Token == "#APPVENDOR#")
        return VendorName;
    if (Token == "#APPNAME#")
        return AppName;
    return {};
}

std::string ExpandPathMacros(const std::string& Text, const std::string& VendorName,
                             const std::string& AppName)
{
    // Built by appending, in one pass over Text: a value is never searched
    // again, so the search only ever moves forward in the original.
    std::string Result;
    std::size_t Done = 0;
    std::size_t Position = 0;
    std::size_t Length = 0;
    while (FindMacroToken(Text, "#", Done + 1, Position, Length)) {
        const std::size_t First = Position - 1;
        const std::string Value = ExpandPathMacro(Text.substr(First, Length), VendorName, AppName);
        if (Value.empty()) {
            Result.append(Text, Done, First + Length - Done);
        } else {
            Result.append(Text, Done, First - Done);
            Result += Value;
        }
        Done = First + Length;
    }
    Result.append(Text, Done, std::string::npos);
    return Result;
}

std::string ExpandEnvVariables(const std::string& Text)
{
    // One forward pass, appending: the next reference is always looked for
    // after the closing "%" of the one before, in the original text.
    std::string Result;
    std::size_t Done = 0;
    std::size_t P = Text.find('%');
    while (P != std::string::npos) {
        const std::size_t Q = Text.find('%', P + 1);
        if (Q == std::string::npos)
            break;
        const std::string Name = Text.substr(P + 1, Q - P - 1);
        const std::string Value = Name.empty() ? std::string() : EnvironmentValue(Name);
        if (Value.empty()) {
            Result.append(Text, Done, Q + 1 - Done);
        } else {
            Result.append(Text, Done, P - Done);
            Result += Value;
        }
        Done = Q + 1;
        P = Text.find('%', Done);
    }
    Result.append(Text, Done, std::string::npos);
    return Result;
}

std::string JoinPath(const std::string& Base, const std::vector<std::string>& Parts)
{
    std::string Result = FolderWithDelimiter(Base);
    for (const std::string& Part : Parts)
        Result += FolderWithDelimiter(Part);
    return Result;
}

std::string GetAppFileName()
{
    return PlatformAppFilePath();
}

std::string GetAppFolder()
{
    const std::string File = GetAppFileName();
    const std::size_t Cut = FileNameStart(File);
    if (Cut == 0)
        return IncludeTrailingPathDelimiter(PlatformCurrentDir());
    return File.substr(0, Cut);
}

std::string GetLanguagesFolder()
{
    return GetAppFolder() + "Languages";
}

std::string GetPublicDocumentsFolder()
{
    return FolderWithDelimiter(PlatformPublicDocumentsDir());
}

std::string GetUserDocumentsFolder()
{
    return FolderWithDelimiter(PlatformUserDocumentsDir());
}

std::string GetUserProfileFolder()
{
    return FolderWithDelimiter(PlatformUserHomeDir());
}
