#include "app/uUserInteraction.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <utility>

namespace {

TUserInteraction RealInteraction;
TUserInteraction* Installed = nullptr;

// Qt's message boxes break lines at LF only.
QString LineBreaks(const QString& Text) { return QString(Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

} // namespace

void TUserInteraction::ErrorBox(const QString& Text)
{
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(), LineBreaks(Text));
}

void TUserInteraction::WarningBox(const QString& Text)
{
    QMessageBox Box(QMessageBox::Warning, QApplication::applicationDisplayName(), Text, QMessageBox::Ok,
                    QApplication::activeWindow());
    Box.exec();
}

void TUserInteraction::InformationBox(QWidget* Parent, const QString& Text)
{
    QMessageBox::information(Parent, QApplication::applicationDisplayName(), LineBreaks(Text));
}

QStringList TUserInteraction::ChooseFiles(QFileDialog& Dialog)
{
    return Dialog.exec() == QDialog::Accepted ? Dialog.selectedFiles() : QStringList();
}

TUserInteraction& UserInteraction() { return Installed ? *Installed : RealInteraction; }

TUserInteraction* SetUserInteraction(TUserInteraction* Interaction) { return std::exchange(Installed, Interaction); }
