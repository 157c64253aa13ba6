// The settings dialog: the six options not set elsewhere. Every showing
// loads them from the settings; Save stores them and has the main window
// apply them; Cancel discards the changes.
#pragma once

#include "forms/uFormBase.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

class TFormSettings : public TSorvikForm {
    Q_OBJECT
public:
    explicit TFormSettings(QWidget* Parent = nullptr);
    ~TFormSettings() override;

signals:
    // The choices were stored: the windows apply them.
    void SettingsSaved();

protected:
    void showEvent(QShowEvent* Event) override;

private slots:
    void BB_SaveClick();

private:
    void FormShow();
    void LoadFromSettings();
    void StoreToSettings();

    QGroupBox* GroupBox_Main = nullptr;
    QCheckBox* CB_StayOnTop = nullptr;
    QCheckBox* CB_UpperCaseHash = nullptr;
    QCheckBox* CB_ShowToolbarCaptions = nullptr;
    QCheckBox* CB_RememberLocationMainWindow = nullptr;
    QCheckBox* CB_RememberLocationLogViewer = nullptr;
    QCheckBox* CB_IncludeHeaderInLogViewerExport = nullptr;
    QPushButton* BB_Save = nullptr;
    QPushButton* BB_Cancel = nullptr;
};
