// Copied text with names that are not valid UTF-8: the program reads back
// the bytes' stand-ins, other programs read U+FFFD, as the screen shows.
#include "platform/qt/uClipboardText.h"
#include "platform/qt/uFileNames.h"

#include <gtest/gtest.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

} // namespace

TEST(ClipboardText, StandInsBecomeReplacementCharacters)
{
    const struct {
        QString Text;
        QString Other;
    } Cases[] = {
        {FileNameToQString("caf\xE9.txt"), Str("caf\xEF\xBF\xBD.txt")},
        {FileNameToQString("\xFF\xFE x \x80"), Str("\xEF\xBF\xBD\xEF\xBF\xBD x \xEF\xBF\xBD")},
        {Str("caf\xC3\xA9 \xF0\x9F\x93\x81 \xD7\xA9"), Str("caf\xC3\xA9 \xF0\x9F\x93\x81 \xD7\xA9")}, // é, a folder sign, shin
        {QString(QChar(0xD83D)) + Str("x"), Str("\xEF\xBF\xBDx")},                                   // a half pair
        {QString(), QString()},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Text.toStdString());
        EXPECT_EQ(TextForOtherPrograms(C.Text), C.Other);
    }
}

TEST(ClipboardText, TheProgramReadsTheStandInsOthersTheirReplacement)
{
    const QString Name = FileNameToQString("/data/caf\xE9.txt");
    QMimeData Copied;
    Copied.setText(Name + Str("\t3\r\n"));
    Copied.setHtml(Str("<b>x</b>"));
    const TClipboardText Text(Copied);
    EXPECT_EQ(Text.text(), Copied.text());
    EXPECT_EQ(QStringToFileName(Text.text().section(QLatin1Char('\t'), 0, 0)), "/data/caf\xE9.txt");
    EXPECT_EQ(Text.data(Str("text/plain")), QByteArray("/data/caf\xEF\xBF\xBD.txt\t3\r\n"));
    EXPECT_EQ(Text.html(), Copied.html());
    EXPECT_EQ(Text.formats(), Copied.formats());
}
