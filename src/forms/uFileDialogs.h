// Qt's own file dialog as every window of the program shows it: the size
// column in the toolkit's words, and in a right-to-left layout the paths,
// sizes, dates and patterns reading left to right.
#pragma once

#include <QString>

class QAbstractItemView;
class QFileDialog;
class QModelIndex;

// Options and views of Dialog as above; call before the dialog is shown.
void PrepareFileDialog(QFileDialog& Dialog);

// The text that View, a view of a dialog prepared here, shows for Index: the
// detail view's size and date cells and the path box's list as drawn here,
// Qt's own text elsewhere.
QString FileDialogShownText(const QAbstractItemView& View, const QModelIndex& Index);

// "Caption (patterns)", the name filter Qt reads its patterns from. In a
// right-to-left layout the bracketed patterns are isolated left to right;
// the isolate runs to the end of the text, as Qt wants the ")" last.
QString FileDialogFilter(const QString& Caption, const QString& Patterns);

// The size column's text of a file of Bytes bytes: Qt's units, with the
// toolkit's translated word for bytes below one KiB.
QString FileDialogSize(qint64 Bytes);
