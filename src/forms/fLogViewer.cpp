#include "forms/fLogViewer.h"

#include "app/uSettings.h"
#include "app/uTranslationKit.h"
#include "forms/uFormPlacement.h"
#include "forms/uLogViewerModel.h"
#include "forms/uMainIcons.h"
#include "forms/uWrappingToolBar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

constexpr int ColNumber = TLogViewerModel::ColNumber;
constexpr int ColFile = TLogViewerModel::ColFile;
constexpr int ColSize = TLogViewerModel::ColSize;
constexpr int ColumnCount = TLogViewerModel::ColumnCount;

// A cell of the exported table stays one cell: its own TABs and line breaks
// become blanks.
QString ExportCell(QString S)
{
    for (QChar& C : S)
        if (C == QLatin1Char('\t') || C == QLatin1Char('\r') || C == QLatin1Char('\n'))
            C = QLatin1Char(' ');
    return S;
}

} // namespace

TFormLogViewer::TFormLogViewer(QWidget* Parent) : TSorvikForm(Parent)
{
    Placement = plCenterFirstOpening;
    setObjectName(Str("FormLogViewer"));
    SetDesignText(this, this, Str("Caption"), Str("Log Viewer"));
    // A tool window of the main one: it can be made as large as wanted.
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    auto* Bar = NewComponent<TWrappingToolBar>(this, this, "ToolBar");
    ToolBar = Bar;
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar->setIconSize(QSize(16, 16));
    Component(TB_SaveToFile, ToolBar, "TB_SaveToFile");
    Component(TB_ClearLog, ToolBar, "TB_ClearLog");
    Component(TB_CopyToClipboard, ToolBar, "TB_CopyToClipboard", Str("Copy to clipboard"));
    TB_CopyToClipboard->setIcon(MainImage(miCopy));
    for (QToolButton* B : {TB_SaveToFile, TB_ClearLog, TB_CopyToClipboard})
        Bar->AddButton(B);
    // Without the main window's actions the two buttons do nothing.
    TB_SaveToFile->setEnabled(false);
    TB_ClearLog->setEnabled(false);

    FModel = new TLogViewerModel(this);
    Component(ListView, this, "ListView");
    FModel->Captions[ColNumber] = DesignText(this, ListView, Str("Columns[0].Caption"), Str("#"));
    FModel->Captions[ColFile] = DesignText(this, ListView, Str("Columns[1].Caption"), Str("File"));
    FModel->Captions[ColSize] = DesignText(this, ListView, Str("Columns[2].Caption"), Str("Size"));
    ListView->setModel(FModel);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setShowGrid(false);
    ListView->setWordWrap(false);
    ListView->setTabKeyNavigation(false);
    ListView->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ListView->verticalHeader()->hide();
    // One fixed row height keeps a long log cheap to lay out and scroll.
    ListView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView->verticalHeader()->setDefaultSectionSize(ListView->fontMetrics().height() + 6);
    ListView->horizontalHeader()->setHighlightSections(false);
    ListView->horizontalHeader()->setStretchLastSection(false);
    ListView->setTextElideMode(Qt::ElideMiddle);
    ListView->setColumnWidth(ColNumber, ScaledWidth(30));
    ListView->setColumnWidth(ColFile, ScaledWidth(200));
    ListView->setColumnWidth(ColSize, ScaledWidth(80));

    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    Layout->addWidget(ToolBar);
    Layout->addWidget(ListView, 1);
    resize(515, 308);

    connect(TB_CopyToClipboard, &QToolButton::clicked, this, [this] { RunGuarded([this] { TB_CopyToClipboardClick(); }); });

    if (Settings)
        Settings->LogViewerLocation->Attach(this);
    CreateHashColumns();
}

TFormLogViewer::~TFormLogViewer()
{
    if (Settings && Settings->LogViewerLocation->Form() == this)
        Settings->LogViewerLocation->Attach(nullptr);
}

void TFormLogViewer::SetMainActions(QAction* SaveLog, QAction* ClearLog, const QIcon& CopyIcon)
{
    if (!CopyIcon.isNull())
        TB_CopyToClipboard->setIcon(CopyIcon);
    TB_SaveToFile->setDefaultAction(SaveLog);
    TB_ClearLog->setDefaultAction(ClearLog);
    TB_SaveToFile->setEnabled(SaveLog && SaveLog->isEnabled());
    TB_ClearLog->setEnabled(ClearLog && ClearLog->isEnabled());
}

void TFormLogViewer::CreateHashColumns()
{
    HashColumns.fill(-1);
    for (int T = htFirst; T <= htLast; ++T) {
        const int Column = TLogViewerModel::HashColumnOf(THashType(T));
        FModel->Captions[static_cast<std::size_t>(Column)] = QString::fromStdString(HashTypeToName(THashType(T)));
        ListView->setColumnWidth(Column, ScaledWidth(80));
        ListView->setColumnHidden(Column, true);
        HashColumns[static_cast<std::size_t>(T)] = Column;
    }
}

int TFormLogViewer::ScaledWidth(int Width) const
{
    // The widths suit digits about six pixels wide; a larger font widens
    // the columns alike, so that a size in full still fits its column.
    const int Digits = ListView->fontMetrics().horizontalAdvance(QStringLiteral("0123456789"));
    return Digits > 60 ? Width * Digits / 60 : Width;
}

