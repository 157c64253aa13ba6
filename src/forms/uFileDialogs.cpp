#include "forms/uFileDialogs.h"

#include "platform/qt/uTextDirection.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTreeView>

namespace {

// Columns of Qt's file system model.
enum { ColName = 0, ColSize = 1, ColType = 2, ColDate = 3 };

// A cell of the detail view: the size in the toolkit's words; in a
// right-to-left layout the number with its unit, and the date, read left to
// right, a word of the language around them staying in its place.
QString CellText(const QModelIndex& Index)
{
    const auto* Files = qobject_cast<const QFileSystemModel*>(Index.model());
    if (Index.column() == ColSize && Files)
        return Files->isDir(Index) ? QString() : LeftToRightRuns(FileDialogSize(Files->size(Index)));
    const QString Text = Index.data(Qt::DisplayRole).toString();
    return Index.column() == ColDate ? LeftToRightRuns(Text) : Text;
}

// The size and date cells are drawn here rather than through a model of our
// own: with a proxy model Qt's dialog loses names typed into its name box
// (its completion compares rows of the two models).
class TFileDialogCells : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override
    {
        QStyledItemDelegate::initStyleOption(Option, Index);
        Option->text = CellText(Index);
    }
};

// An entry of the path box's list: a path reads left to right; "Computer"
// and "Recent Places" are words of the language.
QString PathListText(const QString& Text)
{
    const bool IsPath = Text.contains(QLatin1Char('/')) || Text.contains(QDir::separator());
    return IsPath ? LeftToRightUnit(Text, Qt::RightToLeft) : Text;
}

class TPathListTexts : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& Index, int Role) const override
    {
        const QVariant Value = QIdentityProxyModel::data(Index, Role);
        return Role == Qt::DisplayRole ? QVariant(PathListText(Value.toString())) : Value;
    }
};

// The path box's list of folders and earlier folders in a right-to-left
// layout. The box's own item delegate draws its entries in the application's
// direction, whatever the list's, so it is given them with each path
// isolated left to right.
class TPathListItems : public QAbstractItemDelegate {
public:
    TPathListItems(QComboBox* Box, QAbstractItemDelegate* BoxItems)
        : QAbstractItemDelegate(Box->view()), FItems(BoxItems), FTexts(this)
    {
        FTexts.setSourceModel(Box->model());
    }

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        if (FItems)
            FItems->paint(Painter, Option, Shown(Index));
    }
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        return FItems ? FItems->sizeHint(Option, Shown(Index)) : QSize();
    }
    bool editorEvent(QEvent* Event, QAbstractItemModel* Model, const QStyleOptionViewItem& Option,
                     const QModelIndex& Index) override
    {
        return FItems && FItems->editorEvent(Event, Model, Option, Index);
    }

    QString ShownText(const QModelIndex& Index) const { return Shown(Index).data(Qt::DisplayRole).toString(); }

private:
    QModelIndex Shown(const QModelIndex& Index) const
    {
        return Index.model() == FTexts.sourceModel() ? FTexts.mapFromSource(Index) : Index;
    }

    QPointer<QAbstractItemDelegate> FItems;
    TPathListTexts FTexts;
};

