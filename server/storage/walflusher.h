#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Makes the commits of an SQLite database in write-ahead-log mode durable
// in groups. Its connections commit with synchronous = NORMAL, which writes
// the log without waiting for the disk (SQLite still syncs it before every
// checkpoint); one fdatasync of the log here then makes every commit
// written before it survive a power cut, however many there were.
class WalFlusher
{
public:
    explicit WalFlusher(const QString &databasePath);
    // Runs the flush that those still waiting wait for, then stops.
    ~WalFlusher();
    WalFlusher(const WalFlusher &) = delete;
    WalFlusher &operator=(const WalFlusher &) = delete;

    // Flushes on the calling thread; false when the disk refused.
    bool flush() const;

    // Calls then(true) on the flushing thread once a flush started after
    // this call has succeeded, then(false) when it failed. Whoever comes
    // while a flush runs waits for the next one, with everyone else who
    // came meanwhile.
    void whenDurable(std::function<void(bool durable)> then);

    // Whether a flush is running now.
    bool flushing() const { return running; }

private:
    void run();

    const QByteArray logPath;
    std::mutex lock;
    std::condition_variable work;
    std::vector<std::function<void(bool)>> waiting;
    bool stopping = false;
    std::atomic<bool> running{false};
    std::thread thread; // started by the first whenDurable()
};
