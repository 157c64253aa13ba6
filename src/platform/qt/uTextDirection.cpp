#include "platform/qt/uTextDirection.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextOption>

namespace {

constexpr char16_t LeftToRightIsolate = 0x2066;
constexpr char16_t FirstStrongIsolate = 0x2068;
constexpr char16_t PopDirectionalIsolate = 0x2069;

QString Isolated(const QString& Text, char16_t Opening, Qt::LayoutDirection Direction)
{
    if (Direction != Qt::RightToLeft || Text.isEmpty())
        return Text;
    return QChar(Opening) + Text + QChar(PopDirectionalIsolate);
}

bool IsRightToLeftLetter(QChar C)
{
    const QChar::Direction D = C.direction();
    return D == QChar::DirR || D == QChar::DirAL;
}

} // namespace

QString LeftToRightUnit(const QString& Text, Qt::LayoutDirection Direction)
{
    return Isolated(Text, LeftToRightIsolate, Direction);
}

QString LeftToRightRuns(const QString& Text, Qt::LayoutDirection Direction)
{
    if (Direction != Qt::RightToLeft)
        return Text;
    QString Out;
    for (qsizetype I = 0; I < Text.size();) {
        if (IsRightToLeftLetter(Text[I])) {
            Out += Text[I++];
            continue;
        }
        qsizetype End = I;
        while (End < Text.size() && !IsRightToLeftLetter(Text[End]))
            ++End;
        qsizetype First = I, Last = End;
        while (First < Last && !Text[First].isLetterOrNumber())
            ++First;
        while (Last > First && !Text[Last - 1].isLetterOrNumber())
            --Last;
        Out += Text.mid(I, First - I) + LeftToRightUnit(Text.mid(First, Last - First), Direction)
               + Text.mid(Last, End - Last);
        I = End;
    }
    return Out;
}

QString OwnDirectionUnit(const QString& Text, Qt::LayoutDirection Direction)
{
    return Isolated(Text, FirstStrongIsolate, Direction);
}

void ParagraphsInTheirOwnDirection(QPlainTextEdit* Edit)
{
    if (!Edit)
        return;
    QTextDocument* Document = Edit->document();
    if (Edit->isRightToLeft() && Edit->lineWrapMode() == QPlainTextEdit::NoWrap)
        Edit->setLineWrapMode(QPlainTextEdit::WidgetWidth); // a width to place lines in
    QTextOption Option = Document->defaultTextOption();
    if (Edit->isRightToLeft())
        Option.setWrapMode(QTextOption::NoWrap);
    Option.setTextDirection(Qt::LayoutDirectionAuto);
    // Qt right-aligns a right-to-left line under "justify" and leaves a
    // left-to-right one, the last line of its paragraph, at the left.
    Option.setAlignment(Qt::AlignJustify);
    Document->setDefaultTextOption(Option);
}

QString WithoutDirectionMarks(const QString& Text)
{
    QString R = Text;
    R.removeIf([](QChar C) { return C.unicode() >= 0x2066 && C.unicode() <= 0x2069; });
    return R;
}
