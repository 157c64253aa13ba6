#include "forms/uStatusPanels.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

TStatusPanels::TStatusPanels(QWidget* Parent) : QWidget(Parent)
{
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TStatusPanels::AddPanel(int Width, TAlignment Alignment)
{
    FWidths.push_back(Width);
    FDesignWidths.push_back(Width);
    FAlignments.push_back(Alignment);
    FTexts.append(QString());
    update();
}

QRect TStatusPanels::PanelRect(int Index) const
{
    if (Index < 0 || Index >= PanelCount())
        return {};
    int Left = 0;
    for (int I = 0; I < Index; ++I)
        Left += FWidths[static_cast<std::size_t>(I)];
    const int Width = Index == PanelCount() - 1 ? std::max(width() - Left, FWidths.back())
                                                : FWidths[static_cast<std::size_t>(Index)];
    // Right to left, the first panel stands at the right edge.
    return QStyle::visualRect(layoutDirection(), rect(), QRect(Left, 0, Width, height()));
}

QPoint TStatusPanels::LogicalPos(const QPoint& Pos) const
{
    return isRightToLeft() ? QPoint(width() - 1 - Pos.x(), Pos.y()) : Pos;
}

void TStatusPanels::SetPanelText(int Index, const QString& Text)
{
    if (Index < 0 || Index >= FTexts.size() || FTexts[Index] == Text)
        return;
    FTexts[Index] = Text;
    const auto I = static_cast<std::size_t>(Index);
    if (Index < PanelCount() - 1 && FAlignments[I] != paOwnerDraw) {
        // The frame and the text's margins take 9 pixels of a panel.
        const int Needed = fontMetrics().horizontalAdvance(Text) + 10;
        const int Width = std::max(FDesignWidths[I], Needed);
        if (Width != FWidths[I]) {
            FWidths[I] = Width;
            updateGeometry();
            update();
            return;
        }
    }
    update(PanelRect(Index));
}

QRect TStatusPanels::TextRect(int Index) const { return PanelRect(Index).adjusted(4, 2, -5, -2); }

QString TStatusPanels::ShownText(int Index) const
{
    if (Index < 0 || Index >= FTexts.size())
        return {};
    const QString& Text = FTexts[Index];
    const int Room = TextRect(Index).width();
    if (fontMetrics().horizontalAdvance(Text) <= Room)
        return Text;
    // Eliding works in the text's logical order, in either direction.
    return fontMetrics().elidedText(Text, Qt::ElideLeft, Room);
}

QSize TStatusPanels::sizeHint() const
{
    int W = 0;
    for (int X : FWidths)
        W += X;
    return QSize(W, std::max(23, fontMetrics().height() + 8));
}

QSize TStatusPanels::minimumSizeHint() const { return QSize(0, sizeHint().height()); }

void TStatusPanels::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    const QPalette& Pal = palette();
    Painter.fillRect(rect(), Pal.window());
    for (int I = 0; I < PanelCount(); ++I) {
        const QRect R = PanelRect(I);
        Painter.setPen(Pal.color(QPalette::Mid));
        Painter.drawRect(R.adjusted(0, 1, -2, -1));
        const QRect Inner = R.adjusted(2, 2, -3, -2);
        const TAlignment A = FAlignments[static_cast<std::size_t>(I)];
        if (A == paOwnerDraw) {
            emit DrawPanel(Painter, I, Inner);
            continue;
        }
        Painter.setPen(Pal.color(QPalette::WindowText));
        const int Flags = Qt::AlignVCenter | (A == paCenter ? Qt::AlignHCenter : Qt::AlignLeading) | Qt::TextSingleLine;
        Painter.drawText(TextRect(I), Flags, ShownText(I));
    }
}

void TStatusPanels::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        emit Clicked(Event->position().toPoint());
    QWidget::mouseReleaseEvent(Event);
}

void TStatusPanels::mouseMoveEvent(QMouseEvent* Event)
{
    emit MouseMoved(Event->position().toPoint());
    QWidget::mouseMoveEvent(Event);
}
