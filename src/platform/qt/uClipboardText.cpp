#include "platform/qt/uClipboardText.h"

#include <QGuiApplication>

QString TextForOtherPrograms(const QString& Text)
{
    QString Out = Text;
    for (qsizetype I = 0; I < Out.size(); ++I) {
        const char16_t U = Out[I].unicode();
        if (QChar::isHighSurrogate(U) && I + 1 < Out.size() && QChar::isLowSurrogate(Out[I + 1].unicode()))
            ++I;
        else if (QChar::isSurrogate(U))
            Out[I] = QChar::ReplacementCharacter;
    }
    return Out;
}

TClipboardText::TClipboardText(const QMimeData& Content)
{
    for (const QString& Format : Content.formats()) {
        if (Format == QLatin1String("text/plain"))
            setText(Content.text());
        else
            setData(Format, Content.data(Format));
    }
}

QVariant TClipboardText::retrieveData(const QString& MimeType, QMetaType Type) const
{
    // The program reads the text as a string; other programs ask for bytes.
    if (MimeType == QLatin1String("text/plain") && Type.id() == QMetaType::QByteArray)
        return TextForOtherPrograms(text()).toUtf8();
    return QMimeData::retrieveData(MimeType, Type);
}

TClipboardGuard::TClipboardGuard(QObject* Parent) : QObject(Parent)
{
    // Queued: the clipboard is not changed again from inside its own change.
    if (QClipboard* Clipboard = QGuiApplication::clipboard())
        connect(Clipboard, &QClipboard::changed, this, &TClipboardGuard::Changed, Qt::QueuedConnection);
}

void TClipboardGuard::Changed(QClipboard::Mode Mode)
{
    QClipboard* Clipboard = QGuiApplication::clipboard();
    // Content another program owns is not read: asking it costs a round trip.
    const bool Ours = (Mode == QClipboard::Clipboard && Clipboard->ownsClipboard())
                      || (Mode == QClipboard::Selection && Clipboard->ownsSelection());
    const QMimeData* Content = Ours ? Clipboard->mimeData(Mode) : nullptr;
    if (!Content || dynamic_cast<const TClipboardText*>(Content) || !Content->hasText())
        return;
    const QString Text = Content->text();
    if (TextForOtherPrograms(Text) != Text)
        Clipboard->setMimeData(new TClipboardText(*Content), Mode);
}
