#include "platform/qt/uQuitRequests.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only write: the byte wakes the user-interface thread.
int SignalPipe[2] = {-1, -1};
const int QuitSignals[] = {SIGTERM, SIGINT};
struct sigaction Previous[2];

extern "C" void OnQuitSignal(int Signal)
{
    const int Saved = errno;
    const char Byte = static_cast<char>(Signal);
    (void)!::write(SignalPipe[1], &Byte, 1);
    errno = Saved;
}

} // namespace

void TQuitRequests::InstallSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, SignalPipe) != 0)
        return;
    FNotifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, [this] {
        char Bytes[16];
        while (::read(SignalPipe[0], Bytes, sizeof Bytes) > 0) {
        }
        emit QuitRequested();
    });
    struct sigaction Action {};
    Action.sa_handler = OnQuitSignal;
    sigemptyset(&Action.sa_mask);
    // Handled once: should the program not end, the next one ends it.
    Action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int I = 0; I < 2; ++I)
        ::sigaction(QuitSignals[I], &Action, &Previous[I]);
}

void TQuitRequests::RemoveSignals()
{
    if (!FNotifier)
        return;
    for (int I = 0; I < 2; ++I)
        ::sigaction(QuitSignals[I], &Previous[I], nullptr);
    delete FNotifier;
    FNotifier = nullptr;
    ::close(SignalPipe[0]);
    ::close(SignalPipe[1]);
    SignalPipe[0] = SignalPipe[1] = -1;
}
