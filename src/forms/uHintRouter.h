// The program's hints in one place: pop-up tool tips are off everywhere, and
// the hint of whatever control the pointer is on, in any window, is
// reported for the main window's status bar.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

class THintRouter : public QObject {
    Q_OBJECT
public:
    // Installs itself on the application. Own: the control that shows the
    // hints and sets them itself, left alone.
    explicit THintRouter(QWidget* Own, QObject* Parent = nullptr);
    ~THintRouter() override;

signals:
    // The hint to show; empty when the pointer is on a control without one.
    void HintChanged(const QString& Text);
    // A window of the program was shown or hidden by the program.
    void WindowVisibilityChanged(QWidget* Window);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QPointer<QWidget> FOwn;
};
