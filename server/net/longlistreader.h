#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class Store;

// The thread the longest lists are read on (years of finished orders or of
// clock periods), beside the command handlers' turns. Such a list takes
// from milliseconds to half a second; read in a turn on SQLite, where
// turns exclude each other, it would hold up every terminal's commands for
// as long, and the writes grouped with it would wait for it to commit.
//
// A handler checks its request in its turn and hands the reading and the
// reply over here. Jobs only read, one at a time in the order they came,
// so that lists take at most one core from the turns, and on a lower
// priority, so that they take less when the turns want both. Lists asked
// back to back leave the cores to the turns between them: a list asked
// alone starts at once, but after each list the reader rests, so that
// managers asking for short lists one after another take a quarter of a
// core, not a whole one. Each statement sees what was committed when it
// began: a list shows every write already acknowledged.
//
// On PostgreSQL turns run side by side already, and a job runs at once in
// the handler's turn.
class LongListReader
{
public:
    // After a list the reader rests this many times the processor time it
    // took, at most LongestRest, before it starts the next one.
    static constexpr int RestPerWork = 3;
    static constexpr std::chrono::milliseconds LongestRest{10};

    explicit LongListReader(Store &store);
    // Finishes the list being read and drops those still waiting (their
    // replies become errors).
    ~LongListReader();
    LongListReader(const LongListReader &) = delete;
    LongListReader &operator=(const LongListReader &) = delete;

    void read(std::function<void()> job);

private:
    void work();

    Store &store;
    std::mutex lock;
    std::condition_variable wake;
    std::deque<std::function<void()>> jobs;
    bool stopping = false;
    std::thread thread; // none on PostgreSQL
};
