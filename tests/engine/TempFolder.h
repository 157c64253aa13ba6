// A fresh folder under the system's temporary folder, removed with its contents.
#pragma once

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

private:
    std::filesystem::path FPath;
};
