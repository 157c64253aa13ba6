#include "app/uTranslationKit.h"

#include "app/uStartFiles.h"

#include "platform/qt/uSystemLanguage.h"
#include "platform/uResourceStrings.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QWidget>


namespace {

// ---- .po parsing -------------------------------------------------------

// An entry as read, before its texts are decoded from the file's charset.
struct TRawEntry {
    QByteArray Context, MsgId, MsgStr;
    QStringList Flags, Identifiers;
    bool HasMsgId = false;
    bool HasContext = false;
};

int HexValue(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

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

std::unique_ptr<TAbstractTranslator>& DesignTranslatorSlot()
{
    static std::unique_ptr<TAbstractTranslator> Slot;
    return Slot;
}

std::unique_ptr<TToolkitTranslator>& ToolkitTranslatorSlot()
{
    static std::unique_ptr<TToolkitTranslator> Slot;
    return Slot;
}

void TranslateResourceStrings(const QString& UnitName, const QString& PoFileName)
{
    if (PoFileName.isEmpty() || !QFileInfo(PoFileName).isFile())
        return;
    try {
        const TPoCatalog Catalog(PoFileName);
        const std::string Unit = LowerCaseAscii(UnitName).toStdString();
        ForEachResourceString([&](TResourceString& S) {
            if (!Unit.empty() && S.UnitName() != Unit)
                return;
            const QString T = Catalog.Translate(QString::fromStdString(S.Identifier()),
                                                QString::fromStdString(S.DefaultText()));
            if (!T.isEmpty())
                S.SetText(T.toStdString());
        });
    } catch (...) {
        // A broken file leaves the texts it has not reached in English.
    }
}

bool IsFlag(const TPoEntry& E, const char* Flag)
{
    return E.Flags.contains(QLatin1String(Flag), Qt::CaseInsensitive);
}

} // namespace

// ---- ASCII helpers ------------------------------------------------------

namespace {

// Moves the letters From..From+25 to To..To+25 and leaves everything else.
QString ShiftAsciiLetters(const QString& S, char16_t From, char16_t To)
{
    QString R = S;
    for (QChar& C : R)
        if (C.unicode() >= From && C.unicode() < From + 26)
            C = QChar(static_cast<char16_t>(C.unicode() - From + To));
    return R;
}

} // namespace

QString UpperCaseAscii(const QString& S)
{
    return ShiftAsciiLetters(S, u'a', u'A');
}

QString LowerCaseAscii(const QString& S)
{
    return ShiftAsciiLetters(S, u'A', u'a');
}

QString TrimControls(const QString& S)
{
    qsizetype First = 0;
    qsizetype Last = S.size();
    while (First < Last && S.at(First).unicode() <= 32)
        ++First;
    while (Last > First && S.at(Last - 1).unicode() <= 32)
        --Last;
    return S.mid(First, Last - First);
}

bool SameTextAscii(const QString& A, const QString& B)
{
    return A.size() == B.size() && LowerCaseAscii(A) == LowerCaseAscii(B);
}

bool StartsWithText(const QString& S, const QString& Prefix)
{
    return S.size() >= Prefix.size() && SameTextAscii(S.left(Prefix.size()), Prefix);
}

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

// ---- design texts -------------------------------------------------------

QString GetTranslationKey(const TDesignProperty& Prop)
{
    if (Prop.WindowClass.isEmpty() || Prop.Property.isEmpty())
        return {};
    QString Key = Prop.WindowClass;
    if (!Prop.Component.isEmpty())
        Key += QLatin1Char('.') + Prop.Component;
    Key += QLatin1Char('.') + Prop.Property;
    return UpperCaseAscii(Key);
}

TTranslator::TTranslator(const QString& PoFileName)
    : FPoFile(std::make_unique<TPoCatalog>(PoFileName))
{
}

void TTranslator::TranslateFormString(const TDesignProperty& Prop, QString& Content)
{
    if (!FPoFile)
        return;
    const QString Key = GetTranslationKey(Prop);
    if (Key.isEmpty())
        return;
    const QString T = FPoFile->Translate(Key, Content);
    if (!T.isEmpty())
        Content = T;
}

TAbstractTranslator* DesignTranslator()
{
    return DesignTranslatorSlot().get();
}

void SetDesignTranslator(std::unique_ptr<TAbstractTranslator> Translator)
{
    DesignTranslatorSlot() = std::move(Translator);
}

QString DesignText(const TDesignProperty& Prop, const QString& English)
{
    TAbstractTranslator* T = DesignTranslator();
    if (!T || English.isEmpty())
        return English;
    QString Content = English;
    T->TranslateFormString(Prop, Content);
    return Content;
}

QString DesignText(const QObject* Window, const QObject* Component, const QString& Property,
                   const QString& English)
{
    TDesignProperty Prop;
    if (Window) {
        // The window's class as declared with Q_OBJECT, without a namespace.
        Prop.WindowClass = QString::fromLatin1(Window->metaObject()->className());
        const qsizetype Colon = Prop.WindowClass.lastIndexOf(QLatin1Char(':'));
        if (Colon >= 0)
            Prop.WindowClass = Prop.WindowClass.mid(Colon + 1);
    }
    if (Component && Component != Window)
        Prop.Component = Component->objectName();
    Prop.Property = Property;
    return DesignText(Prop, English);
}

void SetDesignText(QObject* Window, QObject* Component, const QString& Property,
                   const QString& English)
{
    if (!Component)
        return;
    const QString T = DesignText(Window, Component, Property, English);
    const bool IsWindow = Component == Window;
    if (SameTextAscii(Property, QStringLiteral("Caption"))) {
        if (auto* A = qobject_cast<QAction*>(Component))
            A->setText(T);
        else if (auto* M = qobject_cast<QMenu*>(Component); M && !IsWindow)
            M->setTitle(T);
        else if (auto* G = qobject_cast<QGroupBox*>(Component))
            G->setTitle(T);
        else if (auto* B = qobject_cast<QAbstractButton*>(Component))
            B->setText(T);
        else if (auto* L = qobject_cast<QLabel*>(Component))
            L->setText(T);
        else if (auto* W = qobject_cast<QWidget*>(Component))
            W->setWindowTitle(T);
    } else if (SameTextAscii(Property, QStringLiteral("Hint"))) {
        if (auto* A = qobject_cast<QAction*>(Component)) {
            A->setToolTip(T);
            A->setStatusTip(T);
        } else if (auto* W = qobject_cast<QWidget*>(Component)) {
            W->setToolTip(T);
            W->setStatusTip(T);
        }
    } else if (SameTextAscii(Property, QStringLiteral("TextHint"))) {
        Component->setProperty("placeholderText", T);
    } else if (auto* P = qobject_cast<QPlainTextEdit*>(Component);
               P && SameTextAscii(Property, QStringLiteral("Text"))) {
        P->setPlainText(T);
    } else {
        // "Text" of edits and labels, and any other property by its Qt name.
        QByteArray Name = Property.toLatin1();
        if (!Name.isEmpty())
            Name[0] = static_cast<char>(QChar::toLower(static_cast<uint>(Name[0])));
        Component->setProperty(Name.constData(), T);
    }
}

// ---- resource strings ---------------------------------------------------

void TranslateProgramStrings(const QString& PoFileName)
{
    TranslateResourceStrings(QString(), PoFileName);
}

void TranslateUnitStrings(const QString& UnitName, const QString& PoFileName)
{
    if (UnitName.isEmpty())
        return;
    TranslateResourceStrings(UnitName, PoFileName);
}

// ---- the toolkit's texts ------------------------------------------------

TToolkitTranslator::TToolkitTranslator(const QString& PoFileName, QObject* Parent)
    : QTranslator(Parent), FCatalog(PoFileName)
{
}

QString TToolkitTranslator::translate(const char* Context, const char* SourceText,
                                      const char* /*Disambiguation*/, int /*N*/) const
{
    const QString Source = QString::fromUtf8(SourceText);
    // The direction is set by the program itself, never by a translation.
    if (Source == QLatin1String("QT_LAYOUT_DIRECTION"))
        return QString();
    return FCatalog.TranslateInContext(QString::fromUtf8(Context), Source);
}

bool TToolkitTranslator::isEmpty() const
{
    return FCatalog.Entries().isEmpty();
}

void SetTranslationFile(const QString& PoFileName)
{
    SetDesignTranslator(nullptr);
    TranslateProgramStrings(PoFileName);
    SetDesignTranslator(std::make_unique<TTranslator>(PoFileName));
}

void TranslateUnitFromFile(const QString& UnitName, const QString& PoFileName)
{
    TranslateUnitStrings(UnitName, PoFileName);
    if (!SameTextAscii(UnitName, QStringLiteral("LCLStrConsts")) || PoFileName.isEmpty()
        || !QFileInfo(PoFileName).isFile())
        return;
    auto& Slot = ToolkitTranslatorSlot();
    Slot = std::make_unique<TToolkitTranslator>(PoFileName);
    if (QCoreApplication::instance())
        QCoreApplication::installTranslator(Slot.get());
}

void ReleaseTranslation()
{
    SetDesignTranslator(nullptr);
    auto& Slot = ToolkitTranslatorSlot();
    if (Slot && QCoreApplication::instance())
        QCoreApplication::removeTranslator(Slot.get());
    Slot.reset();
}

// ---- the requested language ---------------------------------------------

TLanguageSources TLanguageSources::FromProcess(const QStringList& Arguments)
{
    TLanguageSources S;
    S.Arguments = Arguments;
    S.LangVariable = qEnvironmentVariable("LANG");
    QuerySystemLanguage(S.SystemLanguageId, S.SystemLanguageCode);
    return S;
}

QString LocaleLanguageAndCountry(const QString& Value)
{
    qsizetype Cut = Value.size();
    for (QChar C : {QLatin1Char('.'), QLatin1Char('@')}) {
        const qsizetype At = Value.indexOf(C);
        if (At >= 0 && At < Cut)
            Cut = At;
    }
    return Value.left(Cut);
}

bool IsValidLanguageCode(const QString& Code)
{
    if (Code.isEmpty() || Code.contains(QLatin1String("..")))
        return false;
    for (QChar C : Code) {
        const char16_t U = C.unicode();
        const bool Ok = (U >= 'a' && U <= 'z') || (U >= 'A' && U <= 'Z') || (U >= '0' && U <= '9')
                        || U == '_' || U == '-' || U == '.' || U == '@';
        if (!Ok)
            return false;
    }
    return true;
}

bool GetRequestedLanguage(const TLanguageSources& Sources, QString& Lang, QString& FallbackLang)
{
    Lang.clear();
    FallbackLang.clear();

    const QStringList& Args = Sources.Arguments;
    for (qsizetype I = 0; I < Args.size(); ++I) {
        if (StartsWithText(Args[I], QStringLiteral("--LANG="))) {
            Lang = Args[I].mid(7);
        } else if (SameTextAscii(Args[I], QStringLiteral("--LANG")) && I + 1 < Args.size()) {
            Lang = Args[I + 1];
            ++I;
        }
    }
    if (!IsValidLanguageCode(Lang))
        Lang.clear();

    if (Lang.isEmpty()) {
        Lang = LocaleLanguageAndCountry(Sources.LangVariable);
        // "C" and "POSIX" name no language: the system decides.
        if (Lang == QLatin1String("C") || Lang == QLatin1String("POSIX") || !IsValidLanguageCode(Lang))
            Lang.clear();
    }

    if (Lang.isEmpty()) {
        Lang = Sources.SystemLanguageId;
        FallbackLang = Sources.SystemLanguageCode;
        if (!IsValidLanguageCode(Lang))
            Lang.clear();
        if (!IsValidLanguageCode(FallbackLang))
            FallbackLang.clear();
    }
    return !Lang.isEmpty() || !FallbackLang.isEmpty();
}
