// The template of every translatable text: the program's resource strings
// and the design texts its windows ask for while they are built. The build
// writes it into "Languages"; translations are merged from it.
#pragma once

#include "app/uTranslationKit.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// One text of the template with every place that asks for it: design keys
// and resource-string identifiers, in lower case.
struct TTemplateEntry {
    QString MsgId;
    QStringList References;
    bool PascalFormat = false; // holds "%s"-style placeholders
};

class TLanguageTemplate {
public:
    // Texts are kept in the order first added; the same English text asked
    // for in several places is one entry with several references.
    void Add(const QString& Reference, const QString& Text);
    // Every resource string of the program, sorted by identifier.
    void AddResourceStrings();
    // The English texts written as literals into design-text calls in the
    // sources under Folder: a window may ask for some (a dialog's title)
    // only when the user opens it, long after it was built.
    void AddSourceLiterals(const QString& Folder);

    const QVector<TTemplateEntry>& Entries() const { return FEntries; }
    // The whole template in gettext's PO format, UTF-8, LF line ends.
    QByteArray ToPot() const;

private:
    QVector<TTemplateEntry> FEntries;
};

// Records every design text asked for while it is installed, and leaves the
// English text unchanged.
class TRecordingTranslator : public TAbstractTranslator {
public:
    explicit TRecordingTranslator(TLanguageTemplate* Target) : FTarget(Target) {}
    void TranslateFormString(const TDesignProperty& Prop, QString& Content) override;

private:
    TLanguageTemplate* FTarget;
};

// Builds every window of the program the way start-up does, hidden, and
// destroys them again; the design translator in place sees every design
// text. Returns the number of windows built.
int BuildEveryWindow(const std::function<void()>& WhileBuilt = {});

// Design texts and resource strings of the whole program; SourceFolder, when
// given, adds the literals of its design-text calls.
TLanguageTemplate CollectLanguageTemplate(const QString& SourceFolder = {});

// The design-text calls of one source text: for each call whose English
// text is a literal, its reference (or empty when the call does not show
// it) and the text. FileName gives the window class of "this".
struct TSourceDesignText {
    QString Reference;
    QString Text;
};
QVector<TSourceDesignText> ScanDesignTextCalls(const QString& FileName, const QByteArray& Source);

// A text quoted for a .po file, split after each line break.
QByteArray PoQuoted(const QString& Keyword, const QString& Text);
