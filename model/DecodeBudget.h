#pragma once

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

// Memory shared by threads that decode pictures at the same time: before a decode a thread
// takes a ticket for the bytes its picture needs and waits until they fit, so several
// workers never hold several of the largest pictures at once. Requests are served in the
// order they are made, so a large one is not starved by a stream of small ones. A request
// larger than the whole budget is admitted alone, once nothing else is held. A thread must
// not wait for a ticket while it holds another one. Thread-safe.
class DecodeBudget final
{
public:
    // A share of the budget, given back when the ticket is released or destroyed. Move-only;
    // it must not outlive its budget.
    class Ticket
    {
    public:
        Ticket() = default;
        Ticket(Ticket &&other) noexcept;
        Ticket &operator=(Ticket &&other) noexcept;
        ~Ticket() { release(); }
        Ticket(const Ticket &) = delete;
        Ticket &operator=(const Ticket &) = delete;

        // False for a request that gave up waiting, and after release.
        explicit operator bool() const { return owner != nullptr; }
        qint64 bytes() const { return held; }
        void release();

    private:
        friend class DecodeBudget;
        Ticket(DecodeBudget *owner, qint64 bytes) : owner(owner), held(bytes) {}

        DecodeBudget *owner = nullptr;
        qint64 held = 0;
    };

    // 1 GiB: one picture at the 200-megapixel limit (800 MB as 32-bit pixels) fits beside
    // a few phone photos (48 MB each at 12 MP), and the import stays well inside the 4 GB
    // or more of a machine that edits photos. A fixed size keeps the behaviour the same on
    // every machine; wider pictures (16 bits per channel) are admitted alone.
    static constexpr qint64 DefaultBytes = qint64(1) << 30;

    explicit DecodeBudget(qint64 capacity = DefaultBytes);
    Q_DISABLE_COPY_MOVE(DecodeBudget)

    // Waits until bytes fit and returns a ticket for them. Gives up with an empty ticket
    // when *stop is set (check it, then call wakeWaiters() after setting it).
    Ticket acquire(qint64 bytes, const std::atomic<bool> *stop = nullptr);
    // Lets every waiting request look at its stop flag again.
    void wakeWaiters();

    qint64 capacity() const { return total; }
    qint64 heldBytes() const;
    int waitingCount() const;

private:
    void giveBack(qint64 bytes);

    const qint64 total;
    mutable std::mutex mutex;
    std::condition_variable changed;
    qint64 inUse = 0;
    quint64 nextNumber = 0;
    std::deque<quint64> queue;  // numbers of the waiting requests, oldest first
};
