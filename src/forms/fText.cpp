#include "forms/fText.h"

#include "app/uTranslationKit.h"
#include "forms/uFormPlacement.h"
#include "forms/uForms.h"
#include "platform/qt/uTextDirection.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QString Str(const char* S) { return QString::fromUtf8(S); }
}

TFormText::TFormText(QWidget* Parent) : TSorvikForm(Parent)
{
    Placement = plCenterFirstOpening;
    setObjectName(Str("FormText"));
    SetDesignText(this, this, Str("Caption"), Str("Hash Text"));

    Component(BitBtnHash, this, "BitBtnHash");
    BitBtnHash->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BitBtnHash->setAutoDefault(false);
    SetDesignText(this, BitBtnHash, Str("Caption"), Str("Hash Text"));

    Component(GroupBoxEncoding, this, "GroupBoxEncoding", Str("Encoding:"));
    Component(RB_EncodingUTF8, GroupBoxEncoding, "RB_EncodingUTF8", Str("UTF-8"));
    Component(RB_EncodingUnicode, GroupBoxEncoding, "RB_EncodingUnicode", Str("Unicode"));
    Component(RB_EncodingANSI, GroupBoxEncoding, "RB_EncodingANSI", Str("ANSI"));
    RB_EncodingUTF8->setChecked(true);
    auto* GroupLayout = new QHBoxLayout(GroupBoxEncoding);
    GroupLayout->setContentsMargins(8, 0, 8, 2);
    GroupLayout->addWidget(RB_EncodingUTF8);
    GroupLayout->addWidget(RB_EncodingUnicode);
    GroupLayout->addWidget(RB_EncodingANSI);
    GroupLayout->addStretch(1);

    Component(MemoText, this, "MemoText");
    MemoText->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoText->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MemoText->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ParagraphsInTheirOwnDirection(MemoText);

    // The button and the group in a 52-pixel band, the memo below it.
    auto* BandArea = new QWidget(this);
    auto* Band = new QHBoxLayout(BandArea);
    Band->setContentsMargins(8, 2, 8, 4);
    Band->addWidget(BitBtnHash, 0, Qt::AlignVCenter);
    Band->addWidget(GroupBoxEncoding, 1);
    BandArea->setFixedHeight(std::max(52, BandArea->sizeHint().height()));
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    Layout->addWidget(BandArea);
    Layout->addWidget(MemoText, 1);
    resize(485, 248);

    connect(BitBtnHash, &QPushButton::clicked, this, [this] { RunGuarded([this] { BitBtnHashClick(); }); });
    for (QRadioButton* B : {RB_EncodingUTF8, RB_EncodingUnicode, RB_EncodingANSI})
        connect(B, &QRadioButton::toggled, this,
                [this](bool Checked) { RunGuarded([&] { HandleEncodingChange(Checked); }); });
}

TTextEncoding TFormText::SelectedEncoding() const
{
    if (RB_EncodingUnicode->isChecked())
        return teUnicode;
    if (RB_EncodingANSI->isChecked())
        return teANSI;
    return teUTF8;
}

QString TFormText::MemoRawText() const
{
    // toPlainText() would turn no-break spaces into blanks and hash other
    // bytes than the user sees; the raw text keeps them.
    const QString Text = MemoText->document()->toRawText();
    QString Result;
    Result.reserve(Text.size() + Text.size() / 16);
    for (QChar C : Text) {
        if (C == QChar::ParagraphSeparator || C == QChar::LineSeparator || C == QLatin1Char('\n'))
            Result += QStringLiteral("\r\n");
        else
            Result += C;
    }
    return Result;
}

std::string TFormText::MemoTextUtf8() const { return MemoRawText().toStdString(); }

void TFormText::Hash()
{
    TBusyCursor Busy;
    const TTextEncoding Encoding = SelectedEncoding();
    const QString Raw = MemoRawText();
    std::string Bytes;
    const QString Shown = QString::fromStdString(EncodeText(Raw.toStdString(), Encoding, Bytes));
    // Only a text that did not survive the encoding (a stray surrogate, say)
    // is put back, so that the cursor and the undo history stay otherwise.
    if (Shown != Raw) {
        QString Back = Shown;
        Back.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        MemoText->setPlainText(Back);
    }
    emit TextToHash(QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
}

void TFormText::BitBtnHashClick() { Hash(); }

bool TFormText::FormKeyDown(QKeyEvent* Event)
{
    if ((Event->modifiers() & Qt::ControlModifier) &&
        (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter)) {
        Hash();
        return true;
    }
    return TSorvikForm::FormKeyDown(Event);
}

void TFormText::HandleEncodingChange(bool Checked)
{
    // Both the old and the new button report a change: act once, and only
    // while the user can see the window.
    if (Checked && isVisible())
        Hash();
}

