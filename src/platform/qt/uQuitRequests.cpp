#include "platform/qt/uQuitRequests.h"

#include <QGuiApplication>
#include <QSessionManager>

TQuitRequests::TQuitRequests(QObject* Parent) : QObject(Parent)
{
    InstallSignals();
#ifndef QT_NO_SESSIONMANAGER
    // The session ends (logout, shutdown): the settings are written now.
    if (auto* App = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(App, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { emit QuitRequested(); },
                Qt::DirectConnection);
#endif
}

TQuitRequests::~TQuitRequests() { RemoveSignals(); }
