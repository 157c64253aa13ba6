#include "platform/qt/uQuitRequests.h"

// Windows ends a windowed program through its windows and the session
// manager; there are no signals to take.
void TQuitRequests::InstallSignals() {}

void TQuitRequests::RemoveSignals() {}
