#include "forms/uWindowLinks.h"

#include "forms/fAbout.h"
#include "forms/fCompare.h"
#include "forms/fCompareFiles.h"
#include "forms/fLogViewer.h"
#include "forms/fMain.h"
#include "forms/fSaveLog.h"
#include "forms/fSettings.h"
#include "forms/fText.h"
#include "forms/uForms.h"

// Every call tolerates a window that does not exist: tests build the main
// window alone.

void LogViewerAddFile(const std::shared_ptr<THashFile>& Item)
{
    if (FormLogViewer && Item)
        FormLogViewer->AddFile(*Item);
}

void LogViewerUpdateFile(const std::shared_ptr<THashFile>& Item)
{
    if (FormLogViewer && Item)
        FormLogViewer->UpdateFile(*Item);
}

void LogViewerClear()
{
    if (FormLogViewer)
        FormLogViewer->Clear();
}

void LogViewerApplyHashCase(bool Upper)
{
    if (FormLogViewer)
        FormLogViewer->ApplyHashCase(Upper);
}

void ShowLogViewer()
{
    if (FormLogViewer)
        FormLogViewer->ShowAndRaise();
}

bool CompareFilesWindow(const std::shared_ptr<THashFile>& First, const std::shared_ptr<THashFile>& Second)
{
    if (FormCompareFiles)
        return FormCompareFiles->Compare(*First, *Second);
    THashTypes Matched = 0, Mismatched = 0;
    return First->Hashes.Compare(Second->Hashes, Matched, Mismatched);
}

void CompareWindowStart(const THashList& FileHashes, THashType HashType, const QString& FileHash)
{
    if (!FormCompare)
        return;
    FormCompare->FileHashes = FileHashes;
    FormCompare->Start(HashType, FileHash);
}

bool SaveLogDialog(TSaveLogChoice& Choice)
{
    if (!FormSaveLog || FormSaveLog->exec() != QDialog::Accepted)
        return false;
    Choice.HashType = FormSaveLog->SelectedHashType();
    Choice.Format = FormSaveLog->SelectedFormat();
    Choice.UseFullPath = FormSaveLog->UseFullPath();
    Choice.TargetPath = FormSaveLog->TargetPath();
    return true;
}

void ShowTextWindow()
{
    if (FormText)
        FormText->ShowAndRaise();
}

void ShowSettingsDialog()
{
    if (FormSettings)
        FormSettings->exec();
}

void ShowAboutBox()
{
    if (FormAbout)
        FormAbout->ShowAndRaise();
}

void ForEachSecondaryForm(const std::function<void(TSorvikForm*)>& Action)
{
    for (TSorvikForm* F : std::initializer_list<TSorvikForm*>{FormText, FormLogViewer, FormAbout, FormCompare,
                                                               FormCompareFiles, FormSaveLog, FormSettings})
        if (F)
            Action(F);
}

void CreateSecondaryForms()
{
    FormText = new TFormText();
    FormLogViewer = new TFormLogViewer();
    if (FormMain)
        FormLogViewer->SetMainActions(FormMain->ActionSaveLog, FormMain->ActionClearLog);
    FormAbout = new TFormAbout();
    FormCompare = new TFormCompare();
    FormCompareFiles = new TFormCompareFiles();
    FormSaveLog = new TFormSaveLog();
    FormSettings = new TFormSettings();
    // They take the stay-on-top style from the next show on.
    if (FormMain)
        FormMain->ApplySettingsToSecondaryForms();
}

void DestroySecondaryForms()
{
    auto Destroy = [](auto*& F) {
        delete F;
        F = nullptr;
    };
    Destroy(FormSettings);
    Destroy(FormSaveLog);
    Destroy(FormCompareFiles);
    Destroy(FormCompare);
    Destroy(FormAbout);
    Destroy(FormLogViewer);
    Destroy(FormText);
}
