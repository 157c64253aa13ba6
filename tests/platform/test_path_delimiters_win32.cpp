#include "platform/path_delimiter_cases.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

// Either slash parts a path, and so does a drive's colon: "C:" names the
// drive's current folder, and a name follows it as it is.
TEST(PathDelimiters, EitherSlashAndTheDriveColon)
{
    const TPathDelimiterCase Cases[] = {
        {"", false, "\\", 0},
        {"C:", true, "C:", 2},
        {"C:\\", true, "C:\\", 3},
        {"C:a.txt", false, "C:a.txt\\", 2},
        {"dir", false, "dir\\", 0},
        {"dir/", true, "dir/", 4},
        {"dir/sub\\b.txt", false, "dir/sub\\b.txt\\", 8},
        {"\\\\server\\share", false, "\\\\server\\share\\", 9},
    };
    ExpectPathDelimiterCases(Cases);
}

// A drive joined with a name names the file in that drive's current folder,
// which a separator between them would not.
TEST(PathDelimiters, ADriveAndANameNameTheFileInItsCurrentFolder)
{
    const fs::path Before = fs::current_path();
    const fs::path Folder = fs::temp_directory_path() / ("sorvik-drive-" + std::to_string(std::random_device{}()));
    fs::create_directories(Folder);
    fs::current_path(Folder);
    std::ofstream(Folder / "probe.txt") << "x";
    const std::string Drive = Folder.root_name().string();
    ASSERT_EQ(Drive.size(), 2u) << Folder.string();
    const std::string Joined = IncludeTrailingPathDelimiter(Drive) + "probe.txt";
    EXPECT_TRUE(fs::is_regular_file(fs::path(Joined))) << Joined;
    EXPECT_EQ(Joined.substr(FileNameStart(Joined)), "probe.txt");
    fs::current_path(Before);
    std::error_code Ignored;
    fs::remove_all(Folder, Ignored);
}
