// Every user option that outlives a run, kept in "Settings.ini" in the data
// folder: read once at start-up, written once at shutdown.
#pragma once

#include "app/uFormLocation.h"
#include "digest/uException.h"
#include "engine/uSorvik.h"
#include "engine/uVerificationFile.h"

#include <memory>
#include <string>

class QIODevice;

SORVIK_EXCEPTION_CLASS(ESettingsError, Exception);

class TSettings {
public:
    // Zero values and two cleared trackers on no window; the defaults come
    // only from Reset.
    TSettings();
    ~TSettings();
    TSettings(const TSettings&) = delete;
    TSettings& operator=(const TSettings&) = delete;

    void Reset();
    // Takes the whole text in first; a device that fails to read changes nothing.
    void ReadIni(QIODevice& Stream);
    void WriteIni(QIODevice& Stream);
    void LoadFromFile(const std::string& FileName);
    // Creates the folder with its missing parents, then replaces the file in
    // one step: a failed write leaves the previous file as it was.
    void SaveToFile(const std::string& FileName);
    // SaveToFile without reporting. A file that exists but could not be read
    // by LoadIfExists is never replaced: it may hold settings the user wants.
    bool TrySaveToFile(const std::string& FileName);
    // Loads the file when it exists. A file that cannot be read leaves every
    // field as it was; the result says whether settings were loaded.
    bool LoadIfExists(const std::string& FileName);

    bool UpperCaseHash = false;
    THashTypes HashTypes = 0;
    THashType SaveLogHashType = htNone;
    TVerifyFormat SaveLogVerifyFormat = vfNone;
    std::string SaveLogFileName;
    bool SaveLogUseFullPath = false;
    bool IncludeHeaderInExport = false;
    bool ToolbarCaptions = false;
    bool CompareToAnyHash = false;
    std::string LanguageCode;
    std::string BiDiCode;
    bool StayOnTop = false;
    const std::unique_ptr<TFormLocationTracker> MainFormLocation;
    const std::unique_ptr<TFormLocationTracker> LogViewerLocation;

private:
    std::string FUnreadFile;
};

// The one settings object of the program, created and freed by the start-up.
extern TSettings* Settings;
