#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Makes a database's commits durable in groups. The commits are written to
// the database's write-ahead log without waiting for the disk; one flush of
// the log then makes every commit written before it survive a power cut,
// however many there were.
class WalFlusher
{
public:
    // flushLog flushes the log on the calling thread, false when the disk
    // refused; threadEnds, if given, runs on the flushing thread as it ends.
    explicit WalFlusher(std::function<bool()> flushLog, std::function<void()> threadEnds = {});

    // An SQLite database in write-ahead-log mode whose connections commit
    // with synchronous = NORMAL (SQLite still syncs the log before every
    // checkpoint): flushing is an fdatasync of its log file.
    static std::function<bool()> sqliteLog(const QString &databasePath);

    // Runs the flush that those still waiting wait for, then stops.
    ~WalFlusher();
    WalFlusher(const WalFlusher &) = delete;
    WalFlusher &operator=(const WalFlusher &) = delete;

    // Flushes on the calling thread; false when the disk refused.
    bool flush() const { return flushLog(); }

    // Calls then(true) on the flushing thread once a flush started after
    // this call has succeeded, then(false) when it failed. Whoever comes
    // while a flush runs waits for the next one, with everyone else who
    // came meanwhile.
    void whenDurable(std::function<void(bool durable)> then);

    // Whether a flush is running now.
    bool flushing() const { return running; }

private:
    void run();

    const std::function<bool()> flushLog;
    const std::function<void()> threadEnds;
    std::mutex lock;
    std::condition_variable work;
    std::vector<std::function<void(bool)>> waiting;
    bool stopping = false;
    std::atomic<bool> running{false};
    std::thread thread; // started by the first whenDurable()
};
