#include "cli/InterruptGuard.h"

#include <iterator>

namespace {
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
} // namespace

// The handler may touch nothing else: only lock-free atomics are safe in it.
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);
std::atomic<bool> InterruptGuard::running{true};
std::atomic<int> InterruptGuard::received{0};

InterruptGuard::InterruptGuard()
{
    running = true;
    received = 0;
    struct sigaction action = {};
    action.sa_handler = &InterruptGuard::onSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls keep a read from failing half-way; reset lets a second signal kill.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    static_assert(std::size(kSignals) == sizeof(previous) / sizeof(previous[0]));
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &previous[i]);
}

InterruptGuard::~InterruptGuard()
{
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &previous[i], nullptr);
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
