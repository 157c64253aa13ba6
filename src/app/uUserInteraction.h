// What the program asks of the user through the system's boxes and file
// choosers, behind one interface, so that a test can stand in for the user
// and nothing waits for a click.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <memory>

class QFileDialog;
class QWidget;

class TUserInteraction {
public:
    virtual ~TUserInteraction() = default;
    // Boxes with one OK button, over the active window.
    virtual void ErrorBox(const QString& Text);
    virtual void WarningBox(const QString& Text);
    // Over Parent.
    virtual void InformationBox(QWidget* Parent, const QString& Text);
    // Runs a file dialog the caller has prepared: the chosen paths, empty
    // when the user cancelled.
    virtual QStringList ChooseFiles(QFileDialog& Dialog);
};

// The box the three kinds show, with one OK button: its text wraps also
// within a long name or path.
std::unique_ptr<QMessageBox> CreateMessageBox(QMessageBox::Icon Icon, const QString& Text, QWidget* Parent);

// The interaction in use: the real boxes unless another is installed.
TUserInteraction& UserInteraction();
// Installs Interaction (not owned; null brings back the real boxes) and
// returns the one installed before, null for the real boxes.
TUserInteraction* SetUserInteraction(TUserInteraction* Interaction);
