// File names that are not valid UTF-8 survive the trip through Qt's text.
#include "platform/qt/uFileNames.h"

#include <gtest/gtest.h>

#ifndef Q_OS_WIN

TEST(FileNames, EveryByteStringComesBackUnchanged)
{
    const std::string Cases[] = {
        "",
        "plain.txt",
        "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80",  // ü € and an emoji: valid UTF-8
        "caf\xE9.txt",                             // Latin-1
        "a\xFF",
        "\x80",
        "\xE2\x82",            // cut short
        "\xE2\x82.txt",
        "\xC0\xAF",            // overlong "/"
        "\xED\xA0\x80",        // an encoded surrogate
        "\xF4\x90\x80\x80",    // past U+10FFFF
        "\xF0\x9F\x98\x80\xFF",
        "\xFF\xF0\x9F\x98\x80",
        "\xED\xB2\x80",        // U+DC80 encoded: invalid, so escaped byte by byte
    };
    for (const std::string& Bytes : Cases) {
        SCOPED_TRACE(::testing::PrintToString(Bytes));
        const QString Text = FileNameToQString(Bytes);
        EXPECT_EQ(QStringToFileName(Text), Bytes);
    }
}

TEST(FileNames, ValidUtf8ReadsAsItsText)
{
    for (const char* Bytes : {"plain.txt", "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"})
        EXPECT_EQ(FileNameToQString(Bytes), QString::fromUtf8(Bytes));
    // Only the stray byte stands apart; the text around it stays readable.
    const QString Mixed = FileNameToQString("caf\xE9.txt");
    EXPECT_EQ(Mixed.size(), 8);
    EXPECT_TRUE(Mixed.startsWith("caf"));
    EXPECT_TRUE(Mixed.endsWith(".txt"));
}

TEST(FileNames, TextWithoutBytesBehindItBecomesUtf8)
{
    EXPECT_EQ(QStringToFileName(QString::fromUtf8("\xC3\xBC.txt")), "\xC3\xBC.txt");
    // A lone surrogate outside the escapes (typed or pasted) has no byte to
    // return to: it becomes U+FFFD, as Qt writes it.
    const QString Lone = QString(QChar(char16_t(0xD800))) + "x";
    EXPECT_EQ(QStringToFileName(Lone), "\xEF\xBF\xBDx");
}

#endif
