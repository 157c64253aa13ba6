#include "forms/fAbout.h"

#include "forms/uMainIcons.h"

#include "app/uTranslationKit.h"
#include "app/uVersionInfo.h"
#include "app/ufunctions.h"
#include "forms/uFormPlacement.h"
#include "platform/uResourceStrings.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <utility>

const char* const TFormAbout::AuthorName = "The Sorvik developers";
const char* const TFormAbout::SupportEmail = "support@sorvik.example.org";
const char* const TFormAbout::WebSite = "https://sorvik.example.org/";

// The header panel: reports a released mouse button only for a press that
// began on its own background, not on a label or the icon inside it.
class TAboutHeader : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;

signals:
    void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& Pos);

protected:
    void mousePressEvent(QMouseEvent* Event) override
    {
        // Labels pass their clicks on to the panel: tell them apart here.
        FPressOnBackground = childAt(Event->position().toPoint()) == nullptr;
        Event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* Event) override
    {
        Event->accept();
        if (!std::exchange(FPressOnBackground, false))
            return;
        emit MouseUp(Event->button(), Event->modifiers(), Event->position().toPoint());
    }

private:
    bool FPressOnBackground = false;
};

namespace {

// A label shown as a link: blue, hand cursor, reports a left click.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* Event) override
    {
        if (Event->button() == Qt::LeftButton)
            Event->accept();
        else
            QLabel::mousePressEvent(Event);
    }
    void mouseReleaseEvent(QMouseEvent* Event) override
    {
        if (Event->button() != Qt::LeftButton) {
            QLabel::mouseReleaseEvent(Event);
            return;
        }
        Event->accept();
        if (rect().contains(Event->position().toPoint()))
            emit Clicked();
    }
};

QString ReleaseDateText() { return GetReleaseDate().toString(QStringLiteral("yyyy-MM-dd")); }

QLabel* NewLabel(QWidget* Parent, const char* Name)
{
    auto* L = new QLabel(Parent);
    L->setObjectName(QString::fromLatin1(Name));
    L->setTextFormat(Qt::PlainText);
    return L;
}

TLinkLabel* NewLink(QWidget* Parent, const char* Name)
{
    auto* L = new TLinkLabel(Parent);
    L->setObjectName(QString::fromLatin1(Name));
    L->setTextFormat(Qt::PlainText);
    L->setCursor(Qt::PointingHandCursor);
    QPalette P = L->palette();
    P.setColor(QPalette::WindowText, QColor(0, 0, 255));
    L->setPalette(P);
    return L;
}

} // namespace

