#include "forms/uWindowLinks.h"

#include "forms/uFormBase.h"
#include "forms/uForms.h"

#if __has_include("forms/fLogViewer.h")
#include "forms/fLogViewer.h"
#define SORVIK_HAS_LOGVIEWER 1
#endif

void LogViewerAddFile(const std::shared_ptr<THashFile>& Item) { (void)Item; }
void LogViewerUpdateFile(const std::shared_ptr<THashFile>& Item) { (void)Item; }
void LogViewerClear() {}
void LogViewerApplyHashCase(bool Upper) { (void)Upper; }
void ShowLogViewer() {}
bool CompareFilesWindow(const std::shared_ptr<THashFile>& First, const std::shared_ptr<THashFile>& Second)
{
    THashTypes Matched = 0, Mismatched = 0;
    return First->Hashes.Compare(Second->Hashes, Matched, Mismatched);
}
void CompareWindowStart(const THashList& FileHashes, THashType HashType, const QString& FileHash)
{
    (void)FileHashes;
    (void)HashType;
    (void)FileHash;
}
bool SaveLogDialog(TSaveLogChoice& Choice)
{
    (void)Choice;
    return false;
}
void ShowTextWindow() {}
void ShowSettingsDialog() {}
void ShowAboutBox() {}
void ForEachSecondaryForm(const std::function<void(TSorvikForm*)>& Action) { (void)Action; }
void CreateSecondaryForms() {}
void DestroySecondaryForms() {}
