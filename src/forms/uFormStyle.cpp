#include "forms/uFormStyle.h"

#include <QWidget>
#include <QWindow>

TFormStyle FormStyleOf(const QWidget& Form)
{
    if (Form.windowFlags() & Qt::WindowStaysOnTopHint)
        return fsSystemStayOnTop;
    const QWindow* Native = Form.windowHandle();
    if (Form.windowType() == Qt::Dialog && Native && Native->transientParent())
        return fsStayOnTop;
    return fsNormal;
}

void SetFormStyle(QWidget& Form, TFormStyle Style, QWidget* Owner)
{
    if (Style == fsStayOnTop && (!Owner || Owner == &Form))
        Style = fsNormal;
    // Only the main window stays above other programs' windows. One that
    // stays above its owner is the owner's dialog to the window system (a
    // dialog of nobody would stay above all the program's windows); any
    // other is a window of its own.
    Qt::WindowFlags Flags = Form.windowFlags();
    Flags.setFlag(Qt::WindowStaysOnTopHint, Style == fsSystemStayOnTop);
    Flags = (Flags & ~Qt::WindowType_Mask) | (Style == fsStayOnTop ? Qt::Dialog : Qt::Window);
    if (Style == fsStayOnTop) {
        Owner->createWinId();
        Form.createWinId();
    }
    QWindow* Native = Form.windowHandle();
    if (Flags != Form.windowFlags()) {
        // Told to the native window as it is: setting the widget's flags
        // would hide a shown window and make it anew.
        Form.overrideWindowFlags(Flags);
        if (Native)
            Native->setFlags(Flags);
    }
    if (Native)
        Native->setTransientParent(Style == fsStayOnTop ? Owner->windowHandle() : nullptr);
}

void StyleOpeningForm(QWidget& Form, QWidget& Main)
{
    const bool Modal = Form.windowModality() != Qt::NonModal || Form.testAttribute(Qt::WA_ShowModal);
    const bool MainOnTop = FormStyleOf(Main) != fsNormal;
    SetFormStyle(Form, Modal || MainOnTop ? fsStayOnTop : fsNormal, &Main);
}