TFormAbout::TFormAbout(QWidget* Parent) : TSorvikForm(Parent)
{
    Placement = plCenterEveryOpening;
    setObjectName(QStringLiteral("FormAbout"));
    EscCloses = true;
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Component(Panel_Header, this, "Panel_Header");
    Panel_Header->setFixedHeight(97);
    Panel_Header->setAutoFillBackground(true);
    {
        // White in every theme, so the header's text is kept dark as well.
        QPalette P = Panel_Header->palette();
        P.setColor(QPalette::Window, Qt::white);
        P.setColor(QPalette::WindowText, Qt::black);
        Panel_Header->setPalette(P);
    }

    Image_Icon = NewLabel(Panel_Header, "Image_Icon");
    Image_Icon->setAlignment(Qt::AlignCenter);
    Image_Icon->setFixedSize(64, 64);
    Image_Icon->setPixmap(ProgramPixmap(56));

    Label_Title = NewLabel(Panel_Header, "Label_Title");
    {
        QFont F = Label_Title->font();
        F.setPixelSize(29);
        Label_Title->setFont(F);
    }
    Label_Version = NewLabel(Panel_Header, "Label_Version");
    Label_Date = NewLabel(Panel_Header, "Label_Date");

    Component(Bevel_Header, this, "Bevel_Header");
    Bevel_Header->setFrameShape(QFrame::HLine);
    Bevel_Header->setFrameShadow(QFrame::Sunken);

    Label_Author2 = NewLabel(this, "Label_Author2");
    Label_Author = NewLabel(this, "Label_Author");
    Label_Email2 = NewLabel(this, "Label_Email2");
    auto* Email = NewLink(this, "Label_Email");
    Label_Email = Email;
    Label_Website2 = NewLabel(this, "Label_Website2");
    auto* Site = NewLink(this, "Label_Website");
    Label_Website = Site;
    for (QLabel* L : {Label_Author2, Label_Email2, Label_Website2}) {
        QFont F = L->font();
        F.setBold(true);
        L->setFont(F);
    }
    // Aligned by the window's direction, not by each text's first letter: in
    // right-to-left "Sorvik" and the addresses would otherwise stand apart.
    const Qt::Alignment Leading = QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft | Qt::AlignVCenter);
    for (QLabel* L : {Label_Title, Label_Version, Label_Date, Label_Author2, Label_Author, Label_Email2, Label_Email,
                      Label_Website2, Label_Website})
        L->setAlignment(Leading);

    auto* HeaderTexts = new QVBoxLayout;
    HeaderTexts->setSpacing(2);
    HeaderTexts->addStretch(1);
    // Each as wide as its text: the white beside it is the header's own
    // background, which copies the identification line.
    HeaderTexts->addWidget(Label_Title, 0, Leading);
    HeaderTexts->addWidget(Label_Version, 0, Leading);
    HeaderTexts->addWidget(Label_Date, 0, Leading);
    HeaderTexts->addStretch(1);
    auto* HeaderLayout = new QHBoxLayout(Panel_Header);
    HeaderLayout->setContentsMargins(12, 4, 12, 4);
    HeaderLayout->setSpacing(12);
    HeaderLayout->addWidget(Image_Icon, 0, Qt::AlignVCenter);
    HeaderLayout->addLayout(HeaderTexts, 1);

    auto* Body = new QGridLayout;
    Body->setContentsMargins(12, 10, 12, 12);
    Body->setHorizontalSpacing(10);
    Body->setVerticalSpacing(6);
    Body->addWidget(Label_Author2, 0, 0);
    Body->addWidget(Label_Author, 0, 1);
    Body->addWidget(Label_Email2, 1, 0);
    // Sized to their text, so that only the address itself is a link.
    Body->addWidget(Label_Email, 1, 1, Leading);
    Body->addWidget(Label_Website2, 2, 0);
    Body->addWidget(Label_Website, 2, 1, Leading);
    Body->setColumnStretch(1, 1);

    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    Layout->addWidget(Panel_Header);
    Layout->addWidget(Bevel_Header);
    Layout->addLayout(Body);

    SetDesignText(this, this, QStringLiteral("Caption"), QStringLiteral("About"));
    SetDesignText(this, Label_Title, QStringLiteral("Caption"), QStringLiteral("Sorvik"));
    SetDesignText(this, Label_Version, QStringLiteral("Caption"), QStringLiteral("Version:"));
    SetDesignText(this, Label_Date, QStringLiteral("Caption"), QStringLiteral("Date:"));
    SetDesignText(this, Label_Author2, QStringLiteral("Caption"), QStringLiteral("Author:"));
    SetDesignText(this, Label_Email2, QStringLiteral("Caption"), QStringLiteral("Email:"));
    SetDesignText(this, Label_Website2, QStringLiteral("Caption"), QStringLiteral("Website:"));

    connect(Panel_Header, &TAboutHeader::MouseUp, this,
            [this](Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& Pos) {
                RunGuarded([&] { Panel_HeaderMouseUp(Button, Shift, Pos); });
            });
    connect(Email, &TLinkLabel::Clicked, this, [this] { RunGuarded([this] { Label_EmailClick(); }); });
    connect(Site, &TLinkLabel::Clicked, this, [this] { RunGuarded([this] { Label_WebsiteClick(); }); });

    FormCreate();

    if (QLayout* L = layout())
        L->activate();
    setFixedSize(sizeHint().expandedTo(QSize(353, 0)));
}

TFormAbout::~TFormAbout() = default;

void TFormAbout::FormCreate()
{
    // After translation: the translated prefixes keep the version and date.
    Label_Title->setText(QStringLiteral("Sorvik"));
    Label_Version->setText(Label_Version->text() + QLatin1Char(' ') + QString::fromStdString(GetVersionString()));
    Label_Date->setText(Label_Date->text() + QLatin1Char(' ') + ReleaseDateText());
    Label_Author->setText(QString::fromUtf8(AuthorName));
    Label_Email->setText(QString::fromUtf8(SupportEmail));
    Label_Website->setText(QString::fromUtf8(WebSite));
}

QString TFormAbout::IdentificationLine()
{
    // Not translated: the line identifies the program wherever it is pasted.
    return QString::fromStdString(
        FormatText("%s %s (%s)", {"Sorvik", GetVersionString(), ReleaseDateText().toStdString()}));
}

void TFormAbout::Panel_HeaderMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, const QPoint&)
{
    if (Button != Qt::RightButton)
        return;
    if (QClipboard* Clipboard = QApplication::clipboard())
        Clipboard->setText(IdentificationLine());
}

void TFormAbout::Label_EmailClick()
{
    ShellOpen(std::string("mailto:") + SupportEmail + "?subject=Sorvik");
}

void TFormAbout::Label_WebsiteClick() { ShellOpen(WebSite); }

#include "fAbout.moc"
