#include "app/uPoCatalog.h"

#include "app/uStartFiles.h"
#include "app/uTranslationKit.h"
#include "engine/uStrUtils.h"
#include "platform/uResourceStrings.h"

#include <QFile>
#include <QStringDecoder>

namespace {

// ---- .po parsing -------------------------------------------------------

// An entry as read, before its texts are decoded from the file's charset.
struct TRawEntry {
    QByteArray Context, MsgId, MsgStr;
    QStringList Flags, Identifiers;
    bool HasMsgId = false;
    bool HasContext = false;
};

// Resolves the C escapes of gettext's strings; "\n" is a line feed.
QByteArray UnescapeCString(const QByteArray& S)
{
    QByteArray R;
    R.reserve(S.size());
    for (qsizetype I = 0; I < S.size(); ++I) {
        const char C = S[I];
        if (C != '\\') {
            R += C;
            continue;
        }
        if (++I >= S.size())
            break;
        const char E = S[I];
        switch (E) {
        case 'n': R += '\n'; break;
        case 't': R += '\t'; break;
        case 'r': R += '\r'; break;
        case 'a': R += '\a'; break;
        case 'b': R += '\b'; break;
        case 'f': R += '\f'; break;
        case 'v': R += '\v'; break;
        case 'x': {
            int V = 0, N = 0;
            while (I + 1 < S.size() && HexValue(S[I + 1]) >= 0 && N < 2) {
                V = V * 16 + HexValue(S[++I]);
                ++N;
            }
            R += N ? static_cast<char>(V) : 'x';
            break;
        }
        default:
            if (E >= '0' && E <= '7') {
                int V = E - '0', N = 1;
                while (I + 1 < S.size() && S[I + 1] >= '0' && S[I + 1] <= '7' && N < 3) {
                    V = V * 8 + (S[++I] - '0');
                    ++N;
                }
                R += static_cast<char>(V & 0xFF);
            } else {
                R += E; // \" \\ and anything else: the character itself
            }
        }
    }
    return R;
}

// The text between the first quote of Line and its closing quote, unescaped.
QByteArray QuotedText(const QByteArray& Line)
{
    const qsizetype Open = Line.indexOf('"');
    if (Open < 0)
        return {};
    QByteArray Raw;
    for (qsizetype I = Open + 1; I < Line.size(); ++I) {
        const char C = Line[I];
        if (C == '\\' && I + 1 < Line.size()) {
            Raw += C;
            Raw += Line[++I];
            continue;
        }
        if (C == '"')
            break;
        Raw += C;
    }
    return UnescapeCString(Raw);
}

QList<QByteArray> SplitLines(const QByteArray& Data)
{
    QList<QByteArray> Lines;
    qsizetype Start = 0;
    for (qsizetype I = 0; I < Data.size(); ++I) {
        const char C = Data[I];
        if (C == '\r' || C == '\n') {
            Lines.append(Data.mid(Start, I - Start));
            if (C == '\r' && I + 1 < Data.size() && Data[I + 1] == '\n')
                ++I;
            Start = I + 1;
        }
    }
    if (Start < Data.size())
        Lines.append(Data.mid(Start));
    return Lines;
}

QString CharsetOfHeader(const QByteArray& Header)
{
    const QByteArray Lower = Header.toLower();
    const qsizetype At = Lower.indexOf("charset=");
    if (At < 0)
        return {};
    qsizetype I = At + 8;
    QByteArray Name;
    while (I < Header.size() && !QChar::isSpace(static_cast<uchar>(Header[I])) && Header[I] != ';')
        Name += Header[I++];
    return QString::fromLatin1(Name);
}

// The file's own UTF-8 byte-order mark, once; a second one is text.
QByteArray WithoutByteOrderMark(const QByteArray& Data)
{
    return Data.startsWith("\xEF\xBB\xBF") ? Data.mid(3) : Data;
}

// The declared charset's decoder; UTF-8 for none, gettext's "CHARSET"
// placeholder or a name the platform does not know.
QStringDecoder PoDecoder(const QString& Charset)
{
    const auto Flags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
    if (!Charset.isEmpty() && Charset.compare(QLatin1String("CHARSET"), Qt::CaseInsensitive) != 0) {
        QStringDecoder Decoder(Charset.toLatin1().constData(), Flags);
        if (Decoder.isValid())
            return Decoder;
    }
    return QStringDecoder(QStringConverter::Utf8, Flags);
}

bool IsFlag(const TPoEntry& E, const char* Flag)
{
    return E.Flags.contains(QLatin1String(Flag), Qt::CaseInsensitive);
}

} // namespace

// ---- TPoCatalog ---------------------------------------------------------

TPoCatalog::TPoCatalog(const QString& FileName)
{
    LoadFromFile(FileName);
}

bool TPoCatalog::LoadFromFile(const QString& FileName)
{
    QByteArray Data;
    const bool Read = ReadStartFile(FileName, Data);
    LoadFromData(Data);
    return Read;
}

