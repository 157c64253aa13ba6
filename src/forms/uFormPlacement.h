// Placement and size of the program's windows.
#pragma once

class QRect;
class QWidget;

// The program's main window: the one that is shown, else any; none without.
QWidget* ProgramMainWindow();

// Moves Form's frame, title bar included, into Area as far as it fits: a
// frame taller or wider than Area keeps its title bar and its left edge in.
void KeepFrameInside(QWidget& Form, const QRect& Area);

// Stands Form's frame centred on its screen's free area, inside that area.
void CenterOnScreen(QWidget& Form);

// Stands Form's frame centred on the main window's frame, inside that
// window's screen. Nothing happens while the main window is not shown.
void CenterOnMainWindow(QWidget& Form);

// A fixed dialog border: the design size, grown where the translated texts
// need more room, and then not resizable.
void FixDialogSize(QWidget* Form, int DesignWidth, int DesignHeight);
