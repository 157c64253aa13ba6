// What every secondary window shares: created hidden, closing only hides,
// showing brings it to the front and restores it, key presses seen before
// the focused control, and errors of user actions caught at the slot.
#pragma once

#include "app/uTranslationKit.h"

#include <QDialog>

#include <functional>
#include <string>

class QKeyEvent;
class QPushButton;

// A component of Window: a T on Parent, named Name (the component's name in
// the design, which the design texts and the tests go by), with Caption
// through the design-text helper when one is given.
template <typename T>
T* NewComponent(QWidget* Window, QWidget* Parent, const char* Name, const QString& Caption = {})
{
    T* Component = new T(Parent);
    Component->setObjectName(QString::fromLatin1(Name));
    if (!Caption.isEmpty())
        SetDesignText(Window, Component, QStringLiteral("Caption"), Caption);
    return Component;
}

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
    // Where the window opens: where it was left, or centred on the main
    // window at every opening, or at the first one only (later openings
    // keep the place the user left it at).
    enum TPlacement { plNone, plCenterEveryOpening, plCenterFirstOpening };

protected:
    // NewComponent of this window, kept in Field.
    template <typename T>
    T* Component(T*& Field, QWidget* Parent, const char* Name, const QString& Caption = {})
    {
        return Field = NewComponent<T>(this, Parent, Name, Caption);
    }

    // A dialog's Save and Cancel buttons on the window, Save the default.
    void SaveCancelButtons(QPushButton*& Save, const char* SaveName, QPushButton*& Cancel, const char* CancelName);

    // Key preview: every key press for this window or any of its controls
    // comes here first. Return True to consume the key. The default hides
    // the window on Esc when EscCloses is set; without it Esc does nothing
    // here, not even a dialog's reject.
    virtual bool FormKeyDown(QKeyEvent* Event);
    // Key releases, previewed the same way; True consumes.
    virtual bool FormKeyUp(QKeyEvent* Event);
    bool EscCloses = false;
    TPlacement Placement = plNone;
    void keyPressEvent(QKeyEvent* Event) override;

    bool eventFilter(QObject* Watched, QEvent* Event) override;
public:
    void setVisible(bool Visible) override;

private:
    bool FPlaced = false;
};
