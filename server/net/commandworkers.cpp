#include "commandworkers.h"

#include "commands/commanddispatcher.h"
#include "commands/reply.h"
#include "storage/store.h"

CommandWorkers::CommandWorkers(Store &store, int threadCount)
    : store(store)
{
    store.setStepAsideListener([this](bool aside) {
        {
            std::lock_guard<std::mutex> lock(queueLock);
            running += aside ? -1 : 1;
        }
        if (aside)
            jobWaiting.notify_one();
    });
    for (int i = 0; i < qMax(1, threadCount); ++i)
        threads.emplace_back([this] { work(); });
}

CommandWorkers::~CommandWorkers()
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> lock(queueLock);
        stopping = true;
        dropped.swap(jobs);
    }
    jobWaiting.notify_all();
    for (std::thread &thread : threads)
        thread.join();
    store.setStepAsideListener(nullptr);
}

void CommandWorkers::post(std::function<void()> job)
{
    {
        std::lock_guard<std::mutex> lock(queueLock);
        jobs.push_back(std::move(job));
    }
    jobWaiting.notify_one();
}

ConnectionContext::RequestHandler CommandWorkers::requestHandler(const CommandDispatcher &dispatcher)
{
    return [this, &dispatcher](const QByteArray &frame, const Reply &reply) {
        post([&dispatcher, frame, reply] { dispatcher.dispatch(frame, reply); });
    };
}

void CommandWorkers::work()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(queueLock);
            jobWaiting.wait(lock, [this] { return stopping || (!jobs.empty() && running == 0); });
            if (stopping)
                break;
            job = std::move(jobs.front());
            jobs.pop_front();
            ++running;
        }
        {
            Store::Turn turn(store);
            const Reply::Hold untilDurable([this](const Reply::Deliver &deliver, const QByteArray &frame) {
                return holdUntilDurable(deliver, frame);
            });
            job();
            job = nullptr; // what the job holds goes in its turn, too
        }
        std::lock_guard<std::mutex> lock(queueLock);
        --running;
    }
    store.releaseThreadConnection();
}

// A reply sent after its handler committed goes out once the commit is on
// disk, or as a failure if it never gets there: no terminal is told
// "stored" about what a power cut could still take away.
bool CommandWorkers::holdUntilDurable(const Reply::Deliver &deliver, const QByteArray &frame)
{
    if (!store.awaitsFlush())
        return false;
    store.whenDurable([deliver, frame](bool durable) { deliver(durable ? frame : Reply::storeFailureFrame()); });
    return true;
}
