// What the main window asks of the other windows, in one narrow place.
#pragma once

#include "engine/uSorvik.h"
#include "engine/uVerificationFile.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

class TSorvikForm;

void LogViewerAddFile(const std::shared_ptr<THashFile>& Item);
void LogViewerUpdateFile(const std::shared_ptr<THashFile>& Item);
void LogViewerClear();
void LogViewerApplyHashCase(bool Upper);
void ShowLogViewer();

// Shows the two-file comparison; True when the two files match.
bool CompareFilesWindow(const std::shared_ptr<THashFile>& First, const std::shared_ptr<THashFile>& Second);
// Shows the single-digest comparison for one hash row.
void CompareWindowStart(const THashList& FileHashes, THashType HashType, const QString& FileHash);

struct TSaveLogChoice {
    THashType HashType = htNone;
    TVerifyFormat Format = vfNone;
    bool UseFullPath = false;
    std::string TargetPath;
};
// The save-log dialog, modal; False unless the user confirmed it.
bool SaveLogDialog(TSaveLogChoice& Choice);

void ShowTextWindow();
void ShowSettingsDialog();
void ShowAboutBox();

// Each of the seven secondary windows that exists.
void ForEachSecondaryForm(const std::function<void(TSorvikForm*)>& Action);

// The seven secondary windows, created hidden in the program's order after
// the main window (whose Save Log and Clear Log the log viewer offers too),
// and destroyed again.
void CreateSecondaryForms();
void DestroySecondaryForms();
