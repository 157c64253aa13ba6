// Paths of a drop as a file manager sends them.
#include "platform/qt/uDroppedPaths.h"

#include "platform/qt/uFileNames.h"

#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

TEST(DroppedPaths, LocalFilesInOrderOthersLeftOut)
{
    QMimeData Data;
    Data.setUrls({QUrl::fromLocalFile("/tmp/a b.txt"), QUrl("https://example.org/x"), QUrl::fromLocalFile("/tmp/c")});
    EXPECT_EQ(DroppedPaths(&Data), QStringList({"/tmp/a b.txt", "/tmp/c"}));
    QMimeData Text;
    Text.setText("/tmp/a");
    EXPECT_TRUE(DroppedPaths(&Text).isEmpty()) << "text is not a dropped file";
    EXPECT_TRUE(DroppedPaths(nullptr).isEmpty());
    EXPECT_TRUE(DroppedPath(QUrl("https://example.org/x")).isEmpty());
}

#ifndef Q_OS_WIN
TEST(DroppedPaths, NamesThatAreNotUtf8KeepTheirBytes)
{
    const std::string Name = "/tmp/caf\xE9 %.txt";
    const QUrl Url = QUrl::fromEncoded(QByteArray("file://") + QByteArray::fromStdString(Name).toPercentEncoding("/"));
    ASSERT_TRUE(Url.isLocalFile());
    EXPECT_EQ(QStringToFileName(DroppedPath(Url)), Name);
    EXPECT_EQ(DroppedPath(QUrl::fromLocalFile(QString::fromUtf8("/tmp/\xC3\xBC.txt"))), QString::fromUtf8("/tmp/\xC3\xBC.txt"));
}
#endif
