#include "platform/qt/uSystemLanguage.h"

#include <QLocale>

void QuerySystemLanguage(QString& LanguageId, QString& LanguageCode)
{
    const QLocale Locale = QLocale::system();
    QString Language;
    QString Country;
    if (Locale.language() != QLocale::C && Locale.language() != QLocale::AnyLanguage) {
        Language = QLocale::languageToCode(Locale.language());
        if (Locale.territory() != QLocale::AnyTerritory)
            Country = QLocale::territoryToCode(Locale.territory());
    }
    if (Language.isEmpty()) {
        Language = QStringLiteral("en");
        Country = QStringLiteral("US");
    }
    LanguageCode = Language;
    LanguageId = Country.isEmpty() ? Language : Language + QLatin1Char('_') + Country;
}
