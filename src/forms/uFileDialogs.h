// Qt's own file dialog as every window of the program shows it: the size
// column in the toolkit's words, and in a right-to-left layout the paths,
// sizes, dates and patterns reading left to right.
#pragma once

#include <QString>
#include <QStyledItemDelegate>

class QFileDialog;

// Options and views of Dialog as above; call before the dialog is shown.
void PrepareFileDialog(QFileDialog& Dialog);

// The detail view's size and date cells. Drawn here rather than through a
// model of our own: with a proxy model Qt's dialog loses names typed into
// its name box (its completion compares rows of the two models).
class TFileDialogCells : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // The text shown in Index's cell, Index being a row of the dialog's
    // file system model.
    QString ShownText(const QModelIndex& Index) const;

protected:
    void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override;
};

// "Caption (patterns)", the name filter Qt reads its patterns from. In a
// right-to-left layout the bracketed patterns are isolated left to right;
// the isolate runs to the end of the text, as Qt wants the ")" last.
QString FileDialogFilter(const QString& Caption, const QString& Patterns);

// The size column's text of a file of Bytes bytes: Qt's units, with the
// toolkit's translated word for bytes below one KiB.
QString FileDialogSize(qint64 Bytes);
