// The text hashing window: typed or pasted text, turned into bytes in the
// chosen encoding and hashed by the main window.
#pragma once

#include "engine/uStrUtils.h"
#include "forms/uFormBase.h"

#include <string>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class TFormText : public TSorvikForm {
    Q_OBJECT
public:
    explicit TFormText(QWidget* Parent = nullptr);

    // Hashes the memo's text in the selected encoding through the main
    // window; the memo then shows exactly what was hashed.
    void Hash();
    TTextEncoding SelectedEncoding() const;
    // The memo's text as UTF-8, lines joined by CR LF, no break added after
    // the last line; every character kept as typed (no-break spaces too).
    std::string MemoTextUtf8() const;

    QPushButton* BitBtnHash = nullptr;
    QGroupBox* GroupBoxEncoding = nullptr;
    QRadioButton* RB_EncodingUTF8 = nullptr;
    QRadioButton* RB_EncodingUnicode = nullptr;
    QRadioButton* RB_EncodingANSI = nullptr;
    QPlainTextEdit* MemoText = nullptr;

signals:
    // The bytes to hash, in the chosen encoding.
    void TextToHash(const QByteArray& Data);

protected:
    bool FormKeyDown(QKeyEvent* Event) override;

private:
    QString MemoRawText() const;
    void BitBtnHashClick();
    void HandleEncodingChange(bool Checked);
};
