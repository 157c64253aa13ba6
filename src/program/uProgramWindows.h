// The one place where the windows come into being and are connected: the
// seven windows after the main window, created hidden in the program's
// order, each set in its global variable (the one registry of windows),
// what each window reports connected to the window that acts on it, and
// the windows whose answers the main window waits for handed to it.
#pragma once

class TFormAbout;
class TFormCompare;
class TFormCompareFiles;
class TFormLogViewer;
class TFormMain;
class TFormSaveLog;
class TFormSettings;
class TFormText;

class TProgramWindows {
public:
    // Main exists already; it must be destroyed before this object, so that
    // its worker stops while the windows it reports to still exist.
    explicit TProgramWindows(TFormMain& Main);
    ~TProgramWindows();
    TProgramWindows(const TProgramWindows&) = delete;
    TProgramWindows& operator=(const TProgramWindows&) = delete;

private:
    void Connect(TFormMain& Main);

    TFormText* FText = nullptr;
    TFormLogViewer* FLogViewer = nullptr;
    TFormAbout* FAbout = nullptr;
    TFormCompare* FCompare = nullptr;
    TFormCompareFiles* FCompareFiles = nullptr;
    TFormSaveLog* FSaveLog = nullptr;
    TFormSettings* FSettings = nullptr;
};
