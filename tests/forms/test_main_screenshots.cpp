// Pictures of the main window for a person to look at; taken only when
// SORVIK_SCREENSHOTS names a folder (run under xvfb-run for real fonts).
#include "main_window_support.h"

#include <QDir>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace maintest;

TEST(MainWindowScreenshots, AfterHashingAFileAndWithTheMessageList)
{
    const QString Dir = qEnvironmentVariable("SORVIK_SCREENSHOTS");
    if (Dir.isEmpty())
        GTEST_SKIP() << "set SORVIK_SCREENSHOTS to a folder to take them";
    TTempFolder Folder;
    const std::string File = Folder.Write("holiday-photos.zip", std::string(3 * 1024 * 1024 + 517, 'p'));
    TMainWindowFixture M(StringToHashTypes("CRC32,MD5,SHA1,SHA256,ED2K"));
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    QTest::qWait(200);
    M.Form->grab().save(QDir(Dir).filePath("main-window-empty.png"));
    M.Form->AddPaths({QString::fromStdString(File)});
    ASSERT_TRUE(M.WaitIdle());
    QTest::qWait(200);
    M.Form->grab().save(QDir(Dir).filePath("main-window.png"));
    M.Form->AddPaths({QString::fromStdString(Folder.Path().string() + "/missing.iso")});
    QTest::qWait(200);
    M.Form->grab().save(QDir(Dir).filePath("main-window-messages.png"));
}
