// Nested folders for the tests of paths longer than PATH_MAX.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A chain of nested folders made relative to open descriptors, as deep as
// asked, with one file at its bottom; removed again the same way, since
// paths past PATH_MAX cannot be named whole.
class TDeepChain {
public:
    TDeepChain(const std::filesystem::path& Top, const std::string& Name, int Depth) : FName(Name)
    {
        std::filesystem::create_directory(Top);
        FFds.push_back(::open(Top.c_str(), O_RDONLY | O_DIRECTORY));
        Bottom = Top.string();
        for (int I = 0; I < Depth && FFds.back() >= 0; ++I) {
            if (::mkdirat(FFds.back(), Name.c_str(), 0755) != 0)
                break;
            FFds.push_back(::openat(FFds.back(), Name.c_str(), O_RDONLY | O_DIRECTORY));
            Bottom += "/" + Name;
        }
        const int File = ::openat(FFds.back(), "bottom.txt", O_CREAT | O_WRONLY, 0644);
        Made = File >= 0 && static_cast<int>(FFds.size()) == Depth + 1;
        if (File >= 0)
            ::close(File);
        Bottom += "/bottom.txt";
    }
    ~TDeepChain()
    {
        ::unlinkat(FFds.back(), "bottom.txt", 0);
        for (std::size_t I = FFds.size() - 1; I > 0; --I) {
            ::close(FFds[I]);
            ::unlinkat(FFds[I - 1], FName.c_str(), AT_REMOVEDIR);
        }
        ::close(FFds[0]);
    }
    bool Made = false;
    std::string Bottom;

private:
    std::string FName;
    std::vector<int> FFds;
};
