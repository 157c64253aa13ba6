// Remembers where a window was (bounds, state, whether remembering is on) as
// one line of text, and puts it back, inside the desktop, when the window is
// shown again.
#pragma once

#include <QPointer>
#include <QWidget>
#include <QMargins>
#include <QRect>

#include <cstdint>
#include <memory>
#include <string>


enum TWindowState : int32_t { wsNormal = 0, wsMinimized = 1, wsMaximized = 2, wsFullScreen = 3 };

// The state of a top-level window as stored in the location text.
int32_t WindowStateOf(const QWidget& Form);

// Shrinks and moves Bounds so that they lie inside Desktop, step by step:
// width, height, left edge, top edge, right edge, bottom edge. An empty
// desktop (no screen) leaves Bounds as they are.
QRect FitToDesktop(const QRect& Bounds, const QRect& Desktop);
// The same for bounds of any 32-bit values, computed in 64 bits: a stored
// "2147483000" plus a width cannot overflow. A negative size counts as 0;
// without a desktop the bounds are only kept inside what a QRect can hold.
QRect FitToDesktop(std::int64_t Left, std::int64_t Top, std::int64_t Width, std::int64_t Height,
                   const QRect& Desktop);

// What the window manager's frame (title bar, borders) adds around the
// client area; none before the window has been framed.
QMargins FrameMarginsOf(const QWidget& Form);
// The frame's bounds: the client area with the frame around it.
QRect FrameOf(const QWidget& Form);
// The same for a window about to be shown, whose frame the window manager
// is asked for (see PlatformExpectedFrameMargins).
QRect ExpectedFrameOf(QWidget& Form);
// Gives the window's frame, title bar included, the bounds Frame; a window
// not yet shown with the frame the window manager will give it.
void PlaceFrame(QWidget& Form, const QRect& Frame);

// The bounds are the frame's, title bar and borders included.
class TFormLocation {
public:
    TFormLocation();

    void Clear();
    // "1" or "0" for Enabled, then, when Valid, ",left,top,width,height,state".
    std::string GetText() const;
    void SetText(const std::string& Text);
    void Capture(const QWidget& Form, bool StateChanged);
    // With Frame, the frame the window has in the normal state, around its
    // client area (a maximized window's frame is another), and Normal, the
    // client area it has in the normal state.
    void Capture(const QWidget& Form, bool StateChanged, const QMargins& Frame, const QRect& Normal);
    bool Apply(QWidget& Form) const;
    // Frame: in, the normal state's frame where the window manager cannot
    // tell it now; out, the frame the bounds were applied with (none when
    // not known).
    bool Apply(QWidget& Form, QMargins& Frame) const;
    // Applies the bounds again once the window's frame is known, where they
    // were applied without it. Placed: the client area Apply gave the
    // window; a size the window has changed since is its own and stays.
    void FitFrame(QWidget& Form, const QRect& Placed) const;

    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t WindowState = wsNormal;
    bool Enabled = false;
    bool Valid = false;
    std::string Separator;
};

class TFormLocationHooks;

// Follows one top-level window: captures its location when it is closed or
// hidden, applies it when the window is shown. Spontaneous show and hide
// events (minimising, restoring) are not a change of visibility.
class TFormLocationTracker {
public:
    explicit TFormLocationTracker(QWidget* Form = nullptr);
    virtual ~TFormLocationTracker();
    TFormLocationTracker(const TFormLocationTracker&) = delete;
    TFormLocationTracker& operator=(const TFormLocationTracker&) = delete;

    // Drops the hooks of the window attached so far and hooks Form (or none).
    void Attach(QWidget* Form);
    void Reset();

    bool Enabled() const { return FLocation.Enabled; }
    void SetEnabled(bool Value) { FLocation.Enabled = Value; }

    void Capture();
    bool Apply();
    // Captures first when the window is visible.
    std::string GetText();
    // Applies at once when the window is visible.
    void SetText(const std::string& Text);

    QWidget* Form() const { return FForm.data(); }
    const TFormLocation& Location() const { return FLocation; }
    bool StateChanged() const { return FStateChanged; }

private:
    friend class TFormLocationHooks;

    // Remembers the window's frame and client area while it is shown in
    // the normal state.
    void NoteFrame();

    QPointer<QWidget> FForm;
    TFormLocation FLocation;
    bool FStateChanged = false;
    // The window's frame in the normal state, as last seen or applied with:
    // the window manager takes the frame away as the window is hidden, and
    // a maximized window has another.
    QMargins FNormalFrame;
    // The client area as last seen or applied in the normal state: the one
    // Qt keeps for a maximized window can be the maximized one's.
    QRect FNormalBounds;
    // The client area applied without a known frame, until it is known.
    QRect FPlaced;
    std::unique_ptr<TFormLocationHooks> FHooks;
};
