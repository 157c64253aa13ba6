// A fresh folder under the system's temporary folder, removed with its contents.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

class TTempFolder {
public:
    TTempFolder()
    {
        std::random_device Random;
        for (int Attempt = 0; Attempt < 100; ++Attempt) {
            FPath = std::filesystem::temp_directory_path() / ("sorvik-test-" + std::to_string(Random()));
            if (std::filesystem::create_directory(FPath))
                return;
        }
        throw std::runtime_error("no temporary folder");
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    ~TTempFolder()
    {
        std::error_code Ignored;
        std::filesystem::remove_all(FPath, Ignored);
    }

    const std::filesystem::path& Path() const { return FPath; }
    // Writes Contents to Name inside the folder; returns the full path.
    std::string Write(const std::string& Name, const std::string& Contents) const
    {
        const auto P = FPath / Name;
        std::ofstream(P, std::ios::binary) << Contents;
        return P.string();
    }

    // Writes each of Names with its missing folders, each file holding its
    // own name; the full paths in the order of Names.
    template <std::size_t N>
    std::array<std::string, N> WriteFiles(const char* const (&Names)[N]) const
    {
        std::array<std::string, N> Paths;
        for (std::size_t I = 0; I < N; ++I) {
            std::filesystem::create_directories((FPath / Names[I]).parent_path());
            Paths[I] = Write(Names[I], Names[I]);
        }
        return Paths;
    }

private:
    std::filesystem::path FPath;
};
