#include "platform/qt/uPlatformPaths.h"
#include "platform/qt/uPlatformShell.h"
#include "support/recorded_opener.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

// Records what would have been handed to the desktop.
class DesktopOpener : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
    }

    std::string Make(const QString& Name)
    {
        QFile File(Dir.filePath(Name));
        EXPECT_TRUE(File.open(QIODevice::WriteOnly));
        return File.fileName().toStdString();
    }

    QTemporaryDir Dir;
    TRecordedOpener Desktop;
    std::vector<QUrl>& Opened = Desktop.Opened;
};

} // namespace

TEST_F(DesktopOpener, MissingLocalPathsFailWithoutAskingTheDesktop)
{
    for (const std::string& Path : {std::string(), Dir.filePath("missing.txt").toStdString(),
                                    "file://" + Dir.filePath("missing.txt").toStdString(), std::string("C:\\x.txt"),
                                    std::string("relative-missing.txt")}) {
        EXPECT_FALSE(PlatformOpenPath(Path)) << Path;
    }
    EXPECT_TRUE(Opened.empty());
}

TEST_F(DesktopOpener, ExistingFilesAndFoldersGoOutAsFileUrls)
{
    const std::string File = Make("History.txt");
    const std::string Odd = Make("a:b #1.txt");
    EXPECT_TRUE(PlatformOpenPath(File));
    EXPECT_TRUE(PlatformOpenPath(Odd));
    EXPECT_TRUE(PlatformOpenPath(Dir.path().toStdString()));
    EXPECT_TRUE(PlatformOpenPath("file://" + File));
    ASSERT_EQ(Opened.size(), 4u);
    EXPECT_EQ(Opened[0], QUrl::fromLocalFile(QString::fromStdString(File)));
    EXPECT_EQ(Opened[1], QUrl::fromLocalFile(QString::fromStdString(Odd)));
    EXPECT_EQ(Opened[2], QUrl::fromLocalFile(Dir.path()));
    EXPECT_EQ(Opened[3], QUrl::fromLocalFile(QString::fromStdString(File)));
}

// A name that is not valid UTF-8 reaches the desktop by its bytes, given as
// a path or as a file URL that percent-encodes them.
TEST_F(DesktopOpener, ANameThatIsNotUtf8GoesOutByItsBytes)
{
    const std::string File = Dir.path().toStdString() + "/caf\xE9 #1.txt";
    std::ofstream(File) << "x";
    EXPECT_TRUE(PlatformOpenPath(File));
    EXPECT_TRUE(PlatformOpenPath("file://" + QByteArray::fromStdString(File).toPercentEncoding("/").toStdString()));
    ASSERT_EQ(Opened.size(), 2u);
    for (const QUrl& Url : Opened) {
        EXPECT_TRUE(Url.isLocalFile());
        EXPECT_EQ(QByteArray::fromPercentEncoding(Url.path(QUrl::FullyEncoded).toLatin1()).toStdString(), File);
    }
    std::filesystem::remove(File);
}

TEST_F(DesktopOpener, RelativePathsAreMadeAbsolute)
{
    Make("Copyrights.txt");
    const QString Before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Dir.path()));
    EXPECT_TRUE(PlatformOpenPath("Copyrights.txt"));
    QDir::setCurrent(Before);
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0], QUrl::fromLocalFile(Dir.filePath("Copyrights.txt")));
}

TEST_F(DesktopOpener, WebAddressesPassAsWrittenAndTheAnswerCounts)
{
    EXPECT_TRUE(PlatformOpenPath("https://example.org/help?x=1"));
    Desktop.Answer = false;
    EXPECT_FALSE(PlatformOpenPath("mailto:someone@example.org"));
    ASSERT_EQ(Opened.size(), 2u);
    EXPECT_EQ(Opened[0], QUrl("https://example.org/help?x=1"));
    EXPECT_EQ(Opened[1].scheme(), "mailto");
}

TEST(KeyboardModifiers, InjectedSourceIsUsedAndRestored)
{
    const TModifiersSource Previous = SetKeyboardModifiersSource([] { return Qt::ShiftModifier; });
    EXPECT_EQ(PlatformKeyboardModifiers(), Qt::ShiftModifier);
    SetKeyboardModifiersSource(Previous);
    EXPECT_EQ(PlatformKeyboardModifiers(), QGuiApplication::queryKeyboardModifiers());
}

TEST(PlatformFolders, NativeWithoutTrailingDelimiter)
{
    EXPECT_EQ(PlatformUserHomeDir(), QDir::toNativeSeparators(QDir::cleanPath(QDir::homePath())).toStdString());
    for (const std::string& Folder : {PlatformUserHomeDir(), PlatformUserDocumentsDir(), PlatformAppFilePath()}) {
        ASSERT_FALSE(Folder.empty());
        if (Folder.size() > 1) {
            EXPECT_NE(Folder.back(), '/') << Folder;
        }
    }
#ifdef Q_OS_LINUX
    // Linux has no documents folder shared by all users.
    EXPECT_EQ(PlatformPublicDocumentsDir(), "");
#endif
}

TEST(PlatformDesktop, VirtualDesktopCoversThePrimaryScreen)
{
    const QRect Desktop = PlatformVirtualDesktop();
    ASSERT_FALSE(Desktop.isEmpty());
    EXPECT_TRUE(Desktop.contains(QGuiApplication::primaryScreen()->geometry()));
}
