#include "forms/uFormBase.h"

#include "app/uUserInteraction.h"
#include "digest/uException.h"
#include "forms/uFormPlacement.h"
#include "platform/qt/uFileNames.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>

#include <exception>

void ShowErrorBox(const QString& Text) { UserInteraction().ErrorBox(Text); }

bool RunGuarded(const std::function<void()>& Work)
{
    try {
        Work();
        return true;
    } catch (const std::exception& E) {
        ShowErrorBox(FileNameToQString(E.what())); // may hold a name's bytes
    } catch (...) {
        ShowErrorBox(QStringLiteral("Unknown error"));
    }
    return false;
}

TBusyCursor::TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
TBusyCursor::~TBusyCursor() { QApplication::restoreOverrideCursor(); }

TSorvikForm::TSorvikForm(QWidget* Parent) : QDialog(Parent)
{
    // A closed window is only hidden and keeps its controls' state.
    setAttribute(Qt::WA_DeleteOnClose, false);
    qApp->installEventFilter(this);
}

TSorvikForm::~TSorvikForm()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void TSorvikForm::ShowAndRaise()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TSorvikForm::SaveCancelButtons(QPushButton*& Save, const char* SaveName, QPushButton*& Cancel,
                                    const char* CancelName)
{
    Component(Save, this, SaveName, QStringLiteral("Save"));
    Save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    Save->setDefault(true);
    Component(Cancel, this, CancelName, QStringLiteral("Cancel"));
    Cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    Cancel->setAutoDefault(false);
}

bool TSorvikForm::FormKeyDown(QKeyEvent* Event)
{
    if (EscCloses && Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        close();
        return true;
    }
    return false;
}

bool TSorvikForm::FormKeyUp(QKeyEvent*) { return false; }

void TSorvikForm::keyPressEvent(QKeyEvent* Event)
{
    // QDialog closes on Esc; only the windows meant to close on it do.
    if (!EscCloses && Event->matches(QKeySequence::Cancel)) {
        Event->ignore();
        return;
    }
    QDialog::keyPressEvent(Event);
}

bool TSorvikForm::eventFilter(QObject* Watched, QEvent* Event)
{
    const auto Type = Event->type();
    if ((Type == QEvent::KeyPress || Type == QEvent::KeyRelease) && Watched->isWidgetType()) {
        auto* W = static_cast<QWidget*>(Watched);
        // Seen once, at the control that has the focus, before it acts.
        if (W == this || isAncestorOf(W)) {
            QWidget* Focus = QApplication::focusWidget();
            const bool FocusHere = Focus && (Focus == this || isAncestorOf(Focus));
            if (FocusHere ? W != Focus : W != this)
                return false;
            auto* Key = static_cast<QKeyEvent*>(Event);
            bool Consumed = false;
            RunGuarded([&] { Consumed = Type == QEvent::KeyPress ? FormKeyDown(Key) : FormKeyUp(Key); });
            if (Consumed) {
                Event->accept();
                return true;
            }
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

void TSorvikForm::setVisible(bool Visible)
{
    if (Visible && !isVisible()) {
        if (Placement == plCenterEveryOpening || (Placement == plCenterFirstOpening && !FPlaced))
            CenterOnMainWindow(*this);
        FPlaced = true;
    }
    QDialog::setVisible(Visible);
}
