#pragma once

#include <QtGlobal>

#include <atomic>
#include <csignal>

// Turns SIGINT, SIGTERM and SIGHUP into a request to stop, so a command interrupted while it
// reads or converts returns normally and its QTemporaryDir removes the work directory. The
// handler only clears keepGoing() and notes the signal, both lock-free atomics; work that
// runs without an event loop (the effect reader) watches keepGoing() between records.
// Further signals change nothing: the clean-up the first one started always finishes (only
// SIGKILL can stop it).
//
// One guard lives in main() around the command; the previous handlers return with it when
// no signal came, and the signals stay ignored to the process's end when one did.
class InterruptGuard
{
public:
    InterruptGuard();
    ~InterruptGuard();
    Q_DISABLE_COPY_MOVE(InterruptGuard)

    // True until a signal arrives.
    static const std::atomic<bool> &keepGoing();
    // The signal that arrived, 0 for none.
    static int signalNumber();
    // exitCode when no signal arrived, else 128 + the signal's number, as shells report it.
    static int exitCode(int exitCode);

private:
    static void onSignal(int number);

#ifdef Q_OS_UNIX
    struct sigaction previous[3] = {}; // of SIGINT, SIGTERM, SIGHUP
#else
    void (*previous[2])(int) = {};     // of SIGINT, SIGTERM (Windows has no SIGHUP)
#endif

    static std::atomic<bool> running;
    static std::atomic<int> received;
};
