#include "forms/uFormPlacement.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

void CenterOnActiveWindow(QWidget* Form)
{
    QWidget* Anchor = QApplication::activeWindow();
    if (!Form || !Anchor || Anchor == Form || !Anchor->isVisible())
        return;
    QRect Bounds = Form->frameGeometry();
    Bounds.moveCenter(Anchor->frameGeometry().center());
    if (QScreen* Screen = Anchor->screen()) {
        const QRect Area = Screen->availableGeometry();
        // Keep the title bar reachable when the anchor hangs off the screen.
        Bounds.moveLeft(qMax(Area.left(), qMin(Bounds.left(), Area.right() - Bounds.width() + 1)));
        Bounds.moveTop(qMax(Area.top(), qMin(Bounds.top(), Area.bottom() - Bounds.height() + 1)));
    }
    Form->move(Bounds.topLeft());
}

void FixDialogSize(QWidget* Form, int DesignWidth, int DesignHeight)
{
    if (QLayout* L = Form->layout())
        L->activate();
    const QSize Hint = Form->sizeHint().expandedTo(Form->minimumSizeHint());
    Form->setFixedSize(Hint.expandedTo(QSize(DesignWidth, DesignHeight)));
}
