// What the toolkit's message box puts on the clipboard. On Windows Qt copies
// a box's whole text itself on Ctrl+C; elsewhere it copies nothing.
#pragma once

#include <QChar>

class QKeyEvent;

// Called after the box has handled Event: where the toolkit copied, the copy
// loses every Mark (a character the program put into the text for display
// only), so that it reads as the text was given.
void RemoveFromMessageBoxCopy(const QKeyEvent& Event, QChar Mark);
