#include "forms/fText.h"
#include "forms/uForms.h"
#include "settings_scope.h"
#include "pseudo_translation.h"
#include "support/design_texts.h"

#include "engine/uSorvik.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMainWindow>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <vector>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

// Records what the text window hands to the main window.
class TRecordingMain {
public:
    explicit TRecordingMain(TFormText& Form)
    {
        QObject::connect(&Form, &TFormText::TextToHash, &Form, [this](const QByteArray& Data) { Hashed.push_back(Data); });
    }
    std::vector<QByteArray> Hashed;
};

std::string Md5Of(const QByteArray& Data)
{
    TSorvikMD5 Md5;
    Md5.Init();
    Md5.Update(Data.constData(), static_cast<std::size_t>(Data.size()));
    Md5.Final();
    return Md5.GetHash();
}

class TextWindow : public ::testing::Test {
protected:
    TSettingsScope Scope;
    TFormText Form;
    TRecordingMain Main{Form};

    // Types into the memo as a user would.
    void Type(const QString& Text)
    {
        Form.MemoText->setFocus();
        QTest::keyClicks(Form.MemoText, Text);
    }
    void ShowForm()
    {
        Form.ShowAndRaise();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    }
};

TEST_F(TextWindow, IsBuiltWithItsComponentNames)
{
    EXPECT_EQ(Form.objectName(), Str("FormText"));
    EXPECT_EQ(Form.windowTitle(), Str("Hash Text"));
    for (const char* Name :
         {"BitBtnHash", "GroupBoxEncoding", "RB_EncodingUTF8", "RB_EncodingUnicode", "RB_EncodingANSI", "MemoText"})
        EXPECT_NE(Form.findChild<QWidget*>(Str(Name)), nullptr) << Name;
    EXPECT_TRUE(Form.RB_EncodingUTF8->isChecked());
    EXPECT_EQ(Form.MemoText->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_FALSE(Form.isVisible());
}

struct TEncodingCase {
    const char* Name;
    QString Text;
    TTextEncoding Encoding;
    QByteArray Bytes;
    const char* Md5;
};

TEST_F(TextWindow, HashesTheBytesOfTheChosenEncoding)
{
    const std::vector<TEncodingCase> Cases = {
        {"abc UTF-8", Str("abc"), teUTF8, QByteArray::fromHex("616263"), "900150983cd24fb0d6963f7d28e17f72"},
        {"abc Unicode", Str("abc"), teUnicode, QByteArray::fromHex("610062006300"), "ce1473cf80c6b3fda8e3dfc006adc315"},
        {"abc ANSI", Str("abc"), teANSI, QByteArray::fromHex("616263"), "900150983cd24fb0d6963f7d28e17f72"},
        {"no-break space kept", Str("a\u00A0b"), teUTF8, QByteArray::fromHex("61c2a062"), "7570c04097240e0563415b8d354c4607"},
        {"ANSI is UTF-8", Str("a\u00A0b"), teANSI, QByteArray::fromHex("61c2a062"), "7570c04097240e0563415b8d354c4607"},
        {"empty memo", QString(), teUTF8, QByteArray(), "d41d8cd98f00b204e9800998ecf8427e"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Form.MemoText->setPlainText(C.Text);
        QRadioButton* Button = C.Encoding == teUnicode ? Form.RB_EncodingUnicode
                               : C.Encoding == teANSI  ? Form.RB_EncodingANSI
                                                       : Form.RB_EncodingUTF8;
        Button->setChecked(true);   // hidden: no hash yet
        Main.Hashed.clear();
        QTest::mouseClick(Form.BitBtnHash, Qt::LeftButton);
        ASSERT_EQ(Main.Hashed.size(), 1u);
        EXPECT_EQ(Main.Hashed[0].toHex(), C.Bytes.toHex());
        EXPECT_EQ(Md5Of(Main.Hashed[0]), C.Md5);
        // The memo shows what was hashed, unchanged for text that survives.
        EXPECT_EQ(Form.MemoText->document()->toRawText(), C.Text);
    }
}

TEST_F(TextWindow, LineBreaksAreHashedAsCrLfWithoutATrailingOne)
{
    ShowForm();
    struct TCase {
        const char* Name;
        std::vector<QString> Lines;   // typed, Enter between them
        Qt::KeyboardModifiers Break;  // Shift+Enter gives a line separator
        QByteArray Bytes;
    };
    const std::vector<TCase> Cases = {
        {"two paragraphs", {Str("a"), Str("b")}, Qt::NoModifier, QByteArray::fromHex("610d0a62")},
        {"line separator", {Str("a"), Str("b")}, Qt::ShiftModifier, QByteArray::fromHex("610d0a62")},
        {"trailing break typed", {Str("a"), QString()}, Qt::NoModifier, QByteArray::fromHex("610d0a")},
        {"three lines", {Str("x"), QString(), Str("y")}, Qt::NoModifier, QByteArray::fromHex("780d0a0d0a79")},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Form.MemoText->clear();
        Form.MemoText->setFocus();
        for (std::size_t I = 0; I < C.Lines.size(); ++I) {
            if (I > 0)
                QTest::keyClick(Form.MemoText, Qt::Key_Return, C.Break);
            QTest::keyClicks(Form.MemoText, C.Lines[I]);
        }
        Main.Hashed.clear();
        QTest::mouseClick(Form.BitBtnHash, Qt::LeftButton);
        ASSERT_EQ(Main.Hashed.size(), 1u);
        EXPECT_EQ(Main.Hashed[0].toHex(), C.Bytes.toHex());
    }
    EXPECT_EQ(Md5Of(QByteArray::fromHex("610d0a62")), "65d5f03c46e62e3f2babbe712d2ce464");
}

TEST_F(TextWindow, CtrlEnterHashesWithoutABreakAndEnterAloneOnlyBreaks)
{
    ShowForm();
    Type(Str("abc"));
    QTest::keyClick(Form.MemoText, Qt::Key_Return);
    EXPECT_TRUE(Main.Hashed.empty());
    EXPECT_EQ(Form.MemoText->toPlainText(), Str("abc\n"));

    Form.MemoText->setPlainText(Str("abc"));
    Form.MemoText->moveCursor(QTextCursor::End);
    for (Qt::KeyboardModifiers Mods : {Qt::KeyboardModifiers(Qt::ControlModifier),
                                       Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)}) {
        Main.Hashed.clear();
        QTest::keyClick(Form.MemoText, Qt::Key_Return, Mods);
        ASSERT_EQ(Main.Hashed.size(), 1u);
        EXPECT_EQ(Main.Hashed[0], QByteArray("abc"));
        EXPECT_EQ(Form.MemoText->toPlainText(), Str("abc"));
    }
    Main.Hashed.clear();
    QTest::keyClick(Form.MemoText, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(Main.Hashed.size(), 1u);
}

// The memo fills the window below the 52-pixel band of the button and the
// encodings, as designed.
TEST_F(TextWindow, TheMemoFillsTheWindowBelowTheBand)
{
    ShowForm();
    EXPECT_EQ(Form.MemoText->geometry(), QRect(0, 52, Form.width(), Form.height() - 52));
    EXPECT_LE(Form.BitBtnHash->geometry().bottom(), 52);
    EXPECT_LE(Form.GroupBoxEncoding->geometry().bottom(), 52);
    Form.hide();
}

// Esc is an ordinary key here: the window stays open and the text as typed.
TEST_F(TextWindow, EscLeavesTheWindowOpen)
{
    ShowForm();
    Type(Str("abc"));
    for (QWidget* Target : {static_cast<QWidget*>(Form.MemoText), static_cast<QWidget*>(Form.BitBtnHash)}) {
        Target->setFocus();
        QTest::keyClick(Target, Qt::Key_Escape);
        EXPECT_TRUE(Form.isVisible()) << Target->objectName().toStdString();
    }
    EXPECT_EQ(Form.MemoText->toPlainText(), Str("abc"));
    EXPECT_TRUE(Main.Hashed.empty());
    Form.hide();
}

TEST_F(TextWindow, EncodingChangeHashesOnceAndOnlyWhileShown)
{
    Form.MemoText->setPlainText(Str("abc"));
    Form.RB_EncodingUnicode->setChecked(true);
    Form.RB_EncodingUTF8->setChecked(true);
    EXPECT_TRUE(Main.Hashed.empty()) << "hidden window hashed on an encoding change";

    ShowForm();
    QTest::mouseClick(Form.RB_EncodingUnicode, Qt::LeftButton);
    ASSERT_EQ(Main.Hashed.size(), 1u);
    EXPECT_EQ(Main.Hashed[0].toHex(), QByteArray("610062006300"));
    QTest::mouseClick(Form.RB_EncodingANSI, Qt::LeftButton);
    ASSERT_EQ(Main.Hashed.size(), 2u);
    EXPECT_EQ(Main.Hashed[1], QByteArray("abc"));
    EXPECT_EQ(Form.SelectedEncoding(), teANSI);

    Form.close();
    EXPECT_FALSE(Form.isVisible());
    Form.RB_EncodingUTF8->setChecked(true);
    EXPECT_EQ(Main.Hashed.size(), 2u);
    EXPECT_EQ(Form.MemoText->toPlainText(), Str("abc")) << "closing keeps the text";
}

TEST_F(TextWindow, TheMemoShowsWhatWasHashed)
{
    // A lone surrogate (pasted from a broken source) has no bytes of its own:
    // whatever it becomes, the memo must afterwards show exactly that.
    QString Broken = Str("a");
    Broken += QChar(0xD800);
    Broken += Str("b");
    for (QRadioButton* Button : {Form.RB_EncodingUTF8, Form.RB_EncodingUnicode}) {
        SCOPED_TRACE(Button->objectName().toStdString());
        Button->setChecked(true);
        Form.MemoText->setPlainText(Broken);
        Main.Hashed.clear();
        QTest::mouseClick(Form.BitBtnHash, Qt::LeftButton);
        ASSERT_EQ(Main.Hashed.size(), 1u);
        const QString Shown = Form.MemoText->document()->toRawText();
        EXPECT_NE(Shown, Broken);
        QByteArray Expected;
        if (Button == Form.RB_EncodingUTF8)
            Expected = Shown.toUtf8();
        else
            for (QChar C : Shown)
                Expected.append(char(C.unicode() & 0xFF)).append(char(C.unicode() >> 8));
        EXPECT_EQ(Main.Hashed[0].toHex(), Expected.toHex());
    }
}

TEST_F(TextWindow, OpensCentredOnTheMainWindowOnlyTheFirstTime)
{
    QMainWindow Anchor;
    Anchor.setGeometry(100, 80, 560, 420);   // inside the offscreen screen
    Anchor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Anchor));
    ShowForm();
    EXPECT_LE((Form.frameGeometry().center() - Anchor.frameGeometry().center()).manhattanLength(), 1)
        << "the frame, at the first opening too";
    Form.close();
    Form.move(20, 30);
    Form.ShowAndRaise();
    EXPECT_EQ(Form.pos(), QPoint(20, 30)) << "the user's place is kept";
}

