#include "app/uFormLocation.h"

#include "platform/qt/uPlatformShell.h"
#include "platform/qt/uWindowFrame.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

namespace {

// Reads the token that starts at Pos up to the next separator or the end.
// Without a character left there is no token.
bool NextToken(const std::string& Text, const std::string& Separator, std::size_t& Pos, std::string& Token)
{
    Token.clear();
    if (Pos >= Text.size())
        return false;
    const std::size_t End = Text.find(Separator, Pos);
    if (End == std::string::npos) {
        Token = Text.substr(Pos);
        Pos = Text.size();
    } else {
        Token = Text.substr(Pos, End - Pos);
        Pos = End + Separator.size();
    }
    return true;
}

// A decimal 32-bit signed number: an optional "-" and digits, nothing else.
bool ToInt32(const std::string& Token, int32_t& Value)
{
    int32_t Parsed = 0;
    const char* End = Token.data() + Token.size();
    const auto [Stop, Error] = std::from_chars(Token.data(), End, Parsed);
    if (Token.empty() || Error != std::errc() || Stop != End)
        return false;
    Value = Parsed;
    return true;
}

} // namespace

int32_t WindowStateOf(const QWidget& Form)
{
    const Qt::WindowStates State = Form.windowState();
    if (State & Qt::WindowMinimized)
        return wsMinimized;
    if (State & Qt::WindowFullScreen)
        return wsFullScreen;
    if (State & Qt::WindowMaximized)
        return wsMaximized;
    return wsNormal;
}

QRect FitToDesktop(const QRect& Bounds, const QRect& Desktop)
{
    return FitToDesktop(Bounds.x(), Bounds.y(), Bounds.width(), Bounds.height(), Desktop);
}

QRect FitToDesktop(std::int64_t Left, std::int64_t Top, std::int64_t Width, std::int64_t Height,
                   const QRect& Desktop)
{
    Width = std::max<std::int64_t>(Width, 0);
    Height = std::max<std::int64_t>(Height, 0);
    if (Desktop.width() <= 0 || Desktop.height() <= 0) {
        // Nothing to fit into: only keep right and bottom edges representable.
        constexpr std::int64_t Limit = std::numeric_limits<int>::max() / 2;
        Width = std::min(Width, Limit);
        Height = std::min(Height, Limit);
        Left = std::clamp<std::int64_t>(Left, -Limit, Limit);
        Top = std::clamp<std::int64_t>(Top, -Limit, Limit);
        return QRect(static_cast<int>(Left), static_cast<int>(Top), static_cast<int>(Width),
                     static_cast<int>(Height));
    }
    const std::int64_t DesktopLeft = Desktop.x();
    const std::int64_t DesktopTop = Desktop.y();
    const std::int64_t DesktopWidth = Desktop.width();
    const std::int64_t DesktopHeight = Desktop.height();
    const std::int64_t DesktopRight = DesktopLeft + DesktopWidth;
    const std::int64_t DesktopBottom = DesktopTop + DesktopHeight;
    if (DesktopWidth < Width)
        Width = DesktopWidth;
    if (DesktopHeight < Height)
        Height = DesktopHeight;
    if (Left < DesktopLeft)
        Left = DesktopLeft;
    if (Top < DesktopTop)
        Top = DesktopTop;
    if (Left + Width > DesktopRight)
        Left = DesktopRight - Width;
    if (Top + Height > DesktopBottom)
        Top = DesktopBottom - Height;
    // Every value now lies within the desktop, so it fits an int.
    return QRect(static_cast<int>(Left), static_cast<int>(Top), static_cast<int>(Width),
                 static_cast<int>(Height));
}

TFormLocation::TFormLocation() : Separator(",")
{
    Clear();
}

void TFormLocation::Clear()
{
    Enabled = false;
    Valid = false;
    Left = Top = Width = Height = 0;
    WindowState = wsNormal;
}

std::string TFormLocation::GetText() const
{
    std::string Text = Enabled ? "1" : "0";
    if (Valid) {
        for (int32_t Value : {Left, Top, Width, Height, WindowState})
            Text += Separator + std::to_string(Value);
    }
    return Text;
}

void TFormLocation::SetText(const std::string& Text)
{
    Clear();
    std::size_t Pos = 0;
    std::string Token;
    if (!NextToken(Text, Separator, Pos, Token))
        return;
    Enabled = Token == "1";

    int32_t Bounds[4] = {};
    for (int32_t& Value : Bounds) {
        NextToken(Text, Separator, Pos, Token);
        if (!ToInt32(Token, Value))
            return;
    }
    Left = Bounds[0];
    Top = Bounds[1];
    Width = Bounds[2];
    Height = Bounds[3];
    Valid = true;

    if (NextToken(Text, Separator, Pos, Token) && !ToInt32(Token, WindowState))
        WindowState = wsNormal;
}

