#include "dialog_support.h"
#include "forms/fSaveLog.h"
#include "platform/qt/uFileNames.h"
#include "support/design_texts.h"
#include "support/recorded_interaction.h"

#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace dialogtest;

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

// The dialog as the user sees it: its controls by their names.
struct TSaveLogView {
    explicit TSaveLogView(TFormSaveLog& F)
        : Form(F),
          Format(F.findChild<QComboBox*>(Str("ComboBox_FileFormat"))),
          HashType(F.findChild<QComboBox*>(Str("ComboBox_HashType"))),
          NameOnly(F.findChild<QRadioButton*>(Str("RadioButton_UseFileNameOnly"))),
          FullPath(F.findChild<QRadioButton*>(Str("RadioButton_UseFilePath"))),
          Target(F.findChild<QLineEdit*>(Str("Edit_TargetPath"))),
          Browse(F.findChild<QToolButton*>(Str("SpeedButton_Browse"))),
          Save(F.findChild<QPushButton*>(Str("BitBtn_Save"))),
          Cancel(F.findChild<QPushButton*>(Str("BitBtn_Cancel")))
    {
    }
    bool Complete() const { return Format && HashType && NameOnly && FullPath && Target && Browse && Save && Cancel; }

    // Opens the dialog, lets Act change the controls, then ends it with End.
    int Run(const std::function<void()>& Act, QAbstractButton* End)
    {
        return RunModal(Form, [&] {
            Act();
            QTest::mouseClick(End, Qt::LeftButton);
        });
    }

    TFormSaveLog& Form;
    QComboBox* Format;
    QComboBox* HashType;
    QRadioButton* NameOnly;
    QRadioButton* FullPath;
    QLineEdit* Target;
    QToolButton* Browse;
    QPushButton* Save;
    QPushButton* Cancel;
};

// Replaces the save-file dialog while it lives: Runner is given the dialog
// and answers True with the chosen file name, or False as a cancel.
class TDialogRunnerGuard {
public:
    explicit TDialogRunnerGuard(std::function<bool(QFileDialog& Dialog, QString& FileName)> Runner)
    {
        FUser.Choose = [Runner = std::move(Runner)](QFileDialog& Dialog) {
            QString FileName;
            return Runner(Dialog, FileName) ? QStringList{FileName} : QStringList();
        };
    }

private:
    TRecordedInteraction FUser;
};

struct TStoredChoice {
    const char* Ini;
    const char* Format;    // the entry shown
    const char* HashType;  // the entry shown
    bool FullPath;
    const char* Target;
};

} // namespace

TEST(SaveLogDialog, ListsHoldTheLayoutsAndHashTypesInOrder)
{
    TSettingsGuard Guard;
    TFormSaveLog Form;
    TSaveLogView View(Form);
    ASSERT_TRUE(View.Complete());

    ASSERT_EQ(View.Format->count(), 2);
    EXPECT_EQ(View.Format->itemText(0), Str("Simple file verification (SFV)"));
    EXPECT_EQ(View.Format->itemText(1), Str("Sum file (MD5SUM, SHA1SUM, etc)"));
    EXPECT_FALSE(View.Format->isEditable());

    const QStringList Types{Str("Auto"), Str("CRC32"), Str("MD2"), Str("MD4"), Str("MD5"), Str("SHA1"),
                            Str("SHA256"), Str("SHA512"), Str("RipeMD128"), Str("RipeMD160"), Str("ED2K")};
    ASSERT_EQ(View.HashType->count(), Types.size());
    for (int I = 0; I < Types.size(); ++I) {
        EXPECT_EQ(View.HashType->itemText(I), Types[I]);
        View.HashType->setCurrentIndex(I);
        EXPECT_EQ(Form.SelectedHashType(), static_cast<THashType>(I)) << I;
    }
    EXPECT_FALSE(View.HashType->isEditable());
}

