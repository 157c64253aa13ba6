// A gettext .po file as a catalogue: its entries read from the charset its
// header declares, and the look-ups the translations use.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// One entry of a .po file.
struct TPoEntry {
    QString Context;       // msgctxt
    QString MsgId;         // the English text
    QString MsgStr;        // the translation (msgstr or msgstr[0])
    QStringList Flags;     // from "#," comments
    QStringList Identifiers; // from "#:" comments
};

class TPoCatalog {
public:
    TPoCatalog() = default;
    explicit TPoCatalog(const QString& FileName);

    // Reads the file's entries; False when it cannot be read (the catalogue
    // is then empty).
    bool LoadFromFile(const QString& FileName);
    // Parses the raw bytes of a .po file; texts are converted to UTF-8
    // from the charset the header's "Content-Type:" declares.
    void LoadFromData(const QByteArray& Data);

    // The entry for Identifier (case of ASCII letters ignored), else the one
    // whose msgid equals Text; Text itself when there is none, when the
    // entry is fuzzy or badformat, or when the translation's placeholders
    // differ from those of Text. An empty msgstr gives the msgid. The empty
    // Text is never looked up.
    QString Translate(const QString& Identifier, const QString& Text) const;
    // The toolkit's look-up: msgctxt and msgid, then msgid alone; a null
    // string when there is no usable translation.
    QString TranslateInContext(const QString& Context, const QString& Text) const;

    const QVector<TPoEntry>& Entries() const { return FEntries; }
    const QString& Charset() const { return FCharset; }

private:
    QString Usable(const TPoEntry& E, const QString& Text) const;

    QVector<TPoEntry> FEntries;
    QHash<QString, int> FByIdentifier;
    QHash<QString, int> FByMsgId;
    QHash<QString, int> FByContextMsgId;
    QString FCharset;
};

// A whole .po file as text by the catalogue's rule: one leading UTF-8
// byte-order mark dropped, the rest decoded from the charset its header
// declares. For readers of the raw lines, such as the language header's.
QString PoFileText(const QByteArray& Data);
