#include "forms/uMainIcons.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace {

// A transparent square of Size pixels that Draw paints, antialiased; Draw is
// given the painter and the size.
template <typename TDraw>
QPixmap Painted(int Size, TDraw&& Draw)
{
    QPixmap P(Size, Size);
    P.fill(Qt::transparent);
    {
        QPainter G(&P);
        G.setRenderHint(QPainter::Antialiasing);
        Draw(G, static_cast<qreal>(Size));
    }
    return P;
}

QPixmap Light(const QColor& Fill, int Size)
{
    return Painted(Size, [&](QPainter& G, qreal S) {
        G.setPen(QPen(Fill.darker(160), S / 12.0));
        G.setBrush(Fill);
        const qreal M = S * 0.2;
        G.drawEllipse(QRectF(M, M, S - 2 * M, S - 2 * M));
    });
}

QIcon LightIcon(const QColor& Fill)
{
    QIcon I;
    for (int S : {16, 24, 32})
        I.addPixmap(Light(Fill, S));
    return I;
}

QIcon Themed(const char* Name, QStyle::StandardPixmap Fallback)
{
    const QString N = QString::fromLatin1(Name);
    if (QIcon::hasThemeIcon(N))
        return QIcon::fromTheme(N);
    return QApplication::style()->standardIcon(Fallback);
}

// A sheet of paper with a folded corner and a few lines of text on it.
void Sheet(QPainter& G, const QRectF& R, qreal S)
{
    const qreal Fold = R.width() * 0.3;
    QPainterPath Outline;
    Outline.moveTo(R.topLeft());
    Outline.lineTo(R.right() - Fold, R.top());
    Outline.lineTo(R.right(), R.top() + Fold);
    Outline.lineTo(R.bottomRight());
    Outline.lineTo(R.bottomLeft());
    Outline.closeSubpath();
    G.setPen(QPen(QColor(70, 80, 95), qMax(1.0, S / 16.0)));
    G.setBrush(Qt::white);
    G.drawPath(Outline);
    G.setPen(QPen(QColor(90, 130, 190), qMax(1.0, S / 16.0)));
    for (qreal Y = R.top() + R.height() * 0.35; Y < R.bottom() - R.height() * 0.15; Y += R.height() * 0.18)
        G.drawLine(QPointF(R.left() + R.width() * 0.2, Y), QPointF(R.right() - R.width() * 0.2, Y));
}

// Drawn where the theme has none: two sheets, one over the other.
QPixmap CopyPicture(int Size)
{
    return Painted(Size, [](QPainter& G, qreal S) {
        Sheet(G, QRectF(S * 0.08, S * 0.06, S * 0.56, S * 0.66), S);
        Sheet(G, QRectF(S * 0.36, S * 0.28, S * 0.56, S * 0.66), S);
    });
}

// Drawn where the theme has none: a sheet of lines under a magnifying glass.
QPixmap ViewLogPicture(int Size)
{
    return Painted(Size, [](QPainter& G, qreal S) {
        Sheet(G, QRectF(S * 0.1, S * 0.04, S * 0.66, S * 0.86), S);
        const QRectF Lens(S * 0.42, S * 0.42, S * 0.36, S * 0.36);
        G.setPen(QPen(QColor(50, 50, 60), qMax(1.5, S / 10.0), Qt::SolidLine, Qt::RoundCap));
        G.drawLine(Lens.center() + QPointF(S * 0.13, S * 0.13), QPointF(S * 0.94, S * 0.94));
        G.setPen(QPen(QColor(50, 50, 60), qMax(1.0, S / 14.0)));
        G.setBrush(QColor(200, 225, 255, 200));
        G.drawEllipse(Lens);
    });
}

// Drawn where the theme has none: a sheet of typed lines with a hash sign
// on a round badge, the digest made of the text.
QPixmap HashTextPicture(int Size)
{
    return Painted(Size, [](QPainter& G, qreal S) {
        Sheet(G, QRectF(S * 0.08, S * 0.04, S * 0.64, S * 0.84), S);
        const QRectF Badge(S * 0.44, S * 0.44, S * 0.52, S * 0.52);
        G.setPen(QPen(QColor(20, 60, 120), qMax(1.0, S / 16.0)));
        G.setBrush(QColor(32, 96, 176));
        G.drawEllipse(Badge);
        // Two slanted uprights crossed by two bars.
        const QPointF C = Badge.center();
        const qreal H = Badge.height() * 0.27;
        const qreal Gap = Badge.width() * 0.12;
        const qreal Slant = H * 0.25;
        G.setPen(QPen(Qt::white, qMax(1.0, S / 14.0), Qt::SolidLine, Qt::RoundCap));
        for (const qreal X : {C.x() - Gap, C.x() + Gap})
            G.drawLine(QPointF(X + Slant, C.y() - H), QPointF(X - Slant, C.y() + H));
        for (const qreal Y : {C.y() - Gap, C.y() + Gap})
            G.drawLine(QPointF(C.x() - H, Y), QPointF(C.x() + H, Y));
    });
}

