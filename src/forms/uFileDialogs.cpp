#include "forms/uFileDialogs.h"

#include "platform/qt/uTextDirection.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QTreeView>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>

namespace {

// Columns of Qt's file system model.
enum { ColName = 0, ColSize = 1, ColType = 2, ColDate = 3 };

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
            if (Combo->view())
                Combo->view()->setLayoutDirection(Qt::LeftToRight); // the list of earlier folders
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

QString TFileDialogCells::ShownText(const QModelIndex& Index) const
{
    const auto* Files = qobject_cast<const QFileSystemModel*>(Index.model());
    QString Text;
    if (Index.column() == ColSize && Files)
        Text = Files->isDir(Index) ? QString() : FileDialogSize(Files->size(Index));
    else
        Text = Index.data(Qt::DisplayRole).toString();
    if (Index.column() == ColSize || Index.column() == ColDate)
        Text = LeftToRightUnit(Text);
    return Text;
}

void TFileDialogCells::initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const
{
    QStyledItemDelegate::initStyleOption(Option, Index);
    Option->text = ShownText(Index);
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
