#pragma once

#include "connectioncontext.h"

#include "commands/reply.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CommandDispatcher;
class Store;

// The database threads: every command handler runs here, off the network
// thread, so that a database wait never holds up accepting, reading or
// sending. Handlers take turns on the store (Store::Turn), so they run one
// at a time as before; a handler waiting for another writer's lock lets
// the next job start on another thread. Otherwise the thread that finished
// a job takes the next one itself: its connection's page cache is warm,
// while another connection's is emptied by every commit it did not make.
//
// A handler's writes commit at once, and other handlers see them, but its
// reply waits until they are on disk: the store flushes all commits made
// meanwhile together, off these threads, so that neither the next writers
// nor readers wait for the disk.
class CommandWorkers
{
public:
    // Enough that a few handlers waiting for another process's lock leave
    // threads for the rest.
    static constexpr int DefaultThreadCount = 4;

    CommandWorkers(Store &store, int threadCount);
    // Finishes the jobs running, drops those still queued (their replies
    // become errors) and stops the threads.
    ~CommandWorkers();

    // Runs job on a database thread, in its turn.
    void post(std::function<void()> job);

    // Hands each request to dispatcher on these threads.
    ConnectionContext::RequestHandler requestHandler(const CommandDispatcher &dispatcher);

private:
    void work();
    bool holdUntilDurable(const Reply::Deliver &deliver, const QByteArray &frame);

    Store &store;
    std::mutex queueLock;
    std::condition_variable jobWaiting;
    std::deque<std::function<void()>> jobs;
    bool stopping = false;
    int running = 0; // jobs running and not stepped aside
    std::vector<std::thread> threads;
};
