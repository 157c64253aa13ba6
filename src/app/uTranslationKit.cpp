#include "app/uTranslationKit.h"

#include "app/uStartFiles.h"

#include "platform/qt/uFileNames.h"
#include "platform/qt/uSystemLanguage.h"
#include "platform/uPlatformFiles.h"
#include "platform/uResourceStrings.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QWidget>


namespace {

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
    if (PoFileName.isEmpty() || !IsRegularFile(QStringToFileName(PoFileName)))
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
        || !IsRegularFile(QStringToFileName(PoFileName)))
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