// Qt's dialog makes its widgets when it is first shown: they are adjusted
// then. The path box paints its current path itself, always in the
// application's direction, so in a right-to-left layout it is painted here
// with the path isolated left to right.
class TFileDialogAdjuster : public QObject {
public:
    explicit TFileDialogAdjuster(QFileDialog* Dialog) : QObject(Dialog), FDialog(Dialog)
    {
        Dialog->installEventFilter(this);
    }

    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Watched == FDialog && Event->type() == QEvent::Show && !FAdjusted) {
            FAdjusted = true;
            Adjust();
        } else if (Event->type() == QEvent::Paint && Watched->objectName() == QLatin1String("lookInCombo")) {
            PaintPathBox(static_cast<QComboBox*>(Watched));
            return true;
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    void Adjust()
    {
        // Sizes and dates are shown whole; names take the rest of the width.
        for (auto* Tree : FDialog->findChildren<QTreeView*>(QStringLiteral("treeView"))) {
            auto* Cells = new TFileDialogCells(Tree);
            for (int C : {ColSize, ColDate})
                Tree->setItemDelegateForColumn(C, Cells);
            QHeaderView* Header = Tree->header();
            if (Header->count() > ColDate) {
                Header->setSectionResizeMode(ColName, QHeaderView::Stretch);
                for (int C : {ColSize, ColType, ColDate})
                    Header->setSectionResizeMode(C, QHeaderView::ResizeToContents);
            }
        }
        if (!FDialog->isRightToLeft())
            return;
        for (auto* Combo : FDialog->findChildren<QComboBox*>(QStringLiteral("lookInCombo"))) {
            Combo->installEventFilter(this);
            if (QAbstractItemView* List = Combo->view())
                List->setItemDelegate(new TPathListItems(Combo, List->itemDelegate()));
        }
        for (auto* Edit : FDialog->findChildren<QLineEdit*>(QStringLiteral("fileNameEdit")))
            Edit->setLayoutDirection(Qt::LeftToRight);
    }

    static void PaintPathBox(QComboBox* Combo)
    {
        QStylePainter Painter(Combo);
        QStyleOptionComboBox Option;
        Option.initFrom(Combo);
        Option.editable = Combo->isEditable();
        Option.frame = Combo->hasFrame();
        Option.iconSize = Combo->iconSize();
        Option.currentIcon = Combo->itemIcon(Combo->currentIndex());
        Option.subControls = QStyle::SC_All;
        const QRect Edit = Combo->style()->subControlRect(QStyle::CC_ComboBox, &Option, QStyle::SC_ComboBoxEditField, Combo);
        const int Width = Edit.width() - Option.iconSize.width() - 4;
        Option.currentText = LeftToRightUnit(Option.fontMetrics.elidedText(Combo->currentText(), Qt::ElideMiddle, Width),
                                             Qt::RightToLeft);
        Painter.drawComplexControl(QStyle::CC_ComboBox, Option);
        Painter.drawControl(QStyle::CE_ComboBoxLabel, Option);
    }

    QFileDialog* FDialog;
    bool FAdjusted = false;
};

} // namespace

QString FileDialogShownText(const QAbstractItemView& View, const QModelIndex& Index)
{
    QAbstractItemDelegate* Items = View.itemDelegateForIndex(Index);
    if (dynamic_cast<TFileDialogCells*>(Items))
        return CellText(Index);
    if (const auto* PathItems = dynamic_cast<TPathListItems*>(Items))
        return PathItems->ShownText(Index);
    return Index.data(Qt::DisplayRole).toString();
}

QString FileDialogSize(qint64 Bytes)
{
    const QLocale Locale = QLocale::system();
    if (Bytes >= 0 && Bytes < 1024)
        //: The file dialog's size of a file below one KiB; %1 is the number
        return QCoreApplication::translate("QFileSystemModel", "%1 bytes").arg(Locale.toString(Bytes));
    return Locale.formattedDataSize(Bytes);
}

QString FileDialogFilter(const QString& Caption, const QString& Patterns)
{
    const QString Bracketed = QLatin1Char('(') + Patterns + QLatin1Char(')');
    if (QGuiApplication::layoutDirection() != Qt::RightToLeft)
        return Caption + QLatin1Char(' ') + Bracketed;
    return Caption + QLatin1Char(' ') + QChar(0x2066) + Bracketed; // LEFT-TO-RIGHT ISOLATE
}

void PrepareFileDialog(QFileDialog& Dialog)
{
    // Only Qt's own dialog can be adjusted (and several folders chosen at
    // once); the desktop's dialog would ignore all of this.
    Dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    new TFileDialogAdjuster(&Dialog);
}
