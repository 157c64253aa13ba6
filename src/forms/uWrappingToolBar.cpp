#include "forms/uWrappingToolBar.h"

#include <QEvent>
#include <QLayout>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace {

// Items from the leading edge, a new row where the next one does not fit.
class TFlowLayout : public QLayout {
public:
    explicit TFlowLayout(QWidget* Parent) : QLayout(Parent) {}
    ~TFlowLayout() override
    {
        while (QLayoutItem* Item = takeAt(0))
            delete Item;
    }

    void addItem(QLayoutItem* Item) override { FItems.push_back(Item); }
    int count() const override { return static_cast<int>(FItems.size()); }
    QLayoutItem* itemAt(int Index) const override
    {
        return Index >= 0 && Index < count() ? FItems[static_cast<std::size_t>(Index)] : nullptr;
    }
    QLayoutItem* takeAt(int Index) override
    {
        if (Index < 0 || Index >= count())
            return nullptr;
        QLayoutItem* Item = FItems[static_cast<std::size_t>(Index)];
        FItems.erase(FItems.begin() + Index);
        return Item;
    }
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int Width) const override { return Arrange(QRect(0, 0, Width, 0), false).Height; }
    QSize sizeHint() const override
    {
        // One row of everything.
        int Width = 0;
        for (QLayoutItem* Item : FItems)
            if (!Item->isEmpty())
                Width += Item->sizeHint().width() + spacing();
        const QMargins M = contentsMargins();
        return QSize(std::max(0, Width - spacing()) + M.left() + M.right(), RowHeight() + M.top() + M.bottom());
    }
    QSize minimumSize() const override
    {
        // The widest item alone on its row.
        int Width = 0;
        for (QLayoutItem* Item : FItems)
            if (!Item->isEmpty())
                Width = std::max(Width, Item->sizeHint().width());
        const QMargins M = contentsMargins();
        return QSize(Width + M.left() + M.right(), RowHeight() + M.top() + M.bottom());
    }
    void setGeometry(const QRect& Rect) override
    {
        QLayout::setGeometry(Rect);
        Arrange(Rect, true);
    }

    int Rows(int Width) const { return Arrange(QRect(0, 0, Width, 0), false).Rows; }

private:
    struct TArranged {
        int Height = 0;
        int Rows = 0;
    };

    int RowHeight() const
    {
        int Height = 0;
        for (QLayoutItem* Item : FItems)
            if (!Item->isEmpty())
                Height = std::max(Height, Item->sizeHint().height());
        return Height;
    }

    TArranged Arrange(const QRect& Rect, bool Place) const
    {
        const QRect Area = Rect.marginsRemoved(contentsMargins());
        const int Row = RowHeight();
        const Qt::LayoutDirection Direction = parentWidget() ? parentWidget()->layoutDirection() : Qt::LeftToRight;
        int X = Area.x();
        int Y = Area.y();
        int Rows = 0;
        for (QLayoutItem* Item : FItems) {
            if (Item->isEmpty())
                continue;
            const QSize Size = Item->sizeHint();
            if (Rows == 0)
                Rows = 1;
            else if (X > Area.x() && X + Size.width() > Area.x() + Area.width()) {
                X = Area.x();
                Y += Row + spacing();
                ++Rows;
            }
            if (Place) {
                const QRect Cell(X, Y + (Row - Size.height()) / 2, Size.width(), Size.height());
                Item->setGeometry(QStyle::visualRect(Direction, Area, Cell));
            }
            X += Size.width() + spacing();
        }
        const QMargins M = contentsMargins();
        return {Rows * Row + std::max(0, Rows - 1) * spacing() + M.top() + M.bottom(), Rows};
    }

    std::vector<QLayoutItem*> FItems;
};

// The tool bar's own look of a divider between groups of buttons.
class TSeparator : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override
    {
        const int Extent = style()->pixelMetric(QStyle::PM_ToolBarSeparatorExtent, nullptr, this);
        return QSize(Extent, Extent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter P(this);
        QStyleOption Option;
        Option.initFrom(this);
        Option.state |= QStyle::State_Horizontal;
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &Option, &P, this);
    }
};

} // namespace

// The buttons' box: as high as its rows at its width.
class TFlowBox : public QWidget {
public:
    explicit TFlowBox(QWidget* Parent) : QWidget(Parent), FFlow(new TFlowLayout(this))
    {
        FFlow->setContentsMargins(0, 0, 0, 0);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }
    TFlowLayout* Flow() const { return FFlow; }

protected:
    // At a new width, and whenever a button changes its size (captions
    // switched on or off, another text): the bar then takes its new rows at
    // once, not at the next resize.
    void resizeEvent(QResizeEvent* Event) override
    {
        QWidget::resizeEvent(Event);
        FitHeight();
    }
    bool event(QEvent* Event) override
    {
        const bool Done = QWidget::event(Event);
        if (Event->type() == QEvent::LayoutRequest)
            FitHeight();
        return Done;
    }

private:
    void FitHeight()
    {
        const int Height = FFlow->heightForWidth(width());
        if (minimumHeight() != Height)
            setMinimumHeight(Height);
    }

    TFlowLayout* FFlow;
};

TWrappingToolBar::TWrappingToolBar(QWidget* Parent) : QToolBar(Parent), FBox(new TFlowBox(this))
{
    FBox->setObjectName(QStringLiteral("ToolBarButtons"));
    FBox->Flow()->setSpacing(style()->pixelMetric(QStyle::PM_ToolBarItemSpacing, nullptr, this));
    addWidget(FBox);
    // About as high as the buttons, as designed: Qt's bar keeps 4 pixels
    // around them.
    layout()->setContentsMargins(2, 1, 2, 1);
    auto ForEachButton = [this](auto&& Act) {
        for (QToolButton* B : FBox->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
            Act(B);
    };
    connect(this, &QToolBar::toolButtonStyleChanged, this, [this, ForEachButton](Qt::ToolButtonStyle Style) {
        ForEachButton([Style](QToolButton* B) { B->setToolButtonStyle(Style); });
        FBox->updateGeometry();
    });
    connect(this, &QToolBar::iconSizeChanged, this, [this, ForEachButton](const QSize& Size) {
        ForEachButton([Size](QToolButton* B) { B->setIconSize(Size); });
        FBox->updateGeometry();
    });
}

QToolButton* TWrappingToolBar::AddButton(QAction* Action)
{
    auto* B = new QToolButton(FBox);
    // As the tool bar's own buttons: the keyboard reaches the actions
    // through their menus and shortcuts.
    B->setFocusPolicy(Qt::NoFocus);
    B->setDefaultAction(Action);
    AddButton(B);
    return B;
}

void TWrappingToolBar::AddButton(QToolButton* Button)
{
    Button->setParent(FBox);
    Button->setAutoRaise(true);
    Button->setIconSize(iconSize());
    Button->setToolButtonStyle(toolButtonStyle());
    FBox->Flow()->addWidget(Button);
    Button->show();
}

void TWrappingToolBar::AddSeparator()
{
    auto* S = new TSeparator(FBox);
    FBox->Flow()->addWidget(S);
}

int TWrappingToolBar::RowCount() const { return FBox->Flow()->Rows(FBox->width()); }

void TWrappingToolBar::resizeEvent(QResizeEvent* Event)
{
    QToolBar::resizeEvent(Event);
    if (Event->size().height() != Event->oldSize().height())
        emit HeightChanged();
}
