// Names as the user gives them and takes them: typed key by key into the
// program's file dialogs, in each language, and copied to other programs.
#include "journey_support.h"
#include "x_desktop.h"

#include "forms/fLogViewer.h"

#include "platform/qt/uFileNames.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace journey;

namespace {

class TNamesJourney : public TJourney {
protected:
    void SetUp() override
    {
        if (!CanTypeKeys())
            GTEST_SKIP() << "no X test extension to type with";
        // The program's own dialogs run, as they do for a user.
        User.Choose = [](QFileDialog& Dialog) { return TUserInteraction().ChooseFiles(Dialog); };
    }

    // The names of the files in the log, in order, from the First on.
    static QStringList LoggedFrom(int First)
    {
        QStringList Names;
        const THashFileList& Log = MainWindowAccess(*FormMain).FileList();
        for (int I = First; I < Log.Count(); ++I)
            Names.append(FileNameToQString(Log.GetItem(I)->FileName));
        return Names;
    }

    QString InFolder(const QString& Name) const { return Q(Folder.Path()) + QLatin1Char('/') + Name; }
};

// Once the file dialog named Name is the active modal window: it opens in
// Folder, as it would after an earlier visit there; Keys are typed into its
// name box, and Return confirms them.
void TypeIntoDialog(const QString& Name, const QString& Folder, const QString& Keys)
{
    QTimer::singleShot(0, qApp, [=] {
        QWidget* Modal = nullptr;
        (void)QTest::qWaitFor([&] { return (Modal = QApplication::activeModalWidget()) && Modal->objectName() == Name; },
                              5000);
        auto* Dialog = qobject_cast<QFileDialog*>(Modal);
        if (!Dialog) {
            ADD_FAILURE() << Name.toStdString() << " was not shown";
            return;
        }
        const QPointer<QFileDialog> Guard(Dialog);
        [&] {
            ASSERT_TRUE(QTest::qWaitForWindowActive(Dialog));
            Dialog->setDirectory(Folder);
            auto* Edit = Dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(Edit, nullptr);
            if (!Edit->hasFocus())
                QTest::mouseClick(Edit, Qt::LeftButton);
            ASSERT_TRUE(QTest::qWaitFor([&] { return Edit->hasFocus(); }, 5000));
            TypeKeys(Keys);
            EXPECT_TRUE(QTest::qWaitFor([&] { return Edit->text() == Keys; }, 5000)) << Edit->text().toStdString();
            TypeKey("Return");
            (void)QTest::qWaitFor([&] { return !Guard || !Guard->isVisible(); }, 5000);
        }();
        // A dialog left open would hold the journey for ever.
        if (Guard && Guard->isVisible()) {
            ADD_FAILURE() << Name.toStdString() << " stayed open";
            Guard->reject();
        }
    });
}

// What another program reads of Selection as UTF-8 (UTF8_STRING and
// text/plain) and as Latin-1 (STRING): each holds Utf8 and Latin1 in turn.
void ExpectOthersRead(const char* Selection, const QByteArray& Utf8, const QByteArray& Latin1)
{
    SCOPED_TRACE(Selection);
    for (const char* Target : {"UTF8_STRING", "text/plain"}) {
        const std::optional<QByteArray> Read = ReadSelection(Selection, Target);
        ASSERT_TRUE(Read) << Target << " was not given";
        EXPECT_TRUE(Read->contains(Utf8)) << Target << ": " << Read->toStdString();
        EXPECT_FALSE(Read->contains('?')) << Target << ": " << Read->toStdString();
    }
    const std::optional<QByteArray> Read = ReadSelection(Selection, "STRING");
    ASSERT_TRUE(Read) << "STRING was not given";
    EXPECT_TRUE(Read->contains(Latin1)) << Read->toStdString();
}

} // namespace

