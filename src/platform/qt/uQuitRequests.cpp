#include "platform/qt/uQuitRequests.h"

#include <QGuiApplication>
#include <QSessionManager>

TQuitRequests::TQuitRequests(std::function<void()> OnQuit) : FOnQuit(std::move(OnQuit))
{
    InstallSignals();
#ifndef QT_NO_SESSIONMANAGER
    // The session ends (logout, shutdown): the settings are written now.
    if (auto* App = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(App, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { Quit(); },
                Qt::DirectConnection);
#endif
}

TQuitRequests::~TQuitRequests() { RemoveSignals(); }

void TQuitRequests::Quit()
{
    if (FOnQuit)
        FOnQuit();
}