QMargins FrameMarginsOf(const QWidget& Form)
{
    return PlatformFrameMargins(Form);
}

QRect FrameOf(const QWidget& Form)
{
    return Form.geometry().marginsAdded(FrameMarginsOf(Form));
}

QRect ExpectedFrameOf(QWidget& Form)
{
    return Form.geometry().marginsAdded(PlatformExpectedFrameMargins(Form));
}

namespace {

void PlaceFrameWith(QWidget& Form, const QRect& Frame, const QMargins& Margins)
{
    Form.setGeometry(QRect(Frame.topLeft() + QPoint(Margins.left(), Margins.top()),
                           Frame.size().shrunkBy(Margins).expandedTo(QSize(1, 1))));
}

} // namespace

void PlaceFrame(QWidget& Form, const QRect& Frame)
{
    // Where nobody can tell the frame yet, the client area takes the
    // frame's place; it is placed again once the frame is known.
    PlaceFrameWith(Form, Frame, PlatformExpectedFrameMargins(Form));
}

void TFormLocation::Capture(const QWidget& Form, bool StateChanged)
{
    Capture(Form, StateChanged, FrameMarginsOf(Form), Form.normalGeometry());
}

void TFormLocation::Capture(const QWidget& Form, bool StateChanged, const QMargins& Frame, const QRect& Normal)
{
    WindowState = WindowStateOf(Form);
    if (WindowState != wsNormal && !StateChanged)
        return;
    QRect Bounds = Form.geometry().marginsAdded(Frame);
    if (WindowState != wsNormal && !Normal.isEmpty())
        Bounds = Normal.marginsAdded(Frame);
    Left = Bounds.x();
    Top = Bounds.y();
    Width = Bounds.width();
    Height = Bounds.height();
    Valid = true;
}

bool TFormLocation::Apply(QWidget& Form) const
{
    QMargins Frame;
    return Apply(Form, Frame);
}

bool TFormLocation::Apply(QWidget& Form, QMargins& Frame) const
{
    if (!Valid || !Enabled)
        return false;
    // A window with an explicit position is not placed again by the toolkit
    // (dialogs are otherwise centred over their parent when shown).
    Form.setAttribute(Qt::WA_Moved);

    const Qt::WindowStates Old = Form.windowState();
    Qt::WindowStates Target = Old;
    if (WindowState == wsNormal)
        Target = Qt::WindowNoState;
    else if (WindowState == wsMaximized)
        Target = Qt::WindowMaximized;

    // Qt keeps the restored bounds of a maximized window to itself: set them
    // while the window is in the normal state, then put the state back. A
    // window about to be shown maximized is not shown meanwhile; its frame
    // is the one of the normal state, which the bounds are.
    const Qt::WindowStates Enlarged = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (Old & Enlarged)
        Form.setWindowState(Old & ~Enlarged);
    const QMargins Expected = PlatformExpectedFrameMargins(Form);
    if (!Expected.isNull())
        Frame = Expected;
    PlaceFrameWith(Form, FitToDesktop(Left, Top, Width, Height, PlatformVirtualDesktop()), Frame);
    if (Form.windowState() != Target)
        Form.setWindowState(Target);
    return true;
}

void TFormLocation::FitFrame(QWidget& Form, const QRect& Placed) const
{
    if (!Valid || !Enabled || WindowStateOf(Form) != wsNormal)
        return;
    const QMargins Margins = FrameMarginsOf(Form);
    const QRect Wanted = FitToDesktop(Left, Top, Width, Height, PlatformVirtualDesktop());
    QSize Client = Form.size();
    if (Client.width() == Placed.width())
        Client.setWidth(Wanted.width() - Margins.left() - Margins.right());
    if (Client.height() == Placed.height())
        Client.setHeight(Wanted.height() - Margins.top() - Margins.bottom());
    const QRect Frame = FitToDesktop(QRect(Wanted.topLeft(), Client.grownBy(Margins)), PlatformVirtualDesktop());
    if (FrameOf(Form) != Frame)
        PlaceFrameWith(Form, Frame, Margins);
}

// The tracker's hooks on its window: an event filter and the destruction signal.
class TFormLocationHooks : public QObject {
public:
    explicit TFormLocationHooks(TFormLocationTracker& Tracker) : FTracker(Tracker)
    {
        FFrameTimer.setInterval(20);
        QObject::connect(&FFrameTimer, &QTimer::timeout, this, [this] { CheckFrame(); });
    }

