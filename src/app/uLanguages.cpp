#include "app/uLanguages.h"

#include "app/uStartFiles.h"
#include "app/uTranslationKit.h"
#include "platform/qt/uFileNames.h"
#include "platform/uPlatformFiles.h"

#include <QAction>
#include <QCollator>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QMetaMethod>
#include <QPixmap>

#include <algorithm>
#include <filesystem>
#include <system_error>

TLanguages Languages;

namespace {

bool IsDelimiter(QChar C)
{
    return C.unicode() < 0x80 && IsPathDelimiter(static_cast<char>(C.unicode()));
}

QString WithDelimiter(const QString& Folder)
{
    if (Folder.isEmpty() || IsDelimiter(Folder.back()))
        return Folder;
    return Folder + QLatin1Char(PathDelimiters[0]);
}

// Where the name of Path starts, after its folder.
qsizetype NameStart(const QString& Path)
{
    qsizetype Start = Path.size();
    while (Start > 0 && !IsDelimiter(Path.at(Start - 1)))
        --Start;
    return Start;
}

// The names of the regular files in Folder (links followed, hidden ones
// too), sorted by name; read by the names' bytes, so that a folder or a
// file whose name is not UTF-8 is found all the same.
QStringList FileNamesIn(const QString& Folder)
{
    QStringList Names;
    std::error_code Error;
    std::filesystem::directory_iterator It(SystemPath(QStringToFileName(Folder.isEmpty() ? QStringLiteral(".") : Folder)),
                                           Error);
    for (; !Error && It != std::filesystem::directory_iterator(); It.increment(Error)) {
        std::error_code Ignored;
        if (It->is_regular_file(Ignored))
            Names.append(FileNameToQString(SystemPathName(It->path().filename())));
    }
    Names.sort();
    return Names;
}

// Masks here are "*" followed by a fixed ending; "*" may stand for nothing.
bool MatchesMask(const QString& Name, const QString& Mask)
{
    return Mask.startsWith(QLatin1Char('*')) && Name.endsWith(Mask.mid(1), Qt::CaseInsensitive);
}

// Path itself when it names a file, else the first file of its folder whose
// name is the same but for the case of ASCII letters, as the program's own
// file is found whatever the case of the stored code; empty when none is.
QString FileIgnoringCase(const QString& Path)
{
    if (IsRegularFile(QStringToFileName(Path)))
        return Path;
    const QString Folder = Path.left(NameStart(Path));
    const QString Wanted = Path.mid(Folder.size());
    for (const QString& Name : FileNamesIn(Folder))
        if (SameTextAscii(Name, Wanted))
            return Folder + Name;
    return {};
}

// Full paths of the files in Folder (not its sub-folders) that match Mask.
QStringList FilesMatching(const QString& Folder, const QString& Mask)
{
    QStringList Result;
    if (Folder.isEmpty())
        return Result;
    for (const QString& Name : FileNamesIn(Folder))
        if (MatchesMask(Name, Mask))
            Result.append(WithDelimiter(Folder) + Name);
    return Result;
}

// Text from position From up to, not including, the last character.
QString InnerText(const QString& Line, qsizetype From)
{
    const qsizetype Length = Line.size() - 1 - From;
    return Length > 0 ? Line.mid(From, Length) : QString();
}

QStringList TextLines(const QByteArray& Data)
{
    QString Text = PoFileText(Data);
    Text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList Lines = Text.split(QLatin1Char('\n'));
    if (!Lines.isEmpty() && Lines.last().isEmpty())
        Lines.removeLast();
    return Lines;
}

} // namespace

void ClearLanguageInfo(TLanguageInfo& Info)
{
    Info = TLanguageInfo{};
}

// ---- reading one file ---------------------------------------------------

QString UnescapePoString(const QString& S)
{
    QString R;
    R.reserve(S.size());
    for (qsizetype I = 0; I < S.size(); ++I) {
        const QChar C = S[I];
        if (C != QLatin1Char('\\')) {
            R += C;
            continue;
        }
        if (++I >= S.size())
            break; // a backslash that ends the piece gives nothing
        const QChar E = S[I];
        if (E == QLatin1Char('n'))
            R += QLatin1String("\r\n");
        else if (E == QLatin1Char('t'))
            R += QLatin1Char('\t');
        else
            R += E;
    }
    return R;
}

