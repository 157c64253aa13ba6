// The program's eight windows, one instance each for the whole run, and the
// two operations the main window offers to the other windows.
#pragma once

#include <QByteArray>

class TFormMain;
class TFormText;
class TFormLogViewer;
class TFormAbout;
class TFormCompare;
class TFormCompareFiles;
class TFormSaveLog;
class TFormSettings;

// Set by the main sequence as each window is created, cleared as it goes.
// Windows reach each other through these; tests may leave them empty.
extern TFormMain* FormMain;
extern TFormText* FormText;
extern TFormLogViewer* FormLogViewer;
extern TFormAbout* FormAbout;
extern TFormCompare* FormCompare;
extern TFormCompareFiles* FormCompareFiles;
extern TFormSaveLog* FormSaveLog;
extern TFormSettings* FormSettings;

// What the text window and the settings dialog call on the main window.
// An interface, so that those windows build and test without it.
class TMainFormServices {
public:
    virtual ~TMainFormServices() = default;
    // Hashes Data on the user-interface thread and shows the digests.
    virtual void HashText(const QByteArray& Data) = 0;
    // Initial is True only while the main window is created.
    virtual void ApplySettings(bool Initial) = 0;
};

// The main window registers itself; null while there is none.
TMainFormServices* MainFormServices();
void SetMainFormServices(TMainFormServices* Services);