    void Hook(QWidget* Form)
    {
        FFrameTimer.stop();
        Form->installEventFilter(this);
        FDestroyed = QObject::connect(Form, &QObject::destroyed, this, [this] { FTracker.Attach(nullptr); });
    }

    void Unhook(QWidget* Form)
    {
        QObject::disconnect(FDestroyed);
        if (Form)
            Form->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Watched != FTracker.Form())
            return false;
        switch (Event->type()) {
        case QEvent::WindowStateChange:
            FTracker.FStateChanged = true;
            break;
        case QEvent::Close:
            FTracker.NoteFrame();
            FTracker.Capture();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (FTracker.Form()->isVisible() && !FFrameTimer.isActive())
                FTracker.NoteFrame();
            break;
        case QEvent::Show:
            // Where nobody could tell the frame, the bounds were applied to
            // the client area alone: fit them again once the window manager
            // has framed the window. Qt tells nobody when that happens.
            FFrameTimer.stop();
            if (!Event->spontaneous() && FTracker.Apply() && !FTracker.FPlaced.isNull()) {
                FFrameChecks = 0;
                FLastMargins = QMargins();
                FFrameTimer.start();
            }
            break;
        case QEvent::Hide:
            FFrameTimer.stop();
            if (!Event->spontaneous())
                FTracker.Capture();
            break;
        default:
            break;
        }
        return false;
    }

private:
    TFormLocationTracker& FTracker;
    QMetaObject::Connection FDestroyed;
    QTimer FFrameTimer;
    int FFrameChecks = 0;
    QMargins FLastMargins;

    void CheckFrame()
    {
        QWidget* Form = FTracker.Form();
        // A window manager that draws no frame: give up after a few seconds.
        if (!Form || ++FFrameChecks > 150) {
            FFrameTimer.stop();
            FTracker.FPlaced = QRect();
            return;
        }
        // While the window manager reparents the window, Qt may report a
        // frame of any size for a moment: wait for one that stays.
        const QMargins Margins = FrameMarginsOf(*Form);
        const bool Plausible = !Margins.isNull() && Margins.left() >= 0 && Margins.top() >= 0
                               && Margins.right() >= 0 && Margins.bottom() >= 0
                               && Margins.left() + Margins.right() < Form->width()
                               && Margins.top() + Margins.bottom() < Form->height();
        if (!Plausible || Margins != std::exchange(FLastMargins, Margins))
            return;
        FFrameTimer.stop();
        FTracker.NoteFrame();
        FTracker.FLocation.FitFrame(*Form, std::exchange(FTracker.FPlaced, QRect()));
    }
};

TFormLocationTracker::TFormLocationTracker(QWidget* Form) : FHooks(std::make_unique<TFormLocationHooks>(*this))
{
    Attach(Form);
}

TFormLocationTracker::~TFormLocationTracker()
{
    Attach(nullptr);
}

void TFormLocationTracker::Attach(QWidget* Form)
{
    FHooks->Unhook(FForm.data());
    FForm = Form;
    FStateChanged = false;
    FNormalFrame = QMargins();
    FNormalBounds = QRect();
    FPlaced = QRect();
    if (Form)
        FHooks->Hook(Form);
}

void TFormLocationTracker::Reset()
{
    FLocation.Clear();
}

void TFormLocationTracker::NoteFrame()
{
    // Only the normal state's: a maximized window's frame (openbox drops the
    // borders) would misplace the normal bounds captured with it, and while
    // the window manager maximizes the window, Qt may report it moved for
    // the new state before it reports the state.
    if (!FForm || !PlatformShownNormal(*FForm))
        return;
    FNormalBounds = FForm->geometry();
    const QMargins Margins = PlatformFrameMargins(*FForm);
    if (!Margins.isNull())
        FNormalFrame = Margins;
}

void TFormLocationTracker::Capture()
{
    if (!FForm)
        return;
    NoteFrame();
    FLocation.Capture(*FForm, FStateChanged, FNormalFrame, PlatformNormalGeometry(*FForm, FNormalBounds));
}

bool TFormLocationTracker::Apply()
{
    if (!FForm)
        return false;
    QMargins Frame = FNormalFrame;
    if (!FLocation.Apply(*FForm, Frame))
        return false;
    FNormalFrame = Frame;
    // The bounds just set, also where the window is to open maximized: Qt
    // kept them as it was given the state.
    FNormalBounds = FForm->normalGeometry();
    FPlaced = Frame.isNull() ? FForm->geometry() : QRect();
    return true;
}

std::string TFormLocationTracker::GetText()
{
    if (FForm && FForm->isVisible())
        Capture();
    return FLocation.GetText();
}

void TFormLocationTracker::SetText(const std::string& Text)
{
    FLocation.SetText(Text);
    if (FForm && FForm->isVisible())
        Apply();
}
