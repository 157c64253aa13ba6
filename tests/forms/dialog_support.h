// What the dialog tests share: a settings object of their own in place of the
// program's, a modal run that acts once the dialog is up, and a design
// translator of the test's own.
#pragma once

#include "app/uSettings.h"
#include "app/uTranslationKit.h"
#include "forms/fSettings.h"
#include "forms/uForms.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

namespace dialogtest {

// Fresh defaults, optionally read from an INI text, installed as the
// program's settings for the test's lifetime.
class TSettingsGuard {
public:
    explicit TSettingsGuard(const QByteArray& Ini = QByteArray())
    {
        Object.Reset();
        if (!Ini.isEmpty()) {
            QByteArray Data = Ini;
            QBuffer Buffer(&Data);
            Buffer.open(QIODevice::ReadOnly);
            Object.ReadIni(Buffer);
        }
        FPrevious = std::exchange(Settings, &Object);
    }
    ~TSettingsGuard() { Settings = FPrevious; }
    TSettingsGuard(const TSettingsGuard&) = delete;
    TSettingsGuard& operator=(const TSettingsGuard&) = delete;

    TSettings Object;

private:
    TSettings* FPrevious = nullptr;
};

// Runs the dialog modally; Action runs once it is the active modal window and
// must end it. Returns the dialog's result.
inline int RunModal(QDialog& Dialog, const std::function<void()>& Action)
{
    bool Ran = false;
    QTimer::singleShot(0, &Dialog, [&] {
        Ran = true;
        if (QApplication::activeModalWidget() != &Dialog) {
            Dialog.done(-1); // not what a user would meet: make the test fail
            return;
        }
        Action();
    });
    const int Result = Dialog.exec();
    return Ran ? Result : -2;
}

// Records what the settings dialog asks of the main window: each saving
// applies the settings once, as ApplySettings(false).
class TRecordingMain {
public:
    explicit TRecordingMain(TFormSettings& Form)
    {
        QObject::connect(&Form, &TFormSettings::SettingsSaved, &Form, [this] {
            Applied.push_back(false);
            if (OnApply)
                OnApply();
        });
    }
    TRecordingMain(const TRecordingMain&) = delete;
    TRecordingMain& operator=(const TRecordingMain&) = delete;

    std::vector<bool> Applied;
    std::function<void()> OnApply;
};

// Installs a design translator of the test's own for as long as it lives.
class TTranslatorGuard {
public:
    explicit TTranslatorGuard(std::unique_ptr<TAbstractTranslator> Translator)
    {
        SetDesignTranslator(std::move(Translator));
    }
    ~TTranslatorGuard() { SetDesignTranslator(nullptr); }
    TTranslatorGuard(const TTranslatorGuard&) = delete;
    TTranslatorGuard& operator=(const TTranslatorGuard&) = delete;
};

} // namespace dialogtest
