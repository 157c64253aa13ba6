// The data folder that holds "Settings.ini", resolved once at start-up from
// the optional storage file beside the program, and the folder helpers other
// units share. All texts are UTF-8; folders end with a path delimiter
// (platform/uPlatformFiles.h says which characters are delimiters).
#pragma once

#include <string>
#include <vector>

// Resolves the data folder from the storage file beside the program and keeps
// it for GetStorageFolder. Returns whether the storage file exists.
bool InitStorageFolder(const std::string& StorageFileName, const std::string& VendorName,
                       const std::string& AppName);

// The work of InitStorageFolder for a storage file at any path; Found tells
// whether the file exists. The result is absolute and ends with a delimiter.
std::string ResolveStorageFolder(const std::string& StorageFilePath, const std::string& VendorName,
                                 const std::string& AppName, bool* Found = nullptr);

// The resolved data folder (empty before InitStorageFolder).
const std::string& GetStorageFolder();

// The data folder followed by "Settings.ini", built on the first call and the
// same for the rest of the run.
const std::string& GetSettingsFilePath();
// Forgets both at the end of a run (shutdown), so that a next run in the
// same process resolves them anew.
void ReleaseStoragePaths();

// Replaces every "#NAME#" placeholder that has a value; text a value brings in
// is never searched again.
std::string ExpandPathMacros(const std::string& Text, const std::string& VendorName,
                             const std::string& AppName);

// The value of one token, "#" signs included; empty for no value.
std::string ExpandPathMacro(const std::string& Token, const std::string& VendorName,
                            const std::string& AppName);

// Finds the first Delimiter at or after Start and the next one after it.
// Positions count from 1; Length spans both delimiters.
bool FindMacroToken(const std::string& Text, const std::string& Delimiter, std::size_t Start,
                    std::size_t& Position, std::size_t& Length);

// Base, then each non-empty part, each followed by a delimiter.
std::string JoinPath(const std::string& Base, const std::vector<std::string>& Parts);

// Replaces every "%NAME%" whose environment variable has a non-empty value.
std::string ExpandEnvVariables(const std::string& Text);

std::string GetAppFileName();
std::string GetAppFolder();
// The "Languages" folder beside the program, without a delimiter at its end.
std::string GetLanguagesFolder();

// Special folders, each asked anew; empty when the platform has none.
std::string GetPublicDocumentsFolder();
std::string GetUserDocumentsFolder();
std::string GetUserProfileFolder();
