#include "forms/uFormPictures.h"

#include <QLabel>
#include <QVBoxLayout>

#include <QPainter>
#include <QPainterPath>

QPixmap MatchPicture(bool Match, int Size)
{
    // Drawn rather than taken from the style: not every style or platform
    // theme has icons, and the two must be told apart at a glance.
    QPixmap Pixmap(Size, Size);
    Pixmap.fill(Qt::transparent);
    QPainter P(&Pixmap);
    P.setRenderHint(QPainter::Antialiasing);
    const qreal S = Size;
    P.setPen(Qt::NoPen);
    P.setBrush(Match ? QColor(0x2E, 0x9D, 0x3A) : QColor(0xD3, 0x2F, 0x2F));
    P.drawEllipse(QRectF(1, 1, S - 2, S - 2));
    QPen Mark(Qt::white, S / 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    P.setPen(Mark);
    P.setBrush(Qt::NoBrush);
    if (Match) {
        QPainterPath Tick;
        Tick.moveTo(S * 0.27, S * 0.52);
        Tick.lineTo(S * 0.44, S * 0.69);
        Tick.lineTo(S * 0.74, S * 0.34);
        P.drawPath(Tick);
    } else {
        P.drawLine(QPointF(S * 0.32, S * 0.32), QPointF(S * 0.68, S * 0.68));
        P.drawLine(QPointF(S * 0.68, S * 0.32), QPointF(S * 0.32, S * 0.68));
    }
    return Pixmap;
}

namespace {

QLabel* CreateMatchImage(QWidget* Parent, const QString& Name, bool Match)
{
    auto* Image = new QLabel(Parent);
    Image->setObjectName(Name);
    Image->setPixmap(MatchPicture(Match, 40));
    Image->setAlignment(Qt::AlignCenter);
    Image->setFixedSize(48, 48);
    return Image;
}

} // namespace

QVBoxLayout* CreateMatchPictures(QWidget* Parent, QLabel*& Good, QLabel*& Bad)
{
    Good = CreateMatchImage(Parent, QStringLiteral("Image_Good"), true);
    Bad = CreateMatchImage(Parent, QStringLiteral("Image_Bad"), false);
    Good->hide();
    auto* Column = new QVBoxLayout;
    Column->addStretch(1);
    Column->addWidget(Good, 0, Qt::AlignCenter);
    Column->addWidget(Bad, 0, Qt::AlignCenter);
    Column->addStretch(1);
    return Column;
}
