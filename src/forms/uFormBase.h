// What every secondary window shares: created hidden, closing only hides,
// showing brings it to the front and restores it, key presses seen before
// the focused control, and errors of user actions caught at the slot.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QKeyEvent;

// Shows an error with one OK button (through UserInteraction()).
void ShowErrorBox(const QString& Text);

// Runs Work; an exception that escapes it is shown in the error box instead
// of crossing the event loop. True when Work finished without one.
bool RunGuarded(const std::function<void()>& Work);

// The application-wide busy cursor for as long as the object lives.
class TBusyCursor {
public:
    TBusyCursor();
    ~TBusyCursor();
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

class TSorvikForm : public QDialog {
    Q_OBJECT
public:
    explicit TSorvikForm(QWidget* Parent = nullptr);
    ~TSorvikForm() override;

    // Non-modal show: restores a minimized window and brings it to the front.
    void ShowAndRaise();
    // Applied the next time the window is shown (stay above the program's
    // windows while the main window stays on top).
    void SetStayOnTop(bool OnTop);

    // Where the window opens: where it was left, or centred on the window
    // it is opened from at every opening, or at the first one only (later
    // openings keep the place the user left it at).
    enum TPlacement { plNone, plCenterEveryOpening, plCenterFirstOpening };

protected:
    // Key preview: every key press for this window or any of its controls
    // comes here first. Return True to consume the key. The default hides
    // the window on Esc when EscCloses is set.
    virtual bool FormKeyDown(QKeyEvent* Event);
    // Key releases, previewed the same way; True consumes.
    virtual bool FormKeyUp(QKeyEvent* Event);
    bool EscCloses = true;
    TPlacement Placement = plNone;

    bool eventFilter(QObject* Watched, QEvent* Event) override;
public:
    void setVisible(bool Visible) override;

private:
    bool FStayOnTop = false;
    bool FPlaced = false;
};