TEST(SaveLogDialog, StoredChoicesArePreselectedAndUnknownOnesFallBackToTheFirstEntry)
{
    const TStoredChoice Cases[] = {
        {"[SaveLog]\nVerifyFormat=SUM\nHashType=MD5\n", "Sum file (MD5SUM, SHA1SUM, etc)", "MD5", false, ""},
        {"[SaveLog]\nVerifyFormat=SFV\nHashType=ED2K\nUseFullPath=1\nFileName=/tmp/x.sfv\n",
         "Simple file verification (SFV)", "ED2K", true, "/tmp/x.sfv"},
        // Case matters in the stored names: these name nothing.
        {"[SaveLog]\nVerifyFormat=sum\nHashType=md5\n", "Simple file verification (SFV)", "Auto", false, ""},
        {"[SaveLog]\nVerifyFormat=\nHashType=\nFileName=/with blank/log.sfv\n", "Simple file verification (SFV)",
         "Auto", false, "/with blank/log.sfv"},
        {"[SaveLog]\nVerifyFormat=SUM\nHashType=RipeMD160\nUseFullPath=0\n", "Sum file (MD5SUM, SHA1SUM, etc)",
         "RipeMD160", false, ""},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Ini);
        TSettingsGuard Guard(QByteArray(C.Ini));
        TFormSaveLog Form;
        TSaveLogView View(Form);
        EXPECT_EQ(View.Format->currentText(), Str(C.Format));
        EXPECT_EQ(View.HashType->currentText(), Str(C.HashType));
        EXPECT_EQ(View.FullPath->isChecked(), C.FullPath);
        EXPECT_EQ(View.NameOnly->isChecked(), !C.FullPath);
        EXPECT_EQ(View.Target->text(), Str(C.Target));
        EXPECT_EQ(Form.TargetPath(), C.Target);
    }
}

TEST(SaveLogDialog, SaveStoresTheChoicesAndEndsWithOk)
{
    TSettingsGuard Guard;
    TFormSaveLog Form;
    TSaveLogView View(Form);

    const int Result = View.Run(
        [&] {
            View.Format->setCurrentIndex(1);
            View.HashType->setCurrentIndex(View.HashType->findText(Str("SHA256")));
            View.FullPath->click();
            View.Target->setText(Str("  /data/out.sum "));
        },
        View.Save);

    EXPECT_EQ(Result, QDialog::Accepted);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Form.SelectedFormat(), vfSUM);
    EXPECT_EQ(Form.SelectedHashType(), htSHA256);
    EXPECT_TRUE(Form.UseFullPath());
    EXPECT_EQ(Form.TargetPath(), "  /data/out.sum "); // handed over untrimmed
    const TSettings& S = Guard.Object;
    EXPECT_EQ(S.SaveLogVerifyFormat, vfSUM);
    EXPECT_EQ(S.SaveLogHashType, htSHA256);
    EXPECT_TRUE(S.SaveLogUseFullPath);
    EXPECT_EQ(S.SaveLogFileName, "  /data/out.sum ");
}

TEST(SaveLogDialog, SaveWithAnEmptyTargetStoresTheChoicesButEndsAsCancel)
{
    TSettingsGuard Guard(QByteArray("[SaveLog]\nFileName=/old/path.sfv\n"));
    TFormSaveLog Form;
    TSaveLogView View(Form);

    const int Result = View.Run(
        [&] {
            View.Format->setCurrentIndex(1);
            View.HashType->setCurrentIndex(View.HashType->findText(Str("CRC32")));
            View.FullPath->click();
            View.Target->clear();
        },
        View.Save);

    EXPECT_EQ(Result, QDialog::Rejected);
    const TSettings& S = Guard.Object;
    EXPECT_EQ(S.SaveLogVerifyFormat, vfSUM);
    EXPECT_EQ(S.SaveLogHashType, htCRC32);
    EXPECT_TRUE(S.SaveLogUseFullPath);
    EXPECT_EQ(S.SaveLogFileName, "");
}

