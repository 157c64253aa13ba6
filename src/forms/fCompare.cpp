#include "forms/fCompare.h"

#include "app/uSettings.h"
#include "app/uTranslationKit.h"
#include "forms/uFormPlacement.h"
#include "forms/uFormPictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>

SORVIK_RESOURCESTRING(fCompare, sautopastedfromclipboard, "Auto pasted from clipboard");

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

} // namespace

TFormCompare::TFormCompare(QWidget* Parent) : TSorvikForm(Parent)
{
    Placement = plCenterFirstOpening;
    setObjectName(Str("FormCompare"));
    EscCloses = true;
    SetDesignText(this, this, Str("Caption"), Str("Compare Hash"));

    QFont Fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    Component(Label1, this, "Label1", Str("Your hash:"));
    Component(EditHashUser, this, "EditHashUser");
    EditHashUser->setFont(Fixed);
    Label1->setBuddy(EditHashUser);
    Component(Label_Pasted, this, "Label_Pasted");
    Label_Pasted->setAlignment(Qt::AlignTrailing | Qt::AlignVCenter);
    SetDesignText(this, Label_Pasted, Str("Caption"), Str("..."));

    Component(Label2, this, "Label2", Str("Comparing to:"));
    Component(EditHashCompare, this, "EditHashCompare");
    EditHashCompare->setFont(Fixed);
    EditHashCompare->setReadOnly(true);
    EditHashCompare->setFocusPolicy(Qt::ClickFocus);
    QPalette Pal = EditHashCompare->palette();
    Pal.setColor(QPalette::Base, Pal.color(QPalette::Window));
    EditHashCompare->setPalette(Pal);
    Component(Label_HashType, this, "Label_HashType");
    Label_HashType->setAlignment(Qt::AlignTrailing | Qt::AlignVCenter);
    SetDesignText(this, Label_HashType, Str("Caption"), Str("..."));

    QVBoxLayout* Pictures = CreateMatchPictures(this, Image_Good, Image_Bad);

    Component(CB_CompareToAnyHash, this, "CB_CompareToAnyHash", Str("Compare to any of the available hash types"));

    // Each caption line: the label at the start, its note at the end (both
    // ends follow the layout direction).
    auto* UserLine = new QHBoxLayout;
    UserLine->addWidget(Label1);
    UserLine->addStretch(1);
    UserLine->addWidget(Label_Pasted);
    auto* CompareLine = new QHBoxLayout;
    CompareLine->addWidget(Label2);
    CompareLine->addStretch(1);
    CompareLine->addWidget(Label_HashType);
    auto* Grid = new QVBoxLayout;
    Grid->addLayout(UserLine);
    Grid->addWidget(EditHashUser);
    Grid->addLayout(CompareLine);
    Grid->addWidget(EditHashCompare);
    auto* Top = new QHBoxLayout;
    Top->addLayout(Grid, 1);
    Top->addLayout(Pictures);
    auto* Layout = new QVBoxLayout(this);
    Layout->addLayout(Top);
    Layout->addWidget(CB_CompareToAnyHash);
    Layout->addStretch(1);

    // A fixed border, wide enough for a SHA256 digest in the fixed font and
    // for the captions in any language.
    const int Wide = QFontMetrics(Fixed).horizontalAdvance(QString(64, QLatin1Char('0')));
    resize(std::max(481, std::min(Wide + 120, 900)), 153);
    resize(size().expandedTo(sizeHint()));
    setFixedSize(size());

    Updating = true;
    CB_CompareToAnyHash->setChecked(Settings && Settings->CompareToAnyHash);
    Updating = false;

    connect(EditHashUser, &QLineEdit::textChanged, this, [this] { RunGuarded([this] { HandleHashChange(); }); });
    connect(CB_CompareToAnyHash, &QCheckBox::toggled, this,
            [this](bool Checked) { RunGuarded([&] { CB_CompareToAnyHashChange(Checked); }); });
}

void TFormCompare::Start(THashType AHashType, const QString& AFileHash)
{
    HashType = AHashType;
    FileHash = AFileHash.toStdString();
    ShowAndRaise();
    Compare();
}

void TFormCompare::showEvent(QShowEvent* Event)
{
    TSorvikForm::showEvent(Event);
    // Restoring from the task bar is no new use of the window.
    if (!Event->spontaneous())
        RunGuarded([this] { PasteFromClipboard(); });
}

void TFormCompare::PasteFromClipboard()
{
    const QString T = TrimControls(QApplication::clipboard()->text());
    if (!T.isEmpty()) {
        EditHashUser->setText(T);
        Label_Pasted->setText(QString::fromStdString(sautopastedfromclipboard.Text()));
    } else {
        Label_Pasted->clear();
    }
}

void TFormCompare::Compare()
{
    const std::string User = StripBlanks(EditHashUser->text().toStdString());
    std::string Shown = FileHash;
    std::string TypeName = (!FileHash.empty() && HashType != htNone) ? HashTypeToName(HashType) : std::string();
    // Nothing typed is no claim about a digest: it never matches, not even
    // an empty one.
    bool Match = !User.empty() && SameHash(User, FileHash);
    if (!Match && !User.empty() && CB_CompareToAnyHash->isChecked()) {
        const THashType T = FileHashes.FindType(User);
        if (T != htNone) {
            Match = true;
            Shown = FileHashes.Get(T);
            TypeName = HashTypeToName(T);
        }
    }
    EditHashCompare->setText(QString::fromStdString(Shown));
    Label_HashType->setText(QString::fromStdString(TypeName));
    ShowResult(Match);
    if (EditHashUser->isVisible() && EditHashUser->isEnabled())
        EditHashUser->setFocus();
}

void TFormCompare::ShowResult(bool Match)
{
    Image_Good->setVisible(Match);
    Image_Bad->setVisible(!Match);
}

void TFormCompare::HandleHashChange()
{
    Label_Pasted->clear();
    Compare();
}

void TFormCompare::CB_CompareToAnyHashChange(bool Checked)
{
    if (Updating)
        return;
    if (Settings)
        Settings->CompareToAnyHash = Checked;
    Compare();
}