bool ReadPoHeader(const QString& FileName, QStringList& Lines)
{
    Lines.clear();
    QByteArray Data;
    if (!ReadStartFile(FileName, Data))
        return false; // an unreadable file is no language file
    enum { LookingForHeader, LookingForTranslation, Continuation } State = LookingForHeader;
    bool Result = false;
    for (const QString& Line : TextLines(Data)) {
        if (State == LookingForHeader) {
            if (HasPrefix(Line, QStringLiteral("msgid \"\"")))
                State = LookingForTranslation;
        } else if (State == LookingForTranslation) {
            if (HasPrefix(Line, QStringLiteral("msgstr \""))) {
                Result = true;
                Lines.append(UnescapePoString(InnerText(Line, 8)));
                State = Continuation;
            }
        } else {
            if (!Line.startsWith(QLatin1Char('"')))
                break;
            Lines.append(UnescapePoString(InnerText(Line, 1)));
        }
    }
    return Result;
}

QString CodeFromFileName(const QString& FileName)
{
    QString Name = FileName.mid(NameStart(FileName));
    const qsizetype Dot = Name.lastIndexOf(QLatin1Char('.'));
    if (Dot < 0 || !SameTextAscii(Name.mid(Dot), QStringLiteral(".po")))
        return {};
    Name.truncate(Dot);
    const qsizetype Dot2 = Name.lastIndexOf(QLatin1Char('.'));
    return Dot2 < 0 ? QString() : Name.mid(Dot2 + 1);
}

bool HasPrefix(const QString& S, const QString& Prefix)
{
    return S.startsWith(Prefix);
}

bool HasPrefixText(const QString& S, const QString& Prefix)
{
    return StartsWithText(S, Prefix);
}

bool ReadLanguageInfo(const QString& FileName, TLanguageInfo& Info)
{
    ClearLanguageInfo(Info);
    Info.FileName = FileName;
    Info.Code = CodeFromFileName(FileName);
    if (Info.Code.isEmpty())
        return false;
    QStringList Lines;
    if (!ReadPoHeader(FileName, Lines))
        return false;
    const struct {
        const char* Key;
        QString TLanguageInfo::*Field;
    } Keys[] = {
        {"Language:", &TLanguageInfo::Language},
        {"X-Language-Name:", &TLanguageInfo::LanguageName},
        {"X-Language-Name-Native:", &TLanguageInfo::LanguageNameNative},
        {"X-Country:", &TLanguageInfo::Country},
        {"X-Country-Name:", &TLanguageInfo::CountryName},
        {"X-Translators:", &TLanguageInfo::Translators},
    };
    for (const QString& Line : Lines)
        for (const auto& K : Keys) {
            const QString Key = QLatin1String(K.Key);
            if (HasPrefixText(Line, Key)) {
                Info.*K.Field = TrimControls(Line.mid(Key.size()));
                break;
            }
        }
    return true;
}

QString GetFlagFileName(const QString& FlagsFolder, const QString& Country)
{
    return WithDelimiter(FlagsFolder) + LowerCaseAscii(Country) + QStringLiteral(".png");
}

// ---- the list -----------------------------------------------------------

QString PoFileMask(const QString& Code)
{
    return QStringLiteral("*.") + Code + QStringLiteral(".po");
}

bool FindFirstPoFile(const QString& Folder, const QString& Code, QString& FileName)
{
    FileName.clear();
    // The code becomes part of a file name: it must not leave the folder or
    // act as a wildcard.
    if (!IsValidLanguageCode(Code))
        return false;
    const QStringList Files = FilesMatching(Folder, PoFileMask(Code));
    if (Files.isEmpty())
        return false;
    FileName = Files.first();
    return true;
}

void ListPoFiles(const QString& Folder, QStringList& List)
{
    List.append(FilesMatching(Folder, QStringLiteral("*.po")));
}

int CompareLanguageInfos(const TLanguageInfo& A, const TLanguageInfo& B)
{
    QCollator Collator;
    Collator.setCaseSensitivity(Qt::CaseInsensitive);
    int R = Collator.compare(A.LanguageName, B.LanguageName);
    if (R == 0)
        R = Collator.compare(A.CountryName, B.CountryName);
    if (R == 0)
        R = Collator.compare(A.Code, B.Code);
    return R;
}

void TLanguages::SortItems()
{
    if (Items.size() < 2)
        return;
    std::sort(Items.begin(), Items.end(), [](const TLanguageInfo& A, const TLanguageInfo& B) {
        return CompareLanguageInfos(A, B) < 0;
    });
}

