#include "forms/uMessageList.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <QTime>

namespace {

const QColor WarningColor(255, 223, 102);
const QColor ErrorColor(255, 154, 154);

// One line per item, the background by its level, the text at the top-left
// corner; selection does not change the look.
class TMessageDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const int Level = Index.data(TMessageList::LevelRole).toInt();
        QColor Back = Option.palette.color(QPalette::Base);
        if (Level == mlWarning)
            Back = WarningColor;
        else if (Level == mlError)
            Back = ErrorColor;
        Painter->fillRect(Option.rect, Back);
        Painter->setPen(Option.palette.color(QPalette::WindowText));
        Painter->setFont(Option.font);
        QString Text = Index.data(Qt::DisplayRole).toString();
        // Continuation lines are paths and engine texts: read left to right
        // in any layout, or a right-to-left window moves their punctuation.
        // Only the drawing is embedded; the copied text stays as it is.
        if (Level == mlNone)
            Text = QChar(0x202A) + Text + QChar(0x202C);
        Painter->drawText(Option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Text);
    }
};

} // namespace

TMessageList::TMessageList(QWidget* Parent) : QListWidget(Parent)
{
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(2000);
    setItemDelegate(new TMessageDelegate(this));
}

void TMessageList::AddItem(TMessageLevel Level, const QString& Text)
{
    auto* Item = new QListWidgetItem(Text);
    Item->setData(LevelRole, static_cast<int>(Level));
    addItem(Item);
    if (FBatch > 0)
        FScrollPending = true;
    else
        scrollToBottom();
}

void TMessageList::EndBatch()
{
    if (FBatch == 0 || --FBatch > 0 || !FScrollPending)
        return;
    FScrollPending = false;
    scrollToBottom();
}

void TMessageList::AddMessage(TMessageLevel Level, const QString& Text)
{
    if (Level >= mlInfo && Level <= mlError)
        ++FCounts[static_cast<std::size_t>(Level)];
    AddItem(Level, QLatin1Char('[') + QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("] ")
                       + Text);
    FLevel = GetMessageLevel();
}

void TMessageList::AddMessageLine(const QString& Text) { AddItem(mlNone, Text); }

void TMessageList::ClearMessages()
{
    clear();
    FCounts = {};
    FLevel = GetMessageLevel();
}

TMessageLevel TMessageList::GetMessageLevel() const
{
    if (FCounts[mlError] > 0)
        return mlError;
    if (FCounts[mlWarning] > 0)
        return mlWarning;
    if (FCounts[mlInfo] > 0)
        return mlInfo;
    return mlNone;
}

QString TMessageList::AllText() const
{
    QString Text;
    for (int I = 0; I < count(); ++I)
        Text += item(I)->text() + QStringLiteral("\r\n");
    return Text;
}
