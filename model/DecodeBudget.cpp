#include "model/DecodeBudget.h"

#include <algorithm>
#include <utility>

DecodeBudget::Ticket::Ticket(Ticket &&other) noexcept
    : owner(std::exchange(other.owner, nullptr)), held(std::exchange(other.held, 0))
{
}

DecodeBudget::Ticket &DecodeBudget::Ticket::operator=(Ticket &&other) noexcept
{
    if (this != &other) {
        release();
        owner = std::exchange(other.owner, nullptr);
        held = std::exchange(other.held, 0);
    }
    return *this;
}

void DecodeBudget::Ticket::release()
{
    if (owner)
        std::exchange(owner, nullptr)->giveBack(std::exchange(held, 0));
}

DecodeBudget::DecodeBudget(qint64 capacity) : total(qMax<qint64>(capacity, 1)) {}

DecodeBudget::Ticket DecodeBudget::acquire(qint64 bytes, const std::atomic<bool> *stop)
{
    bytes = qMax<qint64>(bytes, 0);
    std::unique_lock lock(mutex);
    const quint64 number = nextNumber++;
    queue.push_back(number);
    const auto admitted = [&] {
        return queue.front() == number && (inUse == 0 || bytes <= total - inUse);
    };
    for (;;) {
        // The flag is read under the mutex that wakeWaiters() takes, so a stop set after
        // this check still wakes the wait below.
        if (stop && stop->load()) {
            queue.erase(std::find(queue.begin(), queue.end(), number));
            // The request behind this one may be the next to fit.
            changed.notify_all();
            return Ticket();
        }
        if (admitted())
            break;
        changed.wait(lock);
    }
    queue.pop_front();
    inUse += bytes;
    // The next request in line may fit as well.
    changed.notify_all();
    return Ticket(this, bytes);
}

void DecodeBudget::wakeWaiters()
{
    const std::lock_guard lock(mutex);
    changed.notify_all();
}

void DecodeBudget::giveBack(qint64 bytes)
{
    const std::lock_guard lock(mutex);
    inUse -= bytes;
    changed.notify_all();
}

qint64 DecodeBudget::heldBytes() const
{
    const std::lock_guard lock(mutex);
    return inUse;
}

int DecodeBudget::waitingCount() const
{
    const std::lock_guard lock(mutex);
    return int(queue.size());
}
