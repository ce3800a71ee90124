#include "app/ExitSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalSocket[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void onSignal(int number)
{
    const unsigned char byte = static_cast<unsigned char>(number);
    // Nothing else is safe inside a signal handler.
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
}
} // namespace

ExitSignals::ExitSignals(QObject *parent) : QObject(parent)
{
    if (signalSocket[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSocket) != 0)
        return;
    notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &ExitSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

ExitSignals::~ExitSignals()
{
    // Signals that came after the event loop ended are still in the socket.
    unsigned char byte = 0;
    while (signalSocket[1] >= 0 && ::recv(signalSocket[1], &byte, 1, MSG_DONTWAIT) == 1)
        lastSignal = byte;
    // Once a signal asked to quit, the program is removing its work directory on the way
    // out: later signals must not cut that short, so they are ignored to the end.
    for (int number : kSignals)
        ::signal(number, lastSignal != 0 ? SIG_IGN : SIG_DFL);
}

void ExitSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(signalSocket[1], &byte, 1) != 1)
        return;
    lastSignal = byte;
    emit exitRequested(byte);
}

#else

ExitSignals::ExitSignals(QObject *parent) : QObject(parent) {}
ExitSignals::~ExitSignals() = default;
void ExitSignals::readSignal() {}

#endif
