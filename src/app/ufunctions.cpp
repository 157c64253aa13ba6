#include "app/ufunctions.h"

#include "app/uUserInteraction.h"
#include "platform/qt/uFileNames.h"
#include "platform/qt/uPlatformShell.h"

#include <QApplication>
#include <QRect>
#include <QString>
#include <QWidget>

#include <utility>

SORVIK_RESOURCESTRING(ufunctions, sshellopenfileerror, "Could not open the following path:");

QRect TRect::ToQRect() const
{
    return QRect(Left, Top, Width(), Height());
}

bool IsShiftDown()
{
    return PlatformKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

bool IsCtrlDown()
{
    return PlatformKeyboardModifiers().testFlag(Qt::ControlModifier);
}

int32_t StatusPanelAt(int32_t BarWidth, int32_t BarHeight, const std::vector<int32_t>& PanelWidths,
                      int32_t X, int32_t Y)
{
    if (X < 0 || X > BarWidth || Y < 0 || Y > BarHeight)
        return -1;
    int64_t Right = 0;
    for (std::size_t I = 0; I < PanelWidths.size(); ++I) {
        Right += PanelWidths[I];
        if (Right > X)
            return static_cast<int32_t>(I);
    }
    return -1;
}

int32_t StatusPanelAt(const QWidget& Bar, const std::vector<int32_t>& PanelWidths, int32_t X, int32_t Y)
{
    return StatusPanelAt(Bar.width(), Bar.height(), PanelWidths, X, Y);
}

int32_t StatusPanelUnderCursor(const QWidget& Bar, const std::vector<int32_t>& PanelWidths)
{
    const QPoint At = Bar.mapFromGlobal(PlatformCursorPos());
    return StatusPanelAt(Bar, PanelWidths, At.x(), At.y());
}

bool OpenPath(const std::string& Path)
{
    return PlatformOpenPath(Path);
}

bool ShellOpen(const std::string& Path)
{
    const bool Opened = OpenPath(Path);
    // Qt's message boxes break lines at LF on every platform.
    if (!Opened)
        UserInteraction().WarningBox(QString::fromStdString(sshellopenfileerror.Text()) + QStringLiteral("\n\n")
                                     + FileNameToQString(Path));
    return Opened;
}

TRect MakeRect(int32_t W, int32_t H)
{
    return TRect{0, 0, W, H};
}

void CenterRect(TRect& Inner, const TRect& Outer)
{
    const int32_t W = Inner.Width();
    const int32_t H = Inner.Height();
    // C++ division truncates toward zero, as the drawing code expects.
    Inner.Left = Outer.Left + (Outer.Width() - W) / 2;
    Inner.Top = Outer.Top + (Outer.Height() - H) / 2;
    Inner.Right = Inner.Left + W;
    Inner.Bottom = Inner.Top + H;
}
