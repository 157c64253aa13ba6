#include "forms/fCompareFiles.h"

#include "app/uSettings.h"
#include "app/uTranslationKit.h"
#include "forms/uFormPlacement.h"
#include "forms/uFormPictures.h"
#include "platform/qt/uFileNames.h"
#include "platform/qt/uTextDirection.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextCursor>
#include <QVBoxLayout>

#include <string>

SORVIK_RESOURCESTRING(fCompareFiles, snummatchedhashes, "Result: %d out of %d available hashes matched.");
SORVIK_RESOURCESTRING(fCompareFiles, smatchinghashes, "Matching:");
SORVIK_RESOURCESTRING(fCompareFiles, snotmatchinghashes, "Not matching:");

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

// "* TYPE: digest". In a right-to-left window the line is a right-to-left
// paragraph like the translated ones around it (so its bullet stays at its
// start), with the type name and the digest each read left to right.
QString DigestLine(THashType T, const THashFile& F, bool Upper, Qt::LayoutDirection Direction)
{
    const QString Name = QString::fromStdString(HashTypeToName(T));
    const QString Digest = QString::fromStdString(CaseHash(F.Hashes.Get(T), Upper));
    const QString Line = QStringLiteral("* ") + LeftToRightUnit(Name, Direction) + QStringLiteral(": ")
                         + LeftToRightUnit(Digest, Direction);
    return Direction == Qt::RightToLeft ? QChar(0x200F) + Line : Line; // RIGHT-TO-LEFT MARK
}

// A translated label followed by type names. The right-to-left report wraps
// its lines: the list may break after each of its commas (a zero-width
// space), never inside a name.
QString TypesLine(const std::string& Label, THashTypes Types, Qt::LayoutDirection Direction)
{
    QString Names = QString::fromStdString(HashTypesToString(Types));
    if (Direction == Qt::RightToLeft)
        Names.replace(QLatin1Char(','), QStringLiteral(",\u200B"));
    return QString::fromStdString(Label + " ") + LeftToRightUnit(Names, Direction);
}

} // namespace

TFormCompareFiles::TFormCompareFiles(QWidget* Parent) : TSorvikForm(Parent)
{
    Placement = plCenterFirstOpening;
    setObjectName(Str("FormCompareFiles"));
    EscCloses = true;
    SetDesignText(this, this, Str("Caption"), Str("Compare Files"));
    // Only a close button in the title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    QFont EditFont = font();
    EditFont.setPixelSize(13);

    Component(Label_FileA, this, "Label_FileA", Str("File A:"));
    Component(Edit_FileA, this, "Edit_FileA");
    Component(Label_FileB, this, "Label_FileB", Str("File B:"));
    Component(Edit_FileB, this, "Edit_FileB");
    for (QLineEdit* E : {Edit_FileA, Edit_FileB}) {
        E->setReadOnly(true);
        E->setFont(EditFont);
    }
    Label_FileA->setBuddy(Edit_FileA);
    Label_FileB->setBuddy(Edit_FileB);

    QVBoxLayout* Pictures = CreateMatchPictures(this, Image_Good, Image_Bad);

    Component(Label1, this, "Label1", Str("Additional information:"));
    Component(Memo_Notes, this, "Memo_Notes");
    Memo_Notes->setReadOnly(true);
    Memo_Notes->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo_Notes->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ParagraphsInTheirOwnDirection(Memo_Notes);
    if (isRightToLeft()) {
        // Unwrapped, a digest longer than the view would push the start of
        // its line out of sight while the shorter lines begin at the edge:
        // in this layout lines wrap instead, every line at the right, between
        // words; only a digest longer than a line is cut.
        QTextOption Option = Memo_Notes->document()->defaultTextOption();
        Option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        Option.setAlignment(Qt::AlignRight);
        Memo_Notes->document()->setDefaultTextOption(Option);
    }
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
    Edit_FileA->setText(FileNameToQString(A.FileName));
    Edit_FileB->setText(FileNameToQString(B.FileName));
    Edit_FileA->setCursorPosition(0);
    Edit_FileB->setCursorPosition(0);

    THashTypes Matched = 0;
    THashTypes Mismatched = 0;
    const bool Result = A.Hashes.Compare(B.Hashes, Matched, Mismatched);
    ShowResult(Result);

    const int M = CountHashTypes(Matched);
    const int N = CountHashTypes(Mismatched);
    const bool Upper = Settings && Settings->UpperCaseHash;
    const Qt::LayoutDirection Direction = layoutDirection();
    QStringList Lines;
    Lines << QString::fromStdString(
        FormatText(snummatchedhashes.Text(), {std::to_string(M), std::to_string(M + N)}));
    if (M > 0) {
        Lines << QString();
        Lines << TypesLine(smatchinghashes.Text(), Matched, Direction);
        for (int T = htFirst; T <= htLast; ++T)
            if (HasHashType(Matched, THashType(T)))
                Lines << DigestLine(THashType(T), A, Upper, Direction);
    }
    if (N > 0) {
        Lines << QString();
        Lines << TypesLine(snotmatchinghashes.Text(), Mismatched, Direction);
        for (int T = htFirst; T <= htLast; ++T)
            if (HasHashType(Mismatched, THashType(T))) {
                Lines << DigestLine(THashType(T), A, Upper, Direction);
                Lines << DigestLine(THashType(T), B, Upper, Direction);
            }
    }
    Memo_Notes->setPlainText(Lines.join(QLatin1Char('\n')));
    // Open at the start of the report, where every line begins.
    Memo_Notes->moveCursor(QTextCursor::Start);
    Memo_Notes->ensureCursorVisible();
    return Result;
}

void TFormCompareFiles::ShowResult(bool Match)
{
    Image_Good->setVisible(Match);
    Image_Bad->setVisible(!Match);
}

