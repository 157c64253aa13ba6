#include "platform/qt/uTextDirection.h"

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

} // namespace

QString LeftToRightUnit(const QString& Text, Qt::LayoutDirection Direction)
{
    return Isolated(Text, LeftToRightIsolate, Direction);
}

QString OwnDirectionUnit(const QString& Text, Qt::LayoutDirection Direction)
{
    return Isolated(Text, FirstStrongIsolate, Direction);
}

QString WithoutDirectionMarks(const QString& Text)
{
    QString R = Text;
    R.removeIf([](QChar C) { return C.unicode() >= 0x2066 && C.unicode() <= 0x2069; });
    return R;
}
