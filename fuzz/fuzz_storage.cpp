// "Storage.ini" beside the program: any bytes give an absolute data folder
// that ends with a delimiter, and the expansions agree with their rules.
#include "app/uSorvikPaths.h"
#include "platform/uPlatformFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Text(reinterpret_cast<const char*>(Data), Size);

    // Expanding never grows a text that holds no "#" or "%".
    if (Text.find_first_of("#%") == std::string::npos) {
        if (ExpandPathMacros(Text, "lumvo", "Sorvik") != Text || ExpandEnvVariables(Text) != Text)
            std::abort();
    } else {
        (void)ExpandPathMacros(Text, "lumvo", "Sorvik");
        (void)ExpandEnvVariables(Text);
    }

    static QTemporaryDir Dir;
    const QString Path = Dir.filePath(QStringLiteral("Storage.ini"));
    {
        QFile File(Path);
        if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        File.write(reinterpret_cast<const char*>(Data), static_cast<qint64>(Size));
    }
    bool Found = false;
    const std::string Folder = ResolveStorageFolder(Path.toStdString(), "lumvo", "Sorvik", &Found);
    if (!Found || Folder.empty() || !EndsWithPathDelimiter(Folder))
        std::abort();
    if (std::filesystem::path(std::u8string(Folder.begin(), Folder.end())).is_relative())
        std::abort();   // the next start would look elsewhere
    return 0;
}
