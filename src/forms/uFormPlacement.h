// Placement and size of the program's fixed-size dialogs.
#pragma once

class QWidget;

// Moves Form so that it stands centred on the window that is active while it
// opens (the main window, for a window opened from one of its commands),
// inside that window's screen. Nothing happens without such a window.
void CenterOnActiveWindow(QWidget* Form);

// A fixed dialog border: the design size, grown where the translated texts
// need more room, and then not resizable.
void FixDialogSize(QWidget* Form, int DesignWidth, int DesignHeight);
