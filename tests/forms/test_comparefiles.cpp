#include "forms/fCompareFiles.h"
#include "settings_scope.h"
#include "pseudo_translation.h"
#include "support/design_texts.h"
#include "support/text_direction.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QGuiApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

THashFile File(const char* Name, std::vector<std::pair<THashType, const char*>> Hashes)
{
    THashFile F(Name);
    for (const auto& [T, Text] : Hashes)
        F.Hashes.Put(T, Text);
    return F;
}

class CompareFilesWindow : public ::testing::Test {
protected:
    TSettingsScope Scope;
    TFormCompareFiles Form;

    void TearDown() override { Form.hide(); }
    QString Report() const { return Form.Memo_Notes->toPlainText(); }
    bool Good() const { return !Form.Image_Good->isHidden(); }
    bool Bad() const { return !Form.Image_Bad->isHidden(); }
};

TEST_F(CompareFilesWindow, IsBuiltHiddenWithItsComponentNames)
{
    EXPECT_EQ(Form.objectName(), Str("FormCompareFiles"));
    EXPECT_EQ(Form.windowTitle(), Str("Compare Files"));
    for (const char* Name :
         {"Label_FileA", "Edit_FileA", "Label_FileB", "Edit_FileB", "Image_Good", "Image_Bad", "Label1", "Memo_Notes"})
        EXPECT_NE(Form.findChild<QWidget*>(Str(Name)), nullptr) << Name;
    EXPECT_FALSE(Form.isVisible());
    EXPECT_TRUE(Form.Edit_FileA->isReadOnly());
    EXPECT_TRUE(Form.Memo_Notes->isReadOnly());
    EXPECT_EQ(Form.minimumSize(), Form.size()) << "never smaller than at creation";
    EXPECT_GE(Form.width(), 481);
    EXPECT_GE(Form.height(), 257);
}

TEST_F(CompareFilesWindow, ReportsMatchingAndDifferingTypes)
{
    const THashFile A = File("/x/a.iso", {{htCRC32, "352441c2"},
                                          {htMD5, "900150983cd24fb0d6963f7d28e17f72"},
                                          {htSHA1, "a9993e364706816aba3e25717850c26c9cd0d89d"},
                                          {htSHA256, "ba7816bf"}});
    const THashFile B = File("/y/b.iso", {{htCRC32, "352441C2"},
                                          {htMD5, "900150983CD24FB0D6963F7D28E17F72"},
                                          {htSHA1, "0000000000000000000000000000000000000000"},
                                          {htED2K, "a448017a"}});
    EXPECT_FALSE(Form.Compare(A, B));
    EXPECT_TRUE(Form.isVisible());
    EXPECT_EQ(Form.Edit_FileA->text(), Str("/x/a.iso"));
    EXPECT_EQ(Form.Edit_FileB->text(), Str("/y/b.iso"));
    EXPECT_TRUE(Bad());
    EXPECT_FALSE(Good());
    EXPECT_EQ(Report(), Str("Result: 2 out of 3 available hashes matched.\n"
                            "\n"
                            "Matching: CRC32,MD5\n"
                            "* CRC32: 352441c2\n"
                            "* MD5: 900150983cd24fb0d6963f7d28e17f72\n"
                            "\n"
                            "Not matching: SHA1\n"
                            "* SHA1: a9993e364706816aba3e25717850c26c9cd0d89d\n"
                            "* SHA1: 0000000000000000000000000000000000000000"));
}

TEST_F(CompareFilesWindow, AllCommonTypesMatchingInUpperCase)
{
    Scope->UpperCaseHash = true;
    const THashFile A = File("a", {{htMD4, "a448017aaf21d8525fc10ae87aa6729d"}, {htED2K, "a448017a"}});
    const THashFile B = File("b", {{htMD4, "A448017AAF21D8525FC10AE87AA6729D"}, {htED2K, "A448017A"}, {htMD2, "da"}});
    EXPECT_TRUE(Form.Compare(A, B));
    EXPECT_TRUE(Good());
    EXPECT_FALSE(Bad());
    EXPECT_EQ(Report(), Str("Result: 2 out of 2 available hashes matched.\n"
                            "\n"
                            "Matching: MD4,ED2K\n"
                            "* MD4: A448017AAF21D8525FC10AE87AA6729D\n"
                            "* ED2K: A448017A"));
}

TEST_F(CompareFilesWindow, NothingInCommonIsNoMatch)
{
    const std::vector<std::pair<const char*, THashFile>> Others = {
        {"other types", File("b", {{htSHA1, "a9993e36"}})},
        {"failed file", File("b", {})},
    };
    for (const auto& [Name, B] : Others) {
        SCOPED_TRACE(Name);
        Form.ShowResult(true);
        EXPECT_FALSE(Form.Compare(File("a", {{htMD5, "9001"}}), B));
        EXPECT_EQ(Report(), Str("Result: 0 out of 0 available hashes matched."));
        EXPECT_TRUE(Bad());
        EXPECT_FALSE(Good());
    }
}

