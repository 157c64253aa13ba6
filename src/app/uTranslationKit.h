// Translation from gettext .po files (the catalogue is uPoCatalog): the program's
// resource strings, the translator every window's design texts pass
// through, and the toolkit's own texts.
#pragma once

#include "app/uPoCatalog.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <QVector>

#include <memory>

class QObject;

// The three parts of a design text's key: the window's class, the
// component (empty for the window's own properties) and the property, with
// a collection index written into it ("Columns[0].Caption").
struct TDesignProperty {
    QString WindowClass;
    QString Component;
    QString Property;
};

// "TFORMMAIN.ACTIONADDFILES.CAPTION"; the window's own properties have no
// component part.
QString GetTranslationKey(const TDesignProperty& Prop);

class TAbstractTranslator {
public:
    virtual ~TAbstractTranslator() = default;
    // Replaces Content, the English design text of Prop, by its translation.
    virtual void TranslateFormString(const TDesignProperty& Prop, QString& Content) = 0;
};

class TTranslator : public TAbstractTranslator {
public:
    explicit TTranslator(const QString& PoFileName);
    void TranslateFormString(const TDesignProperty& Prop, QString& Content) override;
    const TPoCatalog& PoFile() const { return *FPoFile; }

private:
    std::unique_ptr<TPoCatalog> FPoFile;
};

// The process-wide slot that every design text consults; empty until a
// translation is loaded.
TAbstractTranslator* DesignTranslator();
void SetDesignTranslator(std::unique_ptr<TAbstractTranslator> Translator);

// The one way a window sets a design text: Window's class name (the window
// class declares Q_OBJECT), the component's objectName and the property
// form the key. Pass the window
// itself as Component for its own properties.
QString DesignText(const QObject* Window, const QObject* Component, const QString& Property,
                   const QString& English);
QString DesignText(const TDesignProperty& Prop, const QString& English);
// DesignText, then stores the result into the widget or action: "Caption"
// becomes the text, title or window title, "Hint" the tool and status tip,
// "Text" the text of an edit, "TextHint" its placeholder.
void SetDesignText(QObject* Window, QObject* Component, const QString& Property,
                   const QString& English);

// Every resource string of the program takes its translation from the file
// (by identifier, then by English default text); nothing when the name is
// empty or the file is missing.
void TranslateProgramStrings(const QString& PoFileName);
// The same for the resource strings of one unit.
void TranslateUnitStrings(const QString& UnitName, const QString& PoFileName);

// The toolkit's own texts (standard buttons, dialogs) from its .po file.
class TToolkitTranslator : public QTranslator {
public:
    explicit TToolkitTranslator(const QString& PoFileName, QObject* Parent = nullptr);
    QString translate(const char* Context, const char* SourceText, const char* Disambiguation,
                      int N) const override;
    bool isEmpty() const override;

private:
    TPoCatalog FCatalog;
};

// Translates the program's texts from the file and installs a design
// translator over it.
void SetTranslationFile(const QString& PoFileName);
// Translates the texts of one unit; for the toolkit's unit "LCLStrConsts"
// also installs the toolkit translator over the file.
void TranslateUnitFromFile(const QString& UnitName, const QString& PoFileName);
// Removes the design translator and the toolkit translator (shutdown).
void ReleaseTranslation();

// Where the requested language comes from; filled from the process by
// TLanguageSources::FromProcess, fixed by tests.
struct TLanguageSources {
    QStringList Arguments;     // after the program path
    QString LangVariable;      // value of "LANG", empty when unset
    QString SystemLanguageId;  // such as de_DE
    QString SystemLanguageCode; // such as de

    static TLanguageSources FromProcess(const QStringList& Arguments);
};

// The language asked for by "--LANG=" / "--LANG" (last one wins), else by
// "LANG", else by the system; True when either result is non-empty.
bool GetRequestedLanguage(const TLanguageSources& Sources, QString& Lang, QString& FallbackLang);

// "pt_BR.UTF-8" and "de_DE@euro" as "pt_BR" and "de_DE".
QString LocaleLanguageAndCountry(const QString& Value);
// Letters, digits, "_", "-", "." and "@", no "..": a code that can become
// part of a file name without leaving its folder or acting as a wildcard.
bool IsValidLanguageCode(const QString& Code);

// Comparisons and case changes that touch ASCII letters only, as codes,
// identifiers and keys need.
bool StartsWithText(const QString& S, const QString& Prefix);
bool SameTextAscii(const QString& A, const QString& B);
QString UpperCaseAscii(const QString& S);
QString LowerCaseAscii(const QString& S);
// Leading and trailing characters 0 to 32 removed; those inside stay.
QString TrimControls(const QString& S);
