// The search through a folder for the files to hash: every regular file,
// sub-folders included, hidden ones too, no name pattern.
#pragma once

#include <functional>
#include <string>

// Called with each file's full path, in the order the search finds them.
using TFileFound = std::function<void(const std::string& FileName)>;

// A folder's own regular files sorted by name, then each sub-folder the same
// way (depth first). A folder reached again through a link is not walked
// twice, so a link loop ends; FIFOs, devices and sockets are never reported.
// What cannot be read is left out; the rest is still reported.
void SearchFolder(const std::string& Folder, const TFileFound& FileFound);
