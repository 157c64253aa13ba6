// The single-digest comparison window: one digest of the file shown in the
// main window against a value typed or taken from the clipboard.
#pragma once

#include "engine/uSorvik.h"
#include "forms/uFormBase.h"
#include "platform/uResourceStrings.h"

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;

extern TResourceString sautopastedfromclipboard;

class TFormCompare : public TSorvikForm {
    Q_OBJECT
public:
    explicit TFormCompare(QWidget* Parent = nullptr);

    // Stores the type and digest of the row whose compare button was
    // pressed, shows the window (reading the clipboard only when it was
    // hidden) and compares. Fill FileHashes first.
    void Start(THashType AHashType, const QString& AFileHash);

    // The digests the main window shows, one per checked row with a text.
    THashList FileHashes;
    THashType HashType = htNone;
    std::string FileHash;
    // True while the window sets its own check box.
    bool Updating = false;

    QLabel* Label1 = nullptr;
    QLineEdit* EditHashUser = nullptr;
    QLabel* Label_Pasted = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* EditHashCompare = nullptr;
    QLabel* Label_HashType = nullptr;
    QLabel* Image_Good = nullptr;
    QLabel* Image_Bad = nullptr;
    QCheckBox* CB_CompareToAnyHash = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void PasteFromClipboard();
    void Compare();
    void ShowResult(bool Match);
    void HandleHashChange();
    void CB_CompareToAnyHashChange(bool Checked);
};
