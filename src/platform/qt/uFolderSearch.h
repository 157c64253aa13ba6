// The search through a folder for the files to hash: every regular file,
// sub-folders included, hidden ones too, no name pattern.
#pragma once

#include <atomic>
#include <functional>
#include <string>

// Called with each file's full path, in the order the search finds them.
using TFileFound = std::function<void(const std::string& FileName)>;
// Called with the path of each folder that could not be opened or read.
using TFolderUnreadable = std::function<void(const std::string& Folder)>;

// A folder's own regular files sorted by name, then each sub-folder the same
// way (depth first). A folder reached again through a link is not walked
// twice, so a link loop ends; FIFOs, devices and sockets are never reported.
// A folder that cannot be read is reported to FolderUnreadable, in the
// order met, and the rest is still searched. Paths longer than PATH_MAX are
// reached, and a tree of any depth is walked without deep recursion.
// Stop, when given, is looked at before each directory entry: once it is
// set, the walk ends without reporting anything more.
void SearchFolder(const std::string& Folder, const TFileFound& FileFound,
                  const TFolderUnreadable& FolderUnreadable = {}, const std::atomic<bool>* Stop = nullptr);

// Runs on the searching thread before each entry of a folder is read, with
// the folder's path: tests hold a listing there, as one on a dead network
// mount hangs, or slow it down. nullptr for none; returns the previous one.
using TFolderEntryHook = void (*)(const std::string& Folder);
TFolderEntryHook SetFolderEntryHook(TFolderEntryHook Hook);
