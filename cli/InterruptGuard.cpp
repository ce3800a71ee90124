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
    // Restarted calls keep a read from failing half-way; reset lets a second signal kill.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &previous[i]);
#else
    // std::signal resets to the default handler before calling ours, as SA_RESETHAND does.
    for (size_t i = 0; i < std::size(kSignals); ++i)
        previous[i] = std::signal(kSignals[i], &InterruptGuard::onSignal);
#endif
}

InterruptGuard::~InterruptGuard()
{
    for (size_t i = 0; i < std::size(kSignals); ++i) {
#ifdef Q_OS_UNIX
        ::sigaction(kSignals[i], &previous[i], nullptr);
#else
        std::signal(kSignals[i], previous[i]);
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
}
