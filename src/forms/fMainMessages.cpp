// The main window's message list and status bar, and the hints shown there.
#include "forms/fMain.h"

#include "app/uTranslationKit.h"
#include "app/ufunctions.h"
#include "engine/uStrUtils.h"
#include "forms/fMainPrivate.h"
#include "forms/uFormBase.h"
#include "forms/uMainIcons.h"
#include "forms/uStatusPanels.h"
#include "platform/uMemory.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLayout>
#include <QPainter>

using namespace fmain;

void TFormMain::AddMessage(TMessageLevel Level, const QString& Text)
{
    ListBox_Messages->AddMessage(Level, Text);
    RepaintStatusBar();
    ShowMessages(true, false);
}

void TFormMain::AddMessageLine(const QString& Text, bool Sentence)
{
    if (Sentence)
        ListBox_Messages->AddMessageSentence(Text);
    else
        ListBox_Messages->AddMessageLine(Text);
    ShowMessages(true, false);
}

void TFormMain::ClearMessages()
{
    ListBox_Messages->ClearMessages();
    // A long list is many small blocks, as the log's records are: without
    // this the process keeps their pages after the clear.
    ReturnFreedMemory();
    RepaintStatusBar();
    ShowMessages(false, false);
}

int TFormMain::CompactClientHeight() const
{
    if (auto* L = centralWidget()->layout())
        L->activate();
    return height() - Panel_Messages->height();
}

bool TFormMain::MessagesVisible() const { return Panel_Messages->height() > 10; }

void TFormMain::ShowMessages(bool Show, bool Force)
{
    const bool Visible = MessagesVisible();
    const bool Normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    if (!Force && (Show == Visible || !Normal))
        return;
    const int Height = CompactClientHeight() + (Show && !Visible ? 80 : 0);
    resize(width(), Height);
    if (auto* L = centralWidget()->layout())
        L->activate();
}

void TFormMain::ActionToggleMessagesExecute() { ShowMessages(!MessagesVisible(), false); }

void TFormMain::ActionClearMessagesExecute()
{
    ClearMessages();
    SetStatusText(Q(sstatusmessagescleared));
}

void TFormMain::ActionCopyMessagesExecute()
{
    QGuiApplication::clipboard()->setText(ListBox_Messages->AllText());
}

void TFormMain::SetStatusText(const QString& Text) { StatusBar->SetPanelText(5, Text); }

void TFormMain::SetApplicationHint(const QString& Text)
{
    if (Text == FApplicationHint)
        return;
    FApplicationHint = Text;
    ApplicationHint();
}

void TFormMain::ApplicationHint() { SetStatusText(FApplicationHint); }

void TFormMain::UpdateFileCounts()
{
    const std::int64_t N = FFileList ? FFileList->Count() : 0;
    const std::int64_t Waiting = FileQueue ? FileQueue->Count() : 0;
    QString Text;
    if (N > 0 || Waiting > 0) {
        Text = Q(IntToStrSep(N, ","));
        if (Waiting > 0)
            Text += QStringLiteral(" (") + Q(IntToStrSep(Waiting, ",")) + QLatin1Char(')');
    }
    StatusBar->SetPanelText(2, Text);
}

void TFormMain::RepaintStatusBar() { StatusBar->update(); }

int TFormMain::StatusImage(int Panel) const
{
    if (Panel == 0)
        return IsWorkerBusy() ? miBusy : miIdle;
    if (Panel == 1) {
        const TMessageLevel Level = MessageLevel();
        return Level == mlError ? miError : Level == mlWarning ? miWarning : miNoMessages;
    }
    return -1;
}

void TFormMain::StatusBarDrawPanel(QPainter& Painter, int Panel, const QRect& Rect)
{
    const int Image = StatusImage(Panel);
    if (Image < 0)
        return;
    TRect Inner = MakeRect(16, 16);
    CenterRect(Inner, TRect{Rect.left(), Rect.top(), Rect.left() + Rect.width(), Rect.top() + Rect.height()});
    Painter.drawPixmap(Inner.Left, Inner.Top, MainImage(Image).pixmap(16, 16));
}

void TFormMain::StatusBarClick(const QPoint& Pos)
{
    const QPoint L = StatusBar->LogicalPos(Pos);
    const int P = StatusPanelAt(*StatusBar, StatusBar->PanelWidths(), L.x(), L.y());
    if (P == 0 || P == 2)
        ActionViewLogExecute();
    else if (P == 1)
        ExecuteAction(ActionToggleMessages);
}

void TFormMain::StatusBarMouseMove(const QPoint& Pos)
{
    const QPoint L = StatusBar->LogicalPos(Pos);
    const int P = StatusPanelAt(*StatusBar, StatusBar->PanelWidths(), L.x(), L.y());
    if (P >= 0 && P <= 2) {
        StatusBar->setCursor(Qt::PointingHandCursor);
        SetApplicationHint(P == 1 ? ActionToggleMessages->statusTip() : ActionViewLog->statusTip());
    } else {
        StatusBar->setCursor(Qt::ArrowCursor);
        SetApplicationHint(QString());
    }
}
