// The log viewer: the log of hashed files as a table, one row per file in
// the order the worker took them up, copied to the clipboard as
// tab-separated text.
#pragma once

#include <functional>

#include "engine/uSorvik.h"
#include "forms/uFormBase.h"

#include <QIcon>

#include <array>
#include <memory>

class QAction;
class QTableView;
class QToolBar;
class QToolButton;
class TLogViewerModel;

class TFormLogViewer : public TSorvikForm {
    Q_OBJECT
public:
    explicit TFormLogViewer(QWidget* Parent = nullptr);
    ~TFormLogViewer() override;

    // The main window's Save Log and Clear Log actions, which the first two
    // tool buttons run, and the copy button's icon from its image list.
    void SetMainActions(QAction* SaveLog, QAction* ClearLog, const QIcon& CopyIcon = QIcon());

    // A file the worker has just taken up: a row with its number and name
    // only. Stores the row's index in F.RowIndex.
    void AddFile(THashFile& F);
    // The same for a record of the log: the row holds it with the log.
    void AddFile(const std::shared_ptr<THashFile>& F);
    // Between the two, new rows and changed cells reach the view once, at
    // the end: for a slice of the worker's events.
    void BeginBatch();
    void EndBatch();
    // F is finished: its size and digests fill its row. Call only after the
    // worker has reported F finished.
    void UpdateFile(const THashFile& F);
    // Removes all rows; hash columns shown so far stay shown.
    void Clear();
    // Re-cases every digest cell, shown or hidden.
    void ApplyHashCase(bool Upper);

    // What the copy button puts on the clipboard: the optional header line
    // and the selected rows (all rows when none is selected), in the visible
    // columns, every line ended by CR LF.
    QString GetExportText() const;
    QString GetHeaderLine() const;
    QString GetRowLine(int Row) const;
    // The visible columns' cells joined by TAB, each made safe for export.
    QString JoinVisibleCells(const std::function<QString(int Column)>& CellOf) const;

    int RowCount() const;
    // The text shown in a cell (Column 0 to 12).
    QString CellText(int Row, int Column) const;

    QToolBar* ToolBar = nullptr;
    QToolButton* TB_SaveToFile = nullptr;
    QToolButton* TB_ClearLog = nullptr;
    QToolButton* TB_CopyToClipboard = nullptr;
    QTableView* ListView = nullptr;
    // The list column of each hash type; -1 for htNone.
    std::array<int, HashTypeCount> HashColumns{};

protected:
    bool FormKeyUp(QKeyEvent* Event) override;

private:
    void CreateHashColumns();
    int ScaledWidth(int Width) const;
    int AddRow(std::shared_ptr<const THashFile> F);
    void UpdateRow(const THashFile& F, int Row);
    void TB_CopyToClipboardClick();
    bool ListViewKeyUp(QKeyEvent* Event);
    void FitNumberColumn();

    TLogViewerModel* FModel = nullptr;
    // Hash columns known to be shown: they are never hidden again.
    THashTypes FShownColumns = 0;
    // The row count at which the "#" column next needs another digit.
    int FNumberFitAt = 10;
};
