// The test process's resident memory, for tests that check that freed
// memory goes back to the system.
#pragma once

#include <fstream>
#include <string>

// Resident memory in KiB, from /proc; -1 where there is no such file.
[[maybe_unused]] inline long ResidentKiB()
{
    std::ifstream Status("/proc/self/status");
    std::string Line;
    while (std::getline(Status, Line))
        if (Line.rfind("VmRSS:", 0) == 0)
            return std::stol(Line.substr(6));
    return -1;
}