TEST_F(CompareFilesWindow, EachCompareReplacesTheReport)
{
    EXPECT_FALSE(Form.Compare(File("a", {{htCRC32, "01"}}), File("b", {{htCRC32, "02"}})));
    EXPECT_TRUE(Form.Compare(File("c", {{htCRC32, "03"}}), File("d", {{htCRC32, "03"}})));
    EXPECT_EQ(Report(), Str("Result: 1 out of 1 available hashes matched.\n\nMatching: CRC32\n* CRC32: 03"));
    EXPECT_EQ(Form.Edit_FileA->text(), Str("c"));
    QTest::keyClick(&Form, Qt::Key_Escape);
    EXPECT_FALSE(Form.isVisible());
}

TEST(CompareFilesWindowTexts, ATranslatedResultLineCannotReadMissingArguments)
{
    TSettingsScope Scope;
    TFormCompareFiles Form;
    snummatchedhashes.SetText("%d/%d %s %s");
    THashFile A("a");
    A.Hashes.Put(htMD5, "01");
    Form.Compare(A, A);
    snummatchedhashes.Restore();
    Form.hide();
    EXPECT_EQ(Form.Memo_Notes->toPlainText().section(QLatin1Char('\n'), 0, 0), Str("1/1  "));
}

} // namespace

// In a right-to-left window the report opens showing where every line
// begins: each line starts at the right edge, in view, with the type names
// and digests reading left to right; its words are the same as in English.
TEST(CompareFilesRightToLeft, EveryLineStartsAtTheRightInView)
{
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    // Hebrew texts, as a Hebrew translation gives them.
    snummatchedhashes.SetText("תוצאה: %d מתוך %d גיבובים זמינים תואמים.");
    smatchinghashes.SetText("תואמים:");
    snotmatchinghashes.SetText("לא תואמים:");
    {
        TSettingsScope Scope;
        TFormCompareFiles Form;
        const THashFile A = File("/x/a.iso", {{htCRC32, "352441c2"}, {htSHA512, "aaaa"}});
        THashFile B = File("/y/b.iso", {{htCRC32, "352441c2"}});
        B.Hashes.Put(htSHA512, std::string(128, 'b')); // wider than the window
        THashFile A2 = A;
        A2.Hashes.Put(htSHA512, std::string(128, 'a'));
        EXPECT_FALSE(Form.Compare(A2, B));
        QTest::qWait(50);
        QPlainTextEdit* Memo = Form.Memo_Notes;
        EXPECT_EQ(directiontest::WithoutMarks(Memo->toPlainText()).remove(QChar(0x200F)),
                  Str("תוצאה: 1 מתוך 2 גיבובים זמינים תואמים.\n\nתואמים: CRC32\n* CRC32: 352441c2\n\n"
                      "לא תואמים: SHA512\n* SHA512: ")
                      + QString(128, QLatin1Char('a')) + Str("\n* SHA512: ") + QString(128, QLatin1Char('b')));
        const QRect View = Memo->viewport()->rect();
        int Lines = 0;
        for (QTextBlock Block = Memo->document()->begin(); Block.isValid(); Block = Block.next()) {
            if (Block.text().isEmpty())
                continue;
            QTextCursor C(Block);
            const QRect Start = Memo->cursorRect(C);
            EXPECT_LE(Start.center().x(), View.right()) << Block.text().toStdString();
            EXPECT_GT(Start.center().x(), View.width() * 3 / 4) << Block.text().toStdString();
            ++Lines;
        }
        EXPECT_EQ(Lines, 6);
        Form.hide();
    }
    for (TResourceString* S : {&snummatchedhashes, &smatchinghashes, &snotmatchinghashes})
        S->Restore();
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}

// The right-to-left report wraps between words: the list of types breaks
// only after one of its commas, never inside a name; a digest longer than a
// line is the one thing cut.
TEST(CompareFilesRightToLeft, TypeListBreaksOnlyAfterItsCommas)
{
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    smatchinghashes.SetText("תואמים:");
    {
        TSettingsScope Scope;
        TFormCompareFiles Form;
        // Letters large enough that the list of all ten types needs two lines.
        QFont Large = Form.Memo_Notes->font();
        Large.setPixelSize(24);
        Form.Memo_Notes->setFont(Large);
        THashFile A("/x/a.iso");
        for (int T = htFirst; T <= htLast; ++T)
            A.Hashes.Put(THashType(T), T == htSHA512 ? std::string(128, 'a') : std::string("0123abcd"));
        EXPECT_TRUE(Form.Compare(A, A));
        QTest::qWait(50);
        QPlainTextEdit* Memo = Form.Memo_Notes;
        const QTextBlock Types = Memo->document()->findBlockByNumber(2);
        const QString Text = Types.text();
        ASSERT_EQ(directiontest::WithoutMarks(Text).remove(QChar(0x200B)),
                  Str("תואמים: CRC32,MD2,MD4,MD5,SHA1,SHA256,SHA512,RipeMD128,RipeMD160,ED2K"));
        (void)Memo->document()->documentLayout()->blockBoundingRect(Types); // laid out
        const QTextLayout* Layout = Types.layout();
        ASSERT_GE(Layout->lineCount(), 2) << "the list fits one line: nothing is shown";
        for (int L = 1; L < Layout->lineCount(); ++L) {
            const int Start = Layout->lineAt(L).textStart();
            const QChar Before = Text.at(Start - 1);
            EXPECT_TRUE(Before == QChar(0x200B) || Before == QLatin1Char(' '))
                << "a line begins with \"" << Text.mid(Start).toStdString() << "\"";
        }
        Form.hide();
    }
    smatchinghashes.Restore();
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}
