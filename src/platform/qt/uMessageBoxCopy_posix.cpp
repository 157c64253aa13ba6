#include "platform/qt/uMessageBoxCopy.h"

// Qt's message box copies nothing here.
void RemoveFromMessageBoxCopy(const QKeyEvent&, QChar) {}
