// Kept apart: the X headers define macros (None, Bool, KeyPress...) that
// clash with Qt's.
#include "x_desktop.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#ifdef SORVIK_HAVE_XLIB
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#endif
#ifdef SORVIK_HAVE_XTEST
#include <X11/extensions/XTest.h>
#endif

namespace journey {

#ifdef SORVIK_HAVE_XLIB
namespace {

struct TDisplay {
    Display* D = XOpenDisplay(nullptr);
    ~TDisplay()
    {
        if (D)
            XCloseDisplay(D);
    }
};

#ifdef SORVIK_HAVE_XTEST
// One key down and up, with Shift or Control held around it when asked.
void Stroke(Display* D, KeySym Symbol, bool Shift, bool Control)
{
    const KeyCode Code = XKeysymToKeycode(D, Symbol);
    if (Code == 0) {
        ADD_FAILURE() << "no key for the symbol " << Symbol;
        return;
    }
    // A symbol on the key's second level needs Shift.
    Shift = Shift || XkbKeycodeToKeysym(D, Code, 0, 0) != Symbol;
    const KeyCode ShiftKey = XKeysymToKeycode(D, XK_Shift_L);
    const KeyCode ControlKey = XKeysymToKeycode(D, XK_Control_L);
    if (Shift)
        XTestFakeKeyEvent(D, ShiftKey, True, CurrentTime);
    if (Control)
        XTestFakeKeyEvent(D, ControlKey, True, CurrentTime);
    XTestFakeKeyEvent(D, Code, True, CurrentTime);
    XTestFakeKeyEvent(D, Code, False, CurrentTime);
    if (Control)
        XTestFakeKeyEvent(D, ControlKey, False, CurrentTime);
    if (Shift)
        XTestFakeKeyEvent(D, ShiftKey, False, CurrentTime);
    XSync(D, False);
}
#endif

} // namespace
#endif

bool CanTypeKeys()
{
#if defined(SORVIK_HAVE_XLIB) && defined(SORVIK_HAVE_XTEST)
    TDisplay X;
    int Event = 0, Error = 0, Major = 0, Minor = 0;
    return X.D && XTestQueryExtension(X.D, &Event, &Error, &Major, &Minor);
#else
    return false;
#endif
}

void TypeKeys(const QString& Text)
{
#if defined(SORVIK_HAVE_XLIB) && defined(SORVIK_HAVE_XTEST)
    TDisplay X;
    ASSERT_NE(X.D, nullptr);
    for (const QChar C : Text) {
        ASSERT_TRUE(C.unicode() >= 0x20 && C.unicode() < 0x7F) << "only printable ASCII is typed";
        // Latin-1 key symbols are their characters' codes.
        Stroke(X.D, KeySym(C.unicode()), false, false);
        // Each key in its own turn, as fingers type.
        QTest::qWait(5);
    }
#else
    (void)Text;
    ADD_FAILURE() << "built without the X test extension";
#endif
}

void TypeKey(const char* KeySymbol, bool WithControl)
{
#if defined(SORVIK_HAVE_XLIB) && defined(SORVIK_HAVE_XTEST)
    TDisplay X;
    ASSERT_NE(X.D, nullptr);
    const KeySym Symbol = XStringToKeysym(KeySymbol);
    ASSERT_NE(Symbol, static_cast<KeySym>(NoSymbol)) << KeySymbol;
    Stroke(X.D, Symbol, false, WithControl);
#else
    (void)KeySymbol;
    (void)WithControl;
    ADD_FAILURE() << "built without the X test extension";
#endif
}

std::optional<QByteArray> ReadSelection(const char* Selection, const char* Target)
{
#ifdef SORVIK_HAVE_XLIB
    // Another program asks a moment after the copy, once the program has
    // handled what the copy set off.
    QCoreApplication::processEvents();
    TDisplay X;
    if (!X.D)
        return std::nullopt;
    Display* D = X.D;
    // The asking program's own window, where the owner leaves the content.
    const Window W = XCreateSimpleWindow(D, DefaultRootWindow(D), 0, 0, 1, 1, 0, 0, 0);
    const Atom Property = XInternAtom(D, "SORVIK_JOURNEY_PASTE", False);
    XConvertSelection(D, XInternAtom(D, Selection, False), XInternAtom(D, Target, False), Property, W, CurrentTime);
    XFlush(D);
    XEvent Event{};
    const bool Answered = QTest::qWaitFor([&] { return XCheckTypedWindowEvent(D, W, SelectionNotify, &Event) != 0; },
                                          5000);
    std::optional<QByteArray> Content;
    if (Answered && Event.xselection.property != 0) {
        Atom Type = 0;
        int Format = 0;
        unsigned long Count = 0, After = 0;
        unsigned char* Data = nullptr;
        if (XGetWindowProperty(D, W, Property, 0, 1 << 20, True, AnyPropertyType, &Type, &Format, &Count, &After,
                               &Data)
                == Success
            && Format == 8)
            Content = QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Count));
        if (Data)
            XFree(Data);
    }
    XDestroyWindow(D, W);
    return Content;
#else
    (void)Selection;
    (void)Target;
    return std::nullopt;
#endif
}

} // namespace journey
