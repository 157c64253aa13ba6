// The program's window styles, all of "Stay on top" in one place: while it
// is on, the main window stays above every window of the desktop, and each
// other window of the program, as it opens, stays above the main window,
// and no higher. With it off, a window opens as a window of its own.
#pragma once

class QWidget;

enum TFormStyle {
    fsNormal,          // a window of its own
    fsStayOnTop,       // above the program's windows: a window of its owner
    fsSystemStayOnTop  // above every window of the desktop
};

TFormStyle FormStyleOf(const QWidget& Form);

// Gives Form the style on the window as it is: a shown window is neither
// hidden nor made anew (a maximized one would lose its normal bounds), and
// a window about to be shown opens with it. fsStayOnTop keeps Form above
// Owner.
void SetFormStyle(QWidget& Form, TFormStyle Style, QWidget* Owner = nullptr);

// The style a window other than Main takes each time it opens: normal, then
// above Main while Main stays on top. A modal dialog stays above the window
// it holds up whatever the setting, or it could hide behind it. A window
// already open keeps its style until it opens again.
void StyleOpeningForm(QWidget& Form, QWidget& Main);