// Several names typed into Add files and Add folders, and one into the
// save-log dialog's chooser, in English, German and Hebrew: each dialog
// returns every name typed, and the program adds all of them.
TEST_F(TNamesJourney, EveryTypedNameIsReturned)
{
    Folder.WriteFiles({"crcA.txt", "crcB.txt", "num.txt", "abc.txt", "one/a.txt", "two/b.txt"});
    const QString Here = Q(Folder.Path());
    for (const char* Language : {"--LANG=en", "--LANG=de", "--LANG=he"}) {
        SCOPED_TRACE(Language);
        Start({QString::fromLatin1(Language)});
        ASSERT_TRUE(WaitIdle(0));

        TypeIntoDialog(QStringLiteral("OpenDialog"), Here, QStringLiteral("\"crcA.txt\" \"crcB.txt\""));
        Parts(FormMain).ActionAddFiles->trigger();
        ASSERT_TRUE(WaitIdle(2)) << LoggedFrom(0).join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(LoggedFrom(0), (QStringList{InFolder("crcA.txt"), InFolder("crcB.txt")}));

        // The second time, three names.
        TypeIntoDialog(QStringLiteral("OpenDialog"), Here, QStringLiteral("\"num.txt\" \"abc.txt\" \"crcA.txt\""));
        Parts(FormMain).ActionAddFiles->trigger();
        ASSERT_TRUE(WaitIdle(5)) << LoggedFrom(0).join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(LoggedFrom(2), (QStringList{InFolder("num.txt"), InFolder("abc.txt"), InFolder("crcA.txt")}));

        TypeIntoDialog(QStringLiteral("SelectDirectoryDialog"), Here, QStringLiteral("\"one\" \"two\""));
        Parts(FormMain).ActionAddFolder->trigger();
        ASSERT_TRUE(WaitIdle(7)) << LoggedFrom(0).join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(LoggedFrom(5), (QStringList{InFolder("one/a.txt"), InFolder("two/b.txt")}));

        // The save-log dialog's chooser gives the typed name to its box.
        WhenModal([&](QWidget* Dialog) {
            auto* Target = Dialog->findChild<QLineEdit*>(QStringLiteral("Edit_TargetPath"));
            ASSERT_NE(Target, nullptr);
            TypeIntoDialog(QStringLiteral("SaveDialog"), Here, QStringLiteral("typed log.sfv"));
            QTest::mouseClick(Dialog->findChild<QToolButton*>(QStringLiteral("SpeedButton_Browse")), Qt::LeftButton);
            EXPECT_EQ(Target->text(), InFolder("typed log.sfv"));
            QTest::mouseClick(Dialog->findChild<QPushButton*>(QStringLiteral("BitBtn_Cancel")), Qt::LeftButton);
        });
        Parts(FormMain).ActionSaveLog->trigger();

        EXPECT_EQ(Close(), 0);
        ExpectNothingSaid();
    }
}

// Names that are not valid UTF-8, copied as a user copies them: from the log
// viewer, the message list and the file box, where the screen shows U+FFFD
// for the stray byte, other programs read U+FFFD too (STRING, Latin-1, has
// none and reads "?"). Pasted back into the file box, the name still names
// the file.
TEST_F(TNamesJourney, CopiedNamesReachOtherProgramsAsShown)
{
    const std::string Cafe = (Folder.Path() / "caf\xE9.txt").string();
    std::ofstream(Cafe, std::ios::binary) << "abc";
    const std::string Gone = (Folder.Path() / "gone\xE9.txt").string();
    const QByteArray Here = QByteArray::fromStdString(Folder.Path().string());
    for (int Run = 1; Run <= 2; ++Run) {
        SCOPED_TRACE(Run);
        Start({FileNameToQString(Cafe), FileNameToQString(Gone)});
        ASSERT_TRUE(WaitIdle(1));

        Parts(FormMain).ActionViewLog->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FormLogViewer));
        QTest::mouseClick(FormLogViewer->TB_CopyToClipboard, Qt::LeftButton);
        ExpectOthersRead("CLIPBOARD", Here + "/caf\xEF\xBF\xBD.txt\t", Here + "/caf?.txt\t");
        FormLogViewer->windowHandle()->close();

        Parts(FormMain).ActionCopyMessages->trigger();
        ExpectOthersRead("CLIPBOARD", "File not found\r\n" + Here + "/gone\xEF\xBF\xBD.txt\r\n",
                         Here + "/gone?.txt");

        // The file box: all of it selected (the selection) and copied, then
        // replaced by what was copied, and Enter hashes that file again.
        QLineEdit* Box = Parts(FormMain).EditFile;
        FormMain->activateWindow();
        QTest::mouseClick(Box, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Box->hasFocus(); }, 5000));
        ASSERT_EQ(Box->text(), FileNameToQString(Cafe));
        TypeKey("a", true);
        TypeKey("c", true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Box->hasSelectedText(); }, 5000));
        ExpectOthersRead("PRIMARY", Here + "/caf\xEF\xBF\xBD.txt", Here + "/caf?.txt");
        ExpectOthersRead("CLIPBOARD", Here + "/caf\xEF\xBF\xBD.txt", Here + "/caf?.txt");
        TypeKey("Delete");
        ASSERT_TRUE(QTest::qWaitFor([&] { return Box->text().isEmpty(); }, 5000));
        TypeKey("v", true);
        TypeKey("Return");
        ASSERT_TRUE(WaitIdle(2));
        EXPECT_EQ(MainWindowAccess(*FormMain).FileList().GetItem(1)->FileName, Cafe);
        EXPECT_TRUE(MainWindowAccess(*FormMain).FileList().GetItem(1)->ErrorText.empty()) << MainWindowAccess(*FormMain).FileList().GetItem(1)->ErrorText;

        EXPECT_EQ(Close(), 0);
        ExpectNothingSaid();
    }
}
