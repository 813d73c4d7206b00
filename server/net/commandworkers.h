#pragma once

#include "connectioncontext.h"
#include "looppassbatch.h"

#include "commands/reply.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CommandDispatcher;
class Store;

// The database threads: command handlers run here, off the network thread,
// so that a database wait never holds up accepting, reading or sending
// (but for the light reads below, which never wait for the writers' lock).
// Handlers run in turns on the store (Store::Turn).
//
// On SQLite turns exclude each other, so handlers run one at a time; a
// handler waiting for another writer's lock lets the next job start on
// another thread. Otherwise the thread that finished a job takes the next
// one itself, or else the thread idle for the shortest time: its
// connection's page cache is warm, while another connection's is emptied
// by every commit it did not make. The jobs waiting when a thread takes
// its turn run as a group, and their writes commit as one transaction;
// while the disk flushes earlier commits, jobs coming meanwhile join the
// group.
//
// On PostgreSQL every thread runs a job at a time, side by side: a
// handler's time goes mostly to waiting for PostgreSQL's answers.
//
// A light read (CommandDispatcher::answerAside) that comes while a group
// writes, or soon after one did, is answered on the network thread at once,
// outside the turns (Store::ReadAside): a person at the main screen waits
// for it, and queued it would wait for every writer ahead of it.
//
// A writer's reply waits until its commit is on disk: the store flushes all
// commits made meanwhile together, off these threads, so that neither the
// next writers nor readers wait for the disk. Other handlers reply at once.
class CommandWorkers
{
public:
    // Enough that a few handlers waiting for another process's lock leave
    // threads for the rest.
    static constexpr int DefaultThreadCount = 4;
    // The most queued jobs that run in one turn and commit together
    // (SQLite).
    static constexpr std::size_t MaxGroupSize = 64;
    // How often a group waiting for jobs looks whether the flush is over.
    static constexpr std::chrono::microseconds FlushPollInterval{100};
    // How long after a group that wrote a light read is still answered
    // aside: while writers keep coming, queued it would wait behind them.
    static constexpr std::chrono::milliseconds WritersLately{10};

    // Made on the network thread: the requests read there in one pass of its
    // event loop are queued together (on SQLite they then run as one group).
    CommandWorkers(Store &store, int threadCount);
    // Finishes the jobs running, drops those still queued (their replies
    // become errors) and stops the threads.
    ~CommandWorkers();

    // Runs job on a database thread, in its turn.
    void post(std::function<void()> job);
    // Runs the jobs, in their order, and empties the list.
    void postAll(std::vector<std::function<void()>> &queued);

    // Hands each request to dispatcher on these threads.
    ConnectionContext::RequestHandler requestHandler(const CommandDispatcher &dispatcher);

private:
    struct IdleWorker
    {
        std::condition_variable wake;
    };

    void work();
    IdleWorker *takeWorkerToWake();
    std::vector<std::function<void()>> takeJobs(std::size_t most);
    std::vector<std::function<void()>> takeJobsWhileFlushing(std::size_t most);
    void runGroup(std::vector<std::function<void()>> group);
    bool writersRanLately() const;

    Store &store;
    const int mostRunning; // jobs at once
    const std::size_t groupSize;
    std::mutex queueLock;
    std::vector<IdleWorker *> idle; // the longest idle first
    std::condition_variable groupCollecting; // a group waiting for more jobs
    std::deque<std::function<void()>> jobs;
    bool stopping = false;
    int running = 0; // jobs running and not stepped aside
    int waking = 0; // threads woken for jobs, not running yet
    std::vector<std::thread> threads;
    // Whether a group writes now, and when one that wrote last ended (on
    // the steady clock, in nanoseconds; zero before any did). SQLite only.
    std::atomic<bool> groupWriting{false};
    std::atomic<std::int64_t> lastWriting{0};
    LoopPassBatch requestsOfPass; // network thread only
};
