// Throughput of the message loop and the lateness of delayed messages, idle and flooded.
#include "loop/HandlerMessage.h"
#include "loop/HandlerThread.h"
#include "loop/Message.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Counts handled messages and lets the sender wait for a number of them.
class CountingHandler : public HandlerMessage
{
public:
    using HandlerMessage::HandlerMessage;
    ~CountingHandler() override { detachFromLoop(); }

    void handleMessage(Message *) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        ++handled;
        changed.notify_all();
    }
    void waitFor(long count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return handled >= count; });
    }

    std::mutex mutex;
    std::condition_variable changed;
    long handled = 0;
};

// Records how late each delayed message runs against the moment it was meant for.
class LatenessHandler : public HandlerMessage
{
public:
    using HandlerMessage::HandlerMessage;
    ~LatenessHandler() override { detachFromLoop(); }

    void handleMessage(Message *msg) override
    {
        const auto meant = Clock::time_point(Clock::duration(qint64(msg->extra)));
        const double lateUs =
                std::chrono::duration<double, std::micro>(Clock::now() - meant).count();
        std::lock_guard<std::mutex> guard(mutex);
        lateness.push_back(lateUs);
        changed.notify_all();
    }
    void waitFor(size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return lateness.size() >= count; });
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<double> lateness;
};

std::unique_ptr<HandlerThread> startedLoop()
{
    auto loop = std::make_unique<HandlerThread>();
    loop->start();
    return loop;
}

void BM_SendHandleDelete(benchmark::State &state)
{
    const long batch = state.range(0);
    auto loop = startedLoop();
    CountingHandler handler(loop.get());
    long sent = 0;
    for (auto _ : state) {
        for (long i = 0; i < batch; ++i)
            handler.sendHandlerMessage(new Message(&handler, 1));
        sent += batch;
        handler.waitFor(sent);
    }
    state.SetItemsProcessed(sent);
}
BENCHMARK(BM_SendHandleDelete)->Arg(1)->Arg(100)->Arg(10000)->UseRealTime();

void BM_SendersInParallel(benchmark::State &state)
{
    const int senders = int(state.range(0));
    const long perSender = 5000;
    auto loop = startedLoop();
    CountingHandler handler(loop.get());
    long sent = 0;
    for (auto _ : state) {
        std::vector<std::thread> threads;
        for (int s = 0; s < senders; ++s)
            threads.emplace_back([&] {
                for (long i = 0; i < perSender; ++i)
                    handler.sendHandlerMessage(new Message(&handler, 1));
            });
        for (auto &t : threads)
            t.join();
        sent += senders * perSender;
        handler.waitFor(sent);
    }
    state.SetItemsProcessed(sent);
}
BENCHMARK(BM_SendersInParallel)->Arg(2)->Arg(4)->UseRealTime();

// 200 delayed messages of 200 ms, one every 5 ms, so that each is measured on its own.
// With flooders > 0, that many threads keep other handlers' immediate messages coming.
void BM_DelayedLateness(benchmark::State &state)
{
    const int flooders = int(state.range(0));
    const size_t samples = 200;
    auto loop = startedLoop();
    LatenessHandler timed(loop.get());
    CountingHandler flooded(loop.get());
    std::atomic<bool> flooding{true};
    std::atomic<long> floodSent{0};
    std::vector<std::thread> threads;
    for (int f = 0; f < flooders; ++f)
        threads.emplace_back([&] {
            while (flooding) {
                // Keep the queue short enough that the loop is busy, not swamped.
                if (loop->pendingCount() > 2000) {
                    std::this_thread::yield();
                    continue;
                }
                for (int i = 0; i < 50; ++i)
                    flooded.sendHandlerMessage(new Message(&flooded, 2));
                floodSent += 50;
            }
        });

    for (auto _ : state) {
        for (size_t i = 0; i < samples; ++i) {
            auto *msg = new Message(&timed, 3);
            const auto meant = Clock::now() + std::chrono::milliseconds(200);
            msg->extra = quintptr(meant.time_since_epoch().count());
            timed.sendHandlerMessageAfter(msg, 200);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        timed.waitFor(samples);
    }
    flooding = false;
    for (auto &t : threads)
        t.join();

    std::vector<double> late = timed.lateness;
    std::sort(late.begin(), late.end());
    auto at = [&](double q) { return late[std::min(late.size() - 1, size_t(q * late.size()))]; };
    state.counters["late_median_us"] = at(0.5);
    state.counters["late_p99_us"] = at(0.99);
    state.counters["late_min_us"] = late.front();
    state.counters["late_max_us"] = late.back();
    state.counters["flood_msgs"] = double(floodSent.load());
}
BENCHMARK(BM_DelayedLateness)->Arg(0)->Arg(2)->Iterations(1)->UseRealTime()
        ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