TEST(SaveLogDialog, OnlyAnExactlyEmptyTargetTurnsSaveIntoCancel)
{
    TSettingsGuard Guard;
    TFormSaveLog Form;
    TSaveLogView View(Form);
    const int Result = View.Run([&] { View.Target->setText(Str(" ")); }, View.Save);
    EXPECT_EQ(Result, QDialog::Accepted);
    EXPECT_EQ(Guard.Object.SaveLogFileName, " ");
}

TEST(SaveLogDialog, CancelAndEscStoreNothingAndTheControlsKeepTheirState)
{
    TSettingsGuard Guard(QByteArray("[SaveLog]\nVerifyFormat=SFV\nHashType=MD5\nFileName=/a.sfv\n"));
    TFormSaveLog Form;
    TSaveLogView View(Form);

    int Result = View.Run(
        [&] {
            View.Format->setCurrentIndex(1);
            View.Target->setText(Str("/b.sum"));
        },
        View.Cancel);
    EXPECT_EQ(Result, QDialog::Rejected);
    EXPECT_EQ(Guard.Object.SaveLogVerifyFormat, vfSFV);
    EXPECT_EQ(Guard.Object.SaveLogFileName, "/a.sfv");

    // Opened again in the same run: what the user left, not the settings.
    Result = RunModal(Form, [&] {
        EXPECT_EQ(View.Format->currentIndex(), 1);
        EXPECT_EQ(View.Target->text(), Str("/b.sum"));
        View.HashType->setCurrentIndex(View.HashType->findText(Str("SHA1")));
        QWidget* Focus = QApplication::focusWidget();
        QTest::keyClick(Focus ? Focus : static_cast<QWidget*>(&Form), Qt::Key_Escape);
    });
    EXPECT_EQ(Result, QDialog::Rejected);
    EXPECT_EQ(Guard.Object.SaveLogHashType, htMD5);
    EXPECT_EQ(View.HashType->currentText(), Str("SHA1"));

    // Save then stores what was kept.
    Result = View.Run([] {}, View.Save);
    EXPECT_EQ(Result, QDialog::Accepted);
    EXPECT_EQ(Guard.Object.SaveLogVerifyFormat, vfSUM);
    EXPECT_EQ(Guard.Object.SaveLogHashType, htSHA1);
    EXPECT_EQ(Guard.Object.SaveLogFileName, "/b.sum");
}

TEST(SaveLogDialog, SettingsAreLoadedOnceAtCreation)
{
    TSettingsGuard Guard;
    TFormSaveLog Form;
    TSaveLogView View(Form);
    Guard.Object.SaveLogVerifyFormat = vfSUM;
    Guard.Object.SaveLogFileName = "/changed.sum";
    RunModal(Form, [&] {
        EXPECT_EQ(View.Format->currentIndex(), 0);
        EXPECT_EQ(View.Target->text(), QString());
        Form.reject();
    });
}

