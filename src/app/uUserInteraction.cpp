#include "app/uUserInteraction.h"

#include "platform/qt/uMessageBoxCopy.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>

#include <utility>

namespace {

TUserInteraction RealInteraction;
TUserInteraction* Installed = nullptr;

// Qt's message boxes break lines at LF only.
QString LineBreaks(const QString& Text) { return QString(Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

constexpr QChar WrapPoint(0x200B); // zero-width space
constexpr int LongestRun = 20;

// Qt wraps a box's text at blanks only, so a long file name would run past
// the box's edge and lose its end. A zero-width space after each path
// separator and within every longer run lets it wrap anywhere; never
// inside a surrogate pair or before a combining mark.
QString Wrappable(const QString& Text)
{
    QString Result;
    Result.reserve(Text.size() + Text.size() / LongestRun + 8);
    int Run = 0;
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const QChar C = Text.at(I);
        Result += C;
        if (C.isSpace()) {
            Run = 0;
            continue;
        }
        ++Run;
        const bool Separator = C == QLatin1Char('/') || C == QLatin1Char('\\');
        const bool Next = I + 1 < Text.size() && !Text.at(I + 1).isSpace();
        if ((Separator || Run >= LongestRun) && Next && !C.isHighSurrogate() && !Text.at(I + 1).isMark()) {
            Result += WrapPoint;
            Run = 0;
        }
    }
    return Result;
}

class TMessageBox : public QMessageBox {
public:
    TMessageBox(Icon BoxIcon, const QString& Text, QWidget* Parent)
        : QMessageBox(BoxIcon, QApplication::applicationDisplayName(), Wrappable(LineBreaks(Text)), Ok, Parent)
    {
    }

protected:
    // Where the toolkit copies the box on Ctrl+C, the copy reads as the text
    // was given, without the wrap points.
    void keyPressEvent(QKeyEvent* Event) override
    {
        QMessageBox::keyPressEvent(Event);
        RemoveFromMessageBoxCopy(*Event, WrapPoint);
    }
};

} // namespace

std::unique_ptr<QMessageBox> CreateMessageBox(QMessageBox::Icon Icon, const QString& Text, QWidget* Parent)
{
    return std::make_unique<TMessageBox>(Icon, Text, Parent);
}

void TUserInteraction::ErrorBox(const QString& Text)
{
    CreateMessageBox(QMessageBox::Critical, Text, QApplication::activeWindow())->exec();
}

void TUserInteraction::WarningBox(const QString& Text)
{
    CreateMessageBox(QMessageBox::Warning, Text, QApplication::activeWindow())->exec();
}

void TUserInteraction::InformationBox(QWidget* Parent, const QString& Text)
{
    CreateMessageBox(QMessageBox::Information, Text, Parent)->exec();
}

QStringList TUserInteraction::ChooseFiles(QFileDialog& Dialog)
{
    return Dialog.exec() == QDialog::Accepted ? Dialog.selectedFiles() : QStringList();
}

TUserInteraction& UserInteraction() { return Installed ? *Installed : RealInteraction; }

TUserInteraction* SetUserInteraction(TUserInteraction* Interaction) { return std::exchange(Installed, Interaction); }
