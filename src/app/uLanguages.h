// The language files beside the program: their list, the language chosen
// at start-up with its text direction, and the language menu.
#pragma once

#include "app/uTranslationKit.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class QAction;
class QMenu;

struct TLanguageInfo {
    QString FileName;
    QString Code;
    QString FlagFileName;
    QString Country;
    QString CountryName;
    QString Language;
    QString LanguageName;
    QString LanguageNameNative;
    QString Translators;
};

void ClearLanguageInfo(TLanguageInfo& Info);

class TLanguages : public QObject {
    Q_OBJECT
public:
    TLanguages() = default;
    TLanguages(const TLanguages&) = delete;
    TLanguages& operator=(const TLanguages&) = delete;

    // Replaces Items with the sorted language files of LanguagesFolder.
    void Scan(const QString& LanguagesFolder, const QString& FlagsFolder);
    // The first entry with Code (ASCII case ignored); never for "AUTOMATIC"
    // or "DEFAULT".
    bool FindLanguage(const QString& Code, TLanguageInfo& Info) const;

    // Chooses the language (stored code, else the requested one), loads its
    // translation from Folder and sets the application's text direction.
    void Apply(const QString& Folder, const QString& LanguageCode, const QString& BiDiCode,
               const TLanguageSources& Sources);

    // Appends the language items to Parent: the fixed English items, one
    // per language with its flag, the check mark on the applied language;
    // "How to translate?" when HowToTranslateRequested is connected.
    void BuildMenu(QMenu* Parent);
    static QString LanguageCaption(const TLanguageInfo& Info);

    QString LanguageCode;
    QString BiDiCode;
    QImage FlagPicture;
    QStringList MenuCodes;
    QVector<TLanguageInfo> Items;

signals:
    // A language item was clicked: its code, "DEFAULT" or "AUTOMATIC".
    void LanguageSelected(const QString& LangCode);
    // "How to translate?" was clicked; Sender is its menu item.
    void HowToTranslateRequested(QObject* Sender);

private:
    void SortItems();
    QAction* AddLanguageItem(QMenu* Parent, const QString& Code, const QString& Caption,
                             const QString& FlagFile);
    QAction* AddMenuItem(QMenu* Parent, const QString& Caption, void (TLanguages::*OnClick)(QAction*));
    void AddMenuSeparator(QMenu* Parent);
    void LoadFlagImage(QAction* Item, const QString& FlagFile);
    void LanguageItemClick(QAction* Sender);
    void HowToTranslateClick(QAction* Sender);
};

// The process-wide list and choice.
extern TLanguages Languages;

bool ReadLanguageInfo(const QString& FileName, TLanguageInfo& Info);
bool ReadPoHeader(const QString& FileName, QStringList& Lines);
QString UnescapePoString(const QString& S);
QString CodeFromFileName(const QString& FileName);
bool HasPrefix(const QString& S, const QString& Prefix);
bool HasPrefixText(const QString& S, const QString& Prefix);
QString GetFlagFileName(const QString& FlagsFolder, const QString& Country);
int CompareLanguageInfos(const TLanguageInfo& A, const TLanguageInfo& B);
QString PoFileMask(const QString& Code);
// Files of Folder only (no sub-folders), mask matched ignoring case, in
// name order.
bool FindFirstPoFile(const QString& Folder, const QString& Code, QString& FileName);
void ListPoFiles(const QString& Folder, QStringList& List);

bool DetectLanguage(const TLanguageSources& Sources, QString& Lang, QString& FallbackLang);
bool LoadTranslation(const QString& Folder, const QString& Code, const QString& FallbackCode);
QString LanguageFromCode(const QString& Code);
Qt::LayoutDirection LanguageDirection(const QString& Code);
QString GetLclPoFileName(const QString& Folder, const QString& Name, const QString& Code);
