// A status bar of fixed-width panels, drawn by us: Qt's QStatusBar puts
// margins and size grips between its widgets, so a panel's screen position
// would not match the widths the window computes with.
#pragma once

#include <QPainter>
#include <QStringList>
#include <QWidget>

#include <vector>

class TStatusPanels : public QWidget {
    Q_OBJECT
public:
    enum TAlignment { paLeft, paCenter, paOwnerDraw };

    explicit TStatusPanels(QWidget* Parent = nullptr);

    void AddPanel(int Width, TAlignment Alignment);
    int PanelCount() const { return static_cast<int>(FWidths.size()); }
    const std::vector<int32_t>& PanelWidths() const { return FWidths; }
    // The last panel stretches to the bar's far edge; right to left the
    // panels run from the right.
    QRect PanelRect(int Index) const;
    // Pos as if the bar ran left to right, for hit-testing by panel widths.
    QPoint LogicalPos(const QPoint& Pos) const;

    QString PanelText(int Index) const { return FTexts.value(Index); }
    // A text panel other than the last grows beyond its designed width to
    // show its whole text, and returns to it for a shorter one.
    void SetPanelText(int Index, const QString& Text);
    // The text as drawn: whole, or for the last panel, when it does not
    // fit, elided at its start so that its end (a hint's hash type) stays.
    QString ShownText(int Index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // An owner-drawn panel is painted: a receiver draws its content with
    // Painter into Rect, while the bar paints.
    void DrawPanel(QPainter& Painter, int Index, const QRect& Rect);
    // A left click released over the bar, and the pointer moving over it.
    void Clicked(const QPoint& Pos);
    void MouseMoved(const QPoint& Pos);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;

private:
    QRect TextRect(int Index) const;

    std::vector<int32_t> FWidths;
    std::vector<int32_t> FDesignWidths;
    std::vector<TAlignment> FAlignments;
    QStringList FTexts;
};
