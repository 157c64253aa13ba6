// The user's system language, as the language detection wants it.
#pragma once

#include <QString>

// LanguageId is language + "_" + country (or the language alone when the
// country is unknown), LanguageCode the language: "de_DE" and "de" for a
// German system in Germany. Without a language setting ("C" locale),
// "en_US" and "en".
void QuerySystemLanguage(QString& LanguageId, QString& LanguageCode);
