#include "longlistreader.h"

#include "storage/store.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

namespace {

// Weighs the thread at a tenth of a handler's thread (nice 0) in the
// kernel's share of the cores.
constexpr int ListReaderNiceness = 10;

std::chrono::nanoseconds threadProcessorTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

} // namespace

LongListReader::LongListReader(Store &store)
    : store(store)
{
    if (store.turnsExcludeEachOther())
        thread = std::thread([this] { work(); });
}

LongListReader::~LongListReader()
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> locked(lock);
        stopping = true;
        dropped.swap(jobs);
        wake.notify_one();
    }
    if (thread.joinable())
        thread.join();
}

void LongListReader::read(std::function<void()> job)
{
    if (!thread.joinable()) {
        job();
        return;
    }
    std::lock_guard<std::mutex> locked(lock);
    jobs.push_back(std::move(job));
    wake.notify_one();
}

void LongListReader::work()
{
    // A worker's command comes before a manager's list when both want a
    // core: the worker waits at the bench for each reply, the manager
    // reads a list that takes a tenth of a second anyway.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), ListReaderNiceness);
    auto restUntil = std::chrono::steady_clock::now();
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> locked(lock);
            wake.wait(locked, [this] { return stopping || !jobs.empty(); });
            wake.wait_until(locked, restUntil, [this] { return stopping; });
            if (stopping)
                break;
            job = std::move(jobs.front());
            jobs.pop_front();
        }
        const std::chrono::nanoseconds startedAt = threadProcessorTime();
        job();
        const std::chrono::nanoseconds rest
            = std::min<std::chrono::nanoseconds>(RestPerWork * (threadProcessorTime() - startedAt), LongestRest);
        restUntil = std::chrono::steady_clock::now() + rest;
    }
    store.releaseThreadConnection();
}