TEST(SaveLogDialog, BrowseOffersTheFiltersAndPutsTheChosenFileIntoTheEdit)
{
    TSettingsGuard Guard(QByteArray("[SaveLog]\nFileName=/typed/by/user.sfv\n"));
    TFormSaveLog Form;
    TSaveLogView View(Form);

    int Calls = 0;
    QFileDialog* Seen = nullptr;
    bool Confirm = true;
    TDialogRunnerGuard Runner([&](QFileDialog& Dialog, QString& FileName) {
        ++Calls;
        if (Seen) {
            EXPECT_EQ(Seen, &Dialog) << "the same dialog, so it starts from its last choice";
        }
        Seen = &Dialog;
        EXPECT_EQ(Dialog.nameFilters(),
                  QStringList({Str("Any files (*)"), Str("Simple file verification (*.sfv)"),
                               Str("MD5 sum files (*.md5sum)"), Str("SHA1 sum files (*.sha1sum)")}));
        EXPECT_EQ(Dialog.selectedNameFilter(), Str("Any files (*)"));
        EXPECT_EQ(Dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(Dialog.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(Dialog.defaultSuffix(), QString());
        // Not given the edit's text.
        for (const QString& F : Dialog.selectedFiles())
            EXPECT_FALSE(F.contains(Str("user.sfv"))) << F.toStdString();
        FileName = Str("/chosen/log file.md5sum");
        return Confirm;
    });

    QTest::mouseClick(View.Browse, Qt::LeftButton);
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(View.Target->text(), Str("/chosen/log file.md5sum"));
    EXPECT_EQ(Guard.Object.SaveLogFileName, "/typed/by/user.sfv"); // stored only by Save

    Confirm = false;
    View.Target->setText(Str("/kept.sfv"));
    QTest::mouseClick(View.Browse, Qt::LeftButton);
    EXPECT_EQ(Calls, 2);
    EXPECT_EQ(View.Target->text(), Str("/kept.sfv"));
}

TEST(SaveLogDialog, TheChooserTakesATranslatedFilterListFromTheDesign)
{
    // The German list as a translator would write it, "*.*" included.
    class TFilterTranslator : public TAbstractTranslator {
    public:
        void TranslateFormString(const TDesignProperty& Prop, QString& Content) override
        {
            if (GetTranslationKey(Prop) == Str("TFORMSAVELOG.SAVEDIALOG.FILTER"))
                Content = Str("Alle Dateien (*.*)|*.*|SFV-Dateien|*.sfv|Prüfsummen (*.md5sum)|*.md5sum; *.sha1sum");
        }
    };
    TSettingsGuard Guard;
    TTranslatorGuard Translator(std::make_unique<TFilterTranslator>());
    TFormSaveLog Form;
    QStringList Filters;
    TDialogRunnerGuard Runner([&](QFileDialog& Dialog, QString&) {
        Filters = Dialog.nameFilters();
        return false;
    });
    QTest::mouseClick(TSaveLogView(Form).Browse, Qt::LeftButton);
    EXPECT_EQ(Filters, QStringList({Str("Alle Dateien (*)"), Str("SFV-Dateien (*.sfv)"),
                                    Str("Prüfsummen (*.md5sum *.sha1sum)")}));
}

TEST(SaveLogDialog, EnterInTheEditSaves)
{
    TSettingsGuard Guard;
    TFormSaveLog Form;
    TSaveLogView View(Form);
    const int Result = RunModal(Form, [&] {
        View.Target->setFocus();
        QTest::keyClicks(View.Target, Str("/typed.sfv"));
        QTest::keyClick(View.Target, Qt::Key_Return);
    });
    EXPECT_EQ(Result, QDialog::Accepted);
    EXPECT_EQ(Guard.Object.SaveLogFileName, "/typed.sfv");
}

// A name that is not valid UTF-8, stored or pasted as the program's own
// lists carry one, is shown as they show it and handed over and stored by
// its bytes.
TEST(SaveLogDialog, ATargetWhoseNameIsNotUtf8KeepsItsBytes)
{
    TSettingsGuard Guard(QByteArray("[SaveLog]\nFileName=/data/caf\xE9.txt.sfv\n"));
    TFormSaveLog Form;
    TSaveLogView View(Form);
    EXPECT_EQ(View.Target->text(), FileNameToQString("/data/caf\xE9.txt.sfv"));
    EXPECT_EQ(Form.TargetPath(), "/data/caf\xE9.txt.sfv");

    const std::string Pasted = "/data/\xFC" "ber.sum";
    QGuiApplication::clipboard()->setText(FileNameToQString(Pasted));
    const int Result = RunModal(Form, [&] {
        View.Target->setFocus();
        View.Target->selectAll();
        QTest::keySequence(View.Target, QKeySequence::Paste);
        QTest::mouseClick(View.Save, Qt::LeftButton);
    });
    EXPECT_EQ(Result, QDialog::Accepted);
    EXPECT_EQ(Form.TargetPath(), Pasted);
    EXPECT_EQ(Guard.Object.SaveLogFileName, Pasted);
}
