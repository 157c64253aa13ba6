// The two-file comparison window: two hashed files compared type by type.
#pragma once

#include "engine/uSorvik.h"
#include "forms/uFormBase.h"
#include "platform/uResourceStrings.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

extern TResourceString snummatchedhashes;
extern TResourceString smatchinghashes;
extern TResourceString snotmatchinghashes;

class TFormCompareFiles : public TSorvikForm {
    Q_OBJECT
public:
    explicit TFormCompareFiles(QWidget* Parent = nullptr);

    // Shows the window with the comparison of A (the file just finished)
    // and B (the one before it); True when they share at least one type and
    // no shared type differs. Call only with finished records.
    bool Compare(const THashFile& A, const THashFile& B);
    void ShowResult(bool Match);

    QLabel* Label_FileA = nullptr;
    QLineEdit* Edit_FileA = nullptr;
    QLabel* Label_FileB = nullptr;
    QLineEdit* Edit_FileB = nullptr;
    QLabel* Image_Good = nullptr;
    QLabel* Image_Bad = nullptr;
    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo_Notes = nullptr;

private:
};
