#include "forms/uHintRouter.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QStatusTipEvent>
#include <QWidget>

THintRouter::THintRouter(QWidget* Own, QObject* Parent) : QObject(Parent), FOwn(Own)
{
    qApp->installEventFilter(this);
}

THintRouter::~THintRouter()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool THintRouter::eventFilter(QObject* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::ToolTip:
        return true;
    case QEvent::StatusTip:
        if (Watched->isWidgetType() && Watched != FOwn) {
            emit HintChanged(static_cast<QStatusTipEvent*>(Event)->tip());
            return true;
        }
        break;
    case QEvent::Enter:
        // The pointer on a control without a hint empties the hint.
        if (auto* W = qobject_cast<QWidget*>(Watched);
            W && W != FOwn && W->statusTip().isEmpty() && !qobject_cast<QMenu*>(W))
            emit HintChanged(QString());
        break;
    case QEvent::Show:
    case QEvent::Hide:
        if (Watched->isWidgetType() && static_cast<QWidget*>(Watched)->isWindow() && !Event->spontaneous())
            emit WindowVisibilityChanged(static_cast<QWidget*>(Watched));
        break;
    default:
        break;
    }
    return false;
}