int TFormLogViewer::AddRow(std::shared_ptr<const THashFile> F)
{
    const int Row = FModel->Append(std::move(F));
    if (RowCount() >= FNumberFitAt)
        FitNumberColumn();
    return Row;
}

void TFormLogViewer::AddFile(THashFile& F)
{
    // Not owned: the caller keeps F alive while its row is shown.
    F.RowIndex = AddRow(std::shared_ptr<const THashFile>(std::shared_ptr<void>(), &F));
}

void TFormLogViewer::FitNumberColumn()
{
    const int Rows = RowCount();
    while (FNumberFitAt <= Rows && FNumberFitAt <= std::numeric_limits<int>::max() / 10)
        FNumberFitAt *= 10;
    // The delegate leaves a margin on either side of a cell's text.
    const int Margin = ListView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ListView) + 1;
    const int Needed = ListView->fontMetrics().horizontalAdvance(QString::number(Rows)) + 2 * Margin + 2;
    if (ListView->columnWidth(ColNumber) < Needed)
        ListView->setColumnWidth(ColNumber, Needed);
}

void TFormLogViewer::AddFile(const std::shared_ptr<THashFile>& F)
{
    if (F)
        F->RowIndex = AddRow(F);
}

void TFormLogViewer::BeginBatch() { FModel->BeginBatch(); }

void TFormLogViewer::EndBatch() { FModel->EndBatch(); }

void TFormLogViewer::UpdateRow(const THashFile& F, int Row)
{
    TLogViewerModel::TRow* R = FModel->RowOf(F, Row);
    // A record whose row went with a clear has nowhere to show.
    if (!R)
        return;
    // The digests are formatted in this case whenever the row is shown.
    const bool Upper = Settings && Settings->UpperCaseHash;
    R->Updated = true;
    R->Upper = Upper;
    const THashTypes New = F.Hashes.HashTypes & AllHashTypes() & ~FShownColumns;
    if (New != 0) {
        for (int T = htFirst; T <= htLast; ++T) {
            const int Column = HashColumns[static_cast<std::size_t>(T)];
            if (HasHashType(New, THashType(T)) && ListView->isColumnHidden(Column))
                ListView->setColumnHidden(Column, false);
        }
        FShownColumns |= New;
    }
    R->Shown |= F.Hashes.HashTypes & AllHashTypes();
    FModel->RowChanged(Row);
}

void TFormLogViewer::UpdateFile(const THashFile& F) { UpdateRow(F, F.RowIndex); }

void TFormLogViewer::Clear()
{
    FModel->Clear();
    ListView->setColumnWidth(ColNumber, ScaledWidth(30));
    FNumberFitAt = 10;
}

void TFormLogViewer::ApplyHashCase(bool Upper) { FModel->ApplyHashCase(Upper); }

int TFormLogViewer::RowCount() const { return FModel->Rows(); }

QString TFormLogViewer::CellText(int Row, int Column) const
{
    if (Row < 0 || Row >= RowCount() || Column < 0 || Column >= ColumnCount)
        return {};
    return FModel->Cell(Row, Column);
}

QString TFormLogViewer::JoinVisibleCells(const std::function<QString(int Column)>& CellOf) const
{
    QString Line;
    bool First = true;
    for (int C = 0; C < ColumnCount; ++C) {
        if (ListView->isColumnHidden(C))
            continue;
        if (!First)
            Line += QLatin1Char('\t');
        Line += ExportCell(CellOf(C));
        First = false;
    }
    return Line;
}

QString TFormLogViewer::GetHeaderLine() const
{
    return JoinVisibleCells([this](int C) { return FModel->Captions[static_cast<std::size_t>(C)]; });
}

QString TFormLogViewer::GetRowLine(int Row) const
{
    return JoinVisibleCells([this, Row](int C) { return FModel->Cell(Row, C); });
}

QString TFormLogViewer::GetExportText() const
{
    static const QString CRLF = QStringLiteral("\r\n");
    QString Text;
    if (Settings && Settings->IncludeHeaderInExport)
        Text += GetHeaderLine() + CRLF;
    const int Rows = RowCount();
    // Marked from the selection's ranges: one pass however large the log.
    std::vector<bool> Selected(static_cast<std::size_t>(Rows), false);
    bool Any = false;
    for (const QItemSelectionRange& Range : ListView->selectionModel()->selection()) {
        for (int R = std::max(0, Range.top()); R <= Range.bottom() && R < Rows; ++R) {
            Selected[static_cast<std::size_t>(R)] = true;
            Any = true;
        }
    }
    for (int R = 0; R < Rows; ++R)
        if (!Any || Selected[static_cast<std::size_t>(R)])
            Text += GetRowLine(R) + CRLF;
    return Text;
}

void TFormLogViewer::TB_CopyToClipboardClick() { QApplication::clipboard()->setText(GetExportText()); }

bool TFormLogViewer::ListViewKeyUp(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_A && (Event->modifiers() & Qt::ControlModifier)) {
        ListView->selectAll();
        return true;
    }
    return false;
}

bool TFormLogViewer::FormKeyUp(QKeyEvent* Event)
{
    QWidget* Focus = QApplication::focusWidget();
    if (Focus && (Focus == ListView || ListView->isAncestorOf(Focus)))
        return ListViewKeyUp(Event);
    return TSorvikForm::FormKeyUp(Event);
}

