#include "forms/fSettings.h"

#include "app/uSettings.h"
#include "app/uTranslationKit.h"
#include "forms/uFormPlacement.h"
#include "forms/uForms.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

TFormSettings::TFormSettings(QWidget* Parent) : TSorvikForm(Parent)
{
    Placement = plCenterEveryOpening;
    setObjectName(QStringLiteral("FormSettings"));
    EscCloses = true;
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Component(GroupBox_Main, this, "GroupBox_Main");
    Component(CB_StayOnTop, GroupBox_Main, "CB_StayOnTop", QStringLiteral("Stay on top of other windows"));
    Component(CB_UpperCaseHash, GroupBox_Main, "CB_UpperCaseHash", QStringLiteral("Use upper case hashes"));
    Component(CB_ShowToolbarCaptions, GroupBox_Main, "CB_ShowToolbarCaptions",
              QStringLiteral("Show captions of buttons in the toolbar"));
    Component(CB_RememberLocationMainWindow, GroupBox_Main, "CB_RememberLocationMainWindow",
              QStringLiteral("Remember location of the main window"));
    Component(CB_RememberLocationLogViewer, GroupBox_Main, "CB_RememberLocationLogViewer",
              QStringLiteral("Remember location of the log viewer"));
    Component(CB_IncludeHeaderInLogViewerExport, GroupBox_Main, "CB_IncludeHeaderInLogViewerExport",
              QStringLiteral("Include header in the log viewer export"));

    SaveCancelButtons(BB_Save, "BB_Save", BB_Cancel, "BB_Cancel");

    auto* Checks = new QVBoxLayout(GroupBox_Main);
    for (QCheckBox* C : {CB_StayOnTop, CB_UpperCaseHash, CB_ShowToolbarCaptions, CB_RememberLocationMainWindow,
                         CB_RememberLocationLogViewer, CB_IncludeHeaderInLogViewerExport})
        Checks->addWidget(C);
    Checks->addStretch(1);

    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(GroupBox_Main, 1);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(BB_Save);
    Buttons->addWidget(BB_Cancel);
    Layout->addLayout(Buttons);

    setTabOrder(CB_StayOnTop, CB_UpperCaseHash);
    setTabOrder(CB_UpperCaseHash, CB_ShowToolbarCaptions);
    setTabOrder(CB_ShowToolbarCaptions, CB_RememberLocationMainWindow);
    setTabOrder(CB_RememberLocationMainWindow, CB_RememberLocationLogViewer);
    setTabOrder(CB_RememberLocationLogViewer, CB_IncludeHeaderInLogViewerExport);
    setTabOrder(CB_IncludeHeaderInLogViewerExport, BB_Save);
    setTabOrder(BB_Save, BB_Cancel);

    SetDesignText(this, this, QStringLiteral("Caption"), QStringLiteral("Settings"));

    connect(BB_Save, &QPushButton::clicked, this, [this] { RunGuarded([this] { BB_SaveClick(); }); });
    connect(BB_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    FixDialogSize(this, 345, 258);
}

TFormSettings::~TFormSettings() = default;

void TFormSettings::showEvent(QShowEvent* Event)
{
    TSorvikForm::showEvent(Event);
    // Spontaneous show events come from restoring a minimized window: the
    // user's unsaved changes stay.
    if (!Event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

void TFormSettings::FormShow() { LoadFromSettings(); }

void TFormSettings::LoadFromSettings()
{
    if (!Settings)
        return;
    CB_StayOnTop->setChecked(Settings->StayOnTop);
    CB_UpperCaseHash->setChecked(Settings->UpperCaseHash);
    CB_RememberLocationMainWindow->setChecked(Settings->MainFormLocation->Enabled());
    CB_RememberLocationLogViewer->setChecked(Settings->LogViewerLocation->Enabled());
    CB_ShowToolbarCaptions->setChecked(Settings->ToolbarCaptions);
    CB_IncludeHeaderInLogViewerExport->setChecked(Settings->IncludeHeaderInExport);
}

void TFormSettings::StoreToSettings()
{
    if (!Settings)
        return;
    Settings->StayOnTop = CB_StayOnTop->isChecked();
    Settings->UpperCaseHash = CB_UpperCaseHash->isChecked();
    Settings->MainFormLocation->SetEnabled(CB_RememberLocationMainWindow->isChecked());
    Settings->LogViewerLocation->SetEnabled(CB_RememberLocationLogViewer->isChecked());
    Settings->ToolbarCaptions = CB_ShowToolbarCaptions->isChecked();
    Settings->IncludeHeaderInExport = CB_IncludeHeaderInLogViewerExport->isChecked();
}

void TFormSettings::BB_SaveClick()
{
    StoreToSettings();
    // The dialog closes with OK even when applying fails: the choices are stored.
    RunGuarded([this] { emit SettingsSaved(); });
    accept();
}
