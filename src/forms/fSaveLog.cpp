#include "forms/fSaveLog.h"

#include "app/uSettings.h"
#include "app/uTranslationKit.h"
#include "app/uUserInteraction.h"
#include "forms/uFileDialogs.h"
#include "forms/uFormPlacement.h"
#include "platform/qt/uFileNames.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

SORVIK_RESOURCESTRING(fsavelog, shashtypeauto, "Auto");

namespace {

bool RunSaveDialog(QFileDialog& Dialog, QString& FileName)
{
    const QStringList Files = UserInteraction().ChooseFiles(Dialog);
    if (Files.isEmpty())
        return false;
    FileName = Files.first();
    return true;
}

// "Any files (*.*)|*.*|..." as Qt's name filters. "*.*" would hide names
// without a dot here, so it becomes "*"; the description shows the pattern
// that is really applied.
QStringList NameFilters(const QString& Filter)
{
    QStringList Result;
    const QStringList Parts = Filter.split(QLatin1Char('|'));
    for (qsizetype I = 0; I + 1 < Parts.size(); I += 2) {
        QString Description = Parts[I].trimmed();
        QString Pattern = Parts[I + 1].trimmed();
        QStringList Patterns = Pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& P : Patterns) {
            P = P.trimmed();
            if (P == QLatin1String("*.*"))
                P = QStringLiteral("*");
        }
        Pattern = Patterns.join(QLatin1Char(' '));
        if (Pattern.isEmpty())
            Pattern = QStringLiteral("*");
        if (Description.endsWith(QLatin1Char(')'))) {
            const qsizetype Open = Description.lastIndexOf(QLatin1Char('('));
            if (Open >= 0)
                Description = Description.left(Open).trimmed();
        }
        if (Description.isEmpty())
            Description = Pattern;
        Result << FileDialogFilter(Description, Pattern);
    }
    return Result;
}

QFont DesignFont(const QWidget* W)
{
    QFont F = W->font();
    F.setPixelSize(13);
    return F;
}

} // namespace

