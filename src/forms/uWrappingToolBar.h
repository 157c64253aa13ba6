// A tool bar whose buttons wrap onto further rows, and whose height grows
// with them, when the window is too narrow for one row: no button is ever
// hidden behind an overflow button.
#pragma once

#include <QToolBar>

class QToolButton;
class TFlowBox;

class TWrappingToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit TWrappingToolBar(QWidget* Parent = nullptr);

    // A button that shows and runs Action.
    QToolButton* AddButton(QAction* Action);
    // A button made elsewhere; it takes the bar's icon size and style.
    void AddButton(QToolButton* Button);
    void AddSeparator();

    // The rows the buttons take at the bar's present width.
    int RowCount() const;

signals:
    // The bar took another row or gave one back.
    void HeightChanged();

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    TFlowBox* FBox = nullptr;
};
