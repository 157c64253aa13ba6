// The program's message boxes: a long file name wraps inside the box
// instead of running past its edge.
#include "app/uUserInteraction.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

TEST(MessageBoxes, LongNamesWrapInsideTheBox)
{
    // A name of 255 characters, the longest most file systems take, and one
    // in Hebrew with a combining mark.
    const QString Plain = QStringLiteral("/home/user/logs/") + QString(251, QLatin1Char('n')) + QStringLiteral(".sfv");
    const QString Hebrew = QStringLiteral("/tmp/") + QString::fromUtf8("בְּ").repeated(80) + QStringLiteral(".sfv");
    for (const QString& Name : {Plain, Hebrew}) {
        const QString Text = QStringLiteral("Failed to save the log:\r\nUnable to create file \"") + Name
                             + QStringLiteral("\": No space left on device");
        for (const QMessageBox::Icon Icon : {QMessageBox::Critical, QMessageBox::Warning, QMessageBox::Information}) {
            auto Box = CreateMessageBox(Icon, Text, nullptr);
            Box->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(Box.get()));
            auto* Label = Box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            ASSERT_NE(Label, nullptr);
            EXPECT_LE(Label->minimumSizeHint().width(), Label->width()) << "the text needs no more room than it has";
            EXPECT_LE(Label->geometry().right(), Box->contentsRect().right()) << "the label stays inside the box";
            EXPECT_GE(Label->height(), 3 * Label->fontMetrics().height()) << "the name is wrapped";

            // What the box shows is the text given, but for the invisible wrap points.
            EXPECT_EQ(Label->text().remove(QChar(0x200B)), QString(Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        }
    }
}
