// What the engine's tests need from the system they run on.
#pragma once

#include <string>

bool SystemHasFifos();
// Makes a FIFO at Path; false when it cannot.
bool MakeFifo(const std::string& Path);

// The system's reason when a folder is opened as a file.
std::string FolderOpenReason();
