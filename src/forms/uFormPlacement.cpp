#include "forms/uFormPlacement.h"

#include "app/uFormLocation.h"

#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

QWidget* ProgramMainWindow()
{
    QWidget* Found = nullptr;
    for (QWidget* W : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(W) && (!Found || W->isVisible()))
            Found = W;
    return Found;
}

void KeepFrameInside(QWidget& Form, const QRect& Area)
{
    QRect Frame = ExpectedFrameOf(Form);
    if (Area.isEmpty())
        return;
    Frame.moveLeft(qMax(Area.left(), qMin(Frame.left(), Area.right() - Frame.width() + 1)));
    Frame.moveTop(qMax(Area.top(), qMin(Frame.top(), Area.bottom() - Frame.height() + 1)));
    if (Frame.topLeft() != ExpectedFrameOf(Form).topLeft())
        PlaceFrame(Form, Frame);
}

namespace {

// Centred on Anchor, then kept inside Area. The frame's size is known even
// before the window is first shown: the window manager is asked for it.
void CenterFrame(QWidget& Form, const QRect& Anchor, const QRect& Area)
{
    QRect Frame = ExpectedFrameOf(Form);
    Frame.moveCenter(Anchor.center());
    PlaceFrame(Form, Frame);
    KeepFrameInside(Form, Area);
}

} // namespace

void CenterOnScreen(QWidget& Form)
{
    if (const QScreen* Screen = Form.screen())
        CenterFrame(Form, Screen->availableGeometry(), Screen->availableGeometry());
}

void CenterOnMainWindow(QWidget& Form)
{
    QWidget* Main = ProgramMainWindow();
    if (!Main || Main == &Form || !Main->isVisible())
        return;
    const QScreen* Screen = Main->screen();
    CenterFrame(Form, FrameOf(*Main), Screen ? Screen->availableGeometry() : QRect());
}

void FixDialogSize(QWidget* Form, int DesignWidth, int DesignHeight)
{
    if (QLayout* L = Form->layout())
        L->activate();
    const QSize Hint = Form->sizeHint().expandedTo(Form->minimumSizeHint());
    Form->setFixedSize(Hint.expandedTo(QSize(DesignWidth, DesignHeight)));
}