TFormSaveLog::TFormSaveLog(QWidget* Parent) : TSorvikForm(Parent)
{
    Placement = plCenterEveryOpening;
    setObjectName(QStringLiteral("FormSaveLog"));
    EscCloses = true;
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Component(Label_FileFormat, this, "Label_FileFormat", QStringLiteral("File format:"));
    Component(ComboBox_FileFormat, this, "ComboBox_FileFormat");
    ComboBox_FileFormat->setEditable(false);
    ComboBox_FileFormat->setFont(DesignFont(ComboBox_FileFormat));
    Label_FileFormat->setBuddy(ComboBox_FileFormat);

    Component(Label_HashType, this, "Label_HashType", QStringLiteral("Hash type:"));
    Component(ComboBox_HashType, this, "ComboBox_HashType");
    ComboBox_HashType->setEditable(false);
    ComboBox_HashType->setFont(DesignFont(ComboBox_HashType));
    Label_HashType->setBuddy(ComboBox_HashType);

    Component(RadioButton_UseFileNameOnly, this, "RadioButton_UseFileNameOnly", QStringLiteral("Use file names only"));
    RadioButton_UseFileNameOnly->setChecked(true);
    Component(RadioButton_UseFilePath, this, "RadioButton_UseFilePath", QStringLiteral("Use file paths"));

    Component(Label_TargetPath, this, "Label_TargetPath", QStringLiteral("Target file path:"));
    Component(Edit_TargetPath, this, "Edit_TargetPath");
    Edit_TargetPath->setFont(DesignFont(Edit_TargetPath));
    Label_TargetPath->setBuddy(Edit_TargetPath);
    Component(SpeedButton_Browse, this, "SpeedButton_Browse");
    SpeedButton_Browse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    SpeedButton_Browse->setAutoRaise(false);

    SaveCancelButtons(BitBtn_Save, "BitBtn_Save", BitBtn_Cancel, "BitBtn_Cancel");

    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(Label_FileFormat);
    Layout->addWidget(ComboBox_FileFormat);
    Layout->addSpacing(4);
    Layout->addWidget(Label_HashType);
    Layout->addWidget(ComboBox_HashType);
    Layout->addSpacing(4);
    Layout->addWidget(RadioButton_UseFileNameOnly);
    Layout->addWidget(RadioButton_UseFilePath);
    Layout->addSpacing(4);
    Layout->addWidget(Label_TargetPath);
    auto* PathRow = new QHBoxLayout;
    PathRow->addWidget(Edit_TargetPath, 1);
    PathRow->addWidget(SpeedButton_Browse);
    Layout->addLayout(PathRow);
    Layout->addStretch(1);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(BitBtn_Save);
    Buttons->addWidget(BitBtn_Cancel);
    Layout->addLayout(Buttons);

    setTabOrder(ComboBox_FileFormat, ComboBox_HashType);
    setTabOrder(ComboBox_HashType, RadioButton_UseFileNameOnly);
    setTabOrder(RadioButton_UseFileNameOnly, RadioButton_UseFilePath);
    setTabOrder(RadioButton_UseFilePath, Edit_TargetPath);
    setTabOrder(Edit_TargetPath, SpeedButton_Browse);
    setTabOrder(SpeedButton_Browse, BitBtn_Save);
    setTabOrder(BitBtn_Save, BitBtn_Cancel);

    SetDesignText(this, this, QStringLiteral("Caption"), QStringLiteral("Save Log"));

    // Translated with the rest of the design, although the chooser itself is
    // made only when first needed.
    FSaveDialogFilters = NameFilters(DesignText(
        TDesignProperty{QString::fromLatin1(metaObject()->className()), QStringLiteral("SaveDialog"),
                        QStringLiteral("Filter")},
        DefaultSaveDialogFilter()));

    connect(SpeedButton_Browse, &QToolButton::clicked, this, [this] { RunGuarded([this] { SpeedButton_BrowseClick(); }); });
    connect(BitBtn_Save, &QPushButton::clicked, this, [this] { RunGuarded([this] { BitBtn_SaveClick(); }); });
    connect(BitBtn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    // FormCreate
    FillLists();
    LoadFromSettings();

    // After filling: the lists' entries decide how wide the dialog must be.
    FixDialogSize(this, 345, 275);
}

TFormSaveLog::~TFormSaveLog() = default;

QString TFormSaveLog::DefaultSaveDialogFilter()
{
    return QStringLiteral("Any files (*.*)|*.*|Simple file verification (*.sfv)|*.sfv|"
                          "MD5 sum files (*.md5sum)|*.md5sum|SHA1 sum files (*.sha1sum)|*.sha1sum");
}

TVerifyFormat TFormSaveLog::SelectedFormat() const
{
    const QVariant V = ComboBox_FileFormat->currentData();
    return V.isValid() ? static_cast<TVerifyFormat>(V.toInt()) : vfNone;
}

THashType TFormSaveLog::SelectedHashType() const
{
    const QVariant V = ComboBox_HashType->currentData();
    return V.isValid() ? static_cast<THashType>(V.toInt()) : htNone;
}

bool TFormSaveLog::UseFullPath() const { return RadioButton_UseFilePath->isChecked(); }

std::string TFormSaveLog::TargetPath() const { return QStringToFileName(Edit_TargetPath->text()); }

void TFormSaveLog::FillLists()
{
    const TVerifyFormat StoredFormat = Settings ? Settings->SaveLogVerifyFormat : vfNone;
    const THashType StoredType = Settings ? Settings->SaveLogHashType : htNone;

    ComboBox_FileFormat->clear();
    for (TVerifyFormat F : {vfSFV, vfSUM})
        ComboBox_FileFormat->addItem(QString::fromStdString(VerifyFormatCaption(F)), static_cast<int>(F));
    const int FormatIndex = ComboBox_FileFormat->findData(static_cast<int>(StoredFormat));
    ComboBox_FileFormat->setCurrentIndex(FormatIndex >= 0 ? FormatIndex : 0);

    ComboBox_HashType->clear();
    ComboBox_HashType->addItem(QString::fromStdString(shashtypeauto.Text()), static_cast<int>(htNone));
    for (int T = htFirst; T <= htLast; ++T)
        ComboBox_HashType->addItem(QString::fromStdString(HashTypeToName(static_cast<THashType>(T))), T);
    const int TypeIndex = ComboBox_HashType->findData(static_cast<int>(StoredType));
    ComboBox_HashType->setCurrentIndex(TypeIndex >= 0 ? TypeIndex : 0);
}

void TFormSaveLog::LoadFromSettings()
{
    if (!Settings)
        return;
    Edit_TargetPath->setText(FileNameToQString(Settings->SaveLogFileName));
    if (Settings->SaveLogUseFullPath)
        RadioButton_UseFilePath->setChecked(true);
    else
        RadioButton_UseFileNameOnly->setChecked(true);
}

void TFormSaveLog::StoreToSettings()
{
    if (!Settings)
        return;
    Settings->SaveLogFileName = TargetPath();
    Settings->SaveLogVerifyFormat = SelectedFormat();
    Settings->SaveLogHashType = SelectedHashType();
    Settings->SaveLogUseFullPath = UseFullPath();
}

QFileDialog& TFormSaveLog::SaveDialogInstance()
{
    // Made on first use and kept, so that it starts from its own last choice.
    if (!SaveDialog) {
        Component(SaveDialog, this, "SaveDialog");
        SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
        SaveDialog->setFileMode(QFileDialog::AnyFile);
        PrepareFileDialog(*SaveDialog);
        SaveDialog->setOption(QFileDialog::DontConfirmOverwrite, true);
        SaveDialog->setDefaultSuffix(QString());
        SaveDialog->setNameFilters(FSaveDialogFilters);
        SaveDialog->selectNameFilter(FSaveDialogFilters.value(0));
    }
    return *SaveDialog;
}

void TFormSaveLog::SpeedButton_BrowseClick()
{
    // The chooser is not given the edit's text.
    QString FileName;
    if (RunSaveDialog(SaveDialogInstance(), FileName))
        Edit_TargetPath->setText(FileName);
}

void TFormSaveLog::BitBtn_SaveClick()
{
    // The choices are kept even when there is nothing to write to.
    StoreToSettings();
    if (Edit_TargetPath->text().isEmpty())
        reject();
    else
        accept();
}