TEST_F(TextWindow, WithoutAMainWindowNothingBreaks)
{
    QObject::disconnect(&Form, &TFormText::TextToHash, nullptr, nullptr);
    Form.MemoText->setPlainText(Str("abc"));
    QTest::mouseClick(Form.BitBtnHash, Qt::LeftButton);
    EXPECT_TRUE(Main.Hashed.empty());
}

} // namespace

// Typed in a right-to-left window, each paragraph sits at its own start:
// Hebrew at the right, Latin at the left; long lines still do not wrap, and
// the text hashed is what was typed.
TEST(TextWindowRightToLeft, ParagraphsAlignByTheirOwnDirection)
{
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    {
        TSettingsScope Scope;
        TFormText Form;
        Form.show();
        const QString Long = QString(300, QLatin1Char('x'));
        for (const QChar C : Str("שלום עולם")) { // typed as a Hebrew keyboard sends it
            QKeyEvent Press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(C));
            QApplication::sendEvent(Form.MemoText, &Press);
        }
        QTest::keyClick(Form.MemoText, Qt::Key_Return);
        QTest::keyClicks(Form.MemoText, Str("Hello world"));
        QPlainTextEdit* Memo = Form.MemoText;
        const QTextBlock Hebrew = Memo->document()->firstBlock();
        const QTextBlock Latin = Hebrew.next();
        ASSERT_TRUE(Latin.isValid());
        const int Width = Memo->viewport()->width();
        EXPECT_GT(Memo->cursorRect(QTextCursor(Hebrew)).center().x(), Width * 3 / 4);
        EXPECT_LT(Memo->cursorRect(QTextCursor(Latin)).center().x(), Width / 4);

        QTest::keyClick(Form.MemoText, Qt::Key_Return);
        QTest::keyClicks(Form.MemoText, Long);
        EXPECT_EQ(Form.MemoTextUtf8(), Str("שלום עולם\r\nHello world\r\n").toStdString() + Long.toStdString());
        EXPECT_EQ(Memo->document()->blockCount(), 3);
        EXPECT_EQ(Latin.next().layout()->lineCount(), 1) << "a long line does not wrap";
        Form.hide();
    }
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}
