#include "program/uProgramWindows.h"

#include "forms/fAbout.h"
#include "forms/fCompare.h"
#include "forms/fCompareFiles.h"
#include "forms/fLogViewer.h"
#include "forms/fMain.h"
#include "forms/fSaveLog.h"
#include "forms/fSettings.h"
#include "forms/fText.h"
#include "forms/uForms.h"

#include <QObject>

namespace {

// Sets the registry entry for as long as the window lives.
template <typename T> T* Register(T*& Global, T* Form)
{
    Global = Form;
    return Form;
}

template <typename T> void Destroy(T*& Global, T*& Own)
{
    if (Global == Own)
        Global = nullptr;
    delete Own;
    Own = nullptr;
}

} // namespace

TProgramWindows::TProgramWindows(TFormMain& Main)
{
    FText = Register(FormText, new TFormText());
    FLogViewer = Register(FormLogViewer, new TFormLogViewer());
    FAbout = Register(FormAbout, new TFormAbout());
    FCompare = Register(FormCompare, new TFormCompare());
    FCompareFiles = Register(FormCompareFiles, new TFormCompareFiles());
    FSaveLog = Register(FormSaveLog, new TFormSaveLog());
    FSettings = Register(FormSettings, new TFormSettings());
    Connect(Main);
}

TProgramWindows::~TProgramWindows()
{
    Destroy(FormSettings, FSettings);
    Destroy(FormSaveLog, FSaveLog);
    Destroy(FormCompareFiles, FCompareFiles);
    Destroy(FormCompare, FCompare);
    Destroy(FormAbout, FAbout);
    Destroy(FormLogViewer, FLogViewer);
    Destroy(FormText, FText);
}

void TProgramWindows::Connect(TFormMain& Main)
{
    Main.SetAnsweringWindows(FSaveLog, FCompareFiles);
    // The log viewer's first two buttons run the main window's actions.
    FLogViewer->SetMainActions(Main.SaveLogAction(), Main.ClearLogAction());

    TFormLogViewer* const Viewer = FLogViewer;
    QObject::connect(&Main, &TFormMain::FileTakenUp, Viewer,
        [Viewer](const std::shared_ptr<THashFile>& F) { Viewer->AddFile(F); });
    QObject::connect(&Main, &TFormMain::FileFinished, Viewer,
        [Viewer](const std::shared_ptr<THashFile>& F) { Viewer->UpdateFile(*F); });
    QObject::connect(&Main, &TFormMain::LogCleared, FLogViewer, &TFormLogViewer::Clear);
    // A slice of the worker's events reaches the log's view as one change.
    QObject::connect(&Main, &TFormMain::WorkerSliceStarted, FLogViewer, &TFormLogViewer::BeginBatch);
    QObject::connect(&Main, &TFormMain::WorkerSliceEnded, FLogViewer, &TFormLogViewer::EndBatch);
    QObject::connect(&Main, &TFormMain::HashCaseChanged, FLogViewer, &TFormLogViewer::ApplyHashCase);

    QObject::connect(&Main, &TFormMain::ViewLogRequested, FLogViewer, &TSorvikForm::ShowAndRaise);
    QObject::connect(&Main, &TFormMain::TextWindowRequested, FText, &TSorvikForm::ShowAndRaise);
    QObject::connect(&Main, &TFormMain::AboutRequested, FAbout, &TSorvikForm::ShowAndRaise);
    QObject::connect(&Main, &TFormMain::SettingsRequested, FSettings, [Dialog = FSettings] { Dialog->exec(); });
    QObject::connect(&Main, &TFormMain::HashCompareRequested, FCompare,
        [Compare = FCompare](const THashList& FileHashes, THashType Type, const QString& FileHash) {
            Compare->FileHashes = FileHashes;
            Compare->Start(Type, FileHash);
        });

    QObject::connect(FText, &TFormText::TextToHash, &Main, &TFormMain::HashText);
    QObject::connect(FSettings, &TFormSettings::SettingsSaved, &Main, [&Main] { Main.ApplySettings(false); });
}
