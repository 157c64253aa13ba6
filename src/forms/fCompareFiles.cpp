#include "forms/fCompareFiles.h"

#include "app/uSettings.h"
#include "app/uTranslationKit.h"
#include "forms/uFormPlacement.h"
#include "forms/uFormPictures.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

#include <string>

SORVIK_RESOURCESTRING(fCompareFiles, snummatchedhashes, "Result: %d out of %d available hashes matched.");
SORVIK_RESOURCESTRING(fCompareFiles, smatchinghashes, "Matching:");
SORVIK_RESOURCESTRING(fCompareFiles, snotmatchinghashes, "Not matching:");

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

QString DigestLine(THashType T, const THashFile& F, bool Upper)
{
    return QString::fromStdString("* " + HashTypeToName(T) + ": " + CaseHash(F.Hashes.Get(T), Upper));
}

} // namespace

TFormCompareFiles::TFormCompareFiles(QWidget* Parent) : TSorvikForm(Parent)
{
    Placement = plCenterFirstOpening;
    setObjectName(Str("FormCompareFiles"));
    SetDesignText(this, this, Str("Caption"), Str("Compare Files"));
    // Only a close button in the title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    QFont EditFont = font();
    EditFont.setPixelSize(13);

    Label_FileA = new QLabel(this);
    Label_FileA->setObjectName(Str("Label_FileA"));
    SetDesignText(this, Label_FileA, Str("Caption"), Str("File A:"));
    Edit_FileA = new QLineEdit(this);
    Edit_FileA->setObjectName(Str("Edit_FileA"));
    Label_FileB = new QLabel(this);
    Label_FileB->setObjectName(Str("Label_FileB"));
    SetDesignText(this, Label_FileB, Str("Caption"), Str("File B:"));
    Edit_FileB = new QLineEdit(this);
    Edit_FileB->setObjectName(Str("Edit_FileB"));
    for (QLineEdit* E : {Edit_FileA, Edit_FileB}) {
        E->setReadOnly(true);
        E->setFont(EditFont);
    }
    Label_FileA->setBuddy(Edit_FileA);
    Label_FileB->setBuddy(Edit_FileB);

    QVBoxLayout* Pictures = CreateMatchPictures(this, Image_Good, Image_Bad);

    Label1 = new QLabel(this);
    Label1->setObjectName(Str("Label1"));
    SetDesignText(this, Label1, Str("Caption"), Str("Additional information:"));
    Memo_Notes = new QPlainTextEdit(this);
    Memo_Notes->setObjectName(Str("Memo_Notes"));
    Memo_Notes->setReadOnly(true);
    Memo_Notes->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo_Notes->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette Pal = Memo_Notes->palette();
    Pal.setColor(QPalette::Base, Pal.color(QPalette::Window));
    Memo_Notes->setPalette(Pal);
    Label1->setBuddy(Memo_Notes);

    auto* Files = new QGridLayout;
    Files->addWidget(Label_FileA, 0, 0);
    Files->addWidget(Edit_FileA, 1, 0);
    Files->addWidget(Label_FileB, 2, 0);
    Files->addWidget(Edit_FileB, 3, 0);
    Files->setColumnStretch(0, 1);
    auto* Top = new QHBoxLayout;
    Top->addLayout(Files, 1);
    Top->addLayout(Pictures);
    auto* Layout = new QVBoxLayout(this);
    Layout->addLayout(Top);
    Layout->addWidget(Label1);
    Layout->addWidget(Memo_Notes, 1);

    resize(481, 257);
    resize(size().expandedTo(minimumSizeHint()));
    // Larger at will, never smaller than it was made.
    setMinimumSize(size());
}

bool TFormCompareFiles::Compare(const THashFile& A, const THashFile& B)
{
    ShowAndRaise();
    Memo_Notes->clear();
    Edit_FileA->setText(QString::fromStdString(A.FileName));
    Edit_FileB->setText(QString::fromStdString(B.FileName));
    Edit_FileA->setCursorPosition(0);
    Edit_FileB->setCursorPosition(0);

    THashTypes Matched = 0;
    THashTypes Mismatched = 0;
    const bool Result = A.Hashes.Compare(B.Hashes, Matched, Mismatched);
    ShowResult(Result);

    const int M = CountHashTypes(Matched);
    const int N = CountHashTypes(Mismatched);
    const bool Upper = Settings && Settings->UpperCaseHash;
    QStringList Lines;
    Lines << QString::fromStdString(
        FormatText(snummatchedhashes.Text(), {std::to_string(M), std::to_string(M + N)}));
    if (M > 0) {
        Lines << QString();
        Lines << QString::fromStdString(smatchinghashes.Text() + " " + HashTypesToString(Matched));
        for (int T = htFirst; T <= htLast; ++T)
            if (HasHashType(Matched, THashType(T)))
                Lines << DigestLine(THashType(T), A, Upper);
    }
    if (N > 0) {
        Lines << QString();
        Lines << QString::fromStdString(snotmatchinghashes.Text() + " " + HashTypesToString(Mismatched));
        for (int T = htFirst; T <= htLast; ++T)
            if (HasHashType(Mismatched, THashType(T))) {
                Lines << DigestLine(THashType(T), A, Upper);
                Lines << DigestLine(THashType(T), B, Upper);
            }
    }
    Memo_Notes->setPlainText(Lines.join(QLatin1Char('\n')));
    return Result;
}

void TFormCompareFiles::ShowResult(bool Match)
{
    Image_Good->setVisible(Match);
    Image_Bad->setVisible(!Match);
}

