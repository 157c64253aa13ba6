#include "forms/uMessageList.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTime>

namespace {

const QColor WarningColor(255, 223, 102);
const QColor ErrorColor(255, 154, 154);

bool HasRightToLeftLetter(const QString& Text)
{
    for (const QChar C : Text) {
        const QChar::Direction D = C.direction();
        if (D == QChar::DirR || D == QChar::DirAL)
            return true;
    }
    return false;
}

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
        // An error text translated into a right-to-left language reads right
        // to left in a right-to-left window, its start in view; the paths in
        // it are isolated by the translation. Only the drawing is embedded;
        // the copied text stays as it is.
        if (Level == mlNone)
            Text = TMessageList::DrawnLine(Text, Index.data(TMessageList::SentenceRole).toBool(), Option.direction);
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
    // The layout of a long batch goes on, a few thousand lines at a time,
    // after the batch was scrolled to its end; each step lengthens the
    // scroll range, once per step rather than once per line. Inside a batch
    // the end of the batch scrolls.
    QScrollBar* Bar = verticalScrollBar();
    connect(Bar, &QScrollBar::valueChanged, this, [this, Bar](int Value) { FFollowing = Value == Bar->maximum(); });
    connect(Bar, &QScrollBar::rangeChanged, this, [this, Bar](int, int Maximum) {
        if (FFollowing && FBatch == 0)
            Bar->setValue(Maximum);
    });
}

void TMessageList::ScrollToNewest()
{
    FFollowing = true;
    scrollToBottom();
}

void TMessageList::AddItem(TMessageLevel Level, const QString& Text)
{
    auto* Item = new QListWidgetItem(Text);
    Item->setData(LevelRole, static_cast<int>(Level));
    addItem(Item);
    if (FBatch > 0)
        FScrollPending = true;
    else
        ScrollToNewest();
}

void TMessageList::EndBatch()
{
    if (FBatch == 0 || --FBatch > 0 || !FScrollPending)
        return;
    FScrollPending = false;
    ScrollToNewest();
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

QString TMessageList::DrawnLine(const QString& Text, bool Sentence, Qt::LayoutDirection Direction)
{
    const bool RightToLeft = Direction == Qt::RightToLeft && Sentence && HasRightToLeftLetter(Text);
    return QChar(RightToLeft ? 0x202B : 0x202A) + Text + QChar(0x202C);
}

void TMessageList::AddMessageSentence(const QString& Text)
{
    AddItem(mlNone, Text);
    item(count() - 1)->setData(SentenceRole, true);
}

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
