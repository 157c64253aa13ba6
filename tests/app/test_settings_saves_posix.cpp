// Settings.ini saved at shutdown where the old file cannot be replaced: a
// sticky data folder refuses the rename, or the folder takes no temporary
// file, on a file system with or without fallocate. The file then holds the
// settings' text exactly, never a NUL, or, when there is no room, what it
// held before.
#include "app/uSettings.h"
#include "engine/TempFolder.h"
#include "support/system_call_faults_posix.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/resource.h>

namespace {

std::string ReadAll(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

std::string IniText(TSettings& S)
{
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    S.WriteIni(Buffer);
    return Buffer.data().toStdString();
}

// Writes past Bytes fail for a while, as on a full disk.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t Bytes)
    {
        FHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit Small = FOld;
        Small.rlim_cur = Bytes;
        FSet = ::setrlimit(RLIMIT_FSIZE, &Small) == 0;
    }
    ~TFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
    bool Set() const { return FSet; }

private:
    rlimit FOld{};
    void (*FHandler)(int) = nullptr;
    bool FSet = false;
};

} // namespace

TEST(SettingsSave, AFileThatCannotBeReplacedIsWrittenWholeOrKept)
{
    const struct {
        const char* Name;
        TSystemCallFaults Faults;
    } Roads[] = {
        {"rename refused", {.Rename = EPERM}},
        {"rename refused, no fallocate", {.Rename = EPERM, .Fallocate = EOPNOTSUPP}},
        {"no temporary file, no fallocate", {.Fallocate = EOPNOTSUPP, .ExclusiveCreate = ENOSPC}},
    };
    const std::string Short = "[General]\nStayOnTop=1\n";
    const std::string Long = "[General]\nStayOnTop=1\nNotes=" + std::string(5000, 'x') + "\n";
    for (const auto& Road : Roads) {
        for (const std::string* Old : {&Short, &Long}) {
            SCOPED_TRACE(std::string(Road.Name) + (Old == &Short ? ", shorter old file" : ", longer old file"));
            TTempFolder Folder;
            const std::string Path = Folder.Write("Settings.ini", *Old);
            TSettings S;
            S.Reset();
            S.SaveLogFileName = "/home/u/run.sfv";
            const std::string Expected = IniText(S);

            bool Saved = false;
            {
                const TInjectedFaults Faults(Road.Faults);
                Saved = S.TrySaveToFile(Path);
                EXPECT_TRUE(Faults.AllMet());
            }
            const std::string Now = ReadAll(Path);
            EXPECT_TRUE(Saved);
            EXPECT_EQ(std::count(Now.begin(), Now.end(), '\0'), 0);
            EXPECT_EQ(Now, Expected);
        }
    }

    // No room for the longer text: the old file stays as it was.
    TTempFolder Folder;
    const std::string Path = Folder.Write("Settings.ini", Short);
    TSettings S;
    S.Reset();
    bool Saved = true;
    {
        const TInjectedFaults Faults({.Fallocate = EOPNOTSUPP, .ExclusiveCreate = ENOSPC});
        const TFileSizeLimit Limit(64);
        ASSERT_TRUE(Limit.Set());
        Saved = S.TrySaveToFile(Path);
    }
    EXPECT_FALSE(Saved);
    EXPECT_EQ(ReadAll(Path), Short);
}
