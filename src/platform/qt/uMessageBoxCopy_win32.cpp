#include "platform/qt/uMessageBoxCopy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>

void RemoveFromMessageBoxCopy(const QKeyEvent& Event, QChar Mark)
{
    if (!Event.matches(QKeySequence::Copy))
        return;
    if (QClipboard* Clipboard = QGuiApplication::clipboard())
        Clipboard->setText(Clipboard->text().remove(Mark));
}
