#include "cli/InterruptGuard.h"

#include <iterator>

namespace {
#ifdef Q_OS_UNIX
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
#else
constexpr int kSignals[] = {SIGINT, SIGTERM};
#endif
} // namespace

// The handler may touch nothing else: only lock-free atomics are safe in it.
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);
std::atomic<bool> InterruptGuard::running{true};
std::atomic<int> InterruptGuard::received{0};

InterruptGuard::InterruptGuard()
{
    running = true;
    received = 0;
    static_assert(std::size(kSignals) == sizeof(previous) / sizeof(previous[0]));
#ifdef Q_OS_UNIX
    struct sigaction action = {};
    action.sa_handler = &InterruptGuard::onSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls keep a read from failing half-way. The handler stays: a second signal
    // (a user pressing Ctrl+C again, `timeout` signalling the process and then its group)
    // must not cut the clean-up the first one started.
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &previous[i]);
#else
    for (size_t i = 0; i < std::size(kSignals); ++i)
        previous[i] = std::signal(kSignals[i], &InterruptGuard::onSignal);
#endif
}

InterruptGuard::~InterruptGuard()
{
    // After a signal the process is on its way out and still removing what it made: further
    // signals are ignored to the end rather than handed to the default action.
    const bool stopping = received != 0;
    for (size_t i = 0; i < std::size(kSignals); ++i) {
#ifdef Q_OS_UNIX
        if (stopping) {
            struct sigaction ignore = {};
            ignore.sa_handler = SIG_IGN;
            sigemptyset(&ignore.sa_mask);
            ::sigaction(kSignals[i], &ignore, nullptr);
        } else {
            ::sigaction(kSignals[i], &previous[i], nullptr);
        }
#else
        std::signal(kSignals[i], stopping ? SIG_IGN : previous[i]);
#endif
    }
}

const std::atomic<bool> &InterruptGuard::keepGoing()
{
    return running;
}

int InterruptGuard::signalNumber()
{
    return received;
}

int InterruptGuard::exitCode(int exitCode)
{
    const int number = received;
    return number == 0 ? exitCode : 128 + number;
}

void InterruptGuard::onSignal(int number)
{
    received = number;
    running = false;
#ifndef Q_OS_UNIX
    // std::signal resets to the default action before calling the handler; stay in place.
    std::signal(number, &InterruptGuard::onSignal);
#endif
}
