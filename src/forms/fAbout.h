// The about box: name, version, release date, authors and two links. A
// right-button click on the header's background copies a one-line
// identification of the program.
#pragma once

#include "forms/uFormBase.h"

#include <QString>

class QFrame;
class QLabel;
class TAboutHeader;

class TFormAbout : public TSorvikForm {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* Parent = nullptr);
    ~TFormAbout() override;

    // Fixed texts, not translated.
    static const char* const AuthorName;
    static const char* const SupportEmail;
    static const char* const WebSite;

    // "Sorvik 1.2 (2026-05-24)": what the header's right-button click copies.
    static QString IdentificationLine();

private:
    void FormCreate();
    void Panel_HeaderMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& Pos);
    void Label_EmailClick();
    void Label_WebsiteClick();

    TAboutHeader* Panel_Header = nullptr;
    QLabel* Image_Icon = nullptr;
    QLabel* Label_Title = nullptr;
    QLabel* Label_Version = nullptr;
    QLabel* Label_Date = nullptr;
    QFrame* Bevel_Header = nullptr;
    QLabel* Label_Author2 = nullptr;
    QLabel* Label_Author = nullptr;
    QLabel* Label_Email2 = nullptr;
    QLabel* Label_Email = nullptr;
    QLabel* Label_Website2 = nullptr;
    QLabel* Label_Website = nullptr;
};
