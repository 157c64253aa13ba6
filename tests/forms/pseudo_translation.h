// Marks every design text while it lives, so a test can see that each text a
// window shows went through the design-text helper.
#pragma once

#include "app/uTranslationKit.h"

#include <QStringList>

#include <memory>

class TPseudoTranslation {
public:
    TPseudoTranslation() { SetDesignTranslator(std::make_unique<TMarker>(&Keys)); }
    ~TPseudoTranslation() { SetDesignTranslator(nullptr); }
    TPseudoTranslation(const TPseudoTranslation&) = delete;
    TPseudoTranslation& operator=(const TPseudoTranslation&) = delete;

    static bool IsMarked(const QString& S) { return S.startsWith(QChar(0xbb)) && S.endsWith(QChar(0xab)); }

    QStringList Keys;

private:
    class TMarker : public TAbstractTranslator {
    public:
        explicit TMarker(QStringList* AKeys) : FKeys(AKeys) {}
        void TranslateFormString(const TDesignProperty& Prop, QString& Content) override
        {
            *FKeys << GetTranslationKey(Prop);
            Content = QChar(0xbb) + Content + QChar(0xab);
        }

    private:
        QStringList* FKeys;
    };
};