QIcon Drawn(QPixmap (*Picture)(int))
{
    QIcon I;
    for (int S : {16, 24, 32, 48})
        I.addPixmap(Picture(S));
    return I;
}

QIcon ThemedOrDrawn(const char* Name, QPixmap (*Picture)(int))
{
    const QString N = QString::fromLatin1(Name);
    return QIcon::hasThemeIcon(N) ? QIcon::fromTheme(N) : Drawn(Picture);
}

QIcon Make(int Index)
{
    switch (Index) {
    case miIdle: return LightIcon(QColor(170, 170, 170));
    case miBusy: return LightIcon(QColor(60, 180, 75));
    case miAddFiles: return Themed("document-open", QStyle::SP_FileIcon);
    case miAddFolder: return Themed("folder-open", QStyle::SP_DirIcon);
    case miCancel: return Themed("process-stop", QStyle::SP_BrowserStop);
    case miSkip: return Themed("media-skip-forward", QStyle::SP_MediaSkipForward);
    case miSelectAll: return Themed("edit-select-all", QStyle::SP_DialogYesButton);
    case miSelectNone: return Themed("edit-clear", QStyle::SP_DialogNoButton);
    case miHashText: return ThemedOrDrawn("accessories-text-editor", HashTextPicture);
    case miCopy: return ThemedOrDrawn("edit-copy", CopyPicture);
    case miToggleMessages: return Themed("view-list-text", QStyle::SP_FileDialogListView);
    case miCompare: return Themed("edit-find", QStyle::SP_FileDialogContentsView);
    case miNoMessages: return Themed("dialog-information", QStyle::SP_MessageBoxInformation);
    case miWarning: return Themed("dialog-warning", QStyle::SP_MessageBoxWarning);
    case miError: return Themed("dialog-error", QStyle::SP_MessageBoxCritical);
    case miSelect: return Themed("go-next", QStyle::SP_ArrowRight);
    case miRehash: return Themed("view-refresh", QStyle::SP_BrowserReload);
    case miSaveLog: return Themed("document-save", QStyle::SP_DialogSaveButton);
    case miViewLog: return ThemedOrDrawn("document-preview", ViewLogPicture);
    case miClearLog: return Themed("edit-delete", QStyle::SP_TrashIcon);
    case miSettings: return Themed("preferences-system", QStyle::SP_ComputerIcon);
    default: return {};
    }
}

} // namespace

QIcon MainImage(int Index)
{
    static QHash<int, QIcon> Cache;
    auto It = Cache.find(Index);
    if (It == Cache.end())
        It = Cache.insert(Index, Make(Index));
    return *It;
}

QPixmap ProgramPixmap(int Size)
{
    return Painted(Size, [](QPainter& G, qreal S) {
        // A rounded blue tile with a white check mark over two digest bars.
        G.setPen(Qt::NoPen);
        G.setBrush(QColor(32, 96, 176));
        G.drawRoundedRect(QRectF(S * 0.06, S * 0.06, S * 0.88, S * 0.88), S * 0.18, S * 0.18);
        G.setBrush(QColor(255, 255, 255, 110));
        G.drawRoundedRect(QRectF(S * 0.2, S * 0.22, S * 0.6, S * 0.1), S * 0.04, S * 0.04);
        G.drawRoundedRect(QRectF(S * 0.2, S * 0.38, S * 0.42, S * 0.1), S * 0.04, S * 0.04);
        QPainterPath Check;
        Check.moveTo(S * 0.28, S * 0.62);
        Check.lineTo(S * 0.44, S * 0.77);
        Check.lineTo(S * 0.75, S * 0.45);
        G.setBrush(Qt::NoBrush);
        G.setPen(QPen(Qt::white, S * 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        G.drawPath(Check);
    });
}

QIcon ProgramIcon()
{
    QIcon I;
    for (int S : {16, 24, 32, 48, 64, 128, 256})
        I.addPixmap(ProgramPixmap(S));
    return I;
}
