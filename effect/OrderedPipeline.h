#pragma once

#include <QThread>
#include <QtGlobal>

#include <deque>
#include <functional>
#include <future>
#include <utility>

// Runs jobs on helper threads, at most `width` at a time, and hands their results to a
// delivery function in the order the jobs were given, on the thread that gives them. Used
// where the work per step (drawing a round preview, saving it) costs far more than producing
// the steps in order, and memory must stay bounded: the producer waits for the oldest job
// once `width` are in flight. No result is ever lost: whatever is still in flight when the
// pipeline is destroyed is waited for and delivered.
//
// Jobs must not touch the pipeline; the delivery function must not give new jobs.
template <typename Result>
class OrderedPipeline final
{
public:
    using Job = std::function<Result()>;
    using Delivery = std::function<void(Result)>;

    explicit OrderedPipeline(Delivery deliver, int width = QThread::idealThreadCount())
        : deliver(std::move(deliver)), maxInFlight(qMax(1, width))
    {
    }
    ~OrderedPipeline() { finish(); }
    Q_DISABLE_COPY_MOVE(OrderedPipeline)

    int width() const { return maxInFlight; }
    int inFlight() const { return int(jobs.size()); }
    bool isFull() const { return inFlight() >= maxInFlight; }

    // Starts job on a helper thread, after delivering the oldest results while the pipeline
    // is full.
    void submit(Job job)
    {
        while (isFull())
            deliverOldest();
        jobs.push_back(std::async(std::launch::async, std::move(job)));
    }

    // Waits for the oldest job and delivers its result; false when none is in flight.
    bool deliverOldest()
    {
        if (jobs.empty())
            return false;
        std::future<Result> oldest = std::move(jobs.front());
        jobs.pop_front();
        deliver(oldest.get());
        return true;
    }

    // Delivers every result still to come.
    void finish()
    {
        while (deliverOldest()) {
        }
    }

private:
    const Delivery deliver;
    const int maxInFlight;
    std::deque<std::future<Result>> jobs;
};
