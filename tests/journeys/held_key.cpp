// Kept apart: the X headers define macros (None, Bool, KeyPress...) that
// clash with Qt's.
#include "journey_support.h"

#ifdef SORVIK_HAVE_XTEST
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#endif

namespace journey {

THeldKey::THeldKey(Qt::KeyboardModifier Key)
{
#ifdef SORVIK_HAVE_XTEST
    Display* D = XOpenDisplay(nullptr);
    FDisplay = D;
    if (D) {
        FCode = XKeysymToKeycode(D, Key == Qt::ShiftModifier ? XK_Shift_L : XK_Control_L);
        XTestFakeKeyEvent(D, FCode, True, CurrentTime);
        XSync(D, False);
        return;
    }
#endif
    // Without the X test extension the key state is the only stand-in.
    FPrevious = SetKeyboardModifiersSource([Key] { return Qt::KeyboardModifiers(Key); });
}

THeldKey::~THeldKey()
{
#ifdef SORVIK_HAVE_XTEST
    if (auto* D = static_cast<Display*>(FDisplay)) {
        XTestFakeKeyEvent(D, FCode, False, CurrentTime);
        XSync(D, False);
        XCloseDisplay(D);
        return;
    }
#endif
    SetKeyboardModifiersSource(FPrevious);
}

} // namespace journey
