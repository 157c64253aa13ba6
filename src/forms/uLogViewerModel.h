// The log viewer's table: one row per record of the log, its number, file
// name, size and one column per hash type.
#pragma once

#include "engine/uSorvik.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <memory>
#include <vector>

// A row shares its record with the log rather than copying it: the record
// is written only on this thread, when the worker's events arrive, and a
// row shows its size and digests only once the file was reported finished,
// formatting them when they are shown or exported. Inside a batch new rows
// and changed cells are announced to the view once, when the batch ends.
class TLogViewerModel : public QAbstractTableModel {
public:
    static constexpr int ColNumber = 0;
    static constexpr int ColFile = 1;
    static constexpr int ColSize = 2;
    static constexpr int ColFirstHash = 3;
    static constexpr int ColumnCount = ColFirstHash + (htLast - htFirst + 1);
    static constexpr int HashColumnOf(THashType T) { return ColFirstHash + (T - htFirst); }

    struct TRow {
        std::shared_ptr<const THashFile> Record;
        THashTypes Shown = 0;   // the digest cells filled
        bool Updated = false;   // the size cell filled
        bool Upper = false;     // the case of the digest cells
    };

    explicit TLogViewerModel(QObject* Parent) : QAbstractTableModel(Parent) {}

    int rowCount(const QModelIndex& Parent = QModelIndex()) const override
    {
        return Parent.isValid() ? 0 : FAnnounced;
    }
    int columnCount(const QModelIndex& Parent = QModelIndex()) const override
    {
        return Parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex& Index, int Role) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;

    // Rows held, announced or not.
    int Rows() const { return static_cast<int>(FRows.size()); }
    QString Cell(int Row, int Column) const;
    // Adds a row for F; returns its index.
    int Append(std::shared_ptr<const THashFile> F);
    // The row at Row when it holds F; null when it does not (a cleared log).
    TRow* RowOf(const THashFile& F, int Row);
    void RowChanged(int Row);
    void BeginBatch() { ++FBatch; }
    void EndBatch();
    void Clear();
    void ApplyHashCase(bool Upper);

    std::array<QString, ColumnCount> Captions;

private:
    std::vector<TRow> FRows;
    int FAnnounced = 0;
    int FBatch = 0;
    int FChangedFirst = -1;
    int FChangedLast = -1;
};