void TLanguages::Scan(const QString& LanguagesFolder, const QString& FlagsFolder)
{
    Items.clear();
    QStringList Files;
    ListPoFiles(LanguagesFolder, Files);
    for (const QString& File : Files) {
        TLanguageInfo Info;
        if (!ReadLanguageInfo(File, Info))
            continue;
        if (!Info.Country.isEmpty())
            Info.FlagFileName = GetFlagFileName(FlagsFolder, Info.Country);
        Items.append(Info);
    }
    SortItems();
}

bool TLanguages::FindLanguage(const QString& Code, TLanguageInfo& Info) const
{
    ClearLanguageInfo(Info);
    if (SameTextAscii(Code, QStringLiteral("AUTOMATIC")) || SameTextAscii(Code, QStringLiteral("DEFAULT")))
        return false;
    for (const TLanguageInfo& Item : Items)
        if (SameTextAscii(Item.Code, Code)) {
            Info = Item;
            return true;
        }
    return false;
}

// ---- choice and loading -------------------------------------------------

QString LanguageFromCode(const QString& Code)
{
    const qsizetype At = Code.indexOf(QLatin1Char('_'));
    return At < 0 ? QString() : Code.left(At);
}

Qt::LayoutDirection LanguageDirection(const QString& Code)
{
    QString L = LowerCaseAscii(Code);
    const qsizetype Dash = L.indexOf(QLatin1Char('-'));
    if (Dash >= 0)
        L.truncate(Dash);
    else if (const qsizetype Underscore = L.indexOf(QLatin1Char('_')); Underscore >= 0)
        L.truncate(Underscore);
    static const char* const RightToLeft[] = {"ar", "he", "yi", "dv", "ps", "az", "fa",
                                              "ks", "ku", "pa", "sd", "tk", "ug", "ur"};
    for (const char* R : RightToLeft)
        if (L == QLatin1String(R))
            return Qt::RightToLeft;
    return Qt::LeftToRight;
}

QString GetLclPoFileName(const QString& Folder, const QString& Name, const QString& Code)
{
    return WithDelimiter(Folder) + Name + QLatin1Char('.') + Code + QStringLiteral(".po");
}

bool DetectLanguage(const TLanguageSources& Sources, QString& Lang, QString& FallbackLang)
{
    const bool Result = GetRequestedLanguage(Sources, Lang, FallbackLang);
    if (Result && FallbackLang.isEmpty())
        FallbackLang = LanguageFromCode(Lang);
    return Result;
}

bool LoadTranslation(const QString& Folder, const QString& Code, const QString& FallbackCode)
{
    bool Loaded = false;
    QString File;
    if (FindFirstPoFile(Folder, Code, File)) {
        SetTranslationFile(File);
        Loaded = true;
    } else if (!FallbackCode.isEmpty() && FindFirstPoFile(Folder, FallbackCode, File)) {
        SetTranslationFile(File);
        Loaded = true;
    }

    const QString ToolkitFolder = WithDelimiter(Folder) + QStringLiteral("LCLStrConsts");
    const QString Name = QStringLiteral("lclstrconsts");
    for (const QString& C : {Code, FallbackCode}) {
        if (!IsValidLanguageCode(C))
            continue;
        const QString ToolkitFile = FileIgnoringCase(GetLclPoFileName(ToolkitFolder, Name, C));
        if (!ToolkitFile.isEmpty()) {
            TranslateUnitFromFile(QStringLiteral("LCLStrConsts"), ToolkitFile);
            break;
        }
    }
    return Loaded;
}

void TLanguages::Apply(const QString& Folder, const QString& Code, const QString& BiDi,
                       const TLanguageSources& Sources)
{
    LanguageCode = Code.isEmpty() ? QStringLiteral("AUTOMATIC") : Code;
    BiDiCode = BiDi.isEmpty() ? QStringLiteral("AUTO") : BiDi;
    Qt::LayoutDirection Direction = Qt::LeftToRight;

    if (SameTextAscii(LanguageCode, QStringLiteral("DEFAULT"))) {
        // the built-in English texts
    } else if (SameTextAscii(LanguageCode, QStringLiteral("AUTOMATIC"))) {
        QString Lang, Fallback;
        if (DetectLanguage(Sources, Lang, Fallback)) {
            LoadTranslation(Folder, Lang, Fallback);
            Direction = LanguageDirection(Lang);
        }
    } else {
        LoadTranslation(Folder, LanguageCode, LanguageFromCode(LanguageCode));
        Direction = LanguageDirection(LanguageCode);
    }

    // Always set, so that nothing else (a translator's QT_LAYOUT_DIRECTION)
    // decides it; an unknown code keeps the toolkit's left to right.
    if (SameTextAscii(BiDiCode, QStringLiteral("AUTO")))
        QGuiApplication::setLayoutDirection(Direction);
    else if (SameTextAscii(BiDiCode, QStringLiteral("RTL")))
        QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    else
        QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}

