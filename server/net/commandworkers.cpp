#include "commandworkers.h"

#include "commands/commanddispatcher.h"
#include "commands/reply.h"
#include "storage/store.h"

#include <algorithm>
#include <iterator>

namespace {

std::int64_t steadyNanoseconds()
{
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

// Tells the network thread while a group writes, and when one last did,
// where groups run alone (SQLite): a request queued then would wait
// behind its writers.
class WritingNote
{
public:
    WritingNote(std::atomic<bool> &writing, std::atomic<std::int64_t> &lastWrote, bool groupsRunAlone)
        : writing(writing)
        , lastWrote(lastWrote)
        , groupsRunAlone(groupsRunAlone)
    { }
    ~WritingNote()
    {
        if (!wrote)
            return;
        lastWrote.store(steadyNanoseconds(), std::memory_order_relaxed);
        writing.store(false, std::memory_order_relaxed);
    }
    WritingNote(const WritingNote &) = delete;
    WritingNote &operator=(const WritingNote &) = delete;

    void groupWrites(bool writes)
    {
        if (writes && groupsRunAlone && !wrote) {
            wrote = true;
            writing.store(true, std::memory_order_relaxed);
        }
    }

private:
    std::atomic<bool> &writing;
    std::atomic<std::int64_t> &lastWrote;
    const bool groupsRunAlone;
    bool wrote = false;
};

} // namespace

CommandWorkers::CommandWorkers(Store &store, int threadCount)
    : store(store)
    , mostRunning(store.turnsExcludeEachOther() ? 1 : qMax(1, threadCount))
    , groupSize(store.turnsExcludeEachOther() ? MaxGroupSize : 1)
    , requestsOfPass([this](LoopPassBatch::Jobs &jobs) { postAll(jobs); })
{
    store.setStepAsideListener([this](bool aside) {
        IdleWorker *next = nullptr;
        {
            std::lock_guard<std::mutex> lock(queueLock);
            running += aside ? -1 : 1;
            if (aside)
                next = takeWorkerToWake();
        }
        if (next)
            next->wake.notify_one();
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
        for (IdleWorker *worker : idle)
            worker->wake.notify_one();
    }
    for (std::thread &thread : threads)
        thread.join();
    store.setStepAsideListener(nullptr);
}

void CommandWorkers::post(std::function<void()> job)
{
    std::vector<std::function<void()>> one;
    one.push_back(std::move(job));
    postAll(one);
}

// As many threads as may run the jobs are woken (on SQLite one, for a
// group), once the queue's lock is free: woken under it, a thread would
// only wait again, for the lock.
void CommandWorkers::postAll(std::vector<std::function<void()>> &queued)
{
    std::vector<IdleWorker *> toWake;
    {
        std::lock_guard<std::mutex> lock(queueLock);
        std::move(queued.begin(), queued.end(), std::back_inserter(jobs));
        for (std::size_t job = 0; job < queued.size(); job += groupSize) {
            IdleWorker *next = takeWorkerToWake();
            if (!next)
                break;
            toWake.push_back(next);
        }
    }
    queued.clear();
    for (IdleWorker *worker : toWake)
        worker->wake.notify_one();
    groupCollecting.notify_one();
}

// The thread idle for the shortest time: its connection's pages are the
// ones the last commits left warm. A thread to wake leaves the idle list at
// once, so that the next job wakes another when more may run.
CommandWorkers::IdleWorker *CommandWorkers::takeWorkerToWake()
{
    if (running + waking >= mostRunning || idle.empty())
        return nullptr;
    IdleWorker *next = idle.back();
    idle.pop_back();
    ++waking;
    return next;
}

bool CommandWorkers::writersRanLately() const
{
    if (groupWriting.load(std::memory_order_relaxed))
        return true;
    const std::int64_t last = lastWriting.load(std::memory_order_relaxed);
    return last != 0 && steadyNanoseconds() - last < std::chrono::nanoseconds(WritersLately).count();
}

ConnectionContext::RequestHandler CommandWorkers::requestHandler(const CommandDispatcher &dispatcher)
{
    return [this, &dispatcher](const QByteArray &frame, const Reply &reply) {
        if (writersRanLately() && dispatcher.answersAside(frame, reply)) {
            const Store::ReadAside aside(store);
            dispatcher.dispatch(frame, reply);
            return;
        }
        requestsOfPass.add([&dispatcher, frame, reply] { dispatcher.dispatch(frame, reply); });
    };
}

void CommandWorkers::work()
{
    IdleWorker self;
    for (;;) {
        std::vector<std::function<void()>> group;
        {
            std::unique_lock<std::mutex> lock(queueLock);
            while (!stopping && (jobs.empty() || running >= mostRunning)) {
                idle.push_back(&self);
                self.wake.wait(lock);
                const auto stillIdle = std::find(idle.begin(), idle.end(), &self);
                if (stillIdle != idle.end())
                    idle.erase(stillIdle); // woken without a call
                else
                    --waking;
            }
            if (stopping)
                break;
            group = takeJobs(groupSize);
            ++running;
        }
        runGroup(std::move(group));
        std::lock_guard<std::mutex> lock(queueLock);
        --running;
    }
    store.releaseThreadConnection();
}

std::vector<std::function<void()>> CommandWorkers::takeJobs(std::size_t most)
{
    const std::size_t count = std::min(jobs.size(), most);
    std::vector<std::function<void()>> taken(std::make_move_iterator(jobs.begin()),
                                             std::make_move_iterator(jobs.begin() + count));
    jobs.erase(jobs.begin(), jobs.begin() + count);
    return taken;
}

// While the disk flushes earlier commits, what the group would commit now
// would wait for the next flush anyway: the jobs coming meanwhile join it.
// Once the flush is over the group commits at once, so that the next flush
// starts without the disk standing idle; jobs still queued form the next
// group, which runs during that flush.
std::vector<std::function<void()>> CommandWorkers::takeJobsWhileFlushing(std::size_t most)
{
    std::unique_lock<std::mutex> lock(queueLock);
    while (jobs.empty() && !stopping && store.flushing())
        groupCollecting.wait_for(lock, FlushPollInterval);
    if (!store.flushing())
        return {};
    return takeJobs(most);
}

// The jobs of a group run in one turn and their writes commit together.
// A writer's reply waits for the commit and the flush after it; others go
// out at once.
void CommandWorkers::runGroup(std::vector<std::function<void()>> group)
{
    Store::Turn turn(store);
    WritingNote writing(groupWriting, lastWriting, groupSize > 1);
    std::vector<std::pair<Reply::Deliver, QByteArray>> heldForCommit;
    {
        const Reply::Hold hold([&](const Reply::Deliver &deliver, const QByteArray &frame) {
            if (!turn.handlerWrote())
                return false;
            heldForCommit.emplace_back(deliver, frame);
            return true;
        });
        std::size_t ran = 0;
        while (!group.empty()) {
            for (std::function<void()> &job : group) {
                job();
                job = nullptr; // what the job holds goes in its turn, too
                turn.nextHandler();
                writing.groupWrites(turn.groupWriting());
            }
            ran += group.size();
            group.clear();
            if (turn.groupWriting() && ran < groupSize)
                group = takeJobsWhileFlushing(groupSize - ran);
        }
    }
    if (heldForCommit.empty())
        return;
    if (!turn.commitGroup()) {
        for (const auto &[deliver, frame] : heldForCommit)
            deliver(Reply::storeFailureFrame());
        return;
    }
    store.whenDurable([held = std::move(heldForCommit)](bool durable) {
        for (const auto &[deliver, frame] : held)
            deliver(durable ? frame : Reply::storeFailureFrame());
    });
}
