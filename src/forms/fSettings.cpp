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
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    GroupBox_Main = new QGroupBox(this);
    GroupBox_Main->setObjectName(QStringLiteral("GroupBox_Main"));
    auto MakeCheck = [this](const char* Name) {
        auto* C = new QCheckBox(GroupBox_Main);
        C->setObjectName(QString::fromLatin1(Name));
        return C;
    };
    CB_StayOnTop = MakeCheck("CB_StayOnTop");
    CB_UpperCaseHash = MakeCheck("CB_UpperCaseHash");
    CB_ShowToolbarCaptions = MakeCheck("CB_ShowToolbarCaptions");
    CB_RememberLocationMainWindow = MakeCheck("CB_RememberLocationMainWindow");
    CB_RememberLocationLogViewer = MakeCheck("CB_RememberLocationLogViewer");
    CB_IncludeHeaderInLogViewerExport = MakeCheck("CB_IncludeHeaderInLogViewerExport");

    BB_Save = new QPushButton(this);
    BB_Save->setObjectName(QStringLiteral("BB_Save"));
    BB_Save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    BB_Save->setDefault(true);
    BB_Cancel = new QPushButton(this);
    BB_Cancel->setObjectName(QStringLiteral("BB_Cancel"));
    BB_Cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BB_Cancel->setAutoDefault(false);

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
    SetDesignText(this, CB_StayOnTop, QStringLiteral("Caption"), QStringLiteral("Stay on top of other windows"));
    SetDesignText(this, CB_UpperCaseHash, QStringLiteral("Caption"), QStringLiteral("Use upper case hashes"));
    SetDesignText(this, CB_ShowToolbarCaptions, QStringLiteral("Caption"),
                  QStringLiteral("Show captions of buttons in the toolbar"));
    SetDesignText(this, CB_RememberLocationMainWindow, QStringLiteral("Caption"),
                  QStringLiteral("Remember location of the main window"));
    SetDesignText(this, CB_RememberLocationLogViewer, QStringLiteral("Caption"),
                  QStringLiteral("Remember location of the log viewer"));
    SetDesignText(this, CB_IncludeHeaderInLogViewerExport, QStringLiteral("Caption"),
                  QStringLiteral("Include header in the log viewer export"));
    SetDesignText(this, BB_Save, QStringLiteral("Caption"), QStringLiteral("Save"));
    SetDesignText(this, BB_Cancel, QStringLiteral("Caption"), QStringLiteral("Cancel"));

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
