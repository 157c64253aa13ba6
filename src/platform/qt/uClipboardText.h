// Text the program copies, as other programs read it. A file name that is
// not valid UTF-8 holds a stand-in for each of its stray bytes (see
// uFileNames), which the screen shows as U+FFFD; pasted inside the program
// the name still names the same file. Other programs receive the clipboard
// as UTF-8, and Qt's encoder writes "?" for each stand-in: here they are
// given U+FFFD instead, as on the screen. A target in Latin-1 (X11's
// STRING) has no U+FFFD, so there they stay "?".
#pragma once

#include <QClipboard>
#include <QMimeData>
#include <QObject>

// Text with each lone surrogate (a stand-in for a byte) as U+FFFD.
QString TextForOtherPrograms(const QString& Text);

// Clipboard content with the formats of the content it is made from: its
// text as it was for the program, its text bytes for other programs.
class TClipboardText : public QMimeData {
public:
    explicit TClipboardText(const QMimeData& Content);

protected:
    QVariant retrieveData(const QString& MimeType, QMetaType Type) const override;
};

// While it lives, whatever the program puts on the clipboard or the
// selection (its copy commands, an edit's Ctrl+C, selected text) is offered
// to other programs as TClipboardText when its text holds stand-ins.
class TClipboardGuard : public QObject {
public:
    explicit TClipboardGuard(QObject* Parent = nullptr);

private:
    void Changed(QClipboard::Mode Mode);
};
