#include "forms/uLogViewerModel.h"

#include "engine/uStrUtils.h"
#include "platform/qt/uFileNames.h"

#include <QGuiApplication>

#include <algorithm>
#include <string>

QVariant TLogViewerModel::data(const QModelIndex& Index, int Role) const
{
    if (!Index.isValid() || Index.row() >= rowCount())
        return {};
    if (Role == Qt::DisplayRole) {
        const QString Text = Cell(Index.row(), Index.column());
        // Paths, sizes and digests read left to right in any layout;
        // without the embedding a right-to-left view moves their slashes
        // and reorders the halves of an elided digest.
        if (Index.column() != ColNumber && !Text.isEmpty() && QGuiApplication::isRightToLeft())
            return QString(QChar(0x202A)) + Text + QChar(0x202C);
        return Text;
    }
    if (Role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((Index.column() == ColSize ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    return {};
}

QVariant TLogViewerModel::headerData(int Section, Qt::Orientation Orientation, int Role) const
{
    if (Orientation != Qt::Horizontal || Section < 0 || Section >= ColumnCount)
        return {};
    if (Role == Qt::DisplayRole)
        return Captions[static_cast<std::size_t>(Section)];
    if (Role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((Section == ColSize ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags TLogViewerModel::flags(const QModelIndex& Index) const
{
    return Index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString TLogViewerModel::Cell(int Row, int Column) const
{
    const TRow& R = FRows[static_cast<std::size_t>(Row)];
    switch (Column) {
    case ColNumber:
        return QString::number(Row + 1);
    case ColFile:
        return FileNameToQString(R.Record->FileName);
    case ColSize:
        if (R.Updated && R.Record->Properties.Valid)
            return QString::fromStdString(IntToStrSep(R.Record->Properties.Size, ","));
        return {};
    default:
        if (Column >= ColFirstHash && Column < ColumnCount) {
            const auto T = static_cast<THashType>(htFirst + (Column - ColFirstHash));
            if (HasHashType(R.Shown, T))
                return QString::fromStdString(R.Record->Hashes.GetCased(T, R.Upper));
        }
        return {};
    }
}

int TLogViewerModel::Append(std::shared_ptr<const THashFile> F)
{
    const int Row = Rows();
    // Everything that can fail happens before the insertion is announced,
    // so the view never hears of a row that does not come.
    if (FRows.size() == FRows.capacity())
        FRows.reserve(FRows.capacity() * 2 + 64);
    TRow R;
    R.Record = std::move(F);
    if (FBatch > 0) {
        FRows.push_back(std::move(R));
        return Row;
    }
    beginInsertRows(QModelIndex(), Row, Row);
    FRows.push_back(std::move(R));
    FAnnounced = Rows();
    endInsertRows();
    return Row;
}

TLogViewerModel::TRow* TLogViewerModel::RowOf(const THashFile& F, int Row)
{
    if (Row < 0 || Row >= Rows())
        return nullptr;
    TRow& R = FRows[static_cast<std::size_t>(Row)];
    return R.Record.get() == &F ? &R : nullptr;
}

void TLogViewerModel::RowChanged(int Row)
{
    // A row not yet announced is shown as it is when it is.
    if (Row >= FAnnounced)
        return;
    if (FBatch == 0) {
        emit dataChanged(index(Row, 0), index(Row, ColumnCount - 1));
        return;
    }
    FChangedFirst = FChangedFirst < 0 ? Row : std::min(FChangedFirst, Row);
    FChangedLast = std::max(FChangedLast, Row);
}

void TLogViewerModel::EndBatch()
{
    if (FBatch == 0 || --FBatch > 0)
        return;
    if (FChangedFirst >= 0)
        emit dataChanged(index(FChangedFirst, 0), index(FChangedLast, ColumnCount - 1));
    FChangedFirst = FChangedLast = -1;
    if (Rows() > FAnnounced) {
        beginInsertRows(QModelIndex(), FAnnounced, Rows() - 1);
        FAnnounced = Rows();
        endInsertRows();
    }
}

void TLogViewerModel::Clear()
{
    beginResetModel();
    std::vector<TRow>().swap(FRows);
    FAnnounced = 0;
    FChangedFirst = FChangedLast = -1;
    endResetModel();
}

void TLogViewerModel::ApplyHashCase(bool Upper)
{
    for (TRow& R : FRows)
        R.Upper = Upper;
    if (FAnnounced > 0)
        emit dataChanged(index(0, ColFirstHash), index(FAnnounced - 1, ColumnCount - 1));
}