// ---- the menu -----------------------------------------------------------

QString TLanguages::LanguageCaption(const TLanguageInfo& Info)
{
    if (Info.LanguageName.isEmpty())
        return QLatin1Char('[') + Info.Code + QLatin1Char(']');
    if (Info.LanguageNameNative.isEmpty())
        return Info.LanguageName;
    return Info.LanguageName + QStringLiteral(" - ") + Info.LanguageNameNative;
}

void TLanguages::BuildMenu(QMenu* Parent)
{
    if (!Parent)
        return;
    // The fixed items are English in any layout: a closing mark keeps their
    // trailing punctuation at their end in a right-to-left menu.
    const auto Fixed = [Parent](const QString& Caption) {
        return Parent->isRightToLeft() ? Caption + QChar(0x200E) : Caption; // LEFT-TO-RIGHT MARK
    };
    AddLanguageItem(Parent, QStringLiteral("DEFAULT"), Fixed(QStringLiteral("Original (English)")), QString());
    if (!Items.isEmpty()) {
        AddLanguageItem(Parent, QStringLiteral("AUTOMATIC"), Fixed(QStringLiteral("Autodetect")), QString());
        AddMenuSeparator(Parent);
        for (const TLanguageInfo& Info : Items)
            AddLanguageItem(Parent, Info.Code, LanguageCaption(Info), Info.FlagFileName);
    }
    if (isSignalConnected(QMetaMethod::fromSignal(&TLanguages::HowToTranslateRequested))) {
        AddMenuSeparator(Parent);
        AddMenuItem(Parent, Fixed(QStringLiteral("How to translate?")), &TLanguages::HowToTranslateClick);
    }
}

QAction* TLanguages::AddLanguageItem(QMenu* Parent, const QString& Code, const QString& Caption,
                                     const QString& FlagFile)
{
    auto* Item = new QAction(Parent);
    MenuCodes.append(Code);
    Item->setData(static_cast<int>(MenuCodes.size() - 1));
    // Names are shown as written: a "&" in one would mark a shortcut letter.
    Item->setText(QString(Caption).replace(QLatin1Char('&'), QLatin1String("&&")));
    QObject::connect(Item, &QAction::triggered, Item, [this, Item] { LanguageItemClick(Item); });
    // Only the marked item is checkable: styles draw an empty box beside
    // every other checkable item.
    if (SameTextAscii(Code, LanguageCode)) {
        Item->setCheckable(true);
        Item->setChecked(true);
    } else if (!FlagFile.isEmpty() && PathExists(QStringToFileName(FlagFile)))
        LoadFlagImage(Item, FlagFile);
    Parent->addAction(Item);
    return Item;
}

QAction* TLanguages::AddMenuItem(QMenu* Parent, const QString& Caption,
                                 void (TLanguages::*OnClick)(QAction*))
{
    auto* Item = new QAction(Caption, Parent);
    QObject::connect(Item, &QAction::triggered, Item, [this, Item, OnClick] { (this->*OnClick)(Item); });
    Parent->addAction(Item);
    return Item;
}

void TLanguages::AddMenuSeparator(QMenu* Parent)
{
    Parent->addSeparator();
}

void TLanguages::LoadFlagImage(QAction* Item, const QString& FlagFile)
{
    QByteArray Data;
    if (ReadStartFile(FlagFile, Data) && FlagPicture.loadFromData(Data, "PNG"))
        Item->setIcon(QIcon(QPixmap::fromImage(FlagPicture)));
    FlagPicture = QImage();
}

void TLanguages::LanguageItemClick(QAction* Sender)
{
    const int Tag = Sender->data().toInt();
    if (Tag < 0 || Tag >= MenuCodes.size())
        return;
    const QString Code = MenuCodes[Tag];
    // The marked (checkable) action has just toggled itself off: the mark
    // keeps showing the language applied at start-up.
    if (Sender->isCheckable())
        Sender->setChecked(true);
    emit LanguageSelected(Code);
}

void TLanguages::HowToTranslateClick(QAction* Sender)
{
    emit HowToTranslateRequested(Sender);
}
