// How a text is drawn in a right-to-left paragraph, for tests of mixed
// directions: compared by its pixels with the same text, without its
// direction marks, drawn left to right.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextLayout>

#include <algorithm>

namespace directiontest {

// The text drawn on one line in Direction, cut to the columns that hold ink.
inline QImage DrawnLine(const QString& Text, Qt::LayoutDirection Direction)
{
    const int W = 1200, H = 40;
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(Qt::white);
    {
        QPainter P(&Image);
        QTextLayout Layout(Text, QFont());
        QTextOption Option;
        Option.setTextDirection(Direction);
        Layout.setTextOption(Option);
        Layout.beginLayout();
        QTextLine Line = Layout.createLine();
        Line.setLineWidth(W);
        Layout.endLayout();
        Layout.draw(&P, QPointF(0, 0));
    }
    int First = W, Last = -1;
    for (int X = 0; X < W; ++X)
        for (int Y = 0; Y < H; ++Y)
            if (Image.pixel(X, Y) != qRgb(255, 255, 255)) {
                First = std::min(First, X);
                Last = std::max(Last, X);
                break;
            }
    return Last < 0 ? QImage() : Image.copy(First, 0, Last - First + 1, H);
}

inline QString WithoutMarks(QString Text)
{
    Text.removeIf([](QChar C) {
        const char16_t U = C.unicode();
        return U == 0x200E || U == 0x200F || (U >= 0x202A && U <= 0x202E) || (U >= 0x2066 && U <= 0x2069);
    });
    return Text;
}

// True when Text, in a right-to-left paragraph, reads as it does left to
// right: its neutral characters stay where they are.
inline bool ReadsLeftToRightInRightToLeft(const QString& Text)
{
    return DrawnLine(Text, Qt::RightToLeft) == DrawnLine(WithoutMarks(Text), Qt::LeftToRight);
}

// True when Text, in a right-to-left paragraph, is drawn as Visual, which
// lists its characters in the order they stand from left to right.
inline bool DrawnRightToLeftAs(const QString& Text, const QString& Visual)
{
    const QChar LeftToRightOverride(0x202D), PopDirectionalFormatting(0x202C);
    return DrawnLine(Text, Qt::RightToLeft)
           == DrawnLine(LeftToRightOverride + Visual + PopDirectionalFormatting, Qt::LeftToRight);
}

} // namespace directiontest
