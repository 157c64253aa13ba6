#include "forms/fCompare.h"
#include "settings_scope.h"
#include "pseudo_translation.h"
#include "support/design_texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

const char* const Md5 = "900150983cd24fb0d6963f7d28e17f72";
const char* const Md5Upper = "900150983CD24FB0D6963F7D28E17F72";
const char* const Sha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
const char* const Crc = "352441c2";

class CompareWindow : public ::testing::Test {
protected:
    TSettingsScope Scope;
    TFormCompare Form;

    void TearDown() override { Form.hide(); }

    // What the main window does on a row's compare button.
    void StartFrom(THashType Row, const char* Digest)
    {
        Form.FileHashes.Clear();
        Form.FileHashes.Put(htCRC32, Crc);
        Form.FileHashes.Put(htMD5, Md5);
        Form.FileHashes.Put(htSHA1, Sha1);
        Form.Start(Row, Str(Digest));
    }

    bool Good() const { return !Form.Image_Good->isHidden(); }
    bool Bad() const { return !Form.Image_Bad->isHidden(); }
};

TEST_F(CompareWindow, IsBuiltHiddenWithItsComponentNames)
{
    EXPECT_EQ(Form.objectName(), Str("FormCompare"));
    EXPECT_EQ(Form.windowTitle(), Str("Compare Hash"));
    for (const char* Name : {"Label1", "EditHashUser", "Label_Pasted", "Label2", "EditHashCompare", "Label_HashType",
                             "Image_Good", "Image_Bad", "CB_CompareToAnyHash"})
        EXPECT_NE(Form.findChild<QWidget*>(Str(Name)), nullptr) << Name;
    EXPECT_FALSE(Form.isVisible());
    EXPECT_TRUE(Form.EditHashCompare->isReadOnly());
    EXPECT_EQ(Form.HashType, htNone);
    EXPECT_TRUE(Form.FileHash.empty());
    const QFont Fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    EXPECT_EQ(Form.EditHashUser->font().family(), Fixed.family());
    EXPECT_EQ(Form.EditHashCompare->font().family(), Fixed.family());
    EXPECT_EQ(Form.minimumSize(), Form.maximumSize()) << "a fixed border";
}

struct TCompareCase {
    const char* Name;
    QString Clipboard;
    bool AnyType;
    THashType Row;
    const char* RowDigest;
    bool Match;
    QString EditUser;      // what the first edit shows afterwards
    QString Shown;         // the digest compared with
    QString TypeName;
};

TEST_F(CompareWindow, ComparesThePastedValue)
{
    const std::vector<TCompareCase> Cases = {
        {"CR LF and blanks around", Str("\r\n  %1 \t\r\n").arg(Str(Md5)), false, htMD5, Md5, true, Str(Md5), Str(Md5),
         Str("MD5")},
        {"blanks inside", Str("90015098 3cd24fb0 d6963f7d 28e17f72"), false, htMD5, Md5, true,
         Str("90015098 3cd24fb0 d6963f7d 28e17f72"), Str(Md5), Str("MD5")},
        {"other letter case", Str(Md5Upper), false, htMD5, Md5, true, Str(Md5Upper), Str(Md5), Str("MD5")},
        {"different digest", Str(Sha1), false, htMD5, Md5, false, Str(Sha1), Str(Md5), Str("MD5")},
        {"any type finds MD5", Str(Md5), true, htSHA1, Sha1, true, Str(Md5), Str(Md5), Str("MD5")},
        {"any type off", Str(Md5), false, htSHA1, Sha1, false, Str(Md5), Str(Sha1), Str("SHA1")},
        {"any type finds nothing", Str("deadbeef"), true, htSHA1, Sha1, false, Str("deadbeef"), Str(Sha1),
         Str("SHA1")},
        {"row without a digest", Str(Md5), false, htSHA256, "", false, Str(Md5), QString(), QString()},
        {"row without a digest, any type", Str(Md5), true, htSHA256, "", true, Str(Md5), Str(Md5), Str("MD5")},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Form.hide();
        Form.CB_CompareToAnyHash->setChecked(C.AnyType);
        QApplication::clipboard()->setText(C.Clipboard);
        StartFrom(C.Row, C.RowDigest);
        EXPECT_TRUE(Form.isVisible());
        EXPECT_EQ(Form.EditHashUser->text(), C.EditUser);
        EXPECT_EQ(Form.Label_Pasted->text(), Str("Auto pasted from clipboard"));
        EXPECT_EQ(Good(), C.Match);
        EXPECT_NE(Good(), Bad()) << "exactly one picture";
        EXPECT_EQ(Form.EditHashCompare->text(), C.Shown);
        EXPECT_EQ(Form.Label_HashType->text(), C.TypeName);
    }
}

