// The main window's commands: copying and comparing digests, the log, the
// clipboard export, help, the language and hashing a text.
#include "forms/fMain.h"

#include "app/uLanguages.h"
#include "app/uSettings.h"
#include "app/uSorvikPaths.h"
#include "app/uTranslationKit.h"
#include "app/uUserInteraction.h"
#include "app/ufunctions.h"
#include "engine/uFileProperties.h"
#include "engine/uStrUtils.h"
#include "engine/uVerificationFile.h"
#include "platform/qt/uFileNames.h"
#include "forms/fMainPrivate.h"
#include "forms/uFormBase.h"
#include "forms/fSaveLog.h"
#include "platform/uMemory.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace fmain;

void TFormMain::HandleHashCopyClick(QObject* Sender)
{
    ShowPendingFileInfo();
    for (int T = htFirst; T <= htLast; ++T) {
        const THashRow& R = HashRows[static_cast<std::size_t>(T)];
        if (R.CopyButton != Sender)
            continue;
        R.Edit->selectAll();
        // An empty selection leaves the clipboard as it was.
        if (!R.Edit->text().isEmpty())
            QGuiApplication::clipboard()->setText(R.Edit->text());
        SetStatusText(Q(HashTypeToName(static_cast<THashType>(T))) + QLatin1Char(' ') + Q(shashcoppied));
        return;
    }
}

void TFormMain::HandleHashCompareClick(QObject* Sender)
{
    ShowPendingFileInfo();
    for (int T = htFirst; T <= htLast; ++T) {
        const THashRow& R = HashRows[static_cast<std::size_t>(T)];
        if (R.CompareButton == Sender) {
            THashList Hashes;
            FillHashList(Hashes);
            emit HashCompareRequested(Hashes, static_cast<THashType>(T), R.Edit->text());
            return;
        }
    }
}

void TFormMain::FillHashList(THashList& List) const
{
    List.Clear();
    for (int T = htFirst; T <= htLast; ++T) {
        const THashRow& R = HashRows[static_cast<std::size_t>(T)];
        if (R.CheckBox->isChecked() && !R.Edit->text().isEmpty())
            List.Put(static_cast<THashType>(T), R.Edit->text().toStdString());
    }
}

void TFormMain::ActionExportToClipboardExecute()
{
    ShowPendingFileInfo();
    QString Text;
    Text += EditFile->text() + CRLF;
    Text += LabelFileSize->text() + QLatin1Char(' ') + EditFileSize->text() + QStringLiteral(" (")
            + Q(FormatSizeInBytes(FCurrentFileProps.Size)) + QLatin1Char(')') + CRLF;
    Text += LabelAttributes->text() + QLatin1Char(' ') + EditAttributes->text() + CRLF;
    Text += LabelFileTimeCreated->text() + QLatin1Char(' ') + EditFileTimeCreated->text() + CRLF;
    Text += LabelFileTimeModified->text() + QLatin1Char(' ') + EditFileTimeModified->text() + CRLF;
    THashList Hashes;
    FillHashList(Hashes);
    for (int T = htFirst; T <= htLast; ++T)
        if (Hashes.Has(static_cast<THashType>(T)))
            Text += Q(HashTypeToName(static_cast<THashType>(T))) + QStringLiteral(": ")
                    + Q(Hashes.Get(static_cast<THashType>(T))) + CRLF;
    QGuiApplication::clipboard()->setText(Text);
}

bool TFormMain::NextLogItem(std::shared_ptr<THashFile>& Item)
{
    if (FLogEnumIndex >= 0 && FLogEnumIndex < FFileList->Count()) {
        Item = FFileList->GetItem(FLogEnumIndex);
        ++FLogEnumIndex;
        return true;
    }
    return false;
}

void TFormMain::ActionSaveLogExecute()
{
    if (FSaveLog->exec() != QDialog::Accepted)
        return;
    TBusyCursor Busy;
    try {
        ResetLogEnumerator();
        TVerificationWriter Writer;
        Writer.UpperCaseHash = Settings && Settings->UpperCaseHash;
        Writer.HashType = FSaveLog->SelectedHashType();
        Writer.VerifyFormat = FSaveLog->SelectedFormat();
        Writer.UseFullPath = FSaveLog->UseFullPath();
        Writer.OnNextItem = [this](std::shared_ptr<THashFile>& Item) { return NextLogItem(Item); };
        Writer.SaveToFile(FSaveLog->TargetPath());
        SetStatusText(Q(slogfilesaved));
    } catch (const std::exception& E) {
        ShowErrorBox(Q(sfailedtosavelog) + CRLF + FileNameToQString(E.what()));
    }
}

void TFormMain::ActionViewLogExecute() { emit ViewLogRequested(); }

void TFormMain::ActionClearLogExecute()
{
    emit LogCleared();
    FFileList->Clear();
    // The records of a large log are many small blocks: without this the
    // process keeps their pages after the clear.
    ReturnFreedMemory();
    UpdateFileCounts();
    SetStatusText(Q(sstatuslogcleared));
}

void TFormMain::ActionSkipExecute()
{
    if (FWorker)
        FWorker->CancelFile();
}

void TFormMain::ActionCancelExecute()
{
    // What a folder search would still add, and the paths waiting behind
    // it, were queued before the Cancel: they are dropped with the queue.
    StopAdding();
    FileQueue->Clear();
    // An idle worker has no file to abandon, and would name none.
    if (FWorker && FWorker->Busy())
        FWorker->CancelFile();
}

void TFormMain::ActionTextHashExecute() { emit TextWindowRequested(); }
void TFormMain::ActionSettingsExecute() { emit SettingsRequested(); }
void TFormMain::ActionAboutExecute() { emit AboutRequested(); }
void TFormMain::ActionHelpExecute() { ShellOpen(HelpWebAddress); }
void TFormMain::ActionForumExecute() { ShellOpen(ForumWebAddress); }
void TFormMain::ActionHistoryExecute() { ShellOpen(GetAppFolder() + "History.txt"); }
void TFormMain::ActionCopyrightsExecute() { ShellOpen(GetAppFolder() + "Copyrights.txt"); }
void TFormMain::HowToTranslate() { ShellOpen(TranslationGuideWebAddress); }

void TFormMain::LanguageSelected(const QString& Code)
{
    if (!Settings || Q(Settings->LanguageCode) == Code)
        return;
    Settings->LanguageCode = Code.toStdString();
    QString Text = QStringLiteral("You have selected a different language.") + CRLF + CRLF
                   + QStringLiteral("Please restart the application.") + CRLF;
    TLanguageInfo Info;
    if (Languages.FindLanguage(Code, Info)) {
        Text += CRLF + QStringLiteral("Language") + QStringLiteral(": ") + TLanguages::LanguageCaption(Info);
        if (!Info.Translators.isEmpty())
            Text += CRLF + QStringLiteral("Translators") + QStringLiteral(": ") + Info.Translators;
    }
    UserInteraction().InformationBox(this, TrimControls(Text));
}

void TFormMain::HashText(const QByteArray& Data)
{
    ClearFileInfo();
    TSorvikList Bank;
    Bank.Init(GetCheckedHashTypes());
    Bank.Update(Data.constData(), static_cast<std::size_t>(Data.size()));
    Bank.Final();
    THashList Hashes;
    Bank.GetHashes(Hashes);
    ShowHashes(Hashes);
    SetStatusText(Q(stexthashed));
}
