// What the program reads at start is read only when it is a regular file of
// bounded size, and never waits for a writer.
#include "app/uStartFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

} // namespace

TEST(StartFiles, OnlyRegularFilesOfBoundedSizeAreRead)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const auto Write = [&Dir](const char* Name, const QByteArray& Data) {
        QFile F(Dir.filePath(Str(Name)));
        ASSERT_TRUE(F.open(QIODevice::WriteOnly));
        F.write(Data);
    };
    Write("plain.ini", "[General]\nStayOnTop=1\n");
    Write("empty.ini", "");
    Write("limit.po", QByteArray(StartFileLimit, 'x'));
    {
        QFile F(Dir.filePath(Str("huge.po")));
        ASSERT_TRUE(F.open(QIODevice::WriteOnly));
        ASSERT_TRUE(F.resize(StartFileLimit + 1)); // sparse: no disk taken
    }
    QDir(Dir.path()).mkdir(Str("folder.po"));

    const struct {
        const char* Name;
        bool Read;
        qsizetype Size;
    } Cases[] = {
        {"plain.ini", true, 22},
        {"empty.ini", true, 0},
        {"limit.po", true, StartFileLimit},
        {"huge.po", false, 0},
        {"folder.po", false, 0},
        {"missing.ini", false, 0},
    };
    for (const auto& C : Cases) {
        QByteArray Data("left over");
        EXPECT_EQ(ReadStartFile(Dir.filePath(Str(C.Name)), Data), C.Read) << C.Name;
        EXPECT_EQ(Data.size(), C.Size) << C.Name;
    }
}

#ifdef Q_OS_LINUX
TEST(StartFiles, SpecialFilesAreUnreadableAndNeverBlock)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const std::string Fifo = Dir.filePath(Str("Settings.ini")).toStdString();
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0644), 0);
    ASSERT_TRUE(QFile::link(Str("/dev/zero"), Dir.filePath(Str("zero.po"))));
    ASSERT_TRUE(QFile::link(Str("/dev/null"), Dir.filePath(Str("null.po"))));
    // A writer that never writes: a blocking read would wait for it for ever.
    const int Writer = ::open(Fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(Writer, 0);
    for (const char* Name : {"Settings.ini", "zero.po", "null.po"}) {
        QByteArray Data;
        EXPECT_FALSE(ReadStartFile(Dir.filePath(Str(Name)), Data)) << Name;
        EXPECT_TRUE(Data.isEmpty()) << Name;
    }
    ::close(Writer);

    // A generated file, size 0 by its directory entry, is read whole.
    QByteArray Version;
    if (QFile::exists(Str("/proc/version"))) {
        EXPECT_TRUE(ReadStartFile(Str("/proc/version"), Version));
        EXPECT_TRUE(Version.startsWith("Linux")) << Version.toStdString();
    }
}
#endif