void TPoCatalog::LoadFromData(const QByteArray& Data)
{
    FEntries.clear();
    FByIdentifier.clear();
    FByMsgId.clear();
    FByContextMsgId.clear();
    FCharset.clear();

    const QByteArray Text = WithoutByteOrderMark(Data);

    QVector<TRawEntry> Raw;
    TRawEntry Cur;
    QByteArray Ignored;
    QByteArray* Field = nullptr;

    auto Finish = [&]() {
        if (Cur.HasMsgId)
            Raw.append(Cur);
        Cur = TRawEntry{};
        Field = nullptr;
    };

    for (const QByteArray& Line0 : SplitLines(Text)) {
        const QByteArray Line = Line0.trimmed();
        if (Line.isEmpty()) {
            Finish();
            continue;
        }
        if (Line.startsWith('#')) {
            if (Cur.HasMsgId || Cur.HasContext)
                Finish();
            Field = nullptr;
            if (Line.startsWith("#,")) {
                for (const QByteArray& F : Line.mid(2).split(','))
                    if (!F.trimmed().isEmpty())
                        Cur.Flags.append(QString::fromLatin1(F.trimmed()));
            } else if (Line.startsWith("#:")) {
                for (const QByteArray& R : Line.mid(2).simplified().split(' '))
                    if (!R.isEmpty())
                        Cur.Identifiers.append(QString::fromUtf8(R));
            }
            continue; // "#~" obsolete entries and other comments are dropped
        }
        if (Line.startsWith('"')) {
            if (Field)
                *Field += QuotedText(Line);
            continue;
        }
        if (Line.startsWith("msgctxt")) {
            if (Cur.HasMsgId)
                Finish();
            Cur.HasContext = true;
            Cur.Context = QuotedText(Line);
            Field = &Cur.Context;
        } else if (Line.startsWith("msgid_plural")) {
            Ignored = QuotedText(Line);
            Field = &Ignored;
        } else if (Line.startsWith("msgid")) {
            if (Cur.HasMsgId)
                Finish();
            Cur.HasMsgId = true;
            Cur.MsgId = QuotedText(Line);
            Field = &Cur.MsgId;
        } else if (Line.startsWith("msgstr[")) {
            const bool First = Line.startsWith("msgstr[0]");
            if (First) {
                Cur.MsgStr = QuotedText(Line);
                Field = &Cur.MsgStr;
            } else {
                Ignored = QuotedText(Line);
                Field = &Ignored;
            }
        } else if (Line.startsWith("msgstr")) {
            Cur.MsgStr = QuotedText(Line);
            Field = &Cur.MsgStr;
        } else {
            Field = nullptr; // not part of the format: skipped
        }
    }
    Finish();

    for (const TRawEntry& E : Raw)
        if (E.MsgId.isEmpty() && E.Context.isEmpty()) {
            FCharset = CharsetOfHeader(E.MsgStr);
            break;
        }

    // Each string is decoded whole and on its own: a U+FEFF at its start is
    // text (only the file's own byte-order mark was dropped above), and an
    // incomplete sequence at its end becomes U+FFFD instead of vanishing.
    QStringDecoder Decoder = PoDecoder(FCharset);
    auto Decode = [&](const QByteArray& B) {
        Decoder.resetState();
        return QString(Decoder.decode(B));
    };

    for (const TRawEntry& R : Raw) {
        TPoEntry E;
        E.Context = Decode(R.Context);
        E.MsgId = Decode(R.MsgId);
        E.MsgStr = Decode(R.MsgStr);
        E.Flags = R.Flags;
        E.Identifiers = R.Identifiers;
        const int Index = static_cast<int>(FEntries.size());
        FEntries.append(E);
        if (E.MsgId.isEmpty())
            continue; // the header: never a translation
        for (const QString& Id : E.Identifiers)
            if (!FByIdentifier.contains(LowerCaseAscii(Id)))
                FByIdentifier.insert(LowerCaseAscii(Id), Index);
        // As in gettext, an entry with a context answers only a look-up in
        // that context; identifiers are unique and match either kind.
        if (!R.HasContext) {
            if (!FByMsgId.contains(E.MsgId))
                FByMsgId.insert(E.MsgId, Index);
        } else {
            const QString Key = E.Context + QChar(4) + E.MsgId;
            if (!FByContextMsgId.contains(Key))
                FByContextMsgId.insert(Key, Index);
        }
    }
}

QString PoFileText(const QByteArray& Data)
{
    TPoCatalog Catalog;
    Catalog.LoadFromData(Data);
    QStringDecoder Decoder = PoDecoder(Catalog.Charset());
    return Decoder.decode(WithoutByteOrderMark(Data));
}

QString TPoCatalog::Usable(const TPoEntry& E, const QString& Text) const
{
    if (IsFlag(E, "fuzzy") || IsFlag(E, "badformat"))
        return Text;
    const QString& R = E.MsgStr.isEmpty() ? E.MsgId : E.MsgStr;
    if (!SamePlaceholders(Text.toStdString(), R.toStdString()))
        return Text;
    return R;
}

QString TPoCatalog::Translate(const QString& Identifier, const QString& Text) const
{
    if (Text.isEmpty())
        return Text;
    int Index = -1;
    if (!Identifier.isEmpty())
        Index = FByIdentifier.value(LowerCaseAscii(Identifier), -1);
    if (Index < 0)
        Index = FByMsgId.value(Text, -1);
    if (Index < 0)
        return Text;
    return Usable(FEntries[Index], Text);
}

QString TPoCatalog::TranslateInContext(const QString& Context, const QString& Text) const
{
    if (Text.isEmpty())
        return {};
    int Index = FByContextMsgId.value(Context + QChar(4) + Text, -1);
    if (Index < 0)
        Index = FByMsgId.value(Text, -1);
    if (Index < 0 || FEntries[Index].MsgStr.isEmpty())
        return {};
    const QString R = Usable(FEntries[Index], Text);
    return R == Text ? QString() : R;
}
