// The folders the operating system knows for the program and the user, as
// file names in the system's own form (see uFileNames.h: on Unix the bytes,
// also of a name that is not valid UTF-8), with native separators and no
// delimiter at the end; empty when the platform has no such folder.
#pragma once

#include <string>

// Full path of the running program's file: the test's choice when one is
// set (SetPlatformAppFilePath), else the system's (SystemAppFilePath).
std::string PlatformAppFilePath();
// Makes PlatformAppFilePath answer Path, so that a program run inside a test
// finds its files in a folder of the test's; the empty text restores it.
void SetPlatformAppFilePath(const std::string& Path);
// The running program's file as the system names it.
std::string SystemAppFilePath();

// The current user's own documents folder (on Linux the XDG documents folder).
std::string PlatformUserDocumentsDir();

// A documents folder shared by all users of the machine. Linux has none, so
// there it is always empty.
std::string PlatformPublicDocumentsDir();

// The current user's home (profile) folder.
std::string PlatformUserHomeDir();

// The current directory as the system reports it.
std::string PlatformCurrentDir();

// The value of the environment variable Name; empty when it is not set.
std::string PlatformEnvironmentVariable(const std::string& Name);
