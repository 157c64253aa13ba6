// What every language test needs: readable texts in failure messages, and
// a guard that leaves no translation or direction behind for the next test.
#pragma once

#include "app/uTranslationKit.h"
#include "platform/uResourceStrings.h"

#include <QGuiApplication>
#include <QString>

#include <ostream>

inline void PrintTo(const QString& S, std::ostream* Os)
{
    *Os << '"' << S.toStdString() << '"';
}

// Restores the English texts, removes the translators and puts the
// direction back to left to right.
class TTranslationGuard {
public:
    TTranslationGuard() { Reset(); }
    ~TTranslationGuard() { Reset(); }
    static void Reset()
    {
        ReleaseTranslation();
        ForEachResourceString([](TResourceString& S) { S.Restore(); });
        QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    }
};
