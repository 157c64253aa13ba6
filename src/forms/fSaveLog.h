// The save-log dialog: the layout, hash type, path form and target file of
// the verification file the main window's Save Log command writes. Its
// choices are kept in the settings.
#pragma once

#include "engine/uSorvik.h"
#include "engine/uVerificationFile.h"
#include "forms/uFormBase.h"
#include "platform/uResourceStrings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

extern TResourceString shashtypeauto;

class TFormSaveLog : public TSorvikForm {
    Q_OBJECT
public:
    // Fills the lists and loads the settings into the controls, once.
    explicit TFormSaveLog(QWidget* Parent = nullptr);
    ~TFormSaveLog() override;

    // Read by the main window after the dialog ended with OK.
    TVerifyFormat SelectedFormat() const;   // vfNone without a selection
    THashType SelectedHashType() const;     // htNone without a selection
    bool UseFullPath() const;
    std::string TargetPath() const;         // the edit's text, unchanged

    // The filter list of the save-file dialog: "description|pattern" pairs.
    static QString DefaultSaveDialogFilter();

private slots:
    void SpeedButton_BrowseClick();
    void BitBtn_SaveClick();

private:
    void FillLists();
    void LoadFromSettings();
    void StoreToSettings();
    QFileDialog& SaveDialogInstance();

    QLabel* Label_FileFormat = nullptr;
    QComboBox* ComboBox_FileFormat = nullptr;
    QLabel* Label_HashType = nullptr;
    QComboBox* ComboBox_HashType = nullptr;
    QRadioButton* RadioButton_UseFileNameOnly = nullptr;
    QRadioButton* RadioButton_UseFilePath = nullptr;
    QLabel* Label_TargetPath = nullptr;
    QLineEdit* Edit_TargetPath = nullptr;
    QToolButton* SpeedButton_Browse = nullptr;
    QPushButton* BitBtn_Save = nullptr;
    QPushButton* BitBtn_Cancel = nullptr;
    // Made on first use, then kept between uses.
    QFileDialog* SaveDialog = nullptr;
    QStringList FSaveDialogFilters;
};
