// Requests to end the program that do not come through its windows: SIGTERM
// (what a desktop session sends at logout, and what "kill" sends), SIGINT
// (Ctrl+C in a terminal) and the session manager's end-of-session request.
// Each is reported by QuitRequested on the user-interface thread, so that the
// program ends as if its main window were closed and its settings are written.
#pragma once

#include <QObject>

class QSocketNotifier;

class TQuitRequests : public QObject {
    Q_OBJECT
public:
    // One at a time; a second SIGTERM or SIGINT, while the first is still
    // being handled, ends the process the system's way.
    explicit TQuitRequests(QObject* Parent = nullptr);
    // The signals' earlier handling comes back.
    ~TQuitRequests() override;
    TQuitRequests(const TQuitRequests&) = delete;
    TQuitRequests& operator=(const TQuitRequests&) = delete;

signals:
    // Something outside the windows asks the program to end.
    void QuitRequested();

private:
    // The system's own requests (signals), one file per system.
    void InstallSignals();
    void RemoveSignals();

    QSocketNotifier* FNotifier = nullptr;
};