TEST_F(CompareWindow, AnyTypeSearchTakesTheLowestType)
{
    Form.CB_CompareToAnyHash->setChecked(true);
    Form.FileHashes.Clear();
    Form.FileHashes.Put(htSHA256, "00aa");
    Form.FileHashes.Put(htMD4, "00AA");
    Form.FileHashes.Put(htED2K, "00aa");
    QApplication::clipboard()->setText(Str("00aa"));
    Form.Start(htSHA1, Str(Sha1));
    EXPECT_TRUE(Good());
    EXPECT_EQ(Form.Label_HashType->text(), Str("MD4"));
    EXPECT_EQ(Form.EditHashCompare->text(), Str("00AA"));
}

TEST_F(CompareWindow, AnEmptyValueNeverMatches)
{
    Form.CB_CompareToAnyHash->setChecked(true);
    QApplication::clipboard()->clear();
    Form.FileHashes.Clear();
    Form.Start(htMD5, QString());
    EXPECT_EQ(Form.EditHashUser->text(), QString());
    EXPECT_FALSE(Good()) << "empty against empty";
    EXPECT_TRUE(Bad());
    Form.EditHashUser->setText(Str(" \t "));
    EXPECT_FALSE(Good()) << "blanks only";
}

TEST_F(CompareWindow, EmptyClipboardKeepsThePreviousValue)
{
    QApplication::clipboard()->setText(Str(Md5));
    StartFrom(htMD5, Md5);
    Form.close();
    QApplication::clipboard()->setText(Str(" \r\n "));
    StartFrom(htMD5, Md5);
    EXPECT_EQ(Form.EditHashUser->text(), Str(Md5));
    EXPECT_EQ(Form.Label_Pasted->text(), QString());
    EXPECT_TRUE(Good());
}

TEST_F(CompareWindow, StartWhileShownDoesNotPasteAgain)
{
    QApplication::clipboard()->setText(Str(Md5));
    StartFrom(htMD5, Md5);
    ASSERT_TRUE(Form.isVisible());
    QApplication::clipboard()->setText(Str(Sha1));
    StartFrom(htSHA1, Sha1);
    EXPECT_EQ(Form.EditHashUser->text(), Str(Md5));
    EXPECT_EQ(Form.Label_HashType->text(), Str("SHA1"));
    EXPECT_FALSE(Good());
    // Hidden and shown again: that is a new use, which reads the clipboard.
    Form.close();
    StartFrom(htSHA1, Sha1);
    EXPECT_EQ(Form.EditHashUser->text(), Str(Sha1));
    EXPECT_TRUE(Good());
}

TEST_F(CompareWindow, TypingClearsThePastedNoteAndComparesAtEveryChange)
{
    QApplication::clipboard()->setText(Str("90015098"));
    StartFrom(htMD5, Md5);
    EXPECT_EQ(Form.Label_Pasted->text(), Str("Auto pasted from clipboard"));
    EXPECT_FALSE(Good());
    Form.EditHashUser->setFocus();
    Form.EditHashUser->end(false);
    QTest::keyClicks(Form.EditHashUser, Str("3cd24fb0d6963f7d28e17f7"));
    EXPECT_EQ(Form.Label_Pasted->text(), QString());
    EXPECT_FALSE(Good());
    QTest::keyClicks(Form.EditHashUser, Str("2"));
    EXPECT_TRUE(Good());
    QTest::keyClick(Form.EditHashUser, Qt::Key_Backspace);
    EXPECT_FALSE(Good());
}

TEST_F(CompareWindow, TheCheckBoxIsStoredUnlessTheWindowSetsIt)
{
    {
        Scope->CompareToAnyHash = true;
        TFormCompare Other;
        EXPECT_TRUE(Other.CB_CompareToAnyHash->isChecked());
        EXPECT_TRUE(Scope->CompareToAnyHash);
    }
    QApplication::clipboard()->setText(Str(Md5));
    StartFrom(htSHA1, Sha1);
    EXPECT_FALSE(Good());
    QTest::mouseClick(Form.CB_CompareToAnyHash, Qt::LeftButton);
    EXPECT_TRUE(Scope->CompareToAnyHash);
    EXPECT_TRUE(Good()) << "compared again at once";
    QTest::mouseClick(Form.CB_CompareToAnyHash, Qt::LeftButton);
    EXPECT_FALSE(Scope->CompareToAnyHash);
    EXPECT_FALSE(Good());
}

TEST_F(CompareWindow, EscHidesAndKeepsTheValue)
{
    QApplication::clipboard()->setText(Str(Md5));
    StartFrom(htMD5, Md5);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    QTest::keyClick(Form.EditHashUser, Qt::Key_Escape);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Form.EditHashUser->text(), Str(Md5));
}

} // namespace
